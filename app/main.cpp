// The tray program: one copy per user, started hidden with its tray icon.
#include "app/Application.h"
#include "app/Artwork.h"
#include "app/Program.h"
#include "app/SingleInstance.h"
#include "platform/Files.h"

using namespace vantrelo;

int main(int argc, char* argv[]) {
    TMessageBoxDialogs dialogs;
    TApplication app(argc, argv, dialogs);
    QApplication::setWindowIcon(artwork::AppIcon());

    TSingleInstance instance(TSingleInstance::KeyFor(QString::fromStdU16String(ExecutablePath())));
    if (instance.HandOver()) return 0;

    TInstallSettings settings;
    try {
        settings = LoadInstallSettings(TInstallSettings::DefaultPath());
    } catch (...) {
        ShowCurrentException(dialogs);
        return 1;
    }
    TProgram program(dialogs, settings);
    if (!program.Start()) return 1;
    TfrmPrincipal& window = *program.frmPrincipal();
    QObject::connect(&instance, &TSingleInstance::Activated, &window, [&window] { window.TrayIcon1DblClick(); });
    // A desktop without a notification area could not reach a hidden window.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) window.MinimizarClick();
    return QApplication::exec();
}
