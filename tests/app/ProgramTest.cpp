// Start-up against the Firebird test server: the order of creation, what an unreachable
// local database and a broken configuration table do.
#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "tests/app/AppTestSupport.h"

namespace vantrelo::test {
namespace {

namespace fs = std::filesystem;

TInstallSettings SettingsFor(const TFirebirdServer& fb, const std::string& database) {
    TInstallSettings s;
    s.LocalServer = Utf8ToUnicode(fb.Host);
    s.LocalPort = fb.Port;
    s.LocalDatabase = Utf8ToUnicode(database);
    s.LocalUser = Utf8ToUnicode(fb.User);
    s.LocalPassword = Utf8ToUnicode(fb.Password);
    return s;
}

TEST(StartUp, OnAReachableDatabaseTheProgramRunsHiddenWithItsTrayIcon) {
    VANTRELO_REQUIRE_FIREBIRD(fb);
    VANTRELO_REQUIRE_MYSQL(my);
    TShop shop(fb, my, "StartUpReachable");
    fs::remove_all("logSic");
    TRecordingDialogs dialogs;
    TProgram program(dialogs, shop.Settings(), std::make_unique<TXdgAutostart>(u"/nonexistent"));
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(dialogs.Errors.empty()) << dialogs.Errors.front();
    EXPECT_TRUE(fs::is_directory("logSic")) << "made by the main window";
    TfrmPrincipal& window = *program.frmPrincipal();
    EXPECT_TRUE(window.isHidden());
    EXPECT_TRUE(window.TrayIcon1.isVisible());
    EXPECT_TRUE(window.TcheckConexao.isActive());
    EXPECT_FALSE(window.TSincronizar.isActive());
    ASSERT_NE(program.Dmdados(), nullptr);
    EXPECT_TRUE(program.Dmdados()->BaseLocal.Connected());
    EXPECT_TRUE(program.Dmdados()->sqlConfigLocal.Active());
    EXPECT_FALSE(program.Dmdados()->BaseCloud.Connected());
    ASSERT_NE(program.frmConfig(), nullptr);
    EXPECT_TRUE(program.frmConfig()->isHidden()) << "the pre-made window is never shown";

    fs::create_directories("logSic/keep");  // a present folder is left as it is
    TProgram again(dialogs, shop.Settings(), std::make_unique<TXdgAutostart>(u"/nonexistent"));
    ASSERT_TRUE(again.Start());
    EXPECT_TRUE(fs::is_directory("logSic/keep"));
}

TEST(StartUp, AnUnreachableLocalDatabaseIsShownAndTheProgramEnds) {
    VANTRELO_REQUIRE_FIREBIRD(fb);
    fs::path work = fs::path(fb.DatabaseDir) / ("startup-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    fs::path previous = fs::current_path();
    fs::current_path(work);

    TInstallSettings settings = SettingsFor(fb, fb.DatabaseDir + "/missing.fdb");
    settings.LocalPort = 1;  // nothing listens there
    TRecordingDialogs dialogs;
    TProgram program(dialogs, settings, std::make_unique<TXdgAutostart>(u"/nonexistent"));
    EXPECT_FALSE(program.Start());
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_FALSE(dialogs.Errors[0].empty());
    EXPECT_EQ(program.Dmdados(), nullptr);
    EXPECT_TRUE(fs::is_directory("logSic")) << "the window came first";

    fs::current_path(previous);
    fs::remove_all(work);
}

TEST(StartUp, AnErrorReadingTheConfigurationIsShownAndStartUpGoesOn) {
    VANTRELO_REQUIRE_FIREBIRD(fb);
    TIBTestDatabase db(fb, "no-config", "create table filial (codigo integer);");
    TRecordingDialogs dialogs;
    TProgram program(dialogs, SettingsFor(fb, db.Path()), std::make_unique<TXdgAutostart>(u"/nonexistent"));
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_NE(dialogs.Errors[0].find("CONFIG_GERAL"), std::string::npos) << dialogs.Errors[0];
    EXPECT_FALSE(program.Dmdados()->sqlConfigLocal.Active());
    EXPECT_NE(program.frmConfig(), nullptr);
}

} // namespace
} // namespace vantrelo::test
