#include <cmath>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "imaging/huffman_decoder.h"
#include "imaging/wavelet_transform.h"
#include "imaging/wsq_bit_reader.h"
#include "imaging/wsq_codec.h"
#include "imaging/wsq_format.h"
#include "imaging/wsq_layout.h"
#include "platform/byte_reader.h"

namespace sondrix {
namespace {

using wsq::Report;

// A filter of length 0 is not defined.
struct Filters {
    int lowLength = 0;
    int highLength = 0;
    float low[CWaveletTransform::kMaxSide + 1] = {};
    float high[CWaveletTransform::kMaxSide + 1] = {};
};

struct Quantization {
    float binCentre = 0.0f;
    float q[wsq::kSubbands] = {};
    float z[wsq::kSubbands] = {};
};

struct Frame {
    int width = 0;
    int height = 0;
    float shift = 0.0f;
    float scale = 0.0f;
};

class CDecoder {
  public:
    CDecoder(const uint8_t* in, size_t size, size_t pixelCapacity, std::FILE* diagnostics)
        : m_in(in, size), m_pixelCapacity(pixelCapacity), m_diagnostics(diagnostics) {}

    int Run(uint8_t* pixels, int* width, int* height);

  private:
    bool ReadSegments();
    bool Segment(uint16_t marker, CByteReader& body);
    bool ReadTransformTable(CByteReader& body);
    bool ReadQuantizationTable(CByteReader& body);
    bool ReadHuffmanTables(CByteReader& body);
    bool ReadFrame(CByteReader& body);
    bool ReadBlock(CByteReader& body);
    bool DecodeBlockData(const CHuffmanDecoder& decoder);
    bool Put(int32_t value, uint32_t count);
    bool Dequantize(std::vector<float>& image) const;

    CByteReader m_in;
    size_t m_pixelCapacity;
    std::FILE* m_diagnostics;
    std::optional<Filters> m_filters;
    std::optional<Quantization> m_quantization;
    std::optional<CHuffmanDecoder> m_huffman[wsq::kHuffmanTables];
    std::optional<Frame> m_frame;
    // Quantised coefficients in coding order: m_decoded of m_capacity so far.
    std::unique_ptr<int32_t[]> m_values;
    size_t m_capacity = 0;
    size_t m_decoded = 0;
};

// Why the coded data of a block ran out or did not decode.
const char* DataError(CWsqBitReader::EStop stop) {
    switch (stop) {
        case CWsqBitReader::EStop::End:
            return "ERROR: Stream ends inside a block.\n";
        case CWsqBitReader::EStop::Unstuffed:
            return "ERROR: No stuffed zeros.\n";
        default:
            return "ERROR: Invalid code.\n";
    }
}

bool ReadScaled16(CByteReader& in, wsq::ScaledNumber& out) {
    uint16_t value = 0;
    if (!in.U8(out.scale) || !in.U16BE(value)) {
        return false;
    }
    out.value = value;
    return true;
}

int CDecoder::Run(uint8_t* pixels, int* width, int* height) {
    if (!ReadSegments()) {
        return -1;
    }
    std::vector<float> image(static_cast<size_t>(m_frame->width) * m_frame->height, 0.0f);
    if (!Dequantize(image)) {
        return -1;
    }
    if (!m_filters || m_filters->lowLength == 0) {
        Report(m_diagnostics, "ERROR: Lopass filter coefficients not defined!\n");
        return -1;
    }
    if (m_filters->highLength == 0) {
        Report(m_diagnostics, "ERROR: Hipass filter coefficients not defined!\n");
        return -1;
    }
    CWaveletTransform transform(m_filters->low, m_filters->lowLength / 2, m_filters->high,
                                m_filters->highLength / 2);
    transform.Synthesize(image.data(), m_frame->width, CWsqLayout(m_frame->width, m_frame->height));
    for (size_t i = 0; i < image.size(); ++i) {
        // Truncation towards zero, clamped to 0..255 (a corrupt stream's
        // NaN gives 0).
        const float v = m_frame->shift + m_frame->scale * image[i] + 0.5f;
        pixels[i] = !(v > 0.0f) ? 0 : (v >= 255.0f ? 255 : static_cast<uint8_t>(v));
    }
    *width = m_frame->width;
    *height = m_frame->height;
    return 0;
}

bool CDecoder::ReadSegments() {
    uint16_t marker = 0;
    if (!m_in.U16BE(marker)) {
        Report(m_diagnostics, "ERROR: Stream too short.\n");
        return false;
    }
    if (marker != wsq::kMarkerSoi) {
        Report(m_diagnostics, "No SOI MarKer. {%u}\n", marker);
        m_in.Seek(0);
    }
    for (;;) {
        if (!m_in.U16BE(marker)) {
            Report(m_diagnostics, "ERROR: Stream ends before the EOI marker.\n");
            return false;
        }
        if (marker == wsq::kMarkerEoi) {
            if (!m_frame) {
                Report(m_diagnostics, "ERROR: No frame header before EOI.\n");
                return false;
            }
            return true;
        }
        if ((marker >> 8) != 0xFF || marker == wsq::kMarkerSoi) {
            Report(m_diagnostics, "ERror: IIIInvalid table defined -> {%x}\n", marker);
            return false;
        }
        uint16_t length = 0;
        std::span<const uint8_t> bytes;
        if (!m_in.U16BE(length) || length < 2 || !m_in.View(bytes, length - 2u)) {
            Report(m_diagnostics, "ERROR: Segment {%x} runs past the end of the stream.\n", marker);
            return false;
        }
        CByteReader body(bytes);
        if (!Segment(marker, body)) {
            return false;
        }
    }
}

bool CDecoder::Segment(uint16_t marker, CByteReader& body) {
    switch (marker) {
        case wsq::kMarkerTransform:
            return ReadTransformTable(body);
        case wsq::kMarkerQuantization:
            return ReadQuantizationTable(body);
        case wsq::kMarkerHuffman:
            return ReadHuffmanTables(body);
        case wsq::kMarkerFrame:
            return ReadFrame(body);
        case wsq::kMarkerBlock:
            return ReadBlock(body);
        default:
            Report(m_diagnostics, "ERror: IIIInvalid table defined -> {%x}\n", marker);
            return true;
    }
}

bool CDecoder::ReadTransformTable(CByteReader& body) {
    uint8_t lowLength = 0;
    uint8_t highLength = 0;
    if (!body.U8(lowLength) || !body.U8(highLength)) {
        Report(m_diagnostics, "ERROR: Transform table too short.\n");
        return false;
    }
    const auto supported = [](int length) {
        return length == 0 || (length % 2 == 1 && length <= 2 * CWaveletTransform::kMaxSide + 1);
    };
    if (!supported(lowLength) || !supported(highLength)) {
        Report(m_diagnostics, "ERROR: Unsupported filter lengths {%d, %d}.\n", lowLength,
               highLength);
        return false;
    }
    Filters filters;
    filters.lowLength = lowLength;
    filters.highLength = highLength;
    // Centre tap first, then one side of each symmetric filter.
    const auto readTaps = [&body](float* taps, int length) {
        for (int i = 0; i < (length + 1) / 2; ++i) {
            uint8_t sign = 0;
            wsq::ScaledNumber number;
            if (!body.U8(sign) || !body.U8(number.scale) || !body.U32BE(number.value)) {
                return false;
            }
            const double magnitude = wsq::FromScaled(number);
            taps[i] = static_cast<float>(sign != 0 ? -magnitude : magnitude);
        }
        return true;
    };
    if (!readTaps(filters.low, lowLength) || !readTaps(filters.high, highLength)) {
        Report(m_diagnostics, "ERROR: Transform table too short.\n");
        return false;
    }
    m_filters = filters;
    return true;
}

bool CDecoder::ReadQuantizationTable(CByteReader& body) {
    Quantization quantization;
    wsq::ScaledNumber centre;
    bool ok = ReadScaled16(body, centre);
    for (int k = 0; ok && k < wsq::kSubbands; ++k) {
        wsq::ScaledNumber q;
        wsq::ScaledNumber z;
        ok = ReadScaled16(body, q) && ReadScaled16(body, z);
        quantization.q[k] = static_cast<float>(wsq::FromScaled(q));
        quantization.z[k] = static_cast<float>(wsq::FromScaled(z));
    }
    if (!ok) {
        Report(m_diagnostics, "ERROR: Quantization table too short.\n");
        return false;
    }
    quantization.binCentre = static_cast<float>(wsq::FromScaled(centre));
    m_quantization = quantization;
    return true;
}

bool CDecoder::ReadHuffmanTables(CByteReader& body) {
    // One segment may hold several tables.
    while (!body.AtEnd()) {
        uint8_t id = 0;
        uint8_t counts[CHuffmanTable::kMaxCodeLength] = {};
        int total = 0;
        bool ok = body.U8(id) && body.Bytes(counts, sizeof counts) && id < wsq::kHuffmanTables;
        for (uint8_t count : counts) {
            total += count;
        }
        std::span<const uint8_t> symbols;
        CHuffmanTable table;
        ok = ok && body.View(symbols, static_cast<size_t>(total)) &&
             table.Assign(counts, symbols.data(), total);
        if (!ok) {
            Report(m_diagnostics, "ERROR: Invalid huffman table {%d}.\n", id);
            return false;
        }
        m_huffman[id].emplace(table);
    }
    return true;
}

bool CDecoder::ReadFrame(CByteReader& body) {
    uint8_t black = 0;
    uint8_t white = 0;
    uint16_t height = 0;
    uint16_t width = 0;
    wsq::ScaledNumber shift;
    wsq::ScaledNumber scale;
    if (!body.U8(black) || !body.U8(white) || !body.U16BE(height) || !body.U16BE(width) ||
        !ReadScaled16(body, shift) || !ReadScaled16(body, scale)) {
        Report(m_diagnostics, "ERROR: Frame header too short.\n");
        return false;
    }
    if (m_frame) {
        Report(m_diagnostics, "ERROR: Second frame header.\n");
        return false;
    }
    if (width == 0 || height == 0) {
        Report(m_diagnostics, "ERROR: Invalid image size {%d x %d}.\n", width, height);
        return false;
    }
    const size_t pixels = static_cast<size_t>(width) * height;
    if (pixels > m_pixelCapacity) {
        Report(m_diagnostics, "ERROR: Image of %d x %d pixels does not fit the %zu-pixel buffer.\n",
               width, height, m_pixelCapacity);
        return false;
    }
    m_values.reset(new int32_t[pixels]);
    m_capacity = pixels;
    m_frame = Frame{width, height, static_cast<float>(wsq::FromScaled(shift)),
                    static_cast<float>(wsq::FromScaled(scale))};
    return true;
}

bool CDecoder::ReadBlock(CByteReader& body) {
    uint8_t id = 0;
    if (!body.U8(id)) {
        Report(m_diagnostics, "ERROR: Block header too short.\n");
        return false;
    }
    if (!m_frame) {
        Report(m_diagnostics, "ERROR: Block before the frame header.\n");
        return false;
    }
    if (id >= wsq::kHuffmanTables || !m_huffman[id]) {
        Report(m_diagnostics, "Error huffman table {%d} undefined.\n", id);
        return false;
    }
    return DecodeBlockData(*m_huffman[id]);
}

bool CDecoder::Put(int32_t value, uint32_t count) {
    if (count > m_capacity - m_decoded) {
        Report(m_diagnostics, "ERROR: Coded data overruns the image.\n");
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        m_values[m_decoded++] = value;
    }
    return true;
}

bool CDecoder::DecodeBlockData(const CHuffmanDecoder& decoder) {
    // The raw bits after each escape symbol (kSymbolPositive8..kSymbolRun16)
    // and the sign of the coefficient they carry, 0 for a zero run.
    struct Escape {
        int bits;
        int sign;
    };
    static constexpr Escape kEscapes[] = {{8, 1}, {8, -1}, {16, 1}, {16, -1}, {8, 0}, {16, 0}};
    CWsqBitReader bits(m_in);
    for (;;) {
        const CHuffmanDecoder::Entry code = decoder.Decode(bits.Peek16());
        if (code.length == 0 || code.length > bits.Available()) {
            // What is left before a marker is the padding after the last code.
            if (bits.Stop() == CWsqBitReader::EStop::Marker && bits.Available() < 16) {
                return true;
            }
            Report(m_diagnostics, "%s", DataError(bits.Stop()));
            return false;
        }
        bits.Skip(code.length);
        const int symbol = code.symbol;
        if (symbol == 0 || symbol == 0xFF) {
            Report(m_diagnostics, "Invalid quantization pixel value.\n");
            return false;
        }
        if (symbol <= wsq::kMaxRunSymbol) {
            if (!Put(0, static_cast<uint32_t>(symbol))) {
                return false;
            }
            continue;
        }
        int32_t value = symbol - wsq::kCoefficientBias;
        if (symbol <= wsq::kSymbolRun16) {
            const Escape& escape = kEscapes[symbol - wsq::kSymbolPositive8];
            uint32_t extra = 0;
            if (!bits.Read(escape.bits, extra)) {
                Report(m_diagnostics, "%s", DataError(bits.Stop()));
                return false;
            }
            if (escape.sign == 0) {
                if (!Put(0, extra)) {
                    return false;
                }
                continue;
            }
            value = escape.sign * static_cast<int32_t>(extra);
        }
        if (!Put(value, 1)) {
            return false;
        }
    }
}

bool CDecoder::Dequantize(std::vector<float>& image) const {
    if (!m_quantization) {
        Report(m_diagnostics, "ERROR: Quantization table parameters not defined!\n");
        return false;
    }
    const Quantization& table = *m_quantization;
    const CWsqLayout layout(m_frame->width, m_frame->height);
    size_t expected = 0;
    for (int k = 0; k < wsq::kCodedSubbands; ++k) {
        if (table.q[k] != 0.0f) {
            expected += static_cast<size_t>(layout.Subband(k).width) * layout.Subband(k).height;
        }
    }
    if (expected != m_decoded) {
        Report(m_diagnostics, "ERROR: %zu coefficients coded where the subbands hold %zu.\n",
               m_decoded, expected);
        return false;
    }
    const int32_t* value = m_values.get();
    for (int k = 0; k < wsq::kCodedSubbands; ++k) {
        const float q = table.q[k];
        if (q == 0.0f) {
            continue;
        }
        const float halfZero = table.z[k] / 2.0f;
        const float centre = table.binCentre;
        const WsqRect& r = layout.Subband(k);
        for (int y = r.y; y < r.y + r.height; ++y) {
            float* row = image.data() + static_cast<size_t>(y) * m_frame->width;
            for (int x = r.x; x < r.x + r.width; ++x) {
                const int32_t p = *value++;
                row[x] = p > 0   ? (static_cast<float>(p) - centre) * q + halfZero
                         : p < 0 ? (static_cast<float>(p) + centre) * q - halfZero
                                 : 0.0f;
            }
        }
    }
    return true;
}

}  // namespace

int WsqDecode(const uint8_t* in, size_t inSize, uint8_t* pixels, size_t pixelCapacity, int* width,
              int* height, std::FILE* diagnostics) {
    if (in == nullptr || pixels == nullptr || width == nullptr || height == nullptr) {
        Report(diagnostics, "ERROR: Missing buffer.\n");
        return -1;
    }
    try {
        return CDecoder(in, inSize, pixelCapacity, diagnostics).Run(pixels, width, height);
    } catch (const std::bad_alloc&) {
        Report(diagnostics, "ERROR: Callocing memory for fip1!\n");
        return -1;
    }
}

}  // namespace sondrix
