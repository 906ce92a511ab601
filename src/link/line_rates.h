#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace sondrix {

// The line speeds a module speaks, slowest first: the rows of every Baud
// Rate list, the order of the baud search, and what --baud accepts.
constexpr std::array<uint32_t, 6> kLineRates = {9600, 14400, 19200, 38400, 57600, 115200};
// The same rates as written in messages: "9600, 14400, ..., 115200".
inline std::string LineRatesText() {
    std::string text;
    for (uint32_t rate : kLineRates) {
        text += (text.empty() ? "" : ", ") + std::to_string(rate);
    }
    return text;
}

// A serial channel's rate as the module numbers it in its options: 0 is
// 115200 bps down to 4 for 9600 bps, and 14400 bps came last as 5.
constexpr std::array<uint32_t, 6> kChannelRateOfCode = {115200, 57600, 38400, 19200, 9600, 14400};

constexpr bool IsLineRate(uint32_t rate) {
    return std::find(kLineRates.begin(), kLineRates.end(), rate) != kLineRates.end();
}

}  // namespace sondrix
