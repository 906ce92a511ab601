#include "imaging/huffman_decoder.h"

namespace sondrix {

CHuffmanDecoder::CHuffmanDecoder(const CHuffmanTable& table) : m_symbols(table.Symbols()) {
    m_maxCode.fill(-1);
    int32_t code = 0;
    int next = 0;
    for (int length = 1; length <= CHuffmanTable::kMaxCodeLength; ++length) {
        const int count = table.CodesPerLength()[length - 1];
        if (count > 0) {
            m_offset[length] = next - code;
            for (int c = 0; c < count; ++c, ++code, ++next) {
                if (length <= kFastBits) {
                    // Every index whose top `length` bits are this code.
                    const int shift = kFastBits - length;
                    for (int fill = 0; fill < (1 << shift); ++fill) {
                        m_fast[(code << shift) | fill] = {m_symbols[next],
                                                          static_cast<uint8_t>(length)};
                    }
                }
            }
            m_maxCode[length] = code - 1;
        }
        code <<= 1;
    }
}

CHuffmanDecoder::Entry CHuffmanDecoder::DecodeLong(uint32_t next16) const {
    for (int length = kFastBits + 1; length <= CHuffmanTable::kMaxCodeLength; ++length) {
        const int32_t code = static_cast<int32_t>(next16 >> (16 - length));
        if (code <= m_maxCode[length]) {
            return {m_symbols[code + m_offset[length]], static_cast<uint8_t>(length)};
        }
    }
    return {};
}

}  // namespace sondrix
