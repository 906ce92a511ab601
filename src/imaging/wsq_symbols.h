#pragma once

// The run-length symbols that code a block of quantised coefficients.

#include <algorithm>
#include <array>
#include <cstdint>

#include "imaging/wsq_format.h"

namespace sondrix::wsq {

// Longest zero run one symbol carries; longer runs are cut into several.
// (65,533 rather than the 65,535 a 16-bit field could hold: the cut the
// program's encoder has always made.)
inline constexpr uint32_t kMaxRunPerSymbol = 65533;

// A symbol and the raw bits that follow it (extraBits of them, 0 for none).
struct CodedSymbol {
    uint8_t symbol;
    uint8_t extraBits;
    uint16_t extra;
};

// Turns a block's quantised coefficients, given one at a time, into symbols
// appended at `out`, counting each symbol in `counts`. Zero runs of up to
// maxRun and coefficients of magnitude up to maxCoefficient are symbols of
// their own; longer runs and larger magnitudes (at most 65,535) go through
// the 8- and 16-bit escapes. At most one symbol is made per coefficient.
class CSymbolizer {
  public:
    CSymbolizer(CodedSymbol* out, std::array<uint32_t, 256>& counts, int maxCoefficient, int maxRun)
        : m_out(out), m_counts(counts), m_maxCoefficient(maxCoefficient), m_maxRun(maxRun) {}

    void Add(int32_t value) {
        if (value == 0) {
            ++m_run;
            return;
        }
        EndRun();
        const uint32_t magnitude = static_cast<uint32_t>(value < 0 ? -value : value);
        if (magnitude <= static_cast<uint32_t>(m_maxCoefficient)) {
            Emit(kCoefficientBias + value, 0, 0);
        } else if (magnitude <= 0xFF) {
            Emit(value > 0 ? kSymbolPositive8 : kSymbolNegative8, magnitude, 8);
        } else {
            Emit(value > 0 ? kSymbolPositive16 : kSymbolNegative16, magnitude, 16);
        }
    }

    // Ends the block; returns the end of its symbols.
    CodedSymbol* Finish() {
        EndRun();
        return m_out;
    }

  private:
    void EndRun() {
        while (m_run > 0) {
            const uint32_t part = std::min(m_run, kMaxRunPerSymbol);
            if (part <= static_cast<uint32_t>(m_maxRun)) {
                Emit(static_cast<int>(part), 0, 0);
            } else if (part <= 0xFF) {
                Emit(kSymbolRun8, part, 8);
            } else {
                Emit(kSymbolRun16, part, 16);
            }
            m_run -= part;
        }
    }

    void Emit(int symbol, uint32_t extra, int extraBits) {
        ++m_counts[symbol];
        *m_out++ = {static_cast<uint8_t>(symbol), static_cast<uint8_t>(extraBits),
                    static_cast<uint16_t>(extra)};
    }

    CodedSymbol* m_out;
    std::array<uint32_t, 256>& m_counts;
    int m_maxCoefficient;
    int m_maxRun;
    uint32_t m_run = 0;
};

}  // namespace sondrix::wsq
