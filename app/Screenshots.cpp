// vantrelo-screenshots SETTINGS FOLDER: starts the program on the shop the settings name,
// shows the main window after one supervision step and one synchronisation run, and the
// configuration window, and saves both as PNG pictures in FOLDER (main-window.png,
// config-window.png). Messages go to standard error instead of boxes.
#include <cstdio>

#include <QDir>
#include <QThread>

#include "app/Application.h"
#include "app/Artwork.h"
#include "app/Program.h"
#include "platform/CodePage.h"

using namespace vantrelo;

namespace {

class TConsoleDialogs : public TDialogs {
public:
    void ShowMessage(const std::u16string& text) override { Print("message", text); }
    void ShowError(const std::u16string& text) override { Print("error", text); }

private:
    static void Print(const char* kind, const std::u16string& text) {
        std::fprintf(stderr, "vantrelo-screenshots: %s: %s\n", kind, UnicodeToUtf8(text).c_str());
    }
};

// Lets the windows lay themselves out and paint.
void Settle() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

bool Save(QWidget& window, const QDir& folder, const char* name) {
    QString path = folder.filePath(QString::fromLatin1(name));
    bool saved = window.grab().save(path);
    std::fprintf(stderr, saved ? "vantrelo-screenshots: %s\n" : "vantrelo-screenshots: cannot write %s\n", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    TConsoleDialogs dialogs;
    TApplication app(argc, argv, dialogs);
    QApplication::setWindowIcon(artwork::AppIcon());
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantrelo-screenshots SETTINGS FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[2]));
    if (!folder.mkpath(".")) return 2;
    TInstallSettings settings;
    try {
        settings = LoadInstallSettings(Utf8ToUnicode(argv[1]), TSettingsFile::Named);
    } catch (...) {
        ShowCurrentException(dialogs);
        return 2;
    }
    TProgram program(dialogs, settings, std::make_unique<TXdgAutostart>(u"/nonexistent"));
    if (!program.Start()) return 1;
    TfrmPrincipal& window = *program.frmPrincipal();
    window.TcheckConexao.stop();  // one step, by hand

    window.MinimizarClick();
    window.TcheckConexaoTimer();
    window.TSincronizar.stop();
    window.btSincronizarClick();
    window.EditSenha.setText(QString::fromStdU16String(window.AccessCode()));
    window.PSenha.show();
    Settle();
    bool saved = Save(window, folder, "main-window.png");

    TfrmConfig config(*program.Dmdados(), dialogs);
    config.show();
    Settle();
    saved = Save(config, folder, "config-window.png") && saved;
    return saved ? 0 : 1;
}
