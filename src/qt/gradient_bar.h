#pragma once

#include <QWidget>

namespace sondrix {

class CGradientProgressCtrl;

// Paints a gradient progress bar: the bands and the text come from the bar's
// own arithmetic, this only draws them. Qt paints through a back buffer, so
// the bands never flicker.
class CGradientBar : public QWidget {
    Q_OBJECT

  public:
    CGradientBar(const CGradientProgressCtrl& bar, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const CGradientProgressCtrl& m_bar;
};

}  // namespace sondrix
