#include "dataaccess/Variant.h"

#include <cmath>
#include <limits>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/FormatSettings.h"

namespace vantrelo {
namespace {

const char16_t* KindName(const TVariant::TStorage& v) {
    static const char16_t* const names[] = {u"Null",   u"Boolean",  u"Integer", u"Int64",  u"Double",
                                            u"Date",   u"UnicodeString", u"String", u"Array of Byte"};
    return names[v.index()];
}

[[noreturn]] void CannotConvert(const TVariant::TStorage& v, const char16_t* to) {
    throw EConvertError(u"Could not convert variant of type (" + std::u16string(KindName(v)) + u") into type (" +
                        to + u")");
}

std::int64_t RoundToInt64(double v, const TVariant::TStorage& from, const char16_t* to) {
    double r = std::nearbyint(v);  // banker's rounding, as the default rounding mode does
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) CannotConvert(from, to);
    return std::int64_t(r);
}

} // namespace

std::int64_t TVariant::AsLargeInt() const {
    struct V {
        const TStorage& s;
        std::int64_t operator()(std::monostate) const { return 0; }
        std::int64_t operator()(bool v) const { return v ? 1 : 0; }
        std::int64_t operator()(std::int32_t v) const { return v; }
        std::int64_t operator()(std::int64_t v) const { return v; }
        std::int64_t operator()(double v) const { return RoundToInt64(v, s, u"Int64"); }
        std::int64_t operator()(TDateTime v) const { return RoundToInt64(v.Value, s, u"Int64"); }
        std::int64_t operator()(const std::u16string& v) const { return StrToInt64(v); }
        std::int64_t operator()(const AnsiString& v) const { return StrToInt64(AnsiToUnicode(v)); }
        std::int64_t operator()(const TBytes&) const { CannotConvert(s, u"Int64"); }
    };
    return std::visit(V{FValue}, FValue);
}

std::int32_t TVariant::AsInteger() const {
    std::int64_t v = AsLargeInt();
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        CannotConvert(FValue, u"Integer");
    return std::int32_t(v);
}

double TVariant::AsFloat() const {
    struct V {
        const TStorage& s;
        double operator()(std::monostate) const { return 0; }
        double operator()(bool v) const { return v ? 1 : 0; }
        double operator()(std::int32_t v) const { return v; }
        double operator()(std::int64_t v) const { return double(v); }
        double operator()(double v) const { return v; }
        double operator()(TDateTime v) const { return v.Value; }
        double operator()(const std::u16string& v) const { return StrToFloat(v); }
        double operator()(const AnsiString& v) const { return StrToFloat(AnsiToUnicode(v)); }
        double operator()(const TBytes&) const { CannotConvert(s, u"Double"); }
    };
    return std::visit(V{FValue}, FValue);
}

bool TVariant::AsBoolean() const {
    if (auto b = TryGet<bool>()) return *b;
    if (auto s = TryGet<std::u16string>()) {
        std::u16string t;
        for (char16_t c : *s) t += (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
        if (t == u"TRUE") return true;
        if (t == u"FALSE") return false;
    }
    if (TryGet<TBytes>() || TryGet<AnsiString>() || TryGet<std::u16string>()) CannotConvert(FValue, u"Boolean");
    return AsFloat() != 0;
}

TDateTime TVariant::AsDateTime() const {
    if (auto d = TryGet<TDateTime>()) return *d;
    if (auto s = TryGet<std::u16string>()) return StrToDateTime(*s);
    if (auto a = TryGet<AnsiString>()) return StrToDateTime(AnsiToUnicode(*a));
    if (TryGet<TBytes>()) CannotConvert(FValue, u"Date");
    return TDateTime(AsFloat());
}

std::u16string TVariant::AsString() const {
    struct V {
        std::u16string operator()(std::monostate) const { return {}; }
        std::u16string operator()(bool v) const { return v ? u"True" : u"False"; }
        std::u16string operator()(std::int32_t v) const { return IntToStr(v); }
        std::u16string operator()(std::int64_t v) const { return IntToStr(v); }
        std::u16string operator()(double v) const { return FloatToStr(v); }
        std::u16string operator()(TDateTime v) const { return DateTimeToStr(v); }
        std::u16string operator()(const std::u16string& v) const { return v; }
        std::u16string operator()(const AnsiString& v) const { return AnsiToUnicode(v); }
        std::u16string operator()(const TBytes& v) const {
            return AnsiToUnicode(std::string_view(reinterpret_cast<const char*>(v.data()), v.size()));
        }
    };
    return std::visit(V{}, FValue);
}

AnsiString TVariant::AsAnsiString() const {
    if (auto a = TryGet<AnsiString>()) return *a;
    if (auto b = TryGet<TBytes>()) return AnsiString(reinterpret_cast<const char*>(b->data()), b->size());
    return UnicodeToAnsi(AsString());
}

TBytes TVariant::AsBytes() const {
    if (auto b = TryGet<TBytes>()) return *b;
    if (IsNull()) return {};
    if (TryGet<std::u16string>() || TryGet<AnsiString>()) {
        AnsiString a = AsAnsiString();
        return BytesOf(a.Bytes());
    }
    CannotConvert(FValue, u"Array of Byte");
}

} // namespace vantrelo
