#pragma once
// What the shell's tests share: message boxes that record instead of waiting, a shop with
// the program started on it, and waiting on the event loop.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "app/Dialogs.h"
#include "app/Program.h"
#include "tests/sync/ShopFixture.h"

namespace vantrelo::test {

class TRecordingDialogs : public TDialogs {
public:
    void ShowMessage(const std::u16string& text) override;
    void ShowError(const std::u16string& text) override;
    void Clear() { Messages.clear(); Errors.clear(); }

    std::vector<std::string> Messages, Errors;  // UTF-8
    std::function<void(const std::string&)> OnMessage;  // runs while the "box" is open
};

// The boxes of the application object the tests run under (uncaught errors land here).
TRecordingDialogs& AppDialogs();

// Runs the event loop until `done` holds or the time is up; whether it held.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);

// UTF-8 lines of the log panel.
std::vector<std::string> Lines(const QStringList& lines);

// A clock fixed at a local date-time (an hour and minute of 1 March 2024).
void FixClock(int hour, int minute, int second = 0);

// A shop on the test servers and the program started on it, in the shop's working folder.
class TStartedShop {
public:
    TStartedShop(const TFirebirdServer& fb, const TMySqlServer& my, const std::string& name, TTimerPeriods periods = {});
    ~TStartedShop();

    TShop& Shop() { return *FShop; }
    TProgram& Program() { return *FProgram; }
    TfrmPrincipal& Window() { return *FProgram->frmPrincipal(); }
    TDmdados& Dm() { return *FProgram->Dmdados(); }
    TRecordingDialogs& Dialogs() { return FDialogs; }
    // Restarts the program (after the test changed the configuration row).
    void Restart();

private:
    TTimerPeriods FPeriods;
    std::unique_ptr<TShop> FShop;
    TRecordingDialogs FDialogs;
    std::unique_ptr<TProgram> FProgram;
};

} // namespace vantrelo::test

// Binds `shop` to a started program on both test servers, or skips/fails the test.
#define VANTRELO_START_SHOP(shop, ...)                                                                  \
    VANTRELO_REQUIRE_FIREBIRD(fb_);                                                                     \
    VANTRELO_REQUIRE_MYSQL(my_);                                                                        \
    ::vantrelo::test::TStartedShop shop(fb_, my_,                                                       \
        ::testing::UnitTest::GetInstance()->current_test_info()->name(), ##__VA_ARGS__)
