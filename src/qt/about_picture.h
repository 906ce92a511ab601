#pragma once

#include "qt/picture_widget.h"

namespace sondrix {

// The About page's picture: the emblem on a painted background (the page
// shows the version line beside it).
class CAboutPicture : public CPictureWidget {
    Q_OBJECT

  public:
    explicit CAboutPicture(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace sondrix
