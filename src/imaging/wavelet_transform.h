#pragma once

// The two-dimensional wavelet decomposition of WSQ and its inverse, done in
// place on a float image over the regions of a CWsqLayout.
//
// Both filters are odd-length and symmetric and are given by their centre
// tap and one side. A line is extended symmetrically about its first and
// last samples; the lowpass output is taken at the even samples and the
// highpass output at the odd ones. Synthesis uses the filters the analysis
// pair implies (each the other analysis filter with every second tap negated),
// so analysis followed by synthesis gives the image back.

#include <array>
#include <cstddef>
#include <vector>

#include "imaging/wsq_layout.h"

namespace sondrix {

class CWaveletTransform {
  public:
    // Up to this many taps on each side of the centre (filters of 31 taps).
    static constexpr int kMaxSide = 15;

    // lowTaps[0] and highTaps[0] are the centre taps; lowSide and highSide
    // (each 0..kMaxSide) count the taps on one side.
    CWaveletTransform(const float* lowTaps, int lowSide, const float* highTaps, int highSide);

    // image has `stride` floats per row and covers the layout's whole image.
    void Analyze(float* image, int stride, const CWsqLayout& layout);
    void Synthesize(float* image, int stride, const CWsqLayout& layout);

    // Taps, centre first: the analysis pair and the synthesis pair.
    struct Taps {
        int lowSide = 0;
        int highSide = 0;
        std::array<float, kMaxSide + 1> low{};
        std::array<float, kMaxSide + 1> high{};
        std::array<float, kMaxSide + 1> synthesisLow{};
        std::array<float, kMaxSide + 1> synthesisHigh{};
    };

  private:
    void AnalyzeLine(float* line, std::ptrdiff_t step, int length, bool mirrored);
    void SynthesizeLine(float* line, std::ptrdiff_t step, int length, bool mirrored);
    void Reserve(const CWsqLayout& layout);

    Taps m_taps;
    // The standard 9/7 pair has kernels of its own, unrolled by the compiler.
    bool m_standardLengths;
    int m_pad;
    std::vector<float> m_scratch;
};

}  // namespace sondrix
