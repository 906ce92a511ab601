#include "link/comm_queue.h"

namespace sondrix {

uint32_t CCommQueue::Count() const {
    const uint32_t w = writeIndex.load(std::memory_order_acquire);
    const uint32_t r = readIndex.load(std::memory_order_acquire);
    return (w - r + kSize) % kSize;
}

bool CCommQueue::PushChunk(const uint8_t* bytes, uint32_t n) {
    const uint32_t r = readIndex.load(std::memory_order_acquire);
    uint32_t w = writeIndex.load(std::memory_order_relaxed);
    const uint32_t queued = (w - r + kSize) % kSize;
    if (n >= kSize - queued) {
        return false;
    }
    for (uint32_t i = 0; i < n; ++i) {
        buffer[w] = bytes[i];
        w = (w + 1) % kSize;
    }
    writeIndex.store(w, std::memory_order_release);
    return true;
}

bool CCommQueue::Pop(uint8_t& out) {
    const uint32_t r = readIndex.load(std::memory_order_relaxed);
    if (r == writeIndex.load(std::memory_order_acquire)) {
        return false;
    }
    out = buffer[r];
    readIndex.store((r + 1) % kSize, std::memory_order_release);
    return true;
}

uint32_t CCommQueue::Contiguous(const uint8_t*& bytes) const {
    const uint32_t r = readIndex.load(std::memory_order_relaxed);
    const uint32_t w = writeIndex.load(std::memory_order_acquire);
    bytes = buffer + r;
    return w >= r ? w - r : kSize - r;
}

void CCommQueue::Consume(uint32_t n) {
    const uint32_t r = readIndex.load(std::memory_order_relaxed);
    readIndex.store((r + n) % kSize, std::memory_order_release);
}

void CCommQueue::Clear() {
    writeIndex.store(0, std::memory_order_release);
    readIndex.store(0, std::memory_order_release);
}

}  // namespace sondrix
