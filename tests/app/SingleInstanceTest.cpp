// One copy per program file: a second launch hands over to the first and ends.
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <QLocalSocket>
#include <QProcess>

#include <gtest/gtest.h>

#include "app/SingleInstance.h"
#include "platform/CodePage.h"
#include "tests/app/AppTestSupport.h"

namespace vantrelo::test {
namespace {

namespace fs = std::filesystem;

TEST(SingleInstance, ASecondCopyBringsTheFirstWindowUp) {
    QString key = QStringLiteral("vantrelo-test-%1").arg(::getpid());
    TRecordingDialogs dialogs;
    TXdgAutostart autostart(u"/nonexistent");
    TfrmPrincipal window(TInstallSettings{}, dialogs, autostart);
    TSingleInstance first(key);
    ASSERT_FALSE(first.HandOver());
    EXPECT_TRUE(first.Listening());
    QObject::connect(&first, &TSingleInstance::Activated, &window, [&] { window.TrayIcon1DblClick(); });

    TSingleInstance second(key);
    EXPECT_TRUE(second.HandOver());
    EXPECT_FALSE(second.Listening());
    EXPECT_TRUE(WaitFor([&] { return window.isVisible(); }, 10000));
    EXPECT_FALSE(window.TrayIcon1.isVisible());
}

TEST(SingleInstance, TheChannelBelongsToTheProgramFile) {
    EXPECT_EQ(TSingleInstance::KeyFor("/opt/a/vantrelo"), TSingleInstance::KeyFor("/opt/a/../a/vantrelo"));
    EXPECT_NE(TSingleInstance::KeyFor("/opt/a/vantrelo"), TSingleInstance::KeyFor("/opt/b/vantrelo"));
}

// The real program, twice, on a shop: the second launch ends at once and the first runs on.
TEST(SingleInstance, ASecondLaunchOfTheProgramHandsOverAndEnds) {
    VANTRELO_REQUIRE_FIREBIRD(fb);
    VANTRELO_REQUIRE_MYSQL(my);
    TShop shop(fb, my, "SecondLaunch");
    // A copy of the program with its settings file beside it.
    fs::path exe = fs::current_path() / "vantrelo";
    fs::copy_file(VANTRELO_APP_EXE, exe, fs::copy_options::overwrite_existing);
    TInstallSettings s = shop.Settings();
    std::ofstream(fs::current_path() / "vantrelo.ini")
        << "[local]\nserver=" << UnicodeToUtf8(s.LocalServer) << "\nport=" << s.LocalPort
        << "\ndatabase=" << UnicodeToUtf8(s.LocalDatabase) << "\nuser=" << UnicodeToUtf8(s.LocalUser)
        << "\npassword=" << UnicodeToUtf8(s.LocalPassword) << "\n";

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    auto launch = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(fs::current_path().string()));
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QString::fromStdString(exe.string()), {});
        return p.waitForStarted(10000);
    };
    QProcess first, second;
    ASSERT_TRUE(launch(first));
    QString key = TSingleInstance::KeyFor(QString::fromStdString(fs::canonical(exe).string()));
    bool listening = WaitFor([&] {
        QLocalSocket probe;
        probe.connectToServer(key);
        return probe.waitForConnected(100);
    }, 20000);
    ASSERT_TRUE(listening) << "the first copy did not start";

    ASSERT_TRUE(launch(second));
    EXPECT_TRUE(second.waitForFinished(15000)) << "the second copy went on running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    if (!first.waitForFinished(10000)) {
        first.kill();
        first.waitForFinished(5000);
    }
}

} // namespace
} // namespace vantrelo::test
