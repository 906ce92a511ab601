// The custom-drawn widgets: what they paint, pixel by pixel where it counts.
#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "qt/gradient_bar.h"
#include "qt/image_display.h"
#include "qt/qt_test_support.h"
#include "ui/gradient_progress_ctrl.h"

namespace sondrix {
namespace {

QImage Paint(QWidget& widget, QSize size) {
    widget.resize(size);
    return widget.grab().toImage();
}

int Grey(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y));
}

class SpecialWidgetsTest : public ::testing::Test {
  protected:
    SpecialWidgetsTest() { test::TestApp(); }
};

TEST_F(SpecialWidgetsTest, ImageDisplayStretchesTheGreyImageOverItsFrame) {
    CImageDisplay display;
    display.setFrameStyle(QFrame::NoFrame);
    // A 4 x 2 image: black left half, white right half, one grey row below.
    const std::vector<uint8_t> pixels = {0, 0, 255, 255, 128, 128, 128, 128};
    display.SetImage(pixels.data(), 4, 2);
    EXPECT_TRUE(display.HasImage());
    const QImage shown = Paint(display, QSize(200, 100));
    EXPECT_LT(Grey(shown, 5, 5), 40);
    EXPECT_GT(Grey(shown, 195, 5), 215);
    EXPECT_NEAR(Grey(shown, 100, 95), 128, 12);
    // Smooth scaling: the black-white edge blends.
    const int edge = Grey(shown, 100, 10);
    EXPECT_GT(edge, 40);
    EXPECT_LT(edge, 215);
}

TEST_F(SpecialWidgetsTest, ImageDisplayShowsThePlaceholderWithoutAnImage) {
    CImageDisplay display;
    const QImage empty = Paint(display, display.sizeHint());
    const std::vector<uint8_t> black(16, 0);
    display.SetImage(black.data(), 4, 4);
    const QImage image = Paint(display, display.sizeHint());
    EXPECT_LT(Grey(image, image.width() / 2, image.height() / 2), 10);
    display.SetImage(nullptr, 0, 0);
    EXPECT_FALSE(display.HasImage());
    const QImage again = Paint(display, display.sizeHint());
    EXPECT_EQ(again, empty);
    // A light, neutral area with a darker outline drawn on it.
    EXPECT_GT(Grey(empty, 6, 6), 200);
    int darkest = 255;
    for (int x = 0; x < empty.width(); ++x) {
        darkest = std::min(darkest, Grey(empty, x, empty.height() * 3 / 4));
    }
    EXPECT_LT(darkest, 160);
}

TEST_F(SpecialWidgetsTest, GradientBarPaintsTheBandsUpToThePositionAndThePercentage) {
    CGradientProgressCtrl bar;
    bar.startColour = {0, 0, 255};
    bar.endColour = {0, 0, 0};
    bar.backgroundColour = {255, 255, 255};
    bar.textColour = {100, 100, 100};
    bar.showText = 1;
    bar.position = 50;
    CGradientBar widget(bar);
    const QImage half = Paint(widget, QSize(510, 30));
    // Band 0 is the start colour; past the filled half lies the background.
    EXPECT_EQ(half.pixel(0, 2), qRgb(0, 0, 255));
    EXPECT_EQ(half.pixel(505, 2), qRgb(255, 255, 255));
    const CGradientProgressCtrl::SPaint expected = bar.Paint(510);
    const CGradientProgressCtrl::SBand& band = expected.bands[100];
    EXPECT_EQ(half.pixel(band.x0, 2), qRgb(band.colour.r, band.colour.g, band.colour.b));
    // "50%" in the text colour somewhere in the middle.
    bool text = false;
    for (int x = 230; x < 280 && !text; ++x) {
        for (int y = 5; y < 25 && !text; ++y) {
            const QRgb p = half.pixel(x, y);
            text = qAbs(qRed(p) - 100) < 40 && qAbs(qGreen(p) - 100) < 40;
        }
    }
    EXPECT_TRUE(text);

    for (int position : {0, 100}) {
        bar.position = position;
        const QImage empty = Paint(widget, QSize(510, 30));
        for (int x : {0, 255, 509}) {
            EXPECT_EQ(empty.pixel(x, 15), qRgb(kButtonFace.r, kButtonFace.g, kButtonFace.b))
                << position;
        }
    }
}

}  // namespace
}  // namespace sondrix
