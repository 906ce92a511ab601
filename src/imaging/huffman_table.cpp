#include "imaging/huffman_table.h"

#include <algorithm>

namespace sondrix {

CHuffmanTable CHuffmanTable::FromCounts(const std::array<uint32_t, kSymbols>& counts) {
    // Entry kSymbols is the reserved code point; it always counts once.
    constexpr int kEntries = kSymbols + 1;
    std::array<uint64_t, kEntries> weight{};
    std::array<int, kEntries> chain;  // next entry merged into the same subtree
    std::array<int, kEntries> length{};
    std::array<int, kEntries> live;  // entries not yet merged into another
    int liveCount = 0;
    chain.fill(-1);
    for (int s = 0; s < kSymbols; ++s) {
        if (counts[s] > 0) {
            weight[s] = counts[s];
            live[liveCount++] = s;
        }
    }
    CHuffmanTable table;
    if (liveCount == 0) {
        return table;
    }
    weight[kSymbols] = 1;
    live[liveCount++] = kSymbols;

    // Among equal weights the higher entry counts as the lighter one, so the
    // reserved point sinks to the longest length.
    const auto lighter = [&weight](int a, int b) {
        return weight[a] < weight[b] || (weight[a] == weight[b] && a > b);
    };
    while (liveCount > 1) {
        int first = -1;
        int second = -1;
        for (int i = 0; i < liveCount; ++i) {
            if (first < 0 || lighter(live[i], live[first])) {
                second = first;
                first = i;
            } else if (second < 0 || lighter(live[i], live[second])) {
                second = i;
            }
        }
        const int keep = live[first];
        const int merged = live[second];
        weight[keep] += weight[merged];
        int last = keep;
        for (;;) {
            ++length[last];
            if (chain[last] < 0) {
                break;
            }
            last = chain[last];
        }
        chain[last] = merged;
        for (int e = merged; e >= 0; e = chain[e]) {
            ++length[e];
        }
        live[second] = live[--liveCount];
    }

    // Histogram of lengths (a degenerate tree can be up to kSymbols deep).
    std::array<int, kEntries + 1> perLength{};
    int longest = 0;
    for (int e = 0; e < kEntries; ++e) {
        if (length[e] > 0) {
            ++perLength[length[e]];
            longest = std::max(longest, length[e]);
        }
    }
    // Fold lengths over the limit: two codes of the deepest level give way to
    // one a level up, and a shorter code is split into two one level deeper.
    for (int i = longest; i > kMaxCodeLength; --i) {
        while (perLength[i] > 0) {
            int j = i - 2;
            while (perLength[j] == 0) {
                --j;
            }
            perLength[i] -= 2;
            perLength[i - 1] += 1;
            perLength[j + 1] += 2;
            perLength[j] -= 1;
        }
    }
    // Drop the reserved point: it holds the last code of the longest length.
    int deepest = kMaxCodeLength;
    while (perLength[deepest] == 0) {
        --deepest;
    }
    --perLength[deepest];
    for (int i = 0; i < kMaxCodeLength; ++i) {
        table.m_codesPerLength[i] = static_cast<uint8_t>(perLength[i + 1]);
    }

    // Symbols in order of their unfolded length, then of value; the folded
    // lengths are handed out in that order.
    for (int s = 0; s < kSymbols; ++s) {
        if (length[s] > 0) {
            table.m_symbols[table.m_symbolCount++] = static_cast<uint8_t>(s);
        }
    }
    std::stable_sort(table.m_symbols.begin(), table.m_symbols.begin() + table.m_symbolCount,
                     [&length](uint8_t a, uint8_t b) { return length[a] < length[b]; });
    return table;
}

bool CHuffmanTable::Assign(const uint8_t (&codesPerLength)[kMaxCodeLength], const uint8_t* symbols,
                           int symbolCount) {
    int total = 0;
    uint32_t code = 0;
    for (int i = 0; i < kMaxCodeLength; ++i) {
        total += codesPerLength[i];
        code += codesPerLength[i];
        if (code > (1u << (i + 1))) {
            return false;
        }
        code <<= 1;
    }
    if (total != symbolCount || total > kSymbols) {
        return false;
    }
    std::copy(codesPerLength, codesPerLength + kMaxCodeLength, m_codesPerLength.begin());
    std::copy(symbols, symbols + symbolCount, m_symbols.begin());
    m_symbolCount = symbolCount;
    return true;
}

void CHuffmanTable::Codes(std::array<uint16_t, kSymbols>& codes,
                          std::array<uint8_t, kSymbols>& lengths) const {
    codes.fill(0);
    lengths.fill(0);
    uint32_t code = 0;
    int next = 0;
    for (int i = 0; i < kMaxCodeLength; ++i) {
        for (int c = 0; c < m_codesPerLength[i]; ++c) {
            codes[m_symbols[next]] = static_cast<uint16_t>(code++);
            lengths[m_symbols[next]] = static_cast<uint8_t>(i + 1);
            ++next;
        }
        code <<= 1;
    }
}

}  // namespace sondrix
