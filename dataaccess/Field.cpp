#include "dataaccess/Field.h"

#include <cmath>
#include <cstring>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/MemoryDataSet.h"
#include "platform/CodePage.h"
#include "platform/FormatSettings.h"

namespace vantrelo {
namespace {

std::u16string WideFromBytes(std::string_view bytes) {
    std::u16string r(bytes.size() / 2, u'\0');
    std::memcpy(r.data(), bytes.data(), r.size() * 2);
    return r;
}

} // namespace

TField::TField(TMemoryDataSet& dataSet, std::u16string fieldName, TFieldType dataType, int size, bool required)
    : FDataSet(dataSet), FFieldName(std::move(fieldName)), FDataType(dataType), FSize(size), FRequired(required),
      FStorage(StorageKindOf(dataType)) {}

// A closed dataset reads as null everywhere; only setting a field needs it open.
TRecordView TField::Record() const { return FDataSet.Active() ? FDataSet.CurrentRecord() : TRecordView(); }

bool TField::IsNull() const {
    TRecordView r = Record();
    return FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo));
}

TVariant TField::AsVariant() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return {};
    return ReadValue(r, std::size_t(FFieldNo), FStorage);
}

TVariant TField::ReadValue(TRecordView r, std::size_t i, TStorageKind kind) {
    switch (kind) {
    case TStorageKind::Int32: return TVariant(r.Int32(i));
    case TStorageKind::Int64: return TVariant(r.Int64(i));
    case TStorageKind::Boolean: return TVariant(r.Boolean(i));
    case TStorageKind::Double: return TVariant(r.Double(i));
    case TStorageKind::DateTime: return TVariant(r.DateTime(i));
    case TStorageKind::Ansi: return TVariant(AnsiString(r.Bytes(i)));
    case TStorageKind::Wide: return TVariant(WideFromBytes(r.Bytes(i)));
    case TStorageKind::Bytes: {
        std::string_view b = r.Bytes(i);
        return TVariant(TBytes(b.begin(), b.end()));
    }
    }
    return {};
}

// The common cases read straight from the record; the rest go through TVariant.
std::int32_t TField::AsInteger() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return 0;
    if (FStorage == TStorageKind::Int32) return r.Int32(std::size_t(FFieldNo));
    return AsVariant().AsInteger();
}

std::int64_t TField::AsLargeInt() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return 0;
    if (FStorage == TStorageKind::Int64) return r.Int64(std::size_t(FFieldNo));
    if (FStorage == TStorageKind::Int32) return r.Int32(std::size_t(FFieldNo));
    return AsVariant().AsLargeInt();
}

double TField::AsFloat() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return 0;
    if (FStorage == TStorageKind::Double) return r.Double(std::size_t(FFieldNo));
    return AsVariant().AsFloat();
}

bool TField::AsBoolean() const { return AsVariant().AsBoolean(); }

TDateTime TField::AsDateTime() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return TDateTime(0);
    if (FStorage == TStorageKind::DateTime) return r.DateTime(std::size_t(FFieldNo));
    return AsVariant().AsDateTime();
}

std::u16string TField::AsString() const {
    TVariant v = AsVariant();
    if (v.IsNull()) return {};
    switch (FDataType) {
    case ftDate: return DateToStr(v.AsDateTime());
    case ftTime: return TimeToStr(v.AsDateTime());
    default: return v.AsString();
    }
}

AnsiString TField::AsAnsiString() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return {};
    if (FStorage == TStorageKind::Ansi || FStorage == TStorageKind::Bytes)
        return AnsiString(r.Bytes(std::size_t(FFieldNo)));
    return UnicodeToAnsi(AsString());
}

TBytes TField::AsBytes() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return {};
    if (FStorage == TStorageKind::Ansi || FStorage == TStorageKind::Bytes) {
        std::string_view b = r.Bytes(std::size_t(FFieldNo));
        return TBytes(b.begin(), b.end());
    }
    return AsVariant().AsBytes();
}

void TField::SetAsInteger(std::int32_t value) { Store(TVariant(value)); }
void TField::SetAsLargeInt(std::int64_t value) { Store(TVariant(value)); }
void TField::SetAsFloat(double value) { Store(TVariant(value)); }
void TField::SetAsBoolean(bool value) { Store(TVariant(value)); }
void TField::SetAsDateTime(TDateTime value) { Store(TVariant(value)); }
void TField::SetAsAnsiString(const AnsiString& value) { Store(TVariant(value)); }
void TField::SetAsBytes(const TBytes& value) { Store(TVariant(value)); }
void TField::SetAsVariant(const TVariant& value) { Store(value); }
void TField::Clear() { Store(TVariant()); }

void TField::SetAsString(const std::u16string& text) {
    if (IsTextType(FDataType) || FStorage == TStorageKind::Bytes) {
        Store(TVariant(text));
        return;
    }
    if (text.empty()) {  // an empty text clears a field that is not text
        Store(TVariant());
        return;
    }
    switch (FStorage) {
    case TStorageKind::Int32: Store(TVariant(StrToInt(text))); return;
    case TStorageKind::Int64: Store(TVariant(StrToInt64(text))); return;
    case TStorageKind::Double: Store(TVariant(StrToFloat(text))); return;
    case TStorageKind::DateTime:
        Store(TVariant(FDataType == ftDate ? StrToDate(text) : FDataType == ftTime ? StrToTime(text) : StrToDateTime(text)));
        return;
    default: Store(TVariant(text)); return;
    }
}

void TField::Store(const TVariant& value) {
    TRecordWriter& buffer = FDataSet.EditBuffer();
    if (FFieldNo < 0) DatabaseError(u"Field '" + FFieldName + u"' not found", &FDataSet);
    std::size_t i = std::size_t(FFieldNo);
    if (value.IsNull()) {
        buffer.SetNull(i);
    } else {
        switch (FStorage) {
        case TStorageKind::Int32: buffer.SetInt32(i, value.AsInteger()); break;
        case TStorageKind::Int64: buffer.SetInt64(i, value.AsLargeInt()); break;
        case TStorageKind::Boolean: buffer.SetBoolean(i, value.AsBoolean()); break;
        case TStorageKind::Double: buffer.SetDouble(i, value.AsFloat()); break;
        case TStorageKind::DateTime: {
            TDateTime d = value.AsDateTime();
            if (FDataType == ftDate) d = DateOf(d);
            else if (FDataType == ftTime) d = TimeOf(d);
            buffer.SetDateTime(i, d);
            break;
        }
        case TStorageKind::Ansi: buffer.SetBytes(i, value.AsAnsiString().View()); break;
        case TStorageKind::Wide: {
            std::u16string w = value.AsString();
            buffer.SetBytes(i, w.data(), w.size() * 2);
            break;
        }
        case TStorageKind::Bytes: {
            TBytes b = value.AsBytes();
            buffer.SetBytes(i, b.data(), b.size());
            break;
        }
        }
    }
    FDataSet.MarkWritten(FFieldNo);
}

} // namespace vantrelo
