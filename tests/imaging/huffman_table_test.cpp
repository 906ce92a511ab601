#include "imaging/huffman_table.h"

#include <gtest/gtest.h>

#include "imaging/huffman_decoder.h"

namespace sondrix {
namespace {

using Counts = std::array<uint32_t, CHuffmanTable::kSymbols>;

// Builds the table, codes every symbol and decodes it back; returns the
// longest code.
int CheckRoundTrip(const Counts& counts) {
    const CHuffmanTable table = CHuffmanTable::FromCounts(counts);
    std::array<uint16_t, CHuffmanTable::kSymbols> codes;
    std::array<uint8_t, CHuffmanTable::kSymbols> lengths;
    table.Codes(codes, lengths);
    const CHuffmanDecoder decoder(table);
    int longest = 0;
    for (int s = 0; s < CHuffmanTable::kSymbols; ++s) {
        EXPECT_EQ(counts[s] > 0, lengths[s] > 0) << "symbol " << s;
        if (lengths[s] == 0) {
            continue;
        }
        longest = std::max<int>(longest, lengths[s]);
        // No code is all ones: one bits pad the end of a block.
        EXPECT_NE((1u << lengths[s]) - 1, codes[s]) << "symbol " << s;
        const uint32_t next16 = (static_cast<uint32_t>(codes[s]) << (16 - lengths[s])) |
                                ((1u << (16 - lengths[s])) - 1);
        const CHuffmanDecoder::Entry entry = decoder.Decode(next16);
        EXPECT_EQ(s, entry.symbol);
        EXPECT_EQ(lengths[s], entry.length);
    }
    return longest;
}

TEST(HuffmanTableTest, CodesDecodeBackAndFitSixteenBits) {
    Counts single{};
    single[7] = 42;
    EXPECT_EQ(1, CheckRoundTrip(single));

    Counts all{};
    for (int s = 0; s < CHuffmanTable::kSymbols; ++s) {
        all[s] = 1 + static_cast<uint32_t>(s * s);
    }
    EXPECT_LE(CheckRoundTrip(all), 16);

    // Fibonacci counts would give a code 30 bits long without the limit.
    Counts skewed{};
    for (uint32_t s = 0, a = 1, b = 1; s < 30; ++s, b += a, a = b - a) {
        skewed[s] = a;
    }
    EXPECT_EQ(16, CheckRoundTrip(skewed));
}

TEST(HuffmanTableTest, TablesThatDoNotFitTheirLengthsAreRejected) {
    CHuffmanTable table;
    const uint8_t symbols[4] = {1, 2, 3, 4};
    const uint8_t threeOneBitCodes[16] = {3};
    EXPECT_FALSE(table.Assign(threeOneBitCodes, symbols, 3));
    const uint8_t twoOneBitCodes[16] = {2};
    EXPECT_TRUE(table.Assign(twoOneBitCodes, symbols, 2));
    EXPECT_FALSE(table.Assign(twoOneBitCodes, symbols, 3));  // count mismatch
}

}  // namespace
}  // namespace sondrix
