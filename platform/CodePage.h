#pragma once
// Conversions between Unicode text and the system's 8-bit ("ANSI") code page, and UTF-8.
// Windows uses the OS's own conversions; elsewhere iconv with Windows-1252, the code page
// of the shop machines. A character the code page lacks becomes '?', on every platform
// (a surrogate pair, or a lone surrogate, counts as one character). The five bytes
// Windows-1252 leaves undefined (81 8D 8F 90 9D) map to the C1 controls U+0081 etc. and
// back, as Windows does, so every byte string survives a round trip.
#include <string>
#include <string_view>

#include "platform/AnsiString.h"

namespace vantrelo {

unsigned GetACP();  // the ANSI code page number (1252 outside Windows)

AnsiString UnicodeToAnsi(std::u16string_view text);
std::u16string AnsiToUnicode(std::string_view bytes);
inline std::u16string AnsiToUnicode(const AnsiString& text) { return AnsiToUnicode(text.View()); }

// Malformed input is replaced by U+FFFD rather than refused.
std::string UnicodeToUtf8(std::u16string_view text);
std::u16string Utf8ToUnicode(std::string_view bytes);

AnsiString Utf8ToAnsi(std::string_view bytes);
std::string AnsiToUtf8(const AnsiString& text);

// Plain ASCII literals for messages and SQL written in the code (no conversion needed).
std::u16string AsciiToUnicode(std::string_view ascii);

} // namespace vantrelo
