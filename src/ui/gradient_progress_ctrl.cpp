#include "ui/gradient_progress_ctrl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sondrix {

namespace {

uint8_t Channel(int start, int index, int delta, int bands) {
    return static_cast<uint8_t>(start + index * delta / bands);
}

// Relative luminance and contrast as the web's accessibility guidelines
// measure them; 4.5 is their threshold for normal text.
double Luminance(SRgb colour) {
    const auto linear = [](uint8_t channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.r) + 0.7152 * linear(colour.g) + 0.0722 * linear(colour.b);
}

double Contrast(SRgb a, SRgb b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

constexpr double kReadableContrast = 4.5;
constexpr SRgb kWhite{255, 255, 255};
constexpr SRgb kBlack{0, 0, 0};

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
            band.ink = ReadableInk(textColour, band.colour);
            paint.bands.push_back(band);
            if (band.x1 > filled) {
                paint.bands.push_back(
                    {band.x1, width, backgroundColour, ReadableInk(textColour, backgroundColour)});
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

SRgb CGradientProgressCtrl::ReadableInk(SRgb ink, SRgb behind) {
    if (Contrast(ink, behind) >= kReadableContrast) {
        return ink;
    }
    return Contrast(kWhite, behind) >= Contrast(kBlack, behind) ? kWhite : kBlack;
}

}  // namespace sondrix
