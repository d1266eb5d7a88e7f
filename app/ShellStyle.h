#pragma once
// The look the two windows share: colours, fonts, the window placement and the way a
// borderless window is dragged by its title bar.
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPoint>

class QFrame;
class QIcon;
class QLabel;
class QToolButton;
class QWidget;

namespace vantrelo {

namespace shell {
inline const QColor TitleGreen{82, 173, 98};
inline const QColor FormGrey{128, 128, 128};
inline const QColor ButtonFace{240, 240, 240};
inline const QColor SenhaRed{210, 102, 66};
inline const QColor Navy{0, 0, 128};
inline const QColor Maroon{128, 0, 0};
inline const QColor Blue{0, 0, 255};
inline const QColor White{255, 255, 255};

constexpr int BorderWidth = 3;   // the grey frame inside the window's edge
constexpr int BarHeight = 25;    // title bar and bottom bar
constexpr char16_t PasswordChar = u'#';

// A font by face and character height in pixels.
QFont Font(const char* face, int pixels, bool bold = false);
// Background and text colour of a widget (its own, not inherited from a style sheet).
void Paint(QWidget& widget, const QColor& background, const QColor& text = QColor(0, 0, 0));
// Every typed character shows as '#'.
void MaskWithHash(QWidget& edit);
// Bottom right of the screen: left = monitor width - window width - 10,
// top = monitor height - window height - 60, measured from the desktop's origin.
QPoint BottomRightPlacement(const QWidget& window);
// The green bars of a borderless window: the title bar with its caption and, at its right
// end, a 28-wide glyph button; and the empty bar across the bottom.
void BuildBars(QWidget& window, QLabel& title, const QString& caption, QToolButton& button, const QIcon& glyph,
               QFrame& bottom);
} // namespace shell

// Drags a top-level window by any mouse button pressed on the watched widgets, as if its
// caption were dragged.
class TWindowDragger : public QObject {
public:
    explicit TWindowDragger(QWidget& window);
    void Watch(QWidget& handle);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& FWindow;
    bool FDragging = false;
    QPoint FGrabOffset;  // from the window's origin to the pointer, when pressed
};

} // namespace vantrelo
