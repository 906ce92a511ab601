#include "qt/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <array>

namespace sondrix {

namespace {

constexpr int kTabIconSize = 16;

void DrawPerson(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 60));
    p.drawEllipse(QRectF(5, 1.5, 6, 6));
    QPainterPath body;
    body.moveTo(2, 15);
    body.cubicTo(2, 8.5, 14, 8.5, 14, 15);
    body.closeSubpath();
    p.drawPath(body);
}

void DrawGear(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 100));
    p.translate(8, 8);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.5, -7.5, 3, 4));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 5, 5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 2, 2);
    p.resetTransform();
}

void DrawDatabase(QPainter& p) {
    const QColor body(200, 140, 30);
    p.setPen(QPen(QColor(120, 80, 10), 1));
    p.setBrush(body);
    p.drawRect(QRectF(2.5, 3.5, 11, 9));
    p.drawEllipse(QRectF(2.5, 10, 11, 5));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(3, 4, 10, 9));
    p.setPen(QPen(QColor(120, 80, 10), 1));
    p.setBrush(QColor(240, 200, 110));
    p.drawEllipse(QRectF(2.5, 1, 11, 5));
}

void DrawClock(QPainter& p) {
    p.setPen(QPen(QColor(30, 60, 140), 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

void DrawInfo(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 190));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 3.5, 2.2, 2.2));
    p.drawRect(QRectF(7, 7, 2.2, 5.5));
}

void DrawMainMark(QPainter& p) {
    DrawFingerprintMark(p, QRectF(0.5, 0.5, 15, 15), QColor(150, 30, 30));
}

using Painter = void (*)(QPainter&);
constexpr std::array<Painter, 6> kTabPainters = {DrawMainMark, DrawPerson, DrawGear,
                                                 DrawDatabase, DrawClock,  DrawInfo};

QPixmap Canvas(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

void DrawFingerprintMark(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const qreal unit = box.width() / 16;
    painter.setPen(QPen(colour, 1.25 * unit, Qt::SolidLine, Qt::RoundCap));
    const qreal middle = box.center().x();
    // Nested arches round a core, as the ridges of a loop; the legs end at
    // uneven heights as real ridges do.
    constexpr int kRidges = 5;
    for (int i = 0; i < kRidges; ++i) {
        const qreal half = (7.2 - i * 1.5) * unit;
        const qreal top = box.top() + (0.8 + i * 1.5) * unit;
        const qreal leftEnd = box.bottom() - (0.8 + (i % 2) * 1.6 + i * 0.5) * unit;
        const qreal rightEnd = box.bottom() - (0.8 + ((i + 1) % 2) * 2.2 + i * 0.5) * unit;
        QPainterPath ridge;
        ridge.moveTo(middle - half, leftEnd);
        ridge.lineTo(middle - half, top + half);
        ridge.arcTo(QRectF(middle - half, top, 2 * half, 2 * half), 180, -180);
        ridge.lineTo(middle + half, std::max(rightEnd, top + half));
        painter.drawPath(ridge);
    }
    painter.restore();
}

QIcon TabIcon(int tab) {
    if (tab < 0 || tab >= static_cast<int>(kTabPainters.size())) {
        return {};
    }
    // Drawn again for each pixel density: a 200 % screen gets sharp ridges,
    // not a blown-up 16-pixel picture. The painters work in 16 x 16 units.
    QIcon icon;
    for (int scale : {1, 2, 3}) {
        QPixmap pixmap = Canvas(kTabIconSize * scale);
        pixmap.setDevicePixelRatio(scale);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        kTabPainters[static_cast<size_t>(tab)](painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap = Canvas(size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(16, 52, 96));
        painter.drawRoundedRect(QRectF(0, 0, size, size), size * 0.18, size * 0.18);
        DrawFingerprintMark(painter, QRectF(size * 0.1, size * 0.08, size * 0.8, size * 0.8),
                            QColor(235, 240, 250));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace sondrix
