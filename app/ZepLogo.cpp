#include "app/ZepLogo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap ZepLogo(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();

    // A shield with a balance beam over the letters: weighing, not judging.
    QPainterPath shield;
    shield.moveTo(w * 0.5, h * 0.04);
    shield.lineTo(w * 0.94, h * 0.16);
    shield.cubicTo(w * 0.94, h * 0.62, w * 0.78, h * 0.84, w * 0.5, h * 0.97);
    shield.cubicTo(w * 0.22, h * 0.84, w * 0.06, h * 0.62, w * 0.06, h * 0.16);
    shield.closeSubpath();
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(255, 255, 255));
    fill.setColorAt(1, QColor(200, 220, 255));
    p.setPen(QPen(QColor(0, 0, 128), qMax(2.0, w / 40)));
    p.setBrush(fill);
    p.drawPath(shield);

    p.setPen(QPen(QColor(0, 0, 128), qMax(1.5, w / 60)));
    const qreal beamY = h * 0.26;
    p.drawLine(QPointF(w * 0.5, h * 0.14), QPointF(w * 0.5, beamY));
    p.drawLine(QPointF(w * 0.24, beamY), QPointF(w * 0.76, beamY));
    for (const qreal x : {w * 0.24, w * 0.76}) {
        p.drawLine(QPointF(x, beamY), QPointF(x - w * 0.08, h * 0.38));
        p.drawLine(QPointF(x, beamY), QPointF(x + w * 0.08, h * 0.38));
        p.drawArc(QRectF(x - w * 0.09, h * 0.33, w * 0.18, h * 0.1), 180 * 16, 180 * 16);
    }

    QFont font(QStringLiteral("Sans Serif"));
    font.setBold(true);
    font.setPixelSize(int(h * 0.2));
    p.setFont(font);
    p.setPen(QColor(0, 0, 160));
    p.drawText(QRectF(0, h * 0.45, w, h * 0.25), Qt::AlignCenter, QStringLiteral("ZEP"));
    font.setPixelSize(int(h * 0.06));
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRectF(0, h * 0.68, w, h * 0.1), Qt::AlignCenter, QStringLiteral("Short Form"));
    return pixmap;
}
