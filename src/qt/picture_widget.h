#pragma once

#include <QFrame>

namespace sondrix {

// A custom-drawn area of a page. A double click is the person's action on
// it (the header picture opens the maker's page that way); what it paints is
// up to the subclass. On its own it is an empty sunken frame.
class CPictureWidget : public QFrame {
    Q_OBJECT

  public:
    explicit CPictureWidget(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace sondrix
