#include "app/ShellStyle.h"

#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace vantrelo {
namespace shell {

QFont Font(const char* face, int pixels, bool bold) {
    QFont f{QString::fromLatin1(face)};
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void Paint(QWidget& widget, const QColor& background, const QColor& text) {
    QPalette p = widget.palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Button, background);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    widget.setPalette(p);
    widget.setAutoFillBackground(true);
}

void MaskWithHash(QWidget& edit) {
    edit.setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(int(PasswordChar)));
}

QPoint BottomRightPlacement(const QWidget& window) {
    QScreen* screen = window.screen();
    QSize monitor = screen ? screen->geometry().size() : QSize(window.width(), window.height());
    return {monitor.width() - window.width() - 10, monitor.height() - window.height() - 60};
}

} // namespace shell

TWindowDragger::TWindowDragger(QWidget& window) : QObject(&window), FWindow(window) {}

void TWindowDragger::Watch(QWidget& handle) { handle.installEventFilter(this); }

bool TWindowDragger::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        // Where the window system moves windows itself (Wayland) only it can drag them.
        if (e->button() == Qt::LeftButton && FWindow.windowHandle() && FWindow.windowHandle()->startSystemMove())
            return true;
        FDragging = true;
        FGrabOffset = e->globalPosition().toPoint() - FWindow.pos();
        return e->button() != Qt::RightButton;  // the right button also opens a context menu
    }
    case QEvent::MouseMove:
        if (!FDragging) break;
        FWindow.move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - FGrabOffset);
        return true;
    case QEvent::MouseButtonRelease:
        FDragging = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantrelo
