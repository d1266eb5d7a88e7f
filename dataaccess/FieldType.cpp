#include "dataaccess/FieldType.h"

namespace vantrelo {

TStorageKind StorageKindOf(TFieldType type) {
    switch (type) {
    case ftShortint: case ftByte: case ftSmallint: case ftWord: case ftInteger:
        return TStorageKind::Int32;
    case ftLongWord: case ftLargeint:
        return TStorageKind::Int64;
    case ftBoolean:
        return TStorageKind::Boolean;
    case ftSingle: case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
        return TStorageKind::Double;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
        return TStorageKind::DateTime;
    case ftString: case ftFixedChar: case ftMemo:
        return TStorageKind::Ansi;
    case ftWideString: case ftFixedWideChar: case ftWideMemo:
        return TStorageKind::Wide;
    case ftUnknown: case ftBytes: case ftVarBytes: case ftBlob:
        break;
    }
    return TStorageKind::Bytes;
}

const char16_t* FieldTypeName(TFieldType type) {
    switch (type) {
    case ftUnknown: return u"Unknown";
    case ftString: return u"String";
    case ftFixedChar: return u"FixedChar";
    case ftWideString: return u"WideString";
    case ftFixedWideChar: return u"FixedWideChar";
    case ftShortint: return u"Shortint";
    case ftByte: return u"Byte";
    case ftSmallint: return u"SmallInt";
    case ftWord: return u"Word";
    case ftInteger: return u"Integer";
    case ftLongWord: return u"LongWord";
    case ftLargeint: return u"LargeInt";
    case ftBoolean: return u"Boolean";
    case ftSingle: return u"Single";
    case ftFloat: return u"Float";
    case ftCurrency: return u"Currency";
    case ftBCD: return u"BCD";
    case ftFMTBcd: return u"FMTBcd";
    case ftDate: return u"Date";
    case ftTime: return u"Time";
    case ftDateTime: return u"DateTime";
    case ftTimeStamp: return u"TimeStamp";
    case ftBytes: return u"Bytes";
    case ftVarBytes: return u"VarBytes";
    case ftBlob: return u"Blob";
    case ftMemo: return u"Memo";
    case ftWideMemo: return u"WideMemo";
    }
    return u"Unknown";
}

} // namespace vantrelo
