#include "qt/header_picture.h"

#include <QLinearGradient>
#include <QPainter>

#include "qt/icons.h"

namespace sondrix {

CHeaderPicture::CHeaderPicture(QString product, QWidget* parent)
    : CPictureWidget(parent), m_product(std::move(product)) {
    setFrameStyle(QFrame::NoFrame);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QSize CHeaderPicture::sizeHint() const {
    return {600, 56};
}

void CHeaderPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient sky(rect().topLeft(), rect().topRight());
    sky.setColorAt(0, QColor(12, 38, 72));
    sky.setColorAt(1, QColor(20, 104, 122));
    painter.fillRect(rect(), sky);
    const int mark = height() - 12;
    DrawFingerprintMark(painter, QRectF(14, 6, mark, mark), QColor(225, 235, 245));
    // The emblem again, large and faint, at the right end.
    const int big = height() * 2;
    DrawFingerprintMark(painter, QRectF(width() - big * 0.8, -height() * 0.45, big, big),
                        QColor(255, 255, 255, 40));
    QFont font = painter.font();
    font.setPixelSize(height() / 2);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(mark + 28, 0, width() - mark - 28, height()),
                     Qt::AlignVCenter | Qt::AlignLeft, m_product);
}

}  // namespace sondrix
