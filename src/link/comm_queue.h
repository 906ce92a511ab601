#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace sondrix {

// The receive ring: 8192 bytes, one slot always free, so equal indices mean
// empty and at most 8191 bytes are queued. Lock-free for one producer (the
// receive thread) and one consumer (the parser on the UI thread): each side
// stores its own index with release after touching the bytes, and loads the
// other side's index with acquire before touching them.
class CCommQueue {
  public:
    static constexpr uint32_t kSize = 8192;

    uint32_t Count() const;
    uint32_t Free() const { return kSize - 1 - Count(); }

    // Producer: appends the whole chunk when n < 8192 - queued bytes, else
    // appends nothing and returns false (the caller reports the full ring).
    bool PushChunk(const uint8_t* bytes, uint32_t n);
    // Consumer: takes one byte; false when empty.
    bool Pop(uint8_t& out);
    // Consumer: the queued bytes that lie back to back from the read index
    // (the rest follows from the start of the buffer); then Consume them.
    uint32_t Contiguous(const uint8_t*& bytes) const;
    void Consume(uint32_t n);
    // Empties the ring; only when no producer runs.
    void Clear();

    uint8_t buffer[kSize] = {};
    std::atomic<uint32_t> writeIndex{0};
    std::atomic<uint32_t> readIndex{0};
};

}  // namespace sondrix
