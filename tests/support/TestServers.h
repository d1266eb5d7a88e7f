#pragma once
// Where the throwaway test servers listen, from the environment that scripts/test.sh
// (through scripts/test-servers.sh) exports. Outside CI a missing server skips the test
// with a clear message; in CI (CI set) it fails it.
#include <string>

namespace vantrelo::test {

struct TMySqlServer {
    std::string Host, User, Password, Database;
    int Port = 0;
    std::string RootUser, RootPassword;
};

struct TFirebirdServer {
    std::string Host, User, Password;
    int Port = 0;
    std::string DatabaseDir;  // a folder the server may create databases in
    std::string ClientLibrary;
};

// Empty optional-like result: the test has been skipped or failed already
// (GTEST_SKIP / ADD_FAILURE); call through the macros below.
bool LookupMySqlServer(TMySqlServer& server, std::string& why);
bool LookupFirebirdServer(TFirebirdServer& server, std::string& why);
bool RunningInCI();

} // namespace vantrelo::test

// Use at the start of a test body: binds `server` or skips/fails the test.
#define VANTRELO_REQUIRE_MYSQL(server)                                                   \
    ::vantrelo::test::TMySqlServer server;                                               \
    do {                                                                                 \
        std::string why_;                                                                \
        if (!::vantrelo::test::LookupMySqlServer(server, why_)) {                        \
            if (::vantrelo::test::RunningInCI()) FAIL() << why_;                         \
            else GTEST_SKIP() << why_;                                                   \
        }                                                                                \
    } while (0)

#define VANTRELO_REQUIRE_FIREBIRD(server)                                                \
    ::vantrelo::test::TFirebirdServer server;                                            \
    do {                                                                                 \
        std::string why_;                                                                \
        if (!::vantrelo::test::LookupFirebirdServer(server, why_)) {                     \
            if (::vantrelo::test::RunningInCI()) FAIL() << why_;                         \
            else GTEST_SKIP() << why_;                                                   \
        }                                                                                \
    } while (0)
