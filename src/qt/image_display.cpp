#include "qt/image_display.h"

#include <QPainter>
#include <QPainterPath>
#include <cstring>

namespace sondrix {

namespace {

// The placeholder's size: the picture a module image replaces.
constexpr int kPlaceholderWidth = 268;
constexpr int kPlaceholderHeight = 330;

// A fingertip seen from above: an arch standing on the bottom edge of `box`.
QPainterPath Fingertip(const QRectF& box) {
    const qreal radius = box.width() / 2;
    QPainterPath path;
    path.moveTo(box.left(), box.bottom());
    path.lineTo(box.left(), box.top() + radius);
    path.arcTo(QRectF(box.left(), box.top(), box.width(), 2 * radius), 180, -180);
    path.lineTo(box.right(), box.bottom());
    return path;
}

}  // namespace

CImageDisplay::CImageDisplay(QWidget* parent) : CPictureWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void CImageDisplay::SetImage(const uint8_t* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        m_image = QImage();
    } else {
        // QImage pads its rows to four bytes; the buffer has no padding.
        m_image = QImage(width, height, QImage::Format_Grayscale8);
        for (int y = 0; y < height; ++y) {
            std::memcpy(m_image.scanLine(y), pixels + static_cast<size_t>(y) * width,
                        static_cast<size_t>(width));
        }
    }
    update();
}

QSize CImageDisplay::sizeHint() const {
    const int frame = 2 * frameWidth();
    return {kPlaceholderWidth + frame, kPlaceholderHeight + frame};
}

QSize CImageDisplay::minimumSizeHint() const {
    return sizeHint() / 2;
}

void CImageDisplay::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        if (m_image.isNull()) {
            PaintPlaceholder(painter, area);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(area, m_image);
        }
    }
    CPictureWidget::paintEvent(event);
}

void CImageDisplay::PaintPlaceholder(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, QColor(228, 228, 226));
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal width = area.width() * 0.58;
    const qreal height = area.height() * 0.80;
    const QRectF outline(area.center().x() - width / 2 + 0.5, area.bottom() - height + 1, width,
                         height);
    painter.setBrush(QColor(244, 242, 238));
    painter.setPen(QPen(QColor(120, 120, 120), 2.0));
    painter.drawPath(Fingertip(outline));
    // Ridges: nested arches closing round a core a third of the way down.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(170, 170, 170), 1.2));
    const QPointF core(outline.center().x(), outline.top() + outline.width() * 0.75);
    const int ridges = 7;
    for (int i = 1; i <= ridges; ++i) {
        const qreal share = 1.0 - static_cast<qreal>(i) / (ridges + 1);
        const qreal w = (outline.width() - 12) * share;
        const qreal top = outline.top() + 6 + (core.y() - outline.top() - 6) * (1 - share);
        const QRectF ridge(core.x() - w / 2, top, w, outline.bottom() - 4 - top);
        painter.drawPath(Fingertip(ridge));
    }
}

}  // namespace sondrix
