#include "ui/gradient_progress_ctrl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace sondrix {

namespace {

uint8_t Channel(int start, int index, int delta, int bands) {
    return static_cast<uint8_t>(start + index * delta / bands);
}

}  // namespace

CGradientProgressCtrl::SPaint CGradientProgressCtrl::Paint(int width) const {
    SPaint paint;
    if (position <= lower || position >= upper || upper == 0) {
        return paint;
    }
    paint.empty = false;
    const int filled = static_cast<int>(static_cast<double>(position) / upper * width);
    const int dR = endColour.r - startColour.r;
    const int dG = endColour.g - startColour.g;
    const int dB = endColour.b - startColour.b;
    const int n = std::max({std::abs(dR), std::abs(dG), std::abs(dB)});
    if (n > 0) {
        const double bandWidth = static_cast<double>(width) / n;
        for (int i = 0; i < n; ++i) {
            SBand band;
            band.x0 = static_cast<int>(i * bandWidth);
            band.x1 = static_cast<int>((i + 1) * bandWidth);
            band.colour = {Channel(startColour.r, i, dR, n), Channel(startColour.g, i, dG, n),
                           Channel(startColour.b, i, dB, n)};
            paint.bands.push_back(band);
            if (band.x1 > filled) {
                paint.bands.push_back({band.x1, width, backgroundColour});
                break;
            }
        }
    }
    if (showText == 1) {
        char text[16];
        std::snprintf(text, sizeof text, "%.0f%%", position * 100.0 / upper);
        paint.text = text;
    }
    return paint;
}

}  // namespace sondrix
