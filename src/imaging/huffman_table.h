#pragma once

// A Huffman table in the form a WSQ (or JPEG) stream carries it: the number
// of codes of each length 1..16 and the symbols in code order. Codes are
// canonical: within a length they count up, and each length continues from
// the previous one shifted left by one bit.

#include <array>
#include <cstdint>

namespace sondrix {

class CHuffmanTable {
  public:
    static constexpr int kMaxCodeLength = 16;
    static constexpr int kSymbols = 256;

    // The table for these symbol counts, built as the JPEG standard's
    // Annex K does: code lengths from repeatedly merging the two least
    // frequent entries, one code point reserved so that no code is all ones,
    // lengths over 16 folded back to 16. Symbols that never occur get no code.
    static CHuffmanTable FromCounts(const std::array<uint32_t, kSymbols>& counts);

    // Takes a table as read from a stream; false when the counts describe
    // more codes than fit their lengths or more symbols than given.
    bool Assign(const uint8_t (&codesPerLength)[kMaxCodeLength], const uint8_t* symbols,
                int symbolCount);

    // codesPerLength[i] is the number of codes of length i + 1.
    const std::array<uint8_t, kMaxCodeLength>& CodesPerLength() const { return m_codesPerLength; }
    const std::array<uint8_t, kSymbols>& Symbols() const { return m_symbols; }
    int SymbolCount() const { return m_symbolCount; }

    // The canonical code and its length for every symbol (length 0: none).
    void Codes(std::array<uint16_t, kSymbols>& codes, std::array<uint8_t, kSymbols>& lengths) const;

  private:
    std::array<uint8_t, kMaxCodeLength> m_codesPerLength{};
    std::array<uint8_t, kSymbols> m_symbols{};
    int m_symbolCount = 0;
};

}  // namespace sondrix
