#include "dataaccess/DbParam.h"

namespace vantrelo {
namespace {

TFieldType TypeOfValue(const TVariant& value) {
    struct V {
        TFieldType operator()(std::monostate) const { return ftUnknown; }
        TFieldType operator()(bool) const { return ftBoolean; }
        TFieldType operator()(std::int32_t) const { return ftInteger; }
        TFieldType operator()(std::int64_t) const { return ftLargeint; }
        TFieldType operator()(double) const { return ftFloat; }
        TFieldType operator()(TDateTime) const { return ftDateTime; }
        TFieldType operator()(const std::u16string&) const { return ftWideString; }
        TFieldType operator()(const AnsiString&) const { return ftString; }
        // A byte array leaves the type to the provider.
        TFieldType operator()(const TBytes&) const { return ftUnknown; }
    };
    return std::visit(V{}, value.Storage());
}

} // namespace

TDbParam::TDbParam(std::u16string name) : FName(std::move(name)), FShared(std::make_shared<TShared>()) {}

void TDbParam::SetValue(TVariant value) {
    if (FShared->DataType == ftUnknown) FShared->DataType = TypeOfValue(value);
    FShared->Value = std::move(value);
    FShared->Bound = true;
}

void TDbParam::SetAsDateTime(TDateTime value) {
    FShared->DataType = ftDateTime;
    FShared->Value = TVariant(value);
    FShared->Bound = true;
}

void TDbParam::SetAsDate(TDateTime value) {
    FShared->DataType = ftDate;
    FShared->Value = TVariant(value);
    FShared->Bound = true;
}

void TDbParam::SetAsBytes(TBytes value) {
    if (FShared->DataType == ftUnknown) FShared->DataType = ftVarBytes;
    FShared->Value = TVariant(std::move(value));
    FShared->Bound = true;
}

void TDbParam::Clear() { FShared->Value = TVariant(); }

} // namespace vantrelo
