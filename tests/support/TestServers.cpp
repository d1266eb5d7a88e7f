#include "tests/support/TestServers.h"

#include <cstdlib>

namespace vantrelo::test {
namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

bool RunningInCI() { return !Env("CI").empty() && Env("CI") != "false"; }

bool LookupMySqlServer(TMySqlServer& s, std::string& why) {
    s.Host = Env("VANTRELO_MYSQL_HOST");
    s.Port = std::atoi(Env("VANTRELO_MYSQL_PORT").c_str());
    s.User = Env("VANTRELO_MYSQL_USER");
    s.Password = Env("VANTRELO_MYSQL_PASSWORD");
    s.Database = Env("VANTRELO_MYSQL_DATABASE");
    s.RootUser = Env("VANTRELO_MYSQL_ROOT_USER");
    s.RootPassword = Env("VANTRELO_MYSQL_ROOT_PASSWORD");
    if (s.Host.empty() || s.Port == 0) {
        why = "no MariaDB test server: VANTRELO_MYSQL_HOST/PORT are not set (run the tests through scripts/test.sh)";
        return false;
    }
    return true;
}

bool LookupFirebirdServer(TFirebirdServer& s, std::string& why) {
    s.Host = Env("VANTRELO_FB_HOST");
    s.Port = std::atoi(Env("VANTRELO_FB_PORT").c_str());
    s.User = Env("VANTRELO_FB_USER");
    s.Password = Env("VANTRELO_FB_PASSWORD");
    s.DatabaseDir = Env("VANTRELO_FB_DIR");
    s.ClientLibrary = Env("VANTRELO_FB_CLIENT");
    if (s.Host.empty() || s.Port == 0 || s.DatabaseDir.empty()) {
        why = "no Firebird test server: VANTRELO_FB_HOST/PORT/DIR are not set (run the tests through scripts/test.sh)";
        return false;
    }
    return true;
}

} // namespace vantrelo::test
