#pragma once
// A throwaway database on the Firebird test server, made with the server's own isql tool.
#include <string>
#include <string_view>

#include "tests/support/TestServers.h"

namespace vantrelo {
class TDbConnection;
class TIBConnection;
}

namespace vantrelo::test {

// Bytes in upper-case hex, as isql shows OCTETS.
std::string HexOf(std::string_view bytes);

class TIBTestDatabase {
public:
    // A new database "<dir>/<name>-<pid>.fdb" of the given dialect, default character
    // set WIN1252, with the script (isql statements, ';'-terminated) run in it.
    TIBTestDatabase(const TFirebirdServer& server, const std::string& name, const std::string& script,
                    int dialect = 3);
    ~TIBTestDatabase();
    TIBTestDatabase(const TIBTestDatabase&) = delete;
    TIBTestDatabase& operator=(const TIBTestDatabase&) = delete;

    const std::string& Path() const noexcept { return FPath; }
    const TFirebirdServer& Server() const noexcept { return FServer; }
    // Runs an isql script on the database with the connection character set; its output.
    std::string Isql(const std::string& script, const std::string& charset = "WIN1252") const;
    // The raw bytes of a text column, as isql shows an OCTETS cast: upper-case hex.
    std::string StoredHex(const std::string& table, const std::string& column, const std::string& where) const;

    // Settings of the test server and this database, with the given character set.
    void Configure(TIBConnection& connection, const std::u16string& charset) const;
    void Configure(TDbConnection& connection, const std::u16string& charset) const;

    // The catalogue fixture's statements.
    static std::string CatalogueScript();

private:
    std::string RunIsql(const std::string& arguments, const std::string& script) const;

    TFirebirdServer FServer;
    std::string FPath;
};

} // namespace vantrelo::test
