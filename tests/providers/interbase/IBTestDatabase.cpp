#include "tests/providers/interbase/IBTestDatabase.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#define popen _popen
#define pclose _pclose
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include "dataaccess/DbConnection.h"
#include "platform/CodePage.h"
#include "providers/interbase/IBConnection.h"

namespace vantrelo::test {
namespace {

std::string IsqlProgram() {
    const char* v = std::getenv("VANTRELO_FB_ISQL");
    return v && *v ? v : "isql-fb";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

std::string HexOf(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string r;
    for (char c : bytes) {
        r += digits[(static_cast<unsigned char>(c) >> 4) & 0xF];
        r += digits[static_cast<unsigned char>(c) & 0xF];
    }
    return r;
}

std::string TIBTestDatabase::CatalogueScript() {
    return ReadFile(std::string(VANTRELO_SOURCE_DIR) + "/tests/fixtures/interbase/catalogue.sql");
}

TIBTestDatabase::TIBTestDatabase(const TFirebirdServer& server, const std::string& name, const std::string& script,
                                 int dialect)
    : FServer(server) {
    FPath = server.DatabaseDir + "/" + name + "-" + std::to_string(getpid()) + ".fdb";
    std::remove(FPath.c_str());
    std::string create = "SET SQL DIALECT " + std::to_string(dialect) + ";\nCREATE DATABASE '" + server.Host + "/" +
                         std::to_string(server.Port) + ":" + FPath + "' USER '" + server.User + "' PASSWORD '" +
                         server.Password + "' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;\n" + script + "\nCOMMIT;\n";
    std::string output = RunIsql("-q", create);
    if (output.find("Statement failed") != std::string::npos || output.find("Unable to complete") != std::string::npos)
        throw std::runtime_error("creating the test database failed: " + output);
}

TIBTestDatabase::~TIBTestDatabase() { Isql("DROP DATABASE;\n"); }

std::string TIBTestDatabase::RunIsql(const std::string& arguments, const std::string& script) const {
    static int counter = 0;
    std::string name = (std::filesystem::temp_directory_path() /
                        ("vantrelo-isql-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".sql"))
                           .string();
    {
        std::ofstream out(name, std::ios::binary);
        out << script;
    }
    std::string command = IsqlProgram() + " " + arguments + " -i " + name + " 2>&1";
    std::string output;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) output.append(buffer, n);
        pclose(p);
    }
    std::remove(name.c_str());
    return output;
}

std::string TIBTestDatabase::Isql(const std::string& script, const std::string& charset) const {
    std::string target = FServer.Host + "/" + std::to_string(FServer.Port) + ":" + FPath;
    return RunIsql("-q -ch " + charset + " -user " + FServer.User + " -password " + FServer.Password + " " + target,
                   script);
}

std::string TIBTestDatabase::StoredHex(const std::string& table, const std::string& column,
                                       const std::string& where) const {
    std::string output = Isql("SET LIST ON;\nSELECT CAST(" + column + " AS VARCHAR(200) CHARACTER SET OCTETS) HEXVALUE FROM " +
                              table + " WHERE " + where + ";\n");
    std::size_t at = output.find("HEXVALUE");
    if (at == std::string::npos) return "<" + output + ">";
    std::size_t start = output.find_first_not_of(' ', at + 8);
    std::size_t end = output.find_first_of("\r\n", start);
    return output.substr(start, end - start);
}

void TIBTestDatabase::Configure(TIBConnection& connection, const std::u16string& charset) const {
    connection.SetServer(Utf8ToUnicode(FServer.Host));
    connection.SetPort(FServer.Port);
    connection.SetDatabase(Utf8ToUnicode(FPath));
    connection.SetUsername(Utf8ToUnicode(FServer.User));
    connection.SetPassword(Utf8ToUnicode(FServer.Password));
    connection.SetCharset(charset);
    if (!FServer.ClientLibrary.empty()) connection.SetClientLibrary(Utf8ToUnicode(FServer.ClientLibrary));
}

void TIBTestDatabase::Configure(TDbConnection& connection, const std::u16string& charset) const {
    connection.SetProviderName(u"InterBase");
    connection.SetServer(Utf8ToUnicode(FServer.Host));
    connection.SetPort(FServer.Port);
    connection.SetDatabase(Utf8ToUnicode(FPath));
    connection.SetUsername(Utf8ToUnicode(FServer.User));
    connection.SetPassword(Utf8ToUnicode(FServer.Password));
    connection.SetLoginPrompt(false);
    connection.ProviderOptions().Clear();
    if (!charset.empty()) connection.ProviderOptions().Add(u"InterBase.Charset=" + charset);
    if (!FServer.ClientLibrary.empty())
        connection.ProviderOptions().Add(u"InterBase.ClientLibrary=" + Utf8ToUnicode(FServer.ClientLibrary));
}

} // namespace vantrelo::test
