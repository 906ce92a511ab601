#include "qt/gradient_bar.h"

#include <QPainter>

#include "ui/gradient_progress_ctrl.h"

namespace sondrix {

namespace {

QColor ToQColor(const SRgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

CGradientBar::CGradientBar(const CGradientProgressCtrl& bar, QWidget* parent)
    : QWidget(parent), m_bar(bar) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CGradientBar::sizeHint() const {
    return {320, fontMetrics().height() + 10};
}

void CGradientBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const CGradientProgressCtrl::SPaint paint = m_bar.Paint(width());
    if (paint.empty) {
        painter.fillRect(rect(), ToQColor(kButtonFace));
        return;
    }
    for (const CGradientProgressCtrl::SBand& band : paint.bands) {
        painter.fillRect(QRect(band.x0, 0, band.x1 - band.x0, height() + 1), ToQColor(band.colour));
    }
    if (paint.text.empty()) {
        return;
    }
    // The text in the ink of each band it crosses: light over the dark end
    // of the gradient, the bar's own colour over the light background.
    const QString text = QString::fromStdString(paint.text);
    if (paint.bands.empty()) {
        painter.setPen(ToQColor(m_bar.textColour));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    for (size_t first = 0; first < paint.bands.size();) {
        size_t end = first + 1;
        while (end < paint.bands.size() && paint.bands[end].ink == paint.bands[first].ink) {
            ++end;
        }
        const int x0 = paint.bands[first].x0;
        const int x1 = paint.bands[end - 1].x1;
        painter.setClipRect(QRect(x0, 0, x1 - x0, height()));
        painter.setPen(ToQColor(paint.bands[first].ink));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
        first = end;
    }
}

}  // namespace sondrix
