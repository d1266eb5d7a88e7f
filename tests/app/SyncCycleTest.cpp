// The timers and buttons of the main window on a real shop: supervision, arming, runs
// started by the timer and by the buttons, their guards, and the access code.
#include <filesystem>
#include <new>
#include <regex>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/FormatSettings.h"
#include "tests/app/AppTestSupport.h"

namespace vantrelo::test {
namespace {

namespace fs = std::filesystem;

// The log with its time stamps replaced by "<stamp>".
std::vector<std::string> Log(TfrmPrincipal& window) {
    static const std::regex stamp(R"(\d\d/\d\d/\d\d\d\d( \d\d:\d\d:\d\d)?)");
    std::vector<std::string> r;
    for (const auto& l : Lines(window.LogLines())) r.push_back(std::regex_replace(l, stamp, "<stamp>"));
    return r;
}

TDateTime StoredTime(TShop& shop) { return shop.LocalValue(u"select DATAULTIMA_SIC from config_geral").AsDateTime(); }
bool InCloud(TShop& shop, int code) {
    return !shop.CloudValue(u"select prod_codigo from produtos where prod_codigo=" + IntToStr(code)).IsNull();
}

// Every outcome of the window's runs, in order.
struct TOutcomes {
    explicit TOutcomes(TfrmPrincipal& window) {
        QObject::connect(&window, &TfrmPrincipal::RunEnded, &window, [this](int o) {
            List.push_back(TRunOutcome(o));
            if (OnEnd) OnEnd(TRunOutcome(o));
        });
    }
    std::vector<TRunOutcome> List;
    std::function<void(TRunOutcome)> OnEnd;
};

TEST(Supervision, AnUnreachableCloudGivesOneEmptyAndOneErrorLinePerTick) {
    VANTRELO_START_SHOP(s, TTimerPeriods{20, 5000, 3600000});
    s.Shop().PointConfigAtCloud(1, /*port*/ 1);
    s.Restart();
    auto ticks = [&] { return s.Window().LogLines().count(""); };
    ASSERT_TRUE(WaitFor([&] { return ticks() >= 4; }));
    s.Window().TcheckConexao.stop();
    // Each tick: an empty line, then "DataBaseErro: " with the provider's message, whose
    // own line breaks continue it on the next lines.
    std::vector<std::string> log = Log(s.Window());
    int errors = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].empty()) {
            ASSERT_LT(i + 1, log.size());
            EXPECT_EQ(log[i + 1].rfind("DataBaseErro: ", 0), 0u) << log[i + 1];
        } else {
            EXPECT_TRUE(i > 0 && !log[i - 1].empty() ? log[i].find("DataBaseErro") == std::string::npos : true) << log[i];
            EXPECT_EQ(log[i].find('\r'), std::string::npos);
            errors += log[i].rfind("DataBaseErro: ", 0) == 0;
        }
    }
    EXPECT_EQ(log.front(), "");
    EXPECT_EQ(errors, ticks());
    EXPECT_FALSE(fs::is_empty("logSic")) << "the reason goes to the minute's log file too";
    EXPECT_TRUE(s.Window().TSincronizar.isActive()) << "the failed connect still arms the run";
}

TEST(Supervision, ReconnectsBothDatabasesAndArmsThePeriodOfTheRecord) {
    VANTRELO_START_SHOP(s, TTimerPeriods{3600000, 5000, 1000});
    s.Shop().PointConfigAtCloud(1);
    s.Shop().LocalExec(u"update config_geral set TEMPO_SINCRO=4");
    s.Restart();
    TfrmPrincipal& w = s.Window();
    w.TcheckConexaoTimer();
    EXPECT_EQ(Log(w), (std::vector<std::string>{"", "Conectado no Servidor Cloud <stamp>"}));
    EXPECT_TRUE(s.Dm().BaseCloud.Connected());
    EXPECT_TRUE(w.TSincronizar.isActive());
    EXPECT_EQ(w.TSincronizar.interval(), 4 * 1000);
    EXPECT_TRUE(w.TcheckConexao.isActive());

    s.Dm().BaseLocal.Disconnect();
    w.TcheckConexaoTimer();
    EXPECT_EQ(Log(w), (std::vector<std::string>{"", "Conectado no Servidor Cloud <stamp>", "", "Conectando no Servidor Local <stamp>"}));
    EXPECT_TRUE(s.Dm().sqlConfigLocal.Active());

    // A local database that went away: three lines, and the next tick tries again.
    s.Dm().BaseLocal.Disconnect();
    s.Dm().BaseLocal.SetPort(1);
    w.TcheckConexaoTimer();
    std::vector<std::string> log = Log(w);
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[4], "");
    EXPECT_EQ(log[5], "Houve erro <stamp>");
    EXPECT_FALSE(log[6].empty());
    EXPECT_TRUE(w.TcheckConexao.isActive());
}

// A window whose log gives out as it would when memory runs out.
class TFailingLogWindow : public TfrmPrincipal {
public:
    using TfrmPrincipal::TfrmPrincipal;
    void AppendLog(const std::u16string& line) override {
        if (!FailOn.empty() && line.rfind(FailOn, 0) == 0) throw std::bad_alloc();
        TfrmPrincipal::AppendLog(line);
    }
    std::u16string FailOn;  // the start of the line that fails
};

TEST(Supervision, AnErrorOfAnotherKindGoesToTheErrorBoxAndSupervisionGoesOn) {
    VANTRELO_START_SHOP(s, TTimerPeriods{3600000, 5000, 60000});
    s.Shop().PointConfigAtCloud(1);
    s.Restart();
    TRecordingDialogs dialogs;
    TXdgAutostart autostart(u"/nonexistent");
    TFailingLogWindow w(s.Shop().Settings(), dialogs, autostart, TTimerPeriods{200, 3600000, 3600000});
    // Both connections down: the tick stops supervision for the cloud, then fails after the local one.
    w.FailOn = u"Conectando no Servidor Local";
    s.Dm().BaseLocal.Disconnect();
    ASSERT_FALSE(s.Dm().BaseCloud.Connected());
    w.SetDataModule(&s.Dm());
    ASSERT_TRUE(WaitFor([&] { return !dialogs.Errors.empty(); }, 5000));
    EXPECT_TRUE(w.TcheckConexao.isActive());
    EXPECT_FALSE(w.TSincronizar.isActive()) << "the failed tick did not arm";
    EXPECT_TRUE(WaitFor([&] { return w.TSincronizar.isActive(); }, 5000)) << "the next tick arms";
    w.TcheckConexao.stop();
    EXPECT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_TRUE(s.Dm().BaseCloud.Connected());
    EXPECT_TRUE(s.Dm().BaseLocal.Connected());
}

TEST(Supervision, ArmingFollowsTheSwitchAndLeavesARunningTimerAlone) {
    VANTRELO_START_SHOP(s, TTimerPeriods{3600000, 5000, 1000});
    const struct { int SimNao, Sincro, Interval; } cases[] = {{1, 10, 10000}, {1, 12, 1000}, {0, 4, 0}};
    for (auto c : cases) {
        s.Shop().LocalExec(u"update config_geral set TEMPO_SIMNAO=" + IntToStr(c.SimNao) + u", TEMPO_SINCRO=" + IntToStr(c.Sincro));
        s.Restart();
        s.Window().Get_Config_IntervaloSic();
        EXPECT_EQ(s.Window().TSincronizar.isActive(), c.Interval != 0) << c.Sincro;
        if (c.Interval) {
            EXPECT_EQ(s.Window().TSincronizar.interval(), c.Interval) << c.Sincro;
        }
    }
    s.Shop().LocalExec(u"update config_geral set TEMPO_SIMNAO=1, TEMPO_SINCRO=3");
    s.Restart();
    s.Window().TSincronizar.start(777);
    s.Window().Get_Config_IntervaloSic();
    EXPECT_EQ(s.Window().TSincronizar.interval(), 777);
}

TEST(SyncRun, TheTimerStartsARun) {
    VANTRELO_START_SHOP(s, TTimerPeriods{10, 5000, 1});  // the first tick arms a 1 ms period
    s.Shop().AddLocalProduct(7, u"Café", Now());
    s.Shop().PointConfigAtCloud(1);
    s.Restart();
    TfrmPrincipal& w = s.Window();
    TOutcomes outcomes(w);
    outcomes.OnEnd = [&](TRunOutcome) {
        w.TcheckConexao.stop();
        w.TSincronizar.stop();
    };
    ASSERT_TRUE(WaitFor([&] { return !outcomes.List.empty(); }));
    EXPECT_EQ(outcomes.List, std::vector<TRunOutcome>{TRunOutcome::Completed});
    EXPECT_TRUE(InCloud(s.Shop(), 7));
}

TEST(SyncRun, TicksDuringALongRunAreIgnored) {
    VANTRELO_START_SHOP(s, TTimerPeriods{3600000, 5000, 1});
    for (int code = 1; code <= 150; ++code) s.Shop().AddLocalProduct(code, u"Produto " + IntToStr(code), Now());
    s.Shop().PointConfigAtCloud(1);
    s.Restart();
    TfrmPrincipal& w = s.Window();
    w.TcheckConexaoTimer();  // connects and arms the synchronisation timer: it ticks every millisecond
    ASSERT_TRUE(w.TSincronizar.isActive());
    TOutcomes outcomes(w);
    int runsStartedAtBusy = -1;
    bool guardsHeld = true;
    outcomes.OnEnd = [&](TRunOutcome o) {
        if (o != TRunOutcome::Busy) return;
        guardsHeld = guardsHeld && !w.btSincronizar.isEnabled() && !w.TcheckConexao.isActive();
        runsStartedAtBusy = 0;
        for (const auto& l : Log(w)) runsStartedAtBusy += l.rfind("Sinc P.Cloud Iniciada", 0) == 0;
    };
    QTest::mouseClick(&w.btSincronizar, Qt::LeftButton);
    ASSERT_FALSE(outcomes.List.empty());
    EXPECT_EQ(outcomes.List.back(), TRunOutcome::Completed);
    std::size_t busy = std::count(outcomes.List.begin(), outcomes.List.end(), TRunOutcome::Busy);
    EXPECT_GT(busy, 0u) << "the timer ticked during the run";
    EXPECT_EQ(busy + 1, outcomes.List.size()) << "one run only";
    EXPECT_EQ(runsStartedAtBusy, 1);
    EXPECT_TRUE(guardsHeld) << "button and supervision are off during the run";
    EXPECT_TRUE(InCloud(s.Shop(), 1));
    EXPECT_TRUE(InCloud(s.Shop(), 150));
    EXPECT_TRUE(w.btSincronizar.isEnabled());
    EXPECT_FALSE(w.TSincronizar.isActive()) << "re-armed, with a full period, by the next supervision tick";
    EXPECT_EQ(w.ProgressBar1.maximum(), 150);
    EXPECT_EQ(w.ProgressBar1.value(), 150);
}

TEST(SyncRun, AfterARunTheSyncTimerWaitsForTheNextSupervisionTick) {
    VANTRELO_START_SHOP(s, TTimerPeriods{3600000, 5000, 1000});
    s.Shop().PointConfigAtCloud(3);  // connects and records, transfers nothing
    s.Restart();
    TfrmPrincipal& w = s.Window();
    w.TSincronizar.start();
    QTest::mouseClick(&w.btSincronizar, Qt::LeftButton);
    EXPECT_TRUE(s.Dm().BaseCloud.Connected());
    EXPECT_FALSE(w.TSincronizar.isActive());
    EXPECT_TRUE(w.TcheckConexao.isActive());
    EXPECT_TRUE(w.btSincronizar.isEnabled());
    w.TcheckConexaoTimer();
    EXPECT_TRUE(w.TSincronizar.isActive());
    EXPECT_EQ(w.TSincronizar.interval(), 1000);
}

TEST(SyncRun, SincAllRecordsTenJune1905AndRunsOverEverything) {
    VANTRELO_START_SHOP(s);
    TfrmPrincipal& w = s.Window();
    // No direction yet: the recorded date stays as Sinc-All wrote it.
    w.EditSenha.setText(QString::fromStdU16String(w.AccessCode()));
    QTest::mouseClick(&w.btSincAll, Qt::LeftButton);
    EXPECT_EQ(StoredTime(s.Shop()), EncodeDate(1905, 6, 10));
    EXPECT_EQ(StoredTime(s.Shop()).Value, 1988.0);
    EXPECT_EQ(Log(w), std::vector<std::string>{"Informe o Tipo de Transação na Configuração do Sinc"});

    // A product changed long before the stored time is sent by Sinc-All.
    s.Shop().AddLocalProduct(42, u"Pão de Açúcar", EncodeDate(1950, 1, 2));
    s.Shop().PointConfigAtCloud(1);
    s.Shop().LocalExec(u"update config_geral set DATAULTIMA_SIC='2000-01-01 00:00:00'");
    s.Restart();
    TfrmPrincipal& w2 = s.Window();
    TOutcomes outcomes(w2);
    w2.EditSenha.setText(QString::fromStdU16String(w2.AccessCode()));
    QTest::mouseClick(&w2.btSincAll, Qt::LeftButton);
    EXPECT_EQ(outcomes.List, std::vector<TRunOutcome>{TRunOutcome::Completed});
    EXPECT_TRUE(InCloud(s.Shop(), 42));
    EXPECT_GT(StoredTime(s.Shop()), EncodeDate(2000, 1, 1));
    EXPECT_TRUE(s.Dialogs().Messages.empty());
}

TEST(AccessCode, AcceptedInItsMinuteAndRefusedTheNext) {
    VANTRELO_START_SHOP(s);
    TfrmPrincipal& w = s.Window();
    TOutcomes outcomes(w);
    FixClock(9, 59, 30);
    w.EditSenha.setText("3570959");

    QTest::mouseClick(&w.btSincAll, Qt::LeftButton);
    EXPECT_EQ(outcomes.List, std::vector<TRunOutcome>{TRunOutcome::NoDirection});

    // "Configuração" opens its window modally with both timers stopped.
    w.TSincronizar.start();
    bool opened = false, timersStopped = false;
    QTimer::singleShot(0, [&] {
        auto* config = qobject_cast<TfrmConfig*>(QApplication::activeModalWidget());
        opened = config != nullptr;
        timersStopped = !w.TcheckConexao.isActive() && !w.TSincronizar.isActive();
        if (config) QTest::mouseClick(&config->SpeedButton1, Qt::LeftButton);
    });
    QTest::mouseClick(&w.btConfig, Qt::LeftButton);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(timersStopped);
    EXPECT_TRUE(w.TcheckConexao.isActive()) << "supervision comes back when the window closes";
    EXPECT_FALSE(w.TSincronizar.isActive());
    EXPECT_TRUE(s.Dialogs().Messages.empty());
    EXPECT_FALSE(w.PSenha.isVisibleTo(&w)) << "a right code does not show the panel";

    FixClock(10, 0, 0);
    QTest::mouseClick(&w.btSincAll, Qt::LeftButton);
    QTest::mouseClick(&w.btConfig, Qt::LeftButton);
    EXPECT_EQ(s.Dialogs().Messages, std::vector<std::string>(2, "Informe a Senha"));
    EXPECT_EQ(outcomes.List.size(), 1u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(w.EditSenha.text(), "3570959") << "never cleared by the program";
}

TEST(AccessCode, ConfiguringDuringARunLeavesSupervisionOffUntilTheRunEnds) {
    VANTRELO_START_SHOP(s, TTimerPeriods{3600000, 5000, 60000});
    for (int code = 1; code <= 30; ++code) s.Shop().AddLocalProduct(code, u"Produto", Now());
    s.Shop().PointConfigAtCloud(1);
    s.Restart();
    TfrmPrincipal& w = s.Window();
    w.EditSenha.setText(QString::fromStdU16String(w.AccessCode()));
    bool configured = false, supervisionAfterClose = true;
    // Between two rows of the run: "Configuração" is clicked and its window closed.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            if (auto* config = qobject_cast<TfrmConfig*>(QApplication::activeModalWidget())) {
                configured = true;
                config->close();
            }
        });
        w.btConfigClick();
        supervisionAfterClose = w.TcheckConexao.isActive();
    });
    TOutcomes outcomes(w);
    w.btSincronizarClick();
    EXPECT_TRUE(configured);
    EXPECT_FALSE(supervisionAfterClose);
    EXPECT_EQ(outcomes.List, std::vector<TRunOutcome>{TRunOutcome::Completed});
    EXPECT_TRUE(w.TcheckConexao.isActive());
}

} // namespace
} // namespace vantrelo::test
