#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace sondrix {

// One chunk of bytes as one read from or one write to the port moved it.
struct SRawChunk {
    int64_t timeUs = 0;  // microseconds since 1970-01-01 UTC
    int direction = 0;   // 0 written (to the module), 1 read (from the module)
    std::vector<uint8_t> bytes;
};

// The raw line: every chunk read from or written to the port, kept in the
// order it crossed, whatever the parser made of it. Written to from the
// receive thread and the UI thread, read on the UI thread.
//
// Memory is bounded: the chunks kept hold at most `capacity` bytes (each
// chunk also counts a fixed overhead for its record); when a new chunk would
// pass that, the oldest go, and the count of bytes let go is kept so that a
// trace can say so. A capacity of 0 keeps nothing.
class CRawLineLog {
  public:
    using Clock = std::function<int64_t()>;
    static constexpr size_t kChunkOverhead = sizeof(SRawChunk) + 16;

    explicit CRawLineLog(size_t capacity = 0);

    void SetCapacity(size_t capacity);
    void SetClock(Clock clock);

    void Add(int direction, const uint8_t* bytes, size_t count);
    // Hands over every chunk kept, oldest first, and forgets them; `dropped`
    // is the count of bytes let go before them since the last Take.
    std::deque<SRawChunk> Take(uint64_t& dropped);
    // Copies the chunks kept, oldest first.
    std::vector<SRawChunk> Copy() const;
    void Clear();

  private:
    mutable std::mutex m_mutex;
    size_t m_capacity;
    size_t m_used = 0;
    uint64_t m_dropped = 0;
    Clock m_clock;
    std::deque<SRawChunk> m_chunks;
};

}  // namespace sondrix
