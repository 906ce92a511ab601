#pragma once

// Looks up canonical Huffman codes of a CHuffmanTable: codes of up to
// kFastBits bits by one table index, longer ones by comparing against the
// largest code of each length.

#include <array>
#include <cstdint>

#include "imaging/huffman_table.h"

namespace sondrix {

class CHuffmanDecoder {
  public:
    struct Entry {
        uint8_t symbol = 0;
        uint8_t length = 0;  // 0: no code starts with these bits
    };

    explicit CHuffmanDecoder(const CHuffmanTable& table);

    // The code at the top of the next 16 bits of the stream.
    Entry Decode(uint32_t next16) const {
        const Entry fast = m_fast[next16 >> (16 - kFastBits)];
        return fast.length > 0 ? fast : DecodeLong(next16);
    }

  private:
    static constexpr int kFastBits = 9;

    Entry DecodeLong(uint32_t next16) const;

    std::array<Entry, 1u << kFastBits> m_fast{};
    // For each length: largest code (-1: none) and where its codes' symbols
    // start, relative to its first code.
    std::array<int32_t, CHuffmanTable::kMaxCodeLength + 1> m_maxCode{};
    std::array<int32_t, CHuffmanTable::kMaxCodeLength + 1> m_offset{};
    std::array<uint8_t, CHuffmanTable::kSymbols> m_symbols{};
};

}  // namespace sondrix
