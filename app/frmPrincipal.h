#pragma once
// The main window: the log panel, the buttons that drive synchronisation, the access-code
// panel, the tray icon with its menu, and the two timers that supervise the connections
// and start the runs. It is the engine's window (log, progress, pending events) and the
// guard around its runs.
#include <string>

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include "app/AutostartEntry.h"
#include "app/Dialogs.h"
#include "app/ShellStyle.h"
#include "sync/InstallSettings.h"
#include "sync/SyncPanel.h"
#include "sync/SyncRun.h"

namespace vantrelo {

class TDmdados;

// The timers' periods; only tests choose others.
struct TTimerPeriods {
    int SupervisionMs = 1000;
    int FirstSyncMs = 5000;  // until the first arming
    int MinuteMs = 60000;
};

class TfrmPrincipal : public QWidget, public TSyncPanel, public TSyncControls {
    Q_OBJECT
public:
    TfrmPrincipal(const TInstallSettings& settings, TDialogs& dialogs, TAutostartEntry& autostart,
                  TTimerPeriods periods = {});
    ~TfrmPrincipal() override;

    // The data module is made after the window; the timers do nothing until it is set.
    void SetDataModule(TDmdados* dm) noexcept { FDm = dm; }

    // The engine's window.
    void AppendLog(const std::u16string& line) override;
    void SetProgressMax(int maximum) override;
    void StepProgress() override;
    void ProcessMessages() override;
    // The guards of a run.
    bool RunAllowed() const override;
    void RunStarting() override;
    void RunFinished() override;

    // Handlers.
    void TcheckConexaoTimer();
    void Get_Config_IntervaloSic();
    void TSincronizarTimer();
    void btSincronizarClick();
    void btSincAllClick();
    void btConfigClick();
    void SpeedButton1Click();   // to the tray
    void MinimizarClick();      // "Maximizar"
    void MenuItem1Click();      // "Fechar Aplicação"
    void MenuItem2Click();      // "Iniciar Junto com Windows"
    void TrayIcon1DblClick();   // also what a second launch asks for

    // The code "Sinc-All" and "Configuração" want now: the installation's prefix and HHMM.
    std::u16string AccessCode() const;
    // The synchronisation period for TEMPO_SINCRO.
    static int SyncPeriod(int tempoSincro, int minuteMs);
    // The log panel's lines, in order.
    QStringList LogLines() const;

signals:
    // A run started by a button or the timer ended (a TRunOutcome).
    void RunEnded(int outcome);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void AskForCode();
    void BuildWindow();
    void BuildMenu();

    TInstallSettings FSettings;
    TDialogs& FDialogs;
    TAutostartEntry& FAutostart;
    TTimerPeriods FPeriods;
    TDmdados* FDm = nullptr;
    int FLogLines = 0;

public:
    // The components, children of the window (declared parents first).
    QLabel Panel1{this};
    QToolButton SpeedButton1{&Panel1};
    QFrame Panel2{this};
    QPlainTextEdit MemoLog{this};
    QProgressBar ProgressBar1{this};
    QFrame Panel4{this};
    QLabel Image1{&Panel4};
    QToolButton btConfig{&Panel4};
    QPushButton btSincAll{&Panel4};
    QFrame PSenha{&Panel4};
    QLabel PSenhaHeader{&PSenha};
    QToolButton btFecharSenha{&PSenhaHeader};  // "X"
    QLineEdit EditSenha{&PSenha};
    QPushButton btSincronizar{&Panel4};
    QMenu PopupMenu1{this};
    QAction Minimizar{this};
    QAction MenuItem1{this};
    QAction N1{this};
    QAction MenuItem2{this};
    QSystemTrayIcon TrayIcon1{this};
    QTimer TcheckConexao{this};
    QTimer TSincronizar{this};

private:
    TWindowDragger FDragger{*this};
};

} // namespace vantrelo
