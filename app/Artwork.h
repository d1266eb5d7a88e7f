#pragma once
// The program's pictures, drawn in code: the tray and window icon, the side picture of
// both windows and the button glyphs.
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace vantrelo::artwork {

QIcon AppIcon();
QPixmap SidePicture(QSize size);
QIcon ConfigGlyph();
QIcon SyncGlyph();
QIcon HideGlyph();   // down to the tray
QIcon CloseGlyph();

} // namespace vantrelo::artwork
