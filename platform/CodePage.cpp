#include "platform/CodePage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/Exception.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace vantrelo {

namespace {

constexpr char16_t ReplacementChar = 0xFFFD;

// Length of the leading run of 7-bit characters; most field texts are entirely ASCII.
std::size_t AsciiPrefix(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (i < n && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    return i;
}

std::size_t AsciiPrefix(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] < 0x80) ++i;
    return i;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

#ifndef _WIN32

// The five bytes Windows-1252 leaves undefined. iconv refuses them; Windows maps each to
// the C1 control of the same number, and so do we, in both directions, so that any byte
// string survives a round trip through Unicode.
bool IsUndefined1252(unsigned value) {
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

constexpr const char* NativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr const char* AnsiCharset = "WINDOWS-1252";

class TIconv {
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from)) {
        if (FHandle == reinterpret_cast<iconv_t>(-1))
            throw Exception(u"Code page conversion " + AsciiToUnicode(from) + u" to " +
                            AsciiToUnicode(to) + u" is not available");
    }
    ~TIconv() { iconv_close(FHandle); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // Converts as far as it can; returns errno of the stop, 0 when all input is consumed.
    int Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        const std::size_t r = iconv(FHandle, &src, &inLeft, &out, &outLeft);
        in = src;
        return r == static_cast<std::size_t>(-1) ? errno : 0;
    }

private:
    iconv_t FHandle;
};

// iconv descriptors are not safe to share between threads; opening one costs far more
// than a conversion, so each thread keeps its own pair.
struct TThreadConverters {
    TIconv ToUnicode{NativeUtf16, AnsiCharset};
    TIconv FromUnicode{AnsiCharset, NativeUtf16};
};

TThreadConverters& Converters() {
    thread_local TThreadConverters converters;
    return converters;
}

[[noreturn]] void ConversionFailed(int error) {
    throw Exception(u"Code page conversion failed: " + AsciiToUnicode(std::strerror(error)));
}

#endif

} // namespace

unsigned GetACP() {
#ifdef _WIN32
    return ::GetACP();
#else
    return 1252;
#endif
}

std::u16string AnsiToUnicode(std::string_view bytes) {
    const std::size_t ascii = AsciiPrefix(bytes);
    if (ascii == bytes.size()) return AsciiToUnicode(bytes);
#ifdef _WIN32
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string result(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                        reinterpret_cast<wchar_t*>(result.data()), length);
    return result;
#else
    // Every Windows-1252 byte is one UTF-16 unit.
    std::u16string result(bytes.size(), u'\0');
    for (std::size_t i = 0; i < ascii; ++i) result[i] = static_cast<char16_t>(bytes[i]);
    const char* in = bytes.data() + ascii;
    std::size_t inLeft = bytes.size() - ascii;
    char* out = reinterpret_cast<char*>(result.data() + ascii);
    std::size_t outLeft = inLeft * sizeof(char16_t);
    TIconv& cd = Converters().ToUnicode;
    while (inLeft > 0) {
        const int error = cd.Convert(in, inLeft, out, outLeft);
        if (error == 0) break;
        if (error != EILSEQ && error != EINVAL) ConversionFailed(error);
        // An undefined byte: its C1 control, as Windows gives.
        const char16_t unit = static_cast<unsigned char>(*in);
        std::memcpy(out, &unit, sizeof unit);
        ++in, --inLeft;
        out += sizeof unit, outLeft -= sizeof unit;
    }
    result.resize(static_cast<std::size_t>(reinterpret_cast<char16_t*>(out) - result.data()));
    return result;
#endif
}

AnsiString UnicodeToAnsi(std::u16string_view text) {
    const std::size_t ascii = AsciiPrefix(text);
    std::string result(text.size(), '\0');
    for (std::size_t i = 0; i < ascii; ++i) result[i] = static_cast<char>(text[i]);
    if (ascii == text.size()) return AnsiString(std::move(result));
#ifdef _WIN32
    const unsigned cp = ::GetACP();
    // Best-fit would silently turn characters into look-alikes; '?' is honest.
    const DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = cp == CP_UTF8 ? nullptr : "?";
    // The OS gives a '?' for each half of a surrogate pair; a character is one '?' everywhere.
    std::u16string_view source = text;
    std::u16string single;
    auto isHigh = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    auto isLow = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    if (cp != CP_UTF8 && std::any_of(text.begin() + ascii, text.end(), isHigh)) {
        single.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool pair = isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1]);
            single += pair ? u'?' : text[i];
            i += pair;
        }
        source = single;
    }
    const wchar_t* src = reinterpret_cast<const wchar_t*>(source.data());
    const int srcLength = static_cast<int>(source.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, src, srcLength, nullptr, 0, fallback, nullptr);
    result.resize(static_cast<std::size_t>(length));
    WideCharToMultiByte(CP_ACP, flags, src, srcLength, result.data(), length, fallback, nullptr);
    return AnsiString(std::move(result));
#else
    const char* in = reinterpret_cast<const char*>(text.data() + ascii);
    std::size_t inLeft = (text.size() - ascii) * sizeof(char16_t);
    char* out = result.data() + ascii;
    std::size_t outLeft = text.size() - ascii;
    TIconv& cd = Converters().FromUnicode;
    while (inLeft > 0) {
        const int error = cd.Convert(in, inLeft, out, outLeft);
        if (error == 0) break;
        if (error != EILSEQ && error != EINVAL) ConversionFailed(error);
        char16_t unit;
        std::memcpy(&unit, in, sizeof unit);
        std::size_t consumed = sizeof unit;
        if (IsHighSurrogate(unit) && inLeft >= 2 * sizeof unit) {
            char16_t next;
            std::memcpy(&next, in + sizeof unit, sizeof next);
            if (IsLowSurrogate(next)) consumed += sizeof next;  // one character, one '?'
        }
        *out++ = IsUndefined1252(unit) ? static_cast<char>(unit) : '?';
        --outLeft;
        in += consumed, inLeft -= consumed;
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return AnsiString(std::move(result));
#endif
}

std::string UnicodeToUtf8(std::u16string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp < 0x80) {
            result += static_cast<char>(cp);
            continue;
        }
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            cp = ReplacementChar;
        }
        if (cp < 0x800) {
            result += static_cast<char>(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            result += static_cast<char>(0xE0 | (cp >> 12));
            result += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (cp >> 18));
            result += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        result += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return result;
}

// One U+FFFD per maximal ill-formed subsequence, the rule Unicode recommends, so that a
// damaged byte never swallows the valid characters after it.
std::u16string Utf8ToUnicode(std::string_view bytes) {
    std::u16string result;
    result.reserve(bytes.size());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            result += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        int length;
        std::uint32_t cp;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the first continuation byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, cp = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, cp = lead & 0x0Fu;
            if (lead == 0xE0) low = 0xA0;   // overlong
            if (lead == 0xED) high = 0x9F;  // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, cp = lead & 0x07u;
            if (lead == 0xF0) low = 0x90;   // overlong
            if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
        } else {
            result += ReplacementChar;
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool complete = true;
        for (int k = 1; k < length; ++k, ++j) {
            const unsigned char c = j < n ? static_cast<unsigned char>(bytes[j]) : 0;
            if (j >= n || c < low || c > high) {
                complete = false;
                break;
            }
            low = 0x80, high = 0xBF;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        i = j;
        if (!complete) {
            result += ReplacementChar;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (cp >> 10));
            result += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            result += static_cast<char16_t>(cp);
        }
    }
    return result;
}

AnsiString Utf8ToAnsi(std::string_view bytes) {
    if (AsciiPrefix(bytes) == bytes.size()) return AnsiString(bytes);
    return UnicodeToAnsi(Utf8ToUnicode(bytes));
}

std::string AnsiToUtf8(const AnsiString& text) {
    if (AsciiPrefix(text.View()) == text.Length()) return text.Bytes();
    return UnicodeToUtf8(AnsiToUnicode(text));
}

std::u16string AsciiToUnicode(std::string_view ascii) {
    std::u16string result(ascii.size(), u'\0');
    for (std::size_t i = 0; i < ascii.size(); ++i)
        result[i] = static_cast<unsigned char>(ascii[i]);
    return result;
}

} // namespace vantrelo
