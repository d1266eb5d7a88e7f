#include "app/Application.h"

namespace vantrelo {

TApplication::TApplication(int& argc, char** argv, TDialogs& dialogs) : QApplication(argc, argv), FDialogs(dialogs) {
    // Hiding the window to the tray or closing a message box must not end the program.
    setQuitOnLastWindowClosed(false);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException(FDialogs);
        return false;
    }
}

} // namespace vantrelo
