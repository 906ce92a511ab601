#pragma once

#include <QImage>
#include <cstdint>

#include "qt/picture_widget.h"

namespace sondrix {

// The fingerprint image area of the Main page. Without an image it shows a
// placeholder picture; with one it stretches the 8-bit grey image over the
// whole frame (no aspect ratio kept) with smooth scaling.
class CImageDisplay : public CPictureWidget {
    Q_OBJECT

  public:
    explicit CImageDisplay(QWidget* parent = nullptr);

    // `pixels` holds width x height grey values, rows top to bottom, no row
    // padding, 0xFF white. The bytes are copied. No pixels or an empty size
    // bring the placeholder back.
    void SetImage(const uint8_t* pixels, int width, int height);
    bool HasImage() const { return !m_image.isNull(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void PaintPlaceholder(QPainter& painter, const QRect& area) const;

    QImage m_image;
};

}  // namespace sondrix
