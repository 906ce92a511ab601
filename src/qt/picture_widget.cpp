#include "qt/picture_widget.h"

#include <QMouseEvent>

namespace sondrix {

CPictureWidget::CPictureWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

QSize CPictureWidget::sizeHint() const {
    return {96, 96};
}

void CPictureWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked();
    }
    QFrame::mouseDoubleClickEvent(event);
}

}  // namespace sondrix
