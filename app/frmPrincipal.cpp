#include "app/frmPrincipal.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "app/Artwork.h"
#include "app/frmConfig.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/FormatSettings.h"
#include "sync/Dmdados.h"

namespace vantrelo {
namespace {

// A timer's Enabled: switching on a running timer leaves its count alone.
void SetEnabled(QTimer& timer, bool enabled) {
    if (!enabled) timer.stop();
    else if (!timer.isActive()) timer.start();
}

std::u16string Stamp() { return DateTimeToStr(Now()); }

QString Q(const char16_t* text) { return QString::fromStdU16String(text); }

const char16_t* const InformeASenha = u"Informe a Senha";

} // namespace

TfrmPrincipal::TfrmPrincipal(const TInstallSettings& settings, TDialogs& dialogs, TAutostartEntry& autostart,
                             TTimerPeriods periods)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      FSettings(settings),
      FDialogs(dialogs),
      FAutostart(autostart),
      FPeriods(periods) {
    BuildWindow();
    BuildMenu();

    TcheckConexao.setObjectName("TcheckConexao");
    TcheckConexao.setInterval(FPeriods.SupervisionMs);
    TSincronizar.setObjectName("TSincronizar");
    TSincronizar.setInterval(FPeriods.FirstSyncMs);
    connect(&TcheckConexao, &QTimer::timeout, this, [this] { Guarded(FDialogs, [this] { TcheckConexaoTimer(); }); });
    connect(&TSincronizar, &QTimer::timeout, this, [this] { Guarded(FDialogs, [this] { TSincronizarTimer(); }); });
    TcheckConexao.start();

    FormCreate();
}

TfrmPrincipal::~TfrmPrincipal() = default;

void TfrmPrincipal::BuildWindow() {
    using namespace shell;
    setObjectName("frmPrincipal");
    setWindowTitle(Q(u"Vantrelo  Q.V Local x Nuvem"));
    setWindowIcon(artwork::AppIcon());
    setFixedSize(486, 316);
    Paint(*this, FormGrey);

    const int inner = width() - 2 * BorderWidth;
    const int middle = height() - 2 * BorderWidth - 2 * BarHeight;
    const int top = BorderWidth + BarHeight;

    Panel1.setObjectName("Panel1");
    SpeedButton1.setObjectName("SpeedButton1");
    Panel2.setObjectName("Panel2");
    BuildBars(*this, Panel1, Q(u"    Q.V Cloud | Vantrelo"), SpeedButton1, artwork::HideGlyph(), Panel2);
    FDragger.Watch(Panel1);
    connect(&SpeedButton1, &QToolButton::clicked, this, [this] { Guarded(FDialogs, [this] { SpeedButton1Click(); }); });

    Panel4.setObjectName("Panel4");
    Panel4.setGeometry(BorderWidth + inner - 109, top, 109, middle);
    Panel4.setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel4.setLineWidth(1);
    Paint(Panel4, ButtonFace);

    MemoLog.setObjectName("MemoLog");
    MemoLog.setGeometry(BorderWidth, top, inner - 109, middle);
    MemoLog.setFrameShape(QFrame::NoFrame);
    MemoLog.setReadOnly(true);  // only the program writes the log
    MemoLog.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoLog.setFont(Font("Arial", 13));
    Paint(MemoLog, ButtonFace, Blue);

    ProgressBar1.setObjectName("ProgressBar1");
    ProgressBar1.setGeometry(32, 230, 292, 20);
    ProgressBar1.setRange(0, 0);
    ProgressBar1.setValue(0);
    ProgressBar1.setTextVisible(false);
    ProgressBar1.hide();

    // The side panel's children are placed from the inside of its border.
    const QPoint in = Panel4.contentsRect().topLeft();
    auto place = [&](QWidget& w, int left, int topOffset, int wd, int ht) { w.setGeometry(in.x() + left, in.y() + topOffset, wd, ht); };

    Image1.setObjectName("Image1");
    Image1.setGeometry(Panel4.contentsRect());
    Image1.setScaledContents(true);
    Image1.setPixmap(artwork::SidePicture(Panel4.contentsRect().size()));
    Image1.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&Image1, &QLabel::customContextMenuRequested, this, [this](const QPoint& at) { PopupMenu1.popup(Image1.mapToGlobal(at)); });
    FDragger.Watch(Image1);

    btConfig.setObjectName("btConfig");
    place(btConfig, 0, 8, 106, 24);
    btConfig.setText(Q(u"Configuração"));
    btConfig.setIcon(artwork::ConfigGlyph());
    btConfig.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btConfig.setAutoRaise(true);
    btConfig.setFont(Font("Arial Narrow", 11, true));
    Paint(btConfig, ButtonFace, Maroon);
    btConfig.setAutoFillBackground(false);
    connect(&btConfig, &QToolButton::clicked, this, [this] { Guarded(FDialogs, [this] { btConfigClick(); }); });

    btSincAll.setObjectName("btSincAll");
    place(btSincAll, 6, 36, 90, 33);
    btSincAll.setText(Q(u"Sinc-All"));
    btSincAll.setFont(Font("Arial", 13));
    Paint(btSincAll, ButtonFace, Navy);
    btSincAll.setAutoFillBackground(false);
    connect(&btSincAll, &QPushButton::clicked, this, [this] { Guarded(FDialogs, [this] { btSincAllClick(); }); });

    PSenha.setObjectName("PSenha");
    place(PSenha, 6, 74, 90, 41);
    PSenha.setFrameShape(QFrame::NoFrame);
    Paint(PSenha, ButtonFace);
    PSenhaHeader.setObjectName("PSenhaHeader");
    PSenhaHeader.setGeometry(0, 0, 90, 17);
    PSenhaHeader.setTextFormat(Qt::PlainText);
    PSenhaHeader.setText(Q(u"Senha"));
    PSenhaHeader.setFont(Font("Arial", 13, true));
    Paint(PSenhaHeader, SenhaRed, White);
    btFecharSenha.setObjectName("btFecharSenha");
    btFecharSenha.setGeometry(90 - 14, 0, 14, 17);
    btFecharSenha.setText(Q(u"X"));
    btFecharSenha.setAutoRaise(true);
    btFecharSenha.setFont(Font("Arial", 11, true));
    Paint(btFecharSenha, SenhaRed, White);
    connect(&btFecharSenha, &QToolButton::clicked, this, [this] { PSenha.hide(); });
    EditSenha.setObjectName("EditSenha");
    EditSenha.setGeometry(0, 41 - 21, 90, 21);
    EditSenha.setEchoMode(QLineEdit::Password);
    MaskWithHash(EditSenha);
    PSenha.hide();

    btSincronizar.setObjectName("btSincronizar");
    place(btSincronizar, 6, 212, 90, 41);
    btSincronizar.setText(Q(u"Sincronizar"));
    btSincronizar.setIcon(artwork::SyncGlyph());
    btSincronizar.setFont(Font("Arial", 13));
    Paint(btSincronizar, ButtonFace, Navy);
    btSincronizar.setAutoFillBackground(false);
    connect(&btSincronizar, &QPushButton::clicked, this, [this] { Guarded(FDialogs, [this] { btSincronizarClick(); }); });

    Image1.lower();  // the picture lies under the buttons
}

void TfrmPrincipal::BuildMenu() {
    PopupMenu1.setObjectName("PopupMenu1");
    Minimizar.setObjectName("Minimizar");
    Minimizar.setText(Q(u"Maximizar"));
    Minimizar.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    MenuItem1.setObjectName("MenuItem1");
    MenuItem1.setText(Q(u"Fechar Aplicação"));
    MenuItem1.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    N1.setObjectName("N1");
    N1.setSeparator(true);
    MenuItem2.setObjectName("MenuItem2");
    MenuItem2.setText(Q(u"Iniciar Junto com Windows"));
    PopupMenu1.addAction(&Minimizar);
    PopupMenu1.addAction(&MenuItem1);
    PopupMenu1.addAction(&N1);
    PopupMenu1.addAction(&MenuItem2);
    addAction(&Minimizar);  // the shortcuts also work in the window
    addAction(&MenuItem1);
    connect(&Minimizar, &QAction::triggered, this, [this] { Guarded(FDialogs, [this] { MinimizarClick(); }); });
    connect(&MenuItem1, &QAction::triggered, this, [this] { Guarded(FDialogs, [this] { MenuItem1Click(); }); });
    connect(&MenuItem2, &QAction::triggered, this, [this] { Guarded(FDialogs, [this] { MenuItem2Click(); }); });

    TrayIcon1.setObjectName("TrayIcon1");
    TrayIcon1.setIcon(artwork::AppIcon());
    TrayIcon1.setToolTip(Q(u"Vantrelo Local x Nuvem"));
    TrayIcon1.setContextMenu(&PopupMenu1);
    connect(&TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick) Guarded(FDialogs, [this] { TrayIcon1DblClick(); });
    });
    TrayIcon1.show();
}

void TfrmPrincipal::FormCreate() {
    ForceLogFolder();  // the data module's log files go there
}

// ---- the engine's window -------------------------------------------------------------

void TfrmPrincipal::AppendLog(const std::u16string& line) {
    QTextCursor cursor(MemoLog.document());
    cursor.movePosition(QTextCursor::End);
    if (FLogLines > 0) cursor.insertBlock();
    cursor.insertText(QString::fromStdU16String(line));
    ++FLogLines;
    MemoLog.verticalScrollBar()->setValue(MemoLog.verticalScrollBar()->maximum());
}

QStringList TfrmPrincipal::LogLines() const {
    QStringList lines;
    QTextBlock block = MemoLog.document()->firstBlock();
    for (int i = 0; i < FLogLines && block.isValid(); ++i, block = block.next()) lines << block.text();
    return lines;
}

void TfrmPrincipal::SetProgressMax(int maximum) {
    ProgressBar1.setRange(0, std::max(0, maximum));
    ProgressBar1.setValue(0);
}

void TfrmPrincipal::StepProgress() { ProgressBar1.setValue(std::min(ProgressBar1.value() + 1, ProgressBar1.maximum())); }

void TfrmPrincipal::ProcessMessages() { QCoreApplication::processEvents(); }

bool TfrmPrincipal::RunAllowed() const { return btSincronizar.isEnabled(); }

void TfrmPrincipal::RunStarting() {
    btSincronizar.setEnabled(false);
    SetEnabled(TcheckConexao, false);
}

void TfrmPrincipal::RunFinished() {
    btSincronizar.setEnabled(true);
    SetEnabled(TSincronizar, false);
    SetEnabled(TcheckConexao, true);
}

// ---- timers and buttons ---------------------------------------------------------------

void TfrmPrincipal::TcheckConexaoTimer() {
    if (!FDm) return;
    // Reconnecting stops supervision; it comes back however the tick ends, also when an
    // error that is not the program's own (out of memory) goes on to the error box.
    struct TResume {
        QTimer& Timer;
        ~TResume() { SetEnabled(Timer, true); }
    } resume{TcheckConexao};
    try {
        if (!FDm->BaseCloud.Connected()) {
            AppendLog(u"");
            if (FDm->GetServidor_Cloud()) AppendLog(u"Conectado no Servidor Cloud " + Stamp());
            SetEnabled(TcheckConexao, false);
        }
        if (!FDm->BaseLocal.Connected()) {
            FDm->GetDadosEmpresa_ConfgLocal();
            AppendLog(u"");
            FDm->BaseLocal.Connect();
            AppendLog(u"Conectando no Servidor Local " + Stamp());
            SetEnabled(TcheckConexao, false);
        }
        SetEnabled(TcheckConexao, true);
        Get_Config_IntervaloSic();
    } catch (const Exception& e) {
        AppendLog(u"");
        AppendLog(u"Houve erro " + Stamp());
        AppendLog(e.Message());
        SetEnabled(TcheckConexao, true);
    }
}

int TfrmPrincipal::SyncPeriod(int tempoSincro, int minuteMs) {
    return tempoSincro >= 2 && tempoSincro <= 11 ? tempoSincro * minuteMs : minuteMs;
}

void TfrmPrincipal::Get_Config_IntervaloSic() {
    if (!FDm) return;
    if (FDm->sqlConfigLocal.FieldByName(u"TEMPO_SIMNAO").AsInteger() != 1 || TSincronizar.isActive()) return;
    TSincronizar.stop();
    TSincronizar.setInterval(SyncPeriod(FDm->sqlConfigLocal.FieldByName(u"TEMPO_SINCRO").AsInteger(), FPeriods.MinuteMs));
    TSincronizar.start();
}

void TfrmPrincipal::TSincronizarTimer() { btSincronizarClick(); }

void TfrmPrincipal::btSincronizarClick() {
    if (!FDm) return;
    TRunOutcome outcome = RunSynchronisation(*FDm, *this);
    emit RunEnded(int(outcome));
}

std::u16string TfrmPrincipal::AccessCode() const { return FSettings.AccessPrefix + FormatDateTime(u"hhnn", Now()); }

void TfrmPrincipal::AskForCode() {
    PSenha.show();
    EditSenha.setFocus();
}

void TfrmPrincipal::btSincAllClick() {
    if (EditSenha.text().isEmpty()) {
        FDialogs.ShowMessage(InformeASenha);
        AskForCode();
        return;
    }
    if (EditSenha.text().toStdU16String() == AccessCode()) {
        if (!FDm) return;
        TRunOutcome outcome = RunFullResynchronisation(*FDm, *this);
        emit RunEnded(int(outcome));
        return;
    }
    AskForCode();
    FDialogs.ShowMessage(InformeASenha);
}

void TfrmPrincipal::btConfigClick() {
    if (EditSenha.text().toStdU16String() != AccessCode()) {
        AskForCode();
        FDialogs.ShowMessage(InformeASenha);
        return;
    }
    if (!FDm) return;
    SetEnabled(TcheckConexao, false);
    SetEnabled(TSincronizar, false);
    // Supervision comes back however the window ends; a run it was opened from
    // (between two rows) turns supervision back on itself when it ends.
    struct TResume {
        TfrmPrincipal& Window;
        ~TResume() {
            if (Window.RunAllowed()) SetEnabled(Window.TcheckConexao, true);
        }
    } resume{*this};
    TfrmConfig config(*FDm, FDialogs);
    config.exec();
}

// ---- window commands ------------------------------------------------------------------

void TfrmPrincipal::showEvent(QShowEvent* event) {
    move(shell::BottomRightPlacement(*this));
    QWidget::showEvent(event);
}

void TfrmPrincipal::closeEvent(QCloseEvent* event) {
    // Closed by the system (Alt+F4, log-off): the program ends.
    event->accept();
    QCoreApplication::exit(0);
}

void TfrmPrincipal::SpeedButton1Click() {
    hide();
    TrayIcon1.show();
}

void TfrmPrincipal::MinimizarClick() {
    show();
    TrayIcon1.hide();
}

void TfrmPrincipal::TrayIcon1DblClick() {
    TrayIcon1.hide();
    showNormal();
    raise();
    activateWindow();
}

void TfrmPrincipal::MenuItem1Click() { QCoreApplication::exit(0); }

void TfrmPrincipal::MenuItem2Click() {
    try {
        FAutostart.Register(AutostartName, ExecutablePath());
        FDialogs.ShowMessage(u"agora quando o computador iniciar este sistema será aberto automáticamente");
    } catch (const Exception& e) {
        FDialogs.ShowMessage(u"Erro: " + e.Message());
    }
}

} // namespace vantrelo
