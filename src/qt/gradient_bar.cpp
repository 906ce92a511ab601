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
    if (!paint.text.empty()) {
        painter.setPen(ToQColor(m_bar.textColour));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine,
                         QString::fromStdString(paint.text));
    }
}

}  // namespace sondrix
