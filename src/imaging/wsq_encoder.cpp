#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "imaging/byte_writer.h"
#include "imaging/huffman_table.h"
#include "imaging/wavelet_transform.h"
#include "imaging/wsq_bit_writer.h"
#include "imaging/wsq_codec.h"
#include "imaging/wsq_format.h"
#include "imaging/wsq_layout.h"
#include "imaging/wsq_symbols.h"

namespace sondrix {
namespace {

using wsq::Report;
using wsq::ScaledNumber;

constexpr double kInitialQ = 0.1;
// Bytes the rate control allows for everything but the coded blocks.
constexpr double kHeaderAllowance = 728.0;
constexpr double kVarianceThreshold = 1.01;
constexpr float kZeroBinFactor = 1.2f;
constexpr ScaledNumber kBinCentre = {2, 44};
constexpr uint16_t kSoftwareNumber = 0;
constexpr uint8_t kEncoderNumber = 0;

// The standard's A_k weights of the coarser quantisation of subbands 52..59;
// all others are 1.
constexpr float kFineBandWeights[] = {1.32f, 1.08f, 1.42f, 1.08f, 1.32f, 1.42f, 1.08f, 1.08f};
constexpr int kFirstWeightedBand = 52;

struct BlockCoding {
    int table;
    int maxCoefficient;
    int maxRun;
};
constexpr BlockCoding kBlockCoding[wsq::kBlocks] = {{0, 45, 30}, {1, 10, 75}, {1, 10, 75}};
constexpr int kTablesUsed = 2;

struct Quantizer {
    ScaledNumber storedQ[wsq::kSubbands];
    ScaledNumber storedZ[wsq::kSubbands];
    float q[wsq::kCodedSubbands];  // 0: not coded
    float z[wsq::kCodedSubbands];
};

struct PassResult {
    double q = 0.0;
    size_t blockData = 0;  // complen: bytes of the three coded blocks
    double ratio = 0.0;
    size_t blockValues[wsq::kBlocks] = {};
};

class CEncoder {
  public:
    CEncoder(const uint8_t* pixels, int width, int height, std::FILE* diagnostics);

    // Quantises and codes the whole image with quality factor q; the stream
    // goes to `out` as far as it fits.
    PassResult Pass(double q, CByteWriter& out);
    // Whether any subband is coded at all (else q changes nothing).
    bool Coded() const { return m_qLimit > 0.0; }
    // The largest q at which every quantised coefficient still fits the
    // 16-bit escapes.
    double QLimit() const { return m_qLimit; }

  private:
    void Normalize(const uint8_t* pixels);
    void MeasureSubbands();
    Quantizer MakeQuantizer(double q) const;
    // Quantises the block's subbands into symbols from `out` on; returns
    // their end and the number of coefficients.
    wsq::CodedSymbol* Quantize(const Quantizer& quantizer, int block,
                               std::array<uint32_t, CHuffmanTable::kSymbols>& counts,
                               wsq::CodedSymbol* out, size_t& values) const;
    void WriteHeaders(const Quantizer& quantizer, CByteWriter& out) const;

    int m_width;
    int m_height;
    std::FILE* m_diagnostics;
    CWsqLayout m_layout;
    ScaledNumber m_shift;
    ScaledNumber m_scale;
    std::vector<float> m_coefficients;
    std::vector<wsq::CodedSymbol> m_symbols;  // at most one per coefficient
    // Bin width of each subband at q = 1 (it scales with 1/q); 0: not coded.
    double m_binWidthAtUnitQ[wsq::kCodedSubbands] = {};
    double m_qLimit = 0.0;
};

CEncoder::CEncoder(const uint8_t* pixels, int width, int height, std::FILE* diagnostics)
    : m_width(width),
      m_height(height),
      m_diagnostics(diagnostics),
      m_layout(width, height),
      m_coefficients(static_cast<size_t>(width) * height),
      m_symbols(static_cast<size_t>(width) * height) {
    Normalize(pixels);
    CWaveletTransform(wsq::kLowpassTaps, wsq::kLowpassLength / 2, wsq::kHighpassTaps,
                      wsq::kHighpassLength / 2)
        .Analyze(m_coefficients.data(), width, m_layout);
    MeasureSubbands();
}

void CEncoder::Normalize(const uint8_t* pixels) {
    const auto [low, high] = std::minmax_element(pixels, pixels + m_coefficients.size());
    const double shift = *low + (*high - *low) / 2.0;
    double scale = std::max(shift - *low, *high - shift) / 128.0;
    if (scale == 0.0) {
        scale = 1.0;  // a constant image: every coefficient is zero
    }
    // Both fit 16 bits with room to spare (at most 255 and 1).
    wsq::ToScaled(shift, 0xFFFF, m_shift);
    wsq::ToScaled(scale, 0xFFFF, m_scale);
    const float storedShift = static_cast<float>(wsq::FromScaled(m_shift));
    const float storedScale = static_cast<float>(wsq::FromScaled(m_scale));
    for (size_t i = 0; i < m_coefficients.size(); ++i) {
        m_coefficients[i] = (static_cast<float>(pixels[i]) - storedShift) / storedScale;
    }
}

void CEncoder::MeasureSubbands() {
    for (int k = 0; k < wsq::kCodedSubbands; ++k) {
        const WsqRect& band = m_layout.Subband(k);
        // The variance is taken over the standard's central part: an eighth
        // off the left, 9/32 off the top, three quarters of the width and
        // 7/16 of the height.
        WsqRect r = {band.x + band.width / 8, band.y + 9 * band.height / 32, 3 * band.width / 4,
                     7 * band.height / 16};
        if (r.width * r.height < 2) {
            r = band;
        }
        const double n = static_cast<double>(r.width) * r.height;
        double sum = 0.0;
        double squares = 0.0;
        float largest = 0.0f;
        for (int y = band.y; y < band.y + band.height; ++y) {
            const float* row = m_coefficients.data() + static_cast<size_t>(y) * m_width;
            const bool central = y >= r.y && y < r.y + r.height;
            for (int x = band.x; x < band.x + band.width; ++x) {
                largest = std::max(largest, std::fabs(row[x]));
                if (central && x >= r.x && x < r.x + r.width) {
                    sum += row[x];
                    squares += static_cast<double>(row[x]) * row[x];
                }
            }
        }
        const double variance = n < 2.0 ? 0.0 : (squares - sum * sum / n) / (n - 1.0);
        if (variance < kVarianceThreshold) {
            continue;
        }
        const double weight =
            k >= kFirstWeightedBand ? kFineBandWeights[k - kFirstWeightedBand] : 1.0;
        m_binWidthAtUnitQ[k] = k < 4 ? 1.0 : 10.0 / (weight * std::log(variance));
        // A coefficient c quantises to at most |c| q / binWidthAtUnitQ + 1.
        const double limit = (wsq::kMaxMagnitude - 1) * m_binWidthAtUnitQ[k] / largest;
        m_qLimit = m_qLimit == 0.0 ? limit : std::min(m_qLimit, limit);
    }
}

Quantizer CEncoder::MakeQuantizer(double q) const {
    Quantizer quantizer = {};
    for (int k = 0; k < wsq::kCodedSubbands; ++k) {
        if (m_binWidthAtUnitQ[k] == 0.0) {
            continue;
        }
        const double binWidth = m_binWidthAtUnitQ[k] / q;
        if (!wsq::ToScaled(binWidth, 0xFFFF, quantizer.storedQ[k])) {
            Report(m_diagnostics, "Error Q[%d] to high at %f\n", k, binWidth);
        }
        const double zeroBin = kZeroBinFactor * binWidth;
        if (!wsq::ToScaled(zeroBin, 0xFFFF, quantizer.storedZ[k])) {
            Report(m_diagnostics, "Error Z[%d] to high at %f\n", k, zeroBin);
        }
        // Quantise with the numbers the decoder will read.
        quantizer.q[k] = static_cast<float>(wsq::FromScaled(quantizer.storedQ[k]));
        quantizer.z[k] = static_cast<float>(wsq::FromScaled(quantizer.storedZ[k]));
    }
    return quantizer;
}

wsq::CodedSymbol* CEncoder::Quantize(const Quantizer& quantizer, int block,
                                     std::array<uint32_t, CHuffmanTable::kSymbols>& counts,
                                     wsq::CodedSymbol* out, size_t& values) const {
    const BlockCoding& coding = kBlockCoding[block];
    wsq::CSymbolizer symbols(out, counts, coding.maxCoefficient, coding.maxRun);
    values = 0;
    for (int k = wsq::kBlockStart[block]; k < wsq::kBlockStart[block + 1]; ++k) {
        const float q = quantizer.q[k];
        if (q == 0.0f) {
            continue;
        }
        const float halfZero = quantizer.z[k] / 2.0f;
        const WsqRect& r = m_layout.Subband(k);
        values += static_cast<size_t>(r.width) * r.height;
        for (int y = r.y; y < r.y + r.height; ++y) {
            const float* row = m_coefficients.data() + static_cast<size_t>(y) * m_width;
            for (int x = r.x; x < r.x + r.width; ++x) {
                const float c = row[x];
                const float magnitude = std::fabs(c);
                int32_t p = 0;
                if (magnitude > halfZero) {
                    const float bins = (magnitude - halfZero) / q;
                    // Below the limit on q only the rounding of the stored
                    // bin width can carry it past the largest magnitude.
                    p = bins < wsq::kMaxMagnitude - 1 ? static_cast<int32_t>(bins) + 1
                                                      : wsq::kMaxMagnitude;
                }
                symbols.Add(c < 0.0f ? -p : p);
            }
        }
    }
    return symbols.Finish();
}

void WriteScaled16(CByteWriter& out, const ScaledNumber& number) {
    out.U8(number.scale);
    out.U16BE(static_cast<uint16_t>(number.value));
}

void CEncoder::WriteHeaders(const Quantizer& quantizer, CByteWriter& out) const {
    out.U16BE(wsq::kMarkerSoi);

    constexpr int kLowTaps = wsq::kLowpassLength / 2 + 1;
    constexpr int kHighTaps = wsq::kHighpassLength / 2 + 1;
    out.U16BE(wsq::kMarkerTransform);
    out.U16BE(2 + 2 + 6 * (kLowTaps + kHighTaps));
    out.U8(wsq::kLowpassLength);
    out.U8(wsq::kHighpassLength);
    const auto writeTap = [&out](float tap) {
        ScaledNumber number;
        wsq::ToScaled(tap, 0xFFFFFFFFu, number);  // every tap is below 1
        out.U8(tap < 0.0f ? 1 : 0);
        out.U8(number.scale);
        out.U32BE(number.value);
    };
    std::for_each(std::begin(wsq::kLowpassTaps), std::end(wsq::kLowpassTaps), writeTap);
    std::for_each(std::begin(wsq::kHighpassTaps), std::end(wsq::kHighpassTaps), writeTap);

    out.U16BE(wsq::kMarkerQuantization);
    out.U16BE(2 + 3 + 6 * wsq::kSubbands);
    WriteScaled16(out, kBinCentre);
    for (int k = 0; k < wsq::kSubbands; ++k) {
        WriteScaled16(out, quantizer.storedQ[k]);
        WriteScaled16(out, quantizer.storedZ[k]);
    }

    out.U16BE(wsq::kMarkerFrame);
    out.U16BE(17);
    out.U8(0);    // black
    out.U8(255);  // white
    out.U16BE(static_cast<uint16_t>(m_height));
    out.U16BE(static_cast<uint16_t>(m_width));
    WriteScaled16(out, m_shift);
    WriteScaled16(out, m_scale);
    out.U8(kEncoderNumber);
    out.U16BE(kSoftwareNumber);
}

void WriteHuffmanTable(CByteWriter& out, int id, const CHuffmanTable& table) {
    out.U16BE(wsq::kMarkerHuffman);
    out.U16BE(static_cast<uint16_t>(2 + 1 + CHuffmanTable::kMaxCodeLength + table.SymbolCount()));
    out.U8(static_cast<uint8_t>(id));
    for (uint8_t count : table.CodesPerLength()) {
        out.U8(count);
    }
    for (int i = 0; i < table.SymbolCount(); ++i) {
        out.U8(table.Symbols()[i]);
    }
}

PassResult CEncoder::Pass(double q, CByteWriter& out) {
    PassResult result;
    result.q = q;
    const Quantizer quantizer = MakeQuantizer(q);
    // Each table counts the symbols of the blocks it codes.
    std::array<uint32_t, CHuffmanTable::kSymbols> counts[kTablesUsed] = {};
    wsq::CodedSymbol* blockEnd[wsq::kBlocks + 1] = {m_symbols.data()};
    for (int block = 0; block < wsq::kBlocks; ++block) {
        blockEnd[block + 1] = Quantize(quantizer, block, counts[kBlockCoding[block].table],
                                       blockEnd[block], result.blockValues[block]);
    }

    out.Rewind();
    WriteHeaders(quantizer, out);
    std::array<uint16_t, CHuffmanTable::kSymbols> codes;
    std::array<uint8_t, CHuffmanTable::kSymbols> lengths;
    int tableWritten = -1;
    for (int block = 0; block < wsq::kBlocks; ++block) {
        const int table = kBlockCoding[block].table;
        if (table != tableWritten) {
            const CHuffmanTable huffman = CHuffmanTable::FromCounts(counts[table]);
            WriteHuffmanTable(out, table, huffman);
            huffman.Codes(codes, lengths);
            tableWritten = table;
        }
        out.U16BE(wsq::kMarkerBlock);
        out.U16BE(3);
        out.U8(static_cast<uint8_t>(table));
        const size_t dataStart = out.Size();
        CWsqBitWriter bits(out);
        for (const wsq::CodedSymbol* s = blockEnd[block]; s != blockEnd[block + 1]; ++s) {
            bits.Put((uint64_t{codes[s->symbol]} << s->extraBits) | s->extra,
                     lengths[s->symbol] + s->extraBits);
        }
        bits.Flush();
        result.blockData += out.Size() - dataStart;
    }
    out.U16BE(wsq::kMarkerEoi);
    result.ratio = static_cast<double>(m_width) * m_height /
                   (static_cast<double>(result.blockData) + kHeaderAllowance);
    return result;
}

// Whether pass a meets the target better than pass b: at or above it and
// nearer, else (both below) nearer.
bool Better(const PassResult& a, const PassResult& b, double target) {
    if ((a.ratio >= target) != (b.ratio >= target)) {
        return a.ratio >= target;
    }
    return std::fabs(a.ratio - target) < std::fabs(b.ratio - target);
}

int Encode(const uint8_t* pixels, int width, int height, double target, uint8_t* out,
           size_t outCapacity, size_t* outLength, std::FILE* diagnostics) {
    CEncoder encoder(pixels, width, height, diagnostics);
    CByteWriter writer(out, outCapacity);
    PassResult last = encoder.Pass(kInitialQ, writer);
    PassResult best = last;
    int lastPass = 0;
    int bestPass = 0;
    while (lastPass + 1 < kWsqMaxPasses && encoder.Coded() &&
           !(last.ratio >= target && last.ratio - target < 1.0)) {
        const double q = std::min(last.q * last.ratio / target, encoder.QLimit());
        if (q == last.q) {
            break;  // held at the limit: another pass would give the same stream
        }
        last = encoder.Pass(q, writer);
        if (Better(last, best, target)) {
            best = last;
            bestPass = lastPass + 1;
        }
        ++lastPass;
    }
    if (bestPass != lastPass) {
        best = encoder.Pass(best.q, writer);
    }
    if (writer.Overflowed()) {
        Report(diagnostics, "ERROR: The stream of %zu bytes does not fit the %zu-byte buffer.\n",
               writer.Size(), outCapacity);
    }
    Report(diagnostics, "len1 = %zu :: len2 = %zu :: len3 = %zu\n", best.blockValues[0],
           best.blockValues[1], best.blockValues[2]);
    Report(diagnostics, "q = %.6f complen = %zu ratio = %.1f\n", best.q, best.blockData,
           best.ratio);
    Report(diagnostics, "buffer size : %zu", writer.Size());
    if (writer.Overflowed()) {
        return -1;
    }
    *outLength = writer.Size();
    return 0;
}

}  // namespace

int WsqEncode(const uint8_t* pixels, int width, int height, float ratio, uint8_t* out,
              size_t outCapacity, size_t* outLength, std::FILE* diagnostics) {
    if (pixels == nullptr || out == nullptr || outLength == nullptr) {
        Report(diagnostics, "ERROR: Missing buffer.\n");
        return -1;
    }
    const double target = std::fabs(static_cast<double>(ratio));
    if (!(target > 0.0) || !std::isfinite(target)) {
        Report(diagnostics, "Invalid q value %f\n", static_cast<double>(ratio));
        return -1;
    }
    if (width < kWsqMinDimension || width > kWsqMaxDimension || height < kWsqMinDimension ||
        height > kWsqMaxDimension) {
        Report(diagnostics, "ERROR: Image size %d x %d is outside %d..%d pixels.\n", width, height,
               kWsqMinDimension, kWsqMaxDimension);
        return -1;
    }
    try {
        return Encode(pixels, width, height, target, out, outCapacity, outLength, diagnostics);
    } catch (const std::bad_alloc&) {
        Report(diagnostics, "Error callocing fip.\n");
        return -1;
    }
}

}  // namespace sondrix
