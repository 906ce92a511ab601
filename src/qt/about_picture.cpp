#include "qt/about_picture.h"

#include <QLinearGradient>
#include <QPainter>

#include "qt/icons.h"

namespace sondrix {

CAboutPicture::CAboutPicture(QWidget* parent) : CPictureWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize CAboutPicture::sizeHint() const {
    return {520, 190};
}

void CAboutPicture::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        QLinearGradient paper(area.topLeft(), area.bottomRight());
        paper.setColorAt(0, QColor(250, 248, 242));
        paper.setColorAt(1, QColor(226, 232, 240));
        painter.fillRect(area, paper);
        const int mark = area.height() - 40;
        DrawFingerprintMark(painter, QRectF(area.left() + 30, area.top() + 20, mark, mark),
                            QColor(150, 30, 30));
        // The emblem again, large and faint, behind the right half.
        const int big = area.height() * 2;
        DrawFingerprintMark(
            painter, QRectF(area.right() - big * 0.7, area.top() - area.height() * 0.4, big, big),
            QColor(16, 52, 96, 45));
    }
    CPictureWidget::paintEvent(event);
}

}  // namespace sondrix
