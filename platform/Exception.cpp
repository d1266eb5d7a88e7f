#include "platform/Exception.h"

#include <utility>

#include "platform/CodePage.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstring>
#endif

namespace vantrelo {

Exception::Exception(std::u16string message)
    : FMessage(std::move(message)), FWhat(UnicodeToUtf8(FMessage)) {}

namespace {

#ifndef _WIN32
// strerror_r comes in two shapes; overloads pick whichever the C library declares.
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) { return result == 0 ? buffer : ""; }
[[maybe_unused]] const char* ErrorText(const char* result, const char*) { return result; }
#endif

} // namespace

std::u16string SysErrorMessage(int errorCode) {
    std::u16string text;
#ifdef _WIN32
    wchar_t buffer[512];
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                     static_cast<DWORD>(errorCode), 0, buffer, 512, nullptr);
    text.assign(reinterpret_cast<const char16_t*>(buffer), n);
#else
    char buffer[256] = {};
    text = Utf8ToUnicode(ErrorText(strerror_r(errorCode, buffer, sizeof buffer), buffer));
#endif
    while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
    return text;
}

} // namespace vantrelo
