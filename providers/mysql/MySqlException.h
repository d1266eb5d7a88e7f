#pragma once
// The MySQL provider's low-level error. It never leaves the provider: the connection turns
// it into EMyError.
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Exception.h"
#include "platform/Format.h"

namespace vantrelo {

// Client error codes the provider raises itself.
enum : int {
    CR_UNKNOWN_ERROR = 2000,
    CR_CONN_HOST_ERROR = 2003,
    CR_SERVER_GONE_ERROR = 2006,
    CR_VERSION_ERROR = 2007,
    CR_SERVER_LOST = 2013,
    CR_COMMANDS_OUT_OF_SYNC = 2014,
    CR_MALFORMED_PACKET = 2027,
    CR_NULL_POINTER = 2028,
    CR_WRONG_PROTOCOL = 2046,
    CR_LOCAL_INFILE_REJECTED = 2068,
    ER_NET_PACKETS_OUT_OF_ORDER = 1156,
    ER_NET_UNCOMPRESS_ERROR = 1157,
};

// The client error text of a code (2000 to 2047), empty for any other code.
std::u16string_view ClientErrorText(int code);

class EMySqlException : public Exception {
public:
    explicit EMySqlException(int code);
    EMySqlException(int code, std::u16string_view text);
    EMySqlException(int code, bool isServerError, std::u16string_view text);
    // The client text of the code formatted with the arguments; then the text alone when the
    // code is 2003 or has no client text, else client text + CR LF + text.
    EMySqlException(int code, std::u16string_view text, std::initializer_list<TFormatArg> args);
    // A server error packet: the 8-bit text as the server sent it, kept for decoding in the
    // session's character set.
    EMySqlException(int code, std::string serverText);

    int ErrorCode() const noexcept { return FErrorCode; }
    bool IsServerError() const noexcept { return FIsServerError; }
    // The text as the server sent it (server errors only).
    const std::string& ServerText() const noexcept { return FServerText; }

private:
    int FErrorCode;
    bool FIsServerError = false;
    std::string FServerText;
};

} // namespace vantrelo
