#include "app/ShellStyle.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
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

void BuildBars(QWidget& window, QLabel& title, const QString& caption, QToolButton& button, const QIcon& glyph,
               QFrame& bottom) {
    const int inner = window.width() - 2 * BorderWidth;
    title.setGeometry(BorderWidth, BorderWidth, inner, BarHeight);
    title.setTextFormat(Qt::PlainText);
    title.setText(caption);
    title.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title.setFont(Font("Arial Rounded MT Bold", 13));
    Paint(title, TitleGreen, White);
    button.setGeometry(inner - 28, 0, 28, BarHeight);
    button.setAutoRaise(true);
    button.setIcon(glyph);
    bottom.setGeometry(BorderWidth, window.height() - BorderWidth - BarHeight, inner, BarHeight);
    Paint(bottom, TitleGreen);
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
