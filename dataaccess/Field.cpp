#include "dataaccess/Field.h"

#include <cmath>
#include <cstring>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/MemoryDataSet.h"
#include "platform/CodePage.h"
#include "platform/FormatSettings.h"

namespace vantrelo {
namespace {


} // namespace

TField::TField(TMemoryDataSet& dataSet, std::u16string fieldName, TFieldType dataType, int size, bool required)
    : FDataSet(dataSet), FFieldName(std::move(fieldName)), FDataType(dataType), FSize(size), FRequired(required),
      FStorage(StorageKindOf(dataType)) {}

TRecordView TField::Record() const {
    FDataSet.CheckActive();
    return FDataSet.CurrentRecord();
}

bool TField::IsNull() const {
    TRecordView r = Record();
    return FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo));
}

TVariant TField::AsVariant() const {
    TRecordView r = Record();
    if (FFieldNo < 0 || !r.IsValid() || r.IsNull(std::size_t(FFieldNo))) return {};
    return r.Value(std::size_t(FFieldNo), FStorage);
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
        return BytesOf(r.Bytes(std::size_t(FFieldNo)));
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
    if (!value.IsNull() && (FDataType == ftDate || FDataType == ftTime)) {
        TDateTime d = value.AsDateTime();
        buffer.SetValue(std::size_t(FFieldNo), FStorage, TVariant(FDataType == ftDate ? DateOf(d) : TimeOf(d)));
    } else {
        buffer.SetValue(std::size_t(FFieldNo), FStorage, value);
    }
    FDataSet.MarkWritten(FFieldNo);
}

} // namespace vantrelo
