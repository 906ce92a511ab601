#include "link/comm_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace sondrix {
namespace {

TEST(CommQueue, OneSlotStaysFreeAndTheWholeChunkIsDroppedWhenItDoesNotFit) {
    auto queue = std::make_unique<CCommQueue>();
    std::vector<uint8_t> bytes(8000, 1);
    ASSERT_TRUE(queue->PushChunk(bytes.data(), 8000));
    EXPECT_FALSE(queue->PushChunk(bytes.data(), 192));
    EXPECT_EQ(queue->Count(), 8000u);
    EXPECT_TRUE(queue->PushChunk(bytes.data(), 191));
    EXPECT_EQ(queue->Count(), 8191u);
    EXPECT_EQ(queue->Free(), 0u);
    EXPECT_FALSE(queue->PushChunk(bytes.data(), 1));
}

TEST(CommQueue, IndicesWrapAroundAndKeepTheOrder) {
    auto queue = std::make_unique<CCommQueue>();
    queue->writeIndex = 8191;
    queue->readIndex = 0;
    EXPECT_EQ(queue->Count(), 8191u) << "8191 bytes queued, none may be added";
    EXPECT_FALSE(queue->PushChunk(reinterpret_cast<const uint8_t*>("x"), 1));
    uint8_t b = 0;
    ASSERT_TRUE(queue->Pop(b));
    // The reader moved on: the next byte lands at position 8191, then wraps to 0.
    const uint8_t two[2] = {0xA1, 0xA2};
    ASSERT_TRUE(queue->PushChunk(two, 1));
    EXPECT_EQ(queue->buffer[8191], 0xA1);
    EXPECT_EQ(queue->writeIndex.load(), 0u);

    queue->Clear();
    std::vector<uint8_t> seq(5000);
    for (size_t i = 0; i < seq.size(); ++i) {
        seq[i] = static_cast<uint8_t>(i);
    }
    for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(queue->PushChunk(seq.data(), 5000));
        for (size_t i = 0; i < seq.size(); ++i) {
            ASSERT_TRUE(queue->Pop(b));
            ASSERT_EQ(b, seq[i]);
        }
        EXPECT_FALSE(queue->Pop(b));
    }
}

// One producer and one consumer thread hammer the ring; every byte must come
// out once, in order. Run under the tsan preset to check the memory ordering.
TEST(CommQueue, ProducerAndConsumerThreadsKeepEveryByteInOrder) {
    auto queue = std::make_unique<CCommQueue>();
    constexpr uint32_t kTotal = 2'000'000;
    std::thread producer([&] {
        uint8_t chunk[700];
        uint32_t next = 0;
        while (next < kTotal) {
            const uint32_t n = std::min<uint32_t>(1 + next % 700, kTotal - next);
            for (uint32_t i = 0; i < n; ++i) {
                chunk[i] = static_cast<uint8_t>((next + i) * 31);
            }
            if (queue->PushChunk(chunk, n)) {
                next += n;
            } else {
                std::this_thread::yield();
            }
        }
    });
    uint32_t received = 0;
    bool inOrder = true;
    while (received < kTotal) {
        uint8_t b = 0;
        if (queue->Pop(b)) {
            inOrder = inOrder && b == static_cast<uint8_t>(received * 31);
            ++received;
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(queue->Count(), 0u);
}

}  // namespace
}  // namespace sondrix
