#pragma once

// Facts of the FBI WSQ grey-scale fingerprint format that the encoder and the
// decoder share: marker codes, the symbol alphabet of the entropy-coded
// blocks, the standard's analysis filters, and the scaled-number form in
// which the tables carry real values.

#include <cstdint>
#include <cstdio>

#include "platform/printf_format.h"

namespace sondrix::wsq {

// Marker codes (big-endian words, each starts a segment).
inline constexpr uint16_t kMarkerSoi = 0xFFA0;
inline constexpr uint16_t kMarkerEoi = 0xFFA1;
inline constexpr uint16_t kMarkerFrame = 0xFFA2;
inline constexpr uint16_t kMarkerBlock = 0xFFA3;
inline constexpr uint16_t kMarkerTransform = 0xFFA4;
inline constexpr uint16_t kMarkerQuantization = 0xFFA5;
inline constexpr uint16_t kMarkerHuffman = 0xFFA6;

// The decomposition has 64 subbands; the last four (the highest frequencies
// in both directions) are never coded.
inline constexpr int kSubbands = 64;
inline constexpr int kCodedSubbands = 60;
// Subbands [kBlockStart[b], kBlockStart[b + 1]) form entropy-coded block b.
inline constexpr int kBlocks = 3;
inline constexpr int kBlockStart[kBlocks + 1] = {0, 19, 52, 60};

// Symbol alphabet of the entropy-coded blocks. 1..kMaxRunSymbol are zero runs
// of that length; the escapes are followed by 8 or 16 raw bits; any other
// symbol s stands for the coefficient s - kCoefficientBias.
inline constexpr int kMaxRunSymbol = 100;
inline constexpr int kSymbolPositive8 = 101;
inline constexpr int kSymbolNegative8 = 102;
inline constexpr int kSymbolPositive16 = 103;
inline constexpr int kSymbolNegative16 = 104;
inline constexpr int kSymbolRun8 = 105;
inline constexpr int kSymbolRun16 = 106;
inline constexpr int kCoefficientBias = 180;
// Largest coefficient magnitude the 16-bit escapes carry.
inline constexpr int32_t kMaxMagnitude = 0xFFFF;
inline constexpr int kHuffmanTables = 8;

// The standard's 9-tap lowpass and 7-tap highpass analysis filters, both
// symmetric: the centre tap first, then one side.
inline constexpr int kLowpassLength = 9;
inline constexpr int kHighpassLength = 7;
inline constexpr float kLowpassTaps[5] = {0.85269867900940f, 0.37740285561265f, -0.11062440441842f,
                                          -0.02384946501938f, 0.03782845550699f};
inline constexpr float kHighpassTaps[4] = {0.78848561640566f, -0.41809227322221f,
                                           -0.04068941760956f, 0.06453888262894f};

// A real number v carried as value / 10^scale.
struct ScaledNumber {
    uint8_t scale = 0;
    uint32_t value = 0;
};

// The most precise form of |v| whose value does not exceed maxValue. Returns
// false (and the saturated form scale 0, maxValue) when |v| itself is larger.
bool ToScaled(double v, uint32_t maxValue, ScaledNumber& out);
double FromScaled(const ScaledNumber& number);

// printf-style line to the diagnostic stream; a null stream is silent.
void Report(std::FILE* stream, const char* format, ...) SONDRIX_PRINTF_FORMAT(2, 3);

}  // namespace sondrix::wsq
