#include "providers/mysql/MySqlProtocolApi.h"

#include "platform/Exception.h"
#include "platform/Format.h"
#include "providers/mysql/MySqlException.h"

namespace vantrelo {

TMySqlProtocolApi& TMySqlProtocolApi::Direct() {
    static TMySqlProtocolApi api;
    return api;
}

template <class F> int TMySqlProtocolApi::Guarded(TMySqlSession& session, F&& operation) {
    session.Ferrno = 0;
    session.Ferror.clear();
    session.FServerErrorText.clear();
    session.FIsServerError = false;
    try {
        operation();
        return 0;
    } catch (const EMySqlException& e) {
        session.Ferrno = e.ErrorCode() != 0 ? e.ErrorCode() : CR_UNKNOWN_ERROR;
        session.Ferror = e.Message();
        session.FIsServerError = e.IsServerError();
        session.FServerErrorText = e.ServerText();
    } catch (const EArgumentError& e) {
        // A length the packet cannot hold: the server's bytes are not to be trusted any more.
        session.Ferrno = CR_MALFORMED_PACKET;
        session.Ferror = EMySqlException(CR_MALFORMED_PACKET, e.Message()).Message();
    }
    // After a broken stream nothing more can be read in step: the session is unusable, and
    // the next command reports the lost connection.
    bool inStep = session.FIsServerError || session.Ferrno == CR_COMMANDS_OUT_OF_SYNC ||
                  session.Ferrno == CR_LOCAL_INFILE_REJECTED || session.Ferrno == CR_WRONG_PROTOCOL;
    if (!inStep && session.net.vio()) session.net.Close();
    return session.Ferrno;
}

std::unique_ptr<TMySqlSession> TMySqlProtocolApi::mysql_init() { return std::make_unique<TMySqlSession>(); }

int TMySqlProtocolApi::mysql_options(TMySqlSession& session, TMySqlOption option, int value) {
    switch (option) {
    case MYSQL_OPT_CONNECT_TIMEOUT: session.connectTimeout = value; break;
    case MYSQL_OPT_NAMED_PIPE: session.protocolType = MYSQL_PROTOCOL_PIPE; break;
    case MYSQL_OPT_PROTOCOL: session.protocolType = MYSQL_PROTOCOL_TYPE(value); break;
    case MYSQL_OPT_READ_TIMEOUT:
    case MYSQL_OPT_WRITE_TIMEOUT: session.commandTimeout = value; break;
    default: break;
    }
    return 0;
}

int TMySqlProtocolApi::mysql_options(TMySqlSession& session, TMySqlOption option, const AnsiString& value) {
    if (option == MYSQL_SET_CHARSET_NAME) session.charset = value;
    return 0;
}

bool TMySqlProtocolApi::mysql_real_connect(TMySqlSession& session, const std::u16string& host, const AnsiString& user,
                                           const AnsiString& password, const AnsiString& database, int port,
                                           const std::u16string& socketName, std::uint32_t clientFlags) {
    int rc = Guarded(session, [&] { session.Connect(host, user, clientFlags, socketName, port, database, password); });
    if (rc == 0) return true;
    // A half-open login leaves nothing behind.
    session.FIsClosed = true;
    session.net.Close();
    return false;
}

void TMySqlProtocolApi::mysql_close(std::unique_ptr<TMySqlSession>& session) {
    if (!session) return;
    try {
        session->Close();
    } catch (...) {
        // A session whose socket is broken closes all the same.
    }
    if (session->FResultSet) session->FResultSet->Detach();
    session.reset();
}

int TMySqlProtocolApi::mysql_select_db(TMySqlSession& session, const AnsiString& database) {
    return Guarded(session, [&] { session.SelectDb(database); });
}

int TMySqlProtocolApi::mysql_ping(TMySqlSession& session) {
    return Guarded(session, [&] { session.Ping(); });
}

int TMySqlProtocolApi::mysql_kill(TMySqlSession& session, std::uint32_t threadId) {
    std::uint8_t id[4] = {std::uint8_t(threadId), std::uint8_t(threadId >> 8), std::uint8_t(threadId >> 16),
                          std::uint8_t(threadId >> 24)};
    return Guarded(session, [&] { session.SimpleCommand(scProcessKill, id, sizeof id, false); });
}

int TMySqlProtocolApi::mysql_real_query(TMySqlSession& session, const char* text, std::size_t length) {
    int rc = Guarded(session, [&] {
        std::lock_guard lock(FQueryBufferCS);
        session.SimpleCommand(scQuery, reinterpret_cast<const std::uint8_t*>(text), length, true);
    });
    if (rc != 0) return rc;
    return Guarded(session, [&] { session.ReadQueryResult(); });
}

std::unique_ptr<TMySqlResultSet> TMySqlProtocolApi::mysql_use_result(TMySqlSession& session) {
    if (session.fieldCount == 0 || session.status != msGetResult) return nullptr;
    auto result = std::make_unique<TMySqlResultSet>(session);
    session.status = msUseResult;
    session.FResultSet = result.get();
    return result;
}

bool TMySqlProtocolApi::mysql_fetch_row(TMySqlResultSet& result) {
    TMySqlSession* session = result.Session();
    if (!session) return false;
    bool row = false;
    Guarded(*session, [&] { row = result.Fetch(); });
    return row;
}

int TMySqlProtocolApi::mysql_free_result(std::unique_ptr<TMySqlResultSet>& result) {
    if (!result) return 0;
    TMySqlSession* session = result->Session();
    result.reset();
    if (!session) return 0;
    session->FResultSet = nullptr;
    return Guarded(*session, [&] { session->FreeQuery(); });
}

int TMySqlProtocolApi::mysql_next_result(TMySqlSession& session) {
    bool more = false;
    int rc = Guarded(session, [&] {
        if (session.status != msReady)
            throw EMySqlException(CR_COMMANDS_OUT_OF_SYNC,
                                  u"mysql.status = " + Format(u"%d", {int(session.status)}));
        session.affectedRows = -1;
        more = session.serverStatus & SERVER_MORE_RESULTS_EXISTS;
        if (more) session.ReadQueryResult();
    });
    if (rc != 0) return rc;
    return more ? 0 : -1;
}

} // namespace vantrelo
