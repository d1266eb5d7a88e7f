// The main window without a database: its elements, showing and hiding, the tray, the
// access-code panel, the menu commands and errors no handler catches.
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/frmPrincipal.h"
#include "platform/CodePage.h"
#include "platform/Files.h"
#include "tests/app/AppTestSupport.h"

namespace vantrelo::test {
namespace {

class MainWindow : public ::testing::Test {
protected:
    void TearDown() override { SetClockForTests({}); }

    QWidget& Child(const char* name) {
        QWidget* w = FWindow.findChild<QWidget*>(QString::fromLatin1(name));
        if (!w) throw std::runtime_error(std::string("no child ") + name);
        return *w;
    }
    // Position inside the side panel's border.
    QRect InSide(QWidget& w) { return w.geometry().translated(-FWindow.Panel4.contentsRect().topLeft()); }

    TRecordingDialogs FDialogs;
    TXdgAutostart FAutostart{u"/nonexistent-autostart"};
    TfrmPrincipal FWindow{TInstallSettings{}, FDialogs, FAutostart};
};

struct TElement {
    const char* Name;
    QRect Geometry;      // in the parent (the side panel's children: inside its border)
    const char* Caption; // nullptr: none to check
    const char* Face;
    int Pixels;
    bool Bold;
    QColor Text;
};

TEST_F(MainWindow, ElementsHaveTheirPlacesCaptionsAndFonts) {
    EXPECT_EQ(FWindow.windowTitle(), QString::fromUtf8("Vantrelo  Q.V Local x Nuvem"));
    EXPECT_EQ(FWindow.size(), QSize(486, 316));
    EXPECT_TRUE(FWindow.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(FWindow.palette().color(QPalette::Window), shell::FormGrey);

    const TElement elements[] = {
        {"Panel1", {3, 3, 480, 25}, "    Q.V Cloud | Vantrelo", "Arial Rounded MT Bold", 13, false, Qt::white},
        {"SpeedButton1", {452, 0, 28, 25}, nullptr, nullptr, 0, false, {}},
        {"Panel2", {3, 288, 480, 25}, nullptr, nullptr, 0, false, {}},
        {"MemoLog", {3, 28, 371, 260}, nullptr, "Arial", 13, false, shell::Blue},
        {"ProgressBar1", {32, 230, 292, 20}, nullptr, nullptr, 0, false, {}},
        {"Panel4", {374, 28, 109, 260}, nullptr, nullptr, 0, false, {}},
        {"btConfig", {0, 8, 106, 24}, "Configuração", "Arial Narrow", 11, true, shell::Maroon},
        {"btSincAll", {6, 36, 90, 33}, "Sinc-All", "Arial", 13, false, shell::Navy},
        {"PSenha", {6, 74, 90, 41}, nullptr, nullptr, 0, false, {}},
        {"PSenhaHeader", {0, 0, 90, 17}, "Senha", "Arial", 13, true, Qt::white},
        {"btFecharSenha", {76, 0, 14, 17}, "X", nullptr, 0, false, {}},
        {"EditSenha", {0, 20, 90, 21}, nullptr, nullptr, 0, false, {}},
        {"btSincronizar", {6, 212, 90, 41}, "Sincronizar", "Arial", 13, false, shell::Navy},
    };
    for (const TElement& e : elements) {
        SCOPED_TRACE(e.Name);
        QWidget& w = Child(e.Name);
        bool inSide = w.parentWidget() == &FWindow.Panel4;
        EXPECT_EQ(inSide ? InSide(w) : w.geometry(), e.Geometry);
        if (e.Caption) {
            QString text = w.property("text").toString();
            EXPECT_EQ(text, QString::fromUtf8(e.Caption));
        }
        if (e.Face) {
            EXPECT_EQ(w.font().family(), QString::fromLatin1(e.Face));
            EXPECT_EQ(w.font().pixelSize(), e.Pixels);
            EXPECT_EQ(w.font().bold(), e.Bold);
            QPalette::ColorRole role = qobject_cast<QPlainTextEdit*>(&w) ? QPalette::Text
                                       : qobject_cast<QLabel*>(&w)        ? QPalette::WindowText
                                                                          : QPalette::ButtonText;
            EXPECT_EQ(w.palette().color(role), e.Text);
        }
    }
    EXPECT_EQ(FWindow.Panel1.palette().color(QPalette::Window), QColor(82, 173, 98));
    EXPECT_EQ(FWindow.Panel2.palette().color(QPalette::Window), QColor(82, 173, 98));
    EXPECT_EQ(FWindow.PSenhaHeader.palette().color(QPalette::Window), QColor(210, 102, 66));
    EXPECT_EQ(FWindow.MemoLog.palette().color(QPalette::Base), shell::ButtonFace);
    EXPECT_EQ(FWindow.MemoLog.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(FWindow.MemoLog.frameShape(), QFrame::NoFrame);
    EXPECT_EQ(FWindow.Image1.geometry(), FWindow.Panel4.contentsRect());
    EXPECT_TRUE(FWindow.Image1.hasScaledContents());

    // Hidden at start: the progress bar (always) and the access-code panel.
    EXPECT_TRUE(FWindow.ProgressBar1.isHidden());
    EXPECT_TRUE(FWindow.PSenha.isHidden());
    EXPECT_EQ(FWindow.EditSenha.echoMode(), QLineEdit::Password);
    EXPECT_TRUE(FWindow.EditSenha.styleSheet().contains("lineedit-password-character: 35"));

    EXPECT_EQ(FWindow.TrayIcon1.toolTip(), QString::fromUtf8("Vantrelo Local x Nuvem"));
    EXPECT_EQ(FWindow.TrayIcon1.contextMenu(), &FWindow.PopupMenu1);
    QStringList menu;
    for (QAction* a : FWindow.PopupMenu1.actions())
        menu << (a->isSeparator() ? QStringLiteral("-") : a->text() + "|" + a->shortcut().toString());
    EXPECT_EQ(menu, (QStringList{QString::fromUtf8("Maximizar|Ctrl+M"), QString::fromUtf8("Fechar Aplicação|Ctrl+F"), "-",
                                 QString::fromUtf8("Iniciar Junto com Windows|")}));
    EXPECT_EQ(FWindow.Image1.contextMenuPolicy(), Qt::CustomContextMenu);

    EXPECT_TRUE(FWindow.TcheckConexao.isActive());
    EXPECT_EQ(FWindow.TcheckConexao.interval(), 1000);
    EXPECT_FALSE(FWindow.TSincronizar.isActive());
    EXPECT_EQ(FWindow.TSincronizar.interval(), 5000);
}

TEST_F(MainWindow, HidesToTheTrayAndComesBackAtTheBottomRight) {
    QSize monitor = QGuiApplication::primaryScreen()->geometry().size();
    QPoint corner(monitor.width() - 486 - 10, monitor.height() - 316 - 60);
    EXPECT_TRUE(FWindow.isHidden());
    EXPECT_TRUE(FWindow.TrayIcon1.isVisible());

    FWindow.Minimizar.trigger();  // "Maximizar" shows the window
    EXPECT_TRUE(FWindow.isVisible());
    EXPECT_FALSE(FWindow.TrayIcon1.isVisible());
    EXPECT_EQ(FWindow.pos(), corner);
    FWindow.Minimizar.trigger();  // again: stays shown, icon stays hidden
    EXPECT_TRUE(FWindow.isVisible());
    EXPECT_FALSE(FWindow.TrayIcon1.isVisible());

    FWindow.move(10, 10);
    QTest::mouseClick(&FWindow.SpeedButton1, Qt::LeftButton);
    EXPECT_TRUE(FWindow.isHidden());
    EXPECT_TRUE(FWindow.TrayIcon1.isVisible());

    emit FWindow.TrayIcon1.activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(FWindow.isVisible());
    EXPECT_FALSE(FWindow.isMinimized() || FWindow.isMaximized());
    EXPECT_FALSE(FWindow.TrayIcon1.isVisible());
    EXPECT_EQ(FWindow.pos(), corner) << "placed again whenever shown";
}

TEST_F(MainWindow, TitleBarAndPictureDragTheWindowWithAnyButton) {
    FWindow.show();
    for (QWidget* handle : {static_cast<QWidget*>(&FWindow.Panel1), static_cast<QWidget*>(&FWindow.Image1)}) {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            FWindow.move(100, 100);
            QPoint start = handle->mapToGlobal(QPoint(20, 10));
            auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
                QMouseEvent e(type, handle->mapFromGlobal(QPointF(global)), QPointF(global), button, held, Qt::NoModifier);
                QCoreApplication::sendEvent(handle, &e);
            };
            send(QEvent::MouseButtonPress, start, button);
            send(QEvent::MouseMove, start + QPoint(-40, -30), button);
            send(QEvent::MouseButtonRelease, start + QPoint(-40, -30), Qt::NoButton);
            EXPECT_EQ(FWindow.pos(), QPoint(60, 70)) << handle->objectName().toStdString() << " " << int(button);
            FWindow.PopupMenu1.hide();
        }
    }
    FWindow.hide();
}

TEST_F(MainWindow, AccessCodeIsThePrefixAndTheTimeOfTheClick) {
    FixClock(9, 5);
    EXPECT_EQ(UnicodeToUtf8(FWindow.AccessCode()), "3570905");
    FixClock(23, 59, 59);
    EXPECT_EQ(UnicodeToUtf8(FWindow.AccessCode()), "3572359");
    FixClock(0, 0);
    EXPECT_EQ(UnicodeToUtf8(FWindow.AccessCode()), "3570000");
}

TEST_F(MainWindow, AWrongOrEmptyCodeAsksForTheCodeAndOnlyXHidesThePanel) {
    FixClock(14, 30);
    QTest::mouseClick(&FWindow.btSincAll, Qt::LeftButton);  // empty
    EXPECT_EQ(FDialogs.Messages, std::vector<std::string>{"Informe a Senha"});
    EXPECT_FALSE(FWindow.PSenha.isHidden());

    FWindow.EditSenha.setText("3571429");
    QTest::mouseClick(&FWindow.btSincAll, Qt::LeftButton);
    QTest::mouseClick(&FWindow.btConfig, Qt::LeftButton);
    FWindow.EditSenha.clear();
    QTest::mouseClick(&FWindow.btConfig, Qt::LeftButton);  // empty never matches
    EXPECT_EQ(FDialogs.Messages, std::vector<std::string>(4, "Informe a Senha"));
    EXPECT_FALSE(FWindow.PSenha.isHidden());
    EXPECT_TRUE(FWindow.TcheckConexao.isActive()) << "a refused code leaves the timers alone";

    QTest::mouseClick(&FWindow.btFecharSenha, Qt::LeftButton);
    EXPECT_TRUE(FWindow.PSenha.isHidden());
}

TEST_F(MainWindow, TheLogPanelOnlyGrowsAndKeepsEmptyLines) {
    FWindow.AppendLog(u"");
    FWindow.AppendLog(u"Conectado no Servidor Cloud 01/03/2024 10:00:00");
    FWindow.AppendLog(u"");
    FWindow.AppendLog(u"ação ç");
    EXPECT_EQ(Lines(FWindow.LogLines()),
              (std::vector<std::string>{"", "Conectado no Servidor Cloud 01/03/2024 10:00:00", "", "ação ç"}));
    EXPECT_TRUE(FWindow.MemoLog.isReadOnly());
}

TEST_F(MainWindow, ProgressFollowsTheRunButStaysHidden) {
    FWindow.SetProgressMax(3);
    FWindow.StepProgress();
    FWindow.StepProgress();
    EXPECT_EQ(FWindow.ProgressBar1.maximum(), 3);
    EXPECT_EQ(FWindow.ProgressBar1.value(), 2);
    FWindow.SetProgressMax(5);  // a new run starts from zero
    EXPECT_EQ(FWindow.ProgressBar1.value(), 0);
    EXPECT_TRUE(FWindow.ProgressBar1.isHidden());
}

TEST_F(MainWindow, AutostartReportsSuccessAndFailure) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("vantrelo-autostart-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    TXdgAutostart there(Utf8ToUnicode(folder.string()));
    TfrmPrincipal window{TInstallSettings{}, FDialogs, there};
    window.MenuItem2.trigger();
    window.MenuItem2.trigger();  // overwrites the same entry
    EXPECT_EQ(FDialogs.Messages,
              std::vector<std::string>(2, "agora quando o computador iniciar este sistema será aberto automáticamente"));
    std::ifstream in(folder / "sinc-quarvel.desktop");
    std::string entry((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(entry.find("Name=Sinc Quarvel\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Exec=\"" + UnicodeToUtf8(ExecutablePath()) + "\"\n"), std::string::npos) << entry;
    fs::remove_all(folder);

    FDialogs.Clear();
    FWindow.MenuItem2.trigger();  // the machine-wide folder is missing: not created
    EXPECT_EQ(FDialogs.Messages, std::vector<std::string>{"Erro: Failed to set data for 'Sinc Quarvel'"});
    EXPECT_FALSE(fs::exists("/nonexistent-autostart"));
}

TEST_F(MainWindow, FecharAplicacaoEndsTheEventLoop) {
    QTimer::singleShot(0, &FWindow, [this] { FWindow.MenuItem1.trigger(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    watchdog.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

TEST_F(MainWindow, AnErrorNoHandlerCatchesIsShownAndTheProgramGoesOn) {
    AppDialogs().Clear();
    QTimer::singleShot(0, &FWindow, [] { throw Exception(u"Algo falhou"); });
    ASSERT_TRUE(WaitFor([] { return !AppDialogs().Errors.empty(); }, 5000));
    EXPECT_EQ(AppDialogs().Errors, std::vector<std::string>{"Algo falhou"});
    bool later = false;
    QTimer::singleShot(0, &FWindow, [&] { later = true; });
    EXPECT_TRUE(WaitFor([&] { return later; }, 5000));
}

} // namespace
} // namespace vantrelo::test
