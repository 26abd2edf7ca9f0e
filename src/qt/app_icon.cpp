#include "qt/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quorvel::qt {

// A speech bubble and the sound it makes, on a rounded tile; drawn on a 48-unit grid and
// scaled to `size`.
void paint_icon(QPainter& painter, int size) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 48.0, size / 48.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1d, 0x5a, 0x86));
    painter.drawRoundedRect(QRectF(1, 1, 46, 46), 9, 9);

    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(6, 9, 24, 20), 7, 7);
    QPainterPath tail;
    tail.moveTo(11, 26);
    tail.lineTo(8, 38);
    tail.lineTo(20, 28);
    tail.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(bubble.united(tail));

    QPen wave(QColor(0xff, 0xc8, 0x3d), 3.5, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(wave);
    painter.setBrush(Qt::NoBrush);
    for (const double radius : {7.0, 13.0}) {
        painter.drawArc(QRectF(27 - radius, 19 - radius, 2 * radius, 2 * radius), -50 * 16,
                        100 * 16);
    }
}

namespace {

QPixmap draw_icon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint_icon(painter, size);
    return pixmap;
}

} // namespace

QIcon app_icon() {
    QIcon icon;
    for (const int size : icon_sizes) {
        icon.addPixmap(draw_icon(size));
    }
    return icon;
}

} // namespace quorvel::qt
