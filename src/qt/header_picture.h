#pragma once

#include <QString>

#include "qt/picture_widget.h"

namespace sondrix {

// The banner above the tabs: the product name on a painted background.
class CHeaderPicture : public CPictureWidget {
    Q_OBJECT

  public:
    explicit CHeaderPicture(QString product, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_product;
};

}  // namespace sondrix
