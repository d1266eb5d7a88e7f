#include "providers/mysql/MyError.h"

namespace vantrelo {
namespace {

constexpr int ErServerShutdown = 1053;
constexpr int ErDupEntry = 1062;
constexpr int ErParseError = 1064;

// The last run of digits of the message; 0 when there is none.
int TrailingNumber(const std::u16string& text) {
    std::size_t end = text.size();
    while (end > 0 && !(text[end - 1] >= u'0' && text[end - 1] <= u'9')) --end;
    std::size_t start = end;
    while (start > 0 && text[start - 1] >= u'0' && text[start - 1] <= u'9') --start;
    if (start == end || end - start > 9) return 0;
    int n = 0;
    for (std::size_t i = start; i < end; ++i) n = n * 10 + (text[i] - u'0');
    return n;
}

} // namespace

EMyError::EMyError(int errorCode, std::u16string message, const TComponent* component)
    : EDataAccessError(errorCode, std::move(message), component) {
    if (errorCode == ErParseError) FLineNumber = TrailingNumber(Message());
}

bool EMyError::IsFatalError() const {
    switch (ErrorCode()) {
    case ErServerShutdown: case 2003: case 2006: case 2013: return true;
    default: return false;
    }
}

bool EMyError::IsKeyViolation() const { return ErrorCode() == ErDupEntry; }

} // namespace vantrelo
