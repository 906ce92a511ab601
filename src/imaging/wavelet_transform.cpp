#include "imaging/wavelet_transform.h"

#include <algorithm>

namespace sondrix {
namespace {

// Index of sample i of a line of `length` samples extended symmetrically about
// its first and last samples (whole-sample symmetry).
int Reflect(int i, int length) {
    if (length == 1) {
        return 0;
    }
    const int period = 2 * (length - 1);
    i %= period;
    if (i < 0) {
        i += period;
    }
    return i < length ? i : period - i;
}

// Lowpass outputs from the even samples, highpass outputs from the odd ones,
// of a line padded on both sides. A side of -1 takes the taps' own count.
template <int kLowSide, int kHighSide>
void AnalyzeKernel(const CWaveletTransform::Taps& taps, const float* in, int length, float* low,
                   float* high, std::ptrdiff_t step) {
    const int lowSide = kLowSide >= 0 ? kLowSide : taps.lowSide;
    const int highSide = kHighSide >= 0 ? kHighSide : taps.highSide;
    for (int k = 0; 2 * k < length; ++k) {
        const float* c = in + 2 * k;
        float sum = taps.low[0] * c[0];
#pragma GCC unroll 16
        for (int j = 1; j <= lowSide; ++j) {
            sum += taps.low[j] * (c[-j] + c[j]);
        }
        low[k * step] = sum;
    }
    for (int k = 0; 2 * k + 1 < length; ++k) {
        const float* c = in + 2 * k + 1;
        float sum = taps.high[0] * c[0];
#pragma GCC unroll 16
        for (int j = 1; j <= highSide; ++j) {
            sum += taps.high[j] * (c[-j] + c[j]);
        }
        high[k * step] = sum;
    }
}

// Even and odd output samples from padded lowpass and highpass halves. The
// synthesis lowpass filter has the highpass filter's length and the other way
// round; tap 2t (2t - 1) of either meets the halves' samples t apart (t and
// t - 1 apart).
template <int kLowSide, int kHighSide>
void SynthesizeKernel(const CWaveletTransform::Taps& taps, const float* low, const float* high,
                      int length, float* out, std::ptrdiff_t step) {
    const int lowSide = kLowSide >= 0 ? kLowSide : taps.lowSide;
    const int highSide = kHighSide >= 0 ? kHighSide : taps.highSide;
    const float* gLow = taps.synthesisLow.data();
    const float* gHigh = taps.synthesisHigh.data();
    for (int i = 0; 2 * i < length; ++i) {
        float sum = gLow[0] * low[i];
#pragma GCC unroll 16
        for (int t = 1; 2 * t <= highSide; ++t) {
            sum += gLow[2 * t] * (low[i - t] + low[i + t]);
        }
#pragma GCC unroll 16
        for (int t = 1; 2 * t - 1 <= lowSide; ++t) {
            sum += gHigh[2 * t - 1] * (high[i - t] + high[i + t - 1]);
        }
        out[2 * i * step] = sum;
    }
    for (int i = 0; 2 * i + 1 < length; ++i) {
        float sum = gHigh[0] * high[i];
#pragma GCC unroll 16
        for (int t = 1; 2 * t <= lowSide; ++t) {
            sum += gHigh[2 * t] * (high[i - t] + high[i + t]);
        }
#pragma GCC unroll 16
        for (int t = 1; 2 * t - 1 <= highSide; ++t) {
            sum += gLow[2 * t - 1] * (low[i - t + 1] + low[i + t]);
        }
        out[(2 * i + 1) * step] = sum;
    }
}

constexpr int kStandardLowSide = 4;
constexpr int kStandardHighSide = 3;

}  // namespace

CWaveletTransform::CWaveletTransform(const float* lowTaps, int lowSide, const float* highTaps,
                                     int highSide)
    : m_standardLengths(lowSide == kStandardLowSide && highSide == kStandardHighSide),
      m_pad(std::max(lowSide, highSide) + 1) {
    m_taps.lowSide = lowSide;
    m_taps.highSide = highSide;
    for (int i = 0; i <= lowSide; ++i) {
        m_taps.low[i] = lowTaps[i];
        m_taps.synthesisHigh[i] = (i % 2 == 0) ? lowTaps[i] : -lowTaps[i];
    }
    for (int i = 0; i <= highSide; ++i) {
        m_taps.high[i] = highTaps[i];
        m_taps.synthesisLow[i] = (i % 2 == 0) ? highTaps[i] : -highTaps[i];
    }
}

void CWaveletTransform::Reserve(const CWsqLayout& layout) {
    const WsqRect& image = layout.Splits()[0].rect;
    // Synthesis keeps both halves of a line, each with padding on both sides.
    m_scratch.resize(static_cast<size_t>(std::max(image.width, image.height) + 4 * m_pad));
}

void CWaveletTransform::Analyze(float* image, int stride, const CWsqLayout& layout) {
    Reserve(layout);
    for (const WsqSplit& split : layout.Splits()) {
        const WsqRect& r = split.rect;
        float* origin = image + static_cast<std::ptrdiff_t>(r.y) * stride + r.x;
        for (int y = 0; y < r.height; ++y) {
            AnalyzeLine(origin + static_cast<std::ptrdiff_t>(y) * stride, 1, r.width,
                        split.mirroredX);
        }
        for (int x = 0; x < r.width; ++x) {
            AnalyzeLine(origin + x, stride, r.height, split.mirroredY);
        }
    }
}

void CWaveletTransform::Synthesize(float* image, int stride, const CWsqLayout& layout) {
    Reserve(layout);
    const auto& splits = layout.Splits();
    for (auto it = splits.rbegin(); it != splits.rend(); ++it) {
        const WsqRect& r = it->rect;
        float* origin = image + static_cast<std::ptrdiff_t>(r.y) * stride + r.x;
        for (int x = 0; x < r.width; ++x) {
            SynthesizeLine(origin + x, stride, r.height, it->mirroredY);
        }
        for (int y = 0; y < r.height; ++y) {
            SynthesizeLine(origin + static_cast<std::ptrdiff_t>(y) * stride, 1, r.width,
                           it->mirroredX);
        }
    }
}

void CWaveletTransform::AnalyzeLine(float* line, std::ptrdiff_t step, int length, bool mirrored) {
    if (length == 0) {
        return;
    }
    float* in = m_scratch.data() + m_pad;
    for (int i = 0; i < length; ++i) {
        in[i] = line[i * step];
    }
    for (int i = 1; i <= m_pad; ++i) {
        in[-i] = in[Reflect(-i, length)];
        in[length - 1 + i] = in[Reflect(length - 1 + i, length)];
    }
    const int lowCount = (length + 1) / 2;
    const int highCount = length / 2;
    float* low = line + (mirrored ? highCount : 0) * step;
    float* high = line + (mirrored ? 0 : lowCount) * step;
    if (m_standardLengths) {
        AnalyzeKernel<kStandardLowSide, kStandardHighSide>(m_taps, in, length, low, high, step);
    } else {
        AnalyzeKernel<-1, -1>(m_taps, in, length, low, high, step);
    }
}

void CWaveletTransform::SynthesizeLine(float* line, std::ptrdiff_t step, int length,
                                       bool mirrored) {
    if (length == 0) {
        return;
    }
    const int lowCount = (length + 1) / 2;
    const int highCount = length / 2;
    const float* lowIn = line + (mirrored ? highCount : 0) * step;
    const float* highIn = line + (mirrored ? 0 : lowCount) * step;
    float* low = m_scratch.data() + m_pad;
    float* high = low + lowCount + 2 * m_pad;
    for (int k = 0; k < lowCount; ++k) {
        low[k] = lowIn[k * step];
    }
    for (int k = 0; k < highCount; ++k) {
        high[k] = highIn[k * step];
    }
    // The halves of the symmetrically extended line are themselves symmetric:
    // lowpass sample k sits at line position 2k, highpass sample k at 2k + 1.
    for (int i = 1; i <= m_pad; ++i) {
        low[-i] = low[Reflect(-2 * i, length) / 2];
        low[lowCount - 1 + i] = low[Reflect(2 * (lowCount - 1 + i), length) / 2];
        high[-i] = highCount == 0 ? 0.0f : high[(Reflect(1 - 2 * i, length) - 1) / 2];
        high[highCount - 1 + i] =
            highCount == 0 ? 0.0f : high[(Reflect(2 * (highCount - 1 + i) + 1, length) - 1) / 2];
    }
    if (m_standardLengths) {
        SynthesizeKernel<kStandardLowSide, kStandardHighSide>(m_taps, low, high, length, line,
                                                              step);
    } else {
        SynthesizeKernel<-1, -1>(m_taps, low, high, length, line, step);
    }
}

}  // namespace sondrix
