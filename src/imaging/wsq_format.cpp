#include "imaging/wsq_format.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>

namespace sondrix::wsq {

bool ToScaled(double v, uint32_t maxValue, ScaledNumber& out) {
    const double magnitude = std::fabs(v);
    const auto fits = [&](int scale) {
        return std::round(magnitude * std::pow(10.0, scale)) <= maxValue;
    };
    if (!fits(0)) {
        out = {0, maxValue};
        return false;
    }
    if (magnitude == 0.0) {
        out = {0, 0};
        return true;
    }
    // The most decimal digits that still fit: start from the estimate by
    // logarithm and correct it for rounding.
    int scale =
        static_cast<int>(std::clamp(std::floor(std::log10(maxValue / magnitude)), 0.0, 255.0));
    while (scale > 0 && !fits(scale)) {
        --scale;
    }
    while (scale < 255 && fits(scale + 1)) {
        ++scale;
    }
    out = {static_cast<uint8_t>(scale),
           static_cast<uint32_t>(std::round(magnitude * std::pow(10.0, scale)))};
    return true;
}

double FromScaled(const ScaledNumber& number) {
    return number.value / std::pow(10.0, number.scale);
}

void Report(std::FILE* stream, const char* format, ...) {
    if (stream == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
}

}  // namespace sondrix::wsq
