#include "app/Artwork.h"

#include <algorithm>
#include <cmath>

#include <QLinearGradient>
#include <QtMath>
#include <QPainter>
#include <QPainterPath>

#include "app/ShellStyle.h"

namespace vantrelo::artwork {
namespace {

// A cloud filling the rectangle.
QPainterPath Cloud(const QRectF& r) {
    QPainterPath p;
    double w = r.width(), h = r.height();
    p.addEllipse(QRectF(r.left(), r.top() + h * 0.40, w * 0.45, h * 0.60));
    p.addEllipse(QRectF(r.left() + w * 0.22, r.top(), w * 0.50, h * 0.80));
    p.addEllipse(QRectF(r.left() + w * 0.50, r.top() + h * 0.28, w * 0.50, h * 0.72));
    p.addRect(QRectF(r.left() + w * 0.20, r.top() + h * 0.60, w * 0.62, h * 0.40));
    return p.simplified();
}

// Two curved arrows chasing each other round the centre: "synchronise".
void SyncArrows(QPainter& g, const QRectF& r, const QColor& colour, double pen) {
    g.setPen(QPen(colour, pen, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    QRectF arc = r.adjusted(pen, pen, -pen, -pen);
    g.drawArc(arc, 30 * 16, 130 * 16);
    g.drawArc(arc, 210 * 16, 130 * 16);
    g.setPen(Qt::NoPen);
    g.setBrush(colour);
    auto head = [&](double angleDeg, double dir) {
        QPointF c = arc.center();
        double rad = qDegreesToRadians(angleDeg);
        QPointF tip(c.x() + arc.width() / 2 * std::cos(rad), c.y() - arc.height() / 2 * std::sin(rad));
        double s = pen * 1.8;
        QPolygonF tri;
        QPointF tangent(-std::sin(rad) * dir, -std::cos(rad) * dir);
        QPointF normal(std::cos(rad), -std::sin(rad));
        tri << tip + tangent * s << tip + normal * s * 0.9 << tip - normal * s * 0.9;
        g.drawPolygon(tri);
    };
    head(160, 1);
    head(340, 1);
}

QPixmap Canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon Glyph(void (*draw)(QPainter&, double)) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm = Canvas(size);
        QPainter g(&pm);
        g.setRenderHint(QPainter::Antialiasing);
        draw(g, size);
        g.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64}) {
        QPixmap pm = Canvas(size);
        QPainter g(&pm);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(Qt::NoPen);
        g.setBrush(shell::TitleGreen);
        g.drawRoundedRect(QRectF(0, 0, size, size), size * 0.2, size * 0.2);
        g.setBrush(Qt::white);
        g.drawPath(Cloud(QRectF(size * 0.12, size * 0.18, size * 0.76, size * 0.46)));
        SyncArrows(g, QRectF(size * 0.30, size * 0.50, size * 0.44, size * 0.44), QColor(20, 90, 40),
                   std::max(1.5, size / 14.0));
        g.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QPixmap SidePicture(QSize size) {
    QPixmap pm(size);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(226, 242, 229));
    sky.setColorAt(1, shell::TitleGreen.darker(130));
    g.fillRect(pm.rect(), sky);
    double w = size.width(), h = size.height();
    // The cloud above, the shop's computer below, and the exchange between them.
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(255, 255, 255, 230));
    // Between the upper buttons and the lowest one of both windows' side panels.
    QRectF cloud(w * 0.12, h * 0.48, w * 0.76, w * 0.42);
    g.drawPath(Cloud(cloud));
    g.setBrush(QColor(40, 60, 48, 200));
    QRectF screen(w * 0.25, cloud.bottom() + w * 0.10, w * 0.50, w * 0.32);
    g.drawRoundedRect(screen, 3, 3);
    g.drawRect(QRectF(w * 0.45, screen.bottom(), w * 0.10, w * 0.06));
    g.drawRect(QRectF(w * 0.33, screen.bottom() + w * 0.06, w * 0.34, w * 0.03));
    g.setBrush(QColor(190, 235, 200));
    g.drawRect(screen.adjusted(3, 3, -3, -3));
    g.end();
    return pm;
}

QIcon ConfigGlyph() {
    return Glyph([](QPainter& g, double s) {
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(90, 90, 100));
        QPointF c(s / 2, s / 2);
        for (int i = 0; i < 8; ++i) {
            g.save();
            g.translate(c);
            g.rotate(i * 45);
            g.drawRect(QRectF(-s * 0.08, -s * 0.48, s * 0.16, s * 0.2));
            g.restore();
        }
        g.drawEllipse(c, s * 0.33, s * 0.33);
        g.setBrush(Qt::white);
        g.drawEllipse(c, s * 0.13, s * 0.13);
    });
}

QIcon SyncGlyph() {
    return Glyph([](QPainter& g, double s) { SyncArrows(g, QRectF(0, 0, s, s), shell::TitleGreen.darker(140), s / 8); });
}

QIcon HideGlyph() {
    return Glyph([](QPainter& g, double s) {
        g.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(s * 0.25, s * 0.70), QPointF(s * 0.75, s * 0.70));
    });
}

QIcon CloseGlyph() {
    return Glyph([](QPainter& g, double s) {
        g.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(s * 0.28, s * 0.28), QPointF(s * 0.72, s * 0.72));
        g.drawLine(QPointF(s * 0.72, s * 0.28), QPointF(s * 0.28, s * 0.72));
    });
}

} // namespace vantrelo::artwork
