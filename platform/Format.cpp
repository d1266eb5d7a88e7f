#include "platform/Format.h"

#include <charconv>
#include <limits>

#include "platform/Exception.h"

namespace vantrelo {

namespace {

class TFormatter {
public:
    TFormatter(std::u16string_view format, std::initializer_list<TFormatArg> args)
        : FFormat(format), FArgs(args.begin()), FArgCount(args.size()) {}

    std::u16string Run() {
        std::u16string out;
        out.reserve(FFormat.size() + 16);
        while (FPos < FFormat.size()) {
            const char16_t c = FFormat[FPos++];
            if (c != u'%') {
                out += c;
                continue;
            }
            if (Peek() == u'%') {
                ++FPos;
                out += u'%';
                continue;
            }
            Conversion(out);
        }
        return out;
    }

private:
    [[noreturn]] void Invalid() const {
        throw EConvertError(u"Format '" + std::u16string(FFormat) +
                            u"' invalid or incompatible with argument");
    }

    char16_t Peek() const { return FPos < FFormat.size() ? FFormat[FPos] : u'\0'; }

    const TFormatArg& NextArg() {
        if (FNextArg >= FArgCount) Invalid();
        return FArgs[FNextArg++];
    }

    std::int64_t IntegerArg() {
        const auto* value = std::get_if<std::int64_t>(&NextArg().Value());
        if (!value) Invalid();
        return *value;
    }

    // A decimal number or '*'; -1 when neither is there.
    int Number() {
        if (Peek() == u'*') {
            ++FPos;
            const std::int64_t value = IntegerArg();
            if (value < 0 || value > std::numeric_limits<int>::max()) Invalid();
            return static_cast<int>(value);
        }
        if (Peek() < u'0' || Peek() > u'9') return -1;
        std::int64_t value = 0;
        while (Peek() >= u'0' && Peek() <= u'9') {
            value = value * 10 + (FFormat[FPos++] - u'0');
            if (value > std::numeric_limits<int>::max()) Invalid();
        }
        return static_cast<int>(value);
    }

    void Conversion(std::u16string& out) {
        // An index is a number followed by ':'; otherwise the number was the width.
        const std::size_t start = FPos;
        if (Peek() != u'*') {
            const int index = Number();
            if (index >= 0 && Peek() == u':') {
                ++FPos;
                FNextArg = static_cast<std::size_t>(index);
            } else {
                FPos = start;
            }
        }
        bool left = false, zeros = false;
        for (;; ++FPos) {
            if (Peek() == u'-') left = true;
            else if (Peek() == u'0') zeros = true;
            else break;
        }
        const int width = Number();
        int precision = -1;
        if (Peek() == u'.') {
            ++FPos;
            precision = Number();
            if (precision < 0) precision = 0;
        }
        const char16_t kind = Peek();
        if (kind == u'\0') Invalid();
        ++FPos;

        std::u16string body;
        std::u16string_view text;
        if (kind == u's') {
            const auto* value = std::get_if<std::u16string_view>(&NextArg().Value());
            if (!value) Invalid();
            text = *value;
            if (precision >= 0 && text.size() > static_cast<std::size_t>(precision))
                text = text.substr(0, static_cast<std::size_t>(precision));
            zeros = false;
        } else if (kind == u'd' || kind == u'u' || kind == u'x' || kind == u'X') {
            body = Integer(kind, precision, left ? 0 : zeros ? width : 0);
            text = body;
        } else {
            Invalid();
        }
        const std::size_t padding =
            width > 0 && text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0;
        if (!left) out.append(padding, u' ');
        out += text;
        if (left) out.append(padding, u' ');
    }

    // The digits with sign; zeroWidth > 0 fills with zeros up to that width (the '0' flag).
    std::u16string Integer(char16_t kind, int precision, int zeroWidth) {
        const TFormatArg& arg = NextArg();
        const auto* value = std::get_if<std::int64_t>(&arg.Value());
        if (!value) Invalid();
        char digits[24];
        std::to_chars_result r;
        bool negative = false;
        if (kind == u'd') {
            negative = *value < 0;
            const std::uint64_t magnitude =
                negative ? 0 - static_cast<std::uint64_t>(*value) : static_cast<std::uint64_t>(*value);
            r = std::to_chars(digits, digits + sizeof digits, magnitude);
        } else {
            std::uint64_t bits = static_cast<std::uint64_t>(*value);
            if (arg.Bits() == 32) bits &= 0xFFFFFFFFu;
            r = std::to_chars(digits, digits + sizeof digits, bits, kind == u'u' ? 10 : 16);
        }
        const std::size_t count = static_cast<std::size_t>(r.ptr - digits);
        std::size_t fill = precision > 0 && count < static_cast<std::size_t>(precision) ? precision - count : 0;
        if (zeroWidth > 0 && precision < 0) {
            const std::size_t used = count + (negative ? 1 : 0);
            if (used < static_cast<std::size_t>(zeroWidth)) fill = zeroWidth - used;
        }
        std::u16string result;
        if (negative) result += u'-';
        result.append(fill, u'0');
        for (std::size_t i = 0; i < count; ++i) {
            char c = digits[i];
            if (kind == u'X' && c >= 'a') c = static_cast<char>(c - 'a' + 'A');
            result += static_cast<char16_t>(c);
        }
        return result;
    }

    std::u16string_view FFormat;
    const TFormatArg* FArgs;
    std::size_t FArgCount;
    std::size_t FPos = 0;
    std::size_t FNextArg = 0;
};

} // namespace

std::u16string Format(std::u16string_view format, std::initializer_list<TFormatArg> args) {
    return TFormatter(format, args).Run();
}

} // namespace vantrelo
