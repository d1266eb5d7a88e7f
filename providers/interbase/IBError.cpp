#include "providers/interbase/IBError.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "providers/interbase/IBLibrary.h"

namespace vantrelo {
namespace {

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        if (c < 0x80) n = 0;
        else if ((c & 0xE0) == 0xC0) n = 1;
        else if ((c & 0xF0) == 0xE0) n = 2;
        else if ((c & 0xF8) == 0xF0) n = 3;
        else return false;
        if (i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n + 1;
    }
    return true;
}

} // namespace

EIBError::EIBError(int errorCode, std::int64_t errorNumber, std::u16string sqlErrorMsg, std::u16string message,
                   const TComponent* component)
    : EDataAccessError(errorCode, std::move(message), component), FErrorNumber(errorNumber),
      FSQLErrorMsg(std::move(sqlErrorMsg)) {}

bool IsFatalErrorNumber(std::int64_t n) {
    static constexpr std::int64_t fatal[] = {335544528, 335544648, 335544721, 335544726,
                                             335544727, 335544741, 335544856};
    return std::find(std::begin(fatal), std::end(fatal), n) != std::end(fatal);
}

bool EIBError::IsFatalError() const { return IsFatalErrorNumber(FErrorNumber); }
bool EIBError::IsKeyViolation() const { return FErrorNumber == KeyViolationErrorNumber; }

std::u16string DecodeServerText(std::string_view text, bool unicodeAttachment) {
    if (unicodeAttachment && IsValidUtf8(text)) return Utf8ToUnicode(text);
    return AnsiToUnicode(text);
}

EIBError ReadIBError(TIBLibrary& library, const ibapi::TStatusVector& status, bool unicodeAttachment,
                     const TComponent* component) {
    TIBLibrary::TBusy busy(library);
    const TIBFunctions& api = library.Api();
    int sqlCode = api.isc_sqlcode(status.data());
    std::int64_t number = status[1];

    char buffer[4096] = {};
    api.isc_sql_interprete(short(sqlCode), buffer, short(sizeof buffer));
    buffer[sizeof buffer - 1] = '\0';
    std::u16string sqlMessage = DecodeServerText(buffer, unicodeAttachment);

    // isc_interprete walks a copy: it moves the cursor along the vector it is given.
    ibapi::TStatusVector copy = status;
    ibapi::TStatus* cursor = copy.data();
    std::u16string message;
    while (true) {
        std::fill(std::begin(buffer), std::end(buffer), '\0');
        if (api.isc_interprete(buffer, &cursor) <= 0) break;
        buffer[sizeof buffer - 1] = '\0';
        if (!message.empty()) message += u'\r';
        message += DecodeServerText(buffer, unicodeAttachment);
    }
    return EIBError(sqlCode, number, std::move(sqlMessage), std::move(message), component);
}

} // namespace vantrelo
