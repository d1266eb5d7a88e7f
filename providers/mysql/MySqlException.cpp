#include "providers/mysql/MySqlException.h"

#include <array>

#include "platform/CodePage.h"

namespace vantrelo {
namespace {

constexpr int FirstClientError = 2000;

constexpr std::array<std::u16string_view, 48> ClientErrors = {
    u"Unknown MySQL error",
    u"Can't create UNIX socket (%d)",
    u"Can't connect to local MySQL server through socket '%-.64s' (%d)",
    u"Can't connect to MySQL server on '%s' (%d)",
    u"Can't create TCP/IP socket (%d)",
    u"Unknown MySQL Server Host '%-.64s' (%d)",
    u"MySQL server has gone away",
    u"Protocol mismatch. Server Version = %d Client Version = %d",
    u"MySQL client run out of memory",
    u"Wrong host info",
    u"Localhost via UNIX socket",
    u"%-.64s via TCP/IP",
    u"Error in server handshake",
    u"Lost connection to MySQL server during query",
    u"Commands out of sync;  You can't run this command now",
    u"%-.64s via named pipe",
    u"Can't wait for named pipe to host: %s  pipe: %s (%s)",
    u"Can't open named pipe to host: %s  pipe: %s (%s)",
    u"Can't set state of named pipe to host: %s  pipe: %s (%s)",
    u"Can't initialize character set %s (path: %s)",
    u"Got packet bigger than 'max_allowed_packet'",
    u"Embedded server",
    u"Error on SHOW SLAVE STATUS:",
    u"Error on SHOW SLAVE HOSTS:",
    u"Error connecting to slave:",
    u"Error connecting to master:",
    u"SSL connection error",
    u"Malformed packet",
    u"Invalid use of null pointer",
    u"Statement not prepared",
    u"Not all parameters data supplied",
    u"Data truncated",
    u"No parameters exists in the statement",
    u"Invalid parameter number",
    u"Can't send long data for non string or binary data types (parameter: %s)",
    u"Using unsupported buffer type: %s  (parameter: %s)",
    u"Shared memory (%s)",
    u"Can't open shared memory. Request event don't create (%s)",
    u"Can't open shared memory. Answer event don't create (%s)",
    u"Can't open shared memory. File mapping don't create (%s)",
    u"Can't open shared memory. Map of memory don't create (%s)",
    u"Can't open shared memory. File mapping don't create for client (%s)",
    u"Can't open shared memory. Map of memory don't create for client (%s)",
    u"Can't open shared memory. %s event don't create for client (%s)",
    u"Can't open shared memory. Server abandoded and don't sent the answer event (%s)",
    u"Can't open shared memory. Can't send the request event to server (%s)",
    u"Wrong or unknown protocol",
    u"Invalid connection handle",
};

std::u16string BuildMessage(int code, std::u16string_view text, std::initializer_list<TFormatArg> args) {
    std::u16string client(ClientErrorText(code));
    if (args.size() != 0 && !client.empty()) client = Format(client, args);
    if (text.empty()) return client;
    if (code == CR_CONN_HOST_ERROR || client.empty()) return std::u16string(text);
    return client + u"\r\n" + std::u16string(text);
}

} // namespace

std::u16string_view ClientErrorText(int code) {
    if (code < FirstClientError || code >= FirstClientError + int(ClientErrors.size())) return {};
    return ClientErrors[std::size_t(code - FirstClientError)];
}

EMySqlException::EMySqlException(int code) : Exception(std::u16string(ClientErrorText(code))), FErrorCode(code) {}

EMySqlException::EMySqlException(int code, std::u16string_view text)
    : Exception(BuildMessage(code, text, {})), FErrorCode(code) {}

EMySqlException::EMySqlException(int code, bool isServerError, std::u16string_view text)
    : Exception(BuildMessage(code, text, {})), FErrorCode(code), FIsServerError(isServerError) {}

EMySqlException::EMySqlException(int code, std::u16string_view text, std::initializer_list<TFormatArg> args)
    : Exception(BuildMessage(code, text, args)), FErrorCode(code) {}

EMySqlException::EMySqlException(int code, std::string serverText)
    : Exception(BuildMessage(code, AnsiToUnicode(std::string_view(serverText)), {})), FErrorCode(code),
      FIsServerError(true), FServerText(std::move(serverText)) {}

} // namespace vantrelo
