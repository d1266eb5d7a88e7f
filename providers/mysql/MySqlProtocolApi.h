#pragma once
// The operations of the MySQL client interface over our own protocol session. Every
// operation catches the provider's low-level error, records its code and text in the
// session and reports failure by its result; mysql_errno/mysql_error tell the rest.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/AnsiString.h"
#include "providers/mysql/MySqlSession.h"

namespace vantrelo {

enum TMySqlOption {
    MYSQL_OPT_CONNECT_TIMEOUT = 0,
    MYSQL_OPT_NAMED_PIPE = 2,
    MYSQL_SET_CHARSET_NAME = 7,
    MYSQL_OPT_PROTOCOL = 9,
    MYSQL_OPT_READ_TIMEOUT = 11,
    MYSQL_OPT_WRITE_TIMEOUT = 12,
};

class TMySqlProtocolApi {
public:
    // The one direct API of the process.
    static TMySqlProtocolApi& Direct();

    std::u16string mysql_get_client_info() const { return u"8.0.0 native"; }

    std::unique_ptr<TMySqlSession> mysql_init();
    // Options this API does not know are accepted and ignored.
    int mysql_options(TMySqlSession& session, TMySqlOption option, int value);
    int mysql_options(TMySqlSession& session, TMySqlOption option, const AnsiString& value);
    // False on failure (the error is recorded in the session).
    bool mysql_real_connect(TMySqlSession& session, const std::u16string& host, const AnsiString& user,
                            const AnsiString& password, const AnsiString& database, int port,
                            const std::u16string& socketName, std::uint32_t clientFlags);
    // Closes (ignoring any error), detaches a result still attached and frees the session.
    void mysql_close(std::unique_ptr<TMySqlSession>& session);
    int mysql_select_db(TMySqlSession& session, const AnsiString& database);
    int mysql_ping(TMySqlSession& session);
    int mysql_kill(TMySqlSession& session, std::uint32_t threadId);

    int mysql_errno(const TMySqlSession& session) const { return session.Ferrno; }
    const std::u16string& mysql_error(const TMySqlSession& session) const { return session.Ferror; }
    bool mysql_isservererror(const TMySqlSession& session) const { return session.FIsServerError; }
    const AnsiString& mysql_get_server_info(const TMySqlSession& session) const { return session.serverVersion; }
    const std::u16string& mysql_get_host_info(const TMySqlSession& session) const { return session.hostInfo; }
    std::uint32_t mysql_thread_id(const TMySqlSession& session) const { return session.threadId; }

    // Sends the statement and reads the reply header; 0 or the error code.
    int mysql_real_query(TMySqlSession& session, const char* text, std::size_t length);
    // The pending rows of the last statement; null when it returned no columns.
    std::unique_ptr<TMySqlResultSet> mysql_use_result(TMySqlSession& session);
    // The next row, or false at the end or on an error (mysql_errno tells which).
    bool mysql_fetch_row(TMySqlResultSet& result);
    const std::vector<TMySqlBind>& mysql_fetch_lengths(const TMySqlResultSet& result) const { return result.Binds(); }
    // Detaches the result from its session and reads away what is left of it; 0 or the error.
    int mysql_free_result(std::unique_ptr<TMySqlResultSet>& result);
    std::int64_t mysql_affected_rows(const TMySqlSession& session) const { return session.affectedRows; }
    std::uint64_t mysql_insert_id(const TMySqlSession& session) const { return session.insertId; }
    std::size_t mysql_field_count(const TMySqlSession& session) const { return session.fieldCount; }
    const AnsiString& mysql_info(const TMySqlSession& session) const { return session.info; }
    bool mysql_more_results(const TMySqlSession& session) const {
        return session.serverStatus & SERVER_MORE_RESULTS_EXISTS;
    }
    // 0 when a next result was read, -1 when there is none, else the error code.
    int mysql_next_result(TMySqlSession& session);

private:
    template <class F> int Guarded(TMySqlSession& session, F&& operation);

    std::mutex FQueryBufferCS;  // held while a statement is being written to the socket
};

} // namespace vantrelo
