#pragma once
// Connections to the test servers the way the program makes BaseCloud.
#include <memory>
#include <string>

#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "platform/CodePage.h"
#include "providers/mysql/MySQLConnection.h"
#include "providers/mysql/MySQLDbProvider.h"
#include "tests/support/TestServers.h"

namespace vantrelo::test {

inline std::u16string U(const std::string& ascii) { return AsciiToUnicode(ascii); }

inline std::unique_ptr<TDbConnection> MakeConnection(const std::string& host, int port, const std::string& user,
                                                     const std::string& password, const std::string& database,
                                                     bool compress) {
    RegisterMySQLProvider();
    auto c = std::make_unique<TDbConnection>(u"BaseCloud");
    c->SetProviderName(u"MySQL");
    c->SetServer(U(host));
    c->SetPort(port);
    c->SetDatabase(U(database));
    c->SetUsername(U(user));
    c->SetPassword(U(password));
    c->ProviderOptions().Add(u"MySQL.Charset=latin1");
    if (compress) c->ProviderOptions().Add(u"MySQL.Compress=True");
    c->SetLoginPrompt(false);
    return c;
}

inline std::unique_ptr<TDbConnection> MakeConnection(const TMySqlServer& s, bool compress) {
    return MakeConnection(s.Host, s.Port, s.User, s.Password, s.Database, compress);
}

inline TMySQLConnection& MySQL(TDbConnection& c) { return dynamic_cast<TMySQLConnection&>(*c.ProviderConnection()); }

inline void Exec(TDbConnection& c, const std::u16string& sql) {
    TDbQuery q;
    q.SetConnection(&c);
    q.SQL().SetText(sql);
    q.ExecSQL();
}

} // namespace vantrelo::test
