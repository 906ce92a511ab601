#include "link/raw_line_log.h"

#include <gtest/gtest.h>

namespace sondrix {
namespace {

TEST(RawLineLogTest, KeepsTheNewestChunksWithinItsCapacityAndCountsWhatItLetGo) {
    constexpr size_t kSize = 100;
    CRawLineLog log(3 * (kSize + CRawLineLog::kChunkOverhead));
    int64_t now = 0;
    log.SetClock([&] { return now += 10; });
    uint8_t bytes[kSize] = {};
    for (uint8_t i = 0; i < 5; ++i) {
        bytes[0] = i;
        log.Add(i % 2, bytes, kSize);
    }
    EXPECT_EQ(log.Copy().size(), 3u);
    uint64_t dropped = 0;
    std::deque<SRawChunk> chunks = log.Take(dropped);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(dropped, 2 * kSize);
    for (size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].bytes.size(), kSize);
        EXPECT_EQ(chunks[i].bytes[0], i + 2);
        EXPECT_EQ(chunks[i].direction, static_cast<int>(i % 2));
        EXPECT_EQ(chunks[i].timeUs, static_cast<int64_t>(30 + 10 * i));
    }
    EXPECT_TRUE(log.Take(dropped).empty());
    EXPECT_EQ(dropped, 0u);

    // A chunk above the whole capacity is counted, never kept; a capacity of
    // 0 keeps and counts nothing.
    uint8_t big[6 * kSize] = {};
    log.Add(1, big, sizeof big);
    EXPECT_TRUE(log.Take(dropped).empty());
    EXPECT_EQ(dropped, sizeof big);
    log.SetCapacity(0);
    log.Add(1, bytes, kSize);
    EXPECT_TRUE(log.Take(dropped).empty());
    EXPECT_EQ(dropped, 0u);
}

}  // namespace
}  // namespace sondrix
