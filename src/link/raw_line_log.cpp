#include "link/raw_line_log.h"

#include <chrono>

namespace sondrix {

namespace {

int64_t WallClockUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

size_t Cost(size_t bytes) {
    return bytes + CRawLineLog::kChunkOverhead;
}

}  // namespace

CRawLineLog::CRawLineLog(size_t capacity) : m_capacity(capacity), m_clock(WallClockUs) {}

void CRawLineLog::SetCapacity(size_t capacity) {
    std::lock_guard lock(m_mutex);
    m_capacity = capacity;
    while (m_used > m_capacity) {
        m_dropped += m_chunks.front().bytes.size();
        m_used -= Cost(m_chunks.front().bytes.size());
        m_chunks.pop_front();
    }
}

void CRawLineLog::SetClock(Clock clock) {
    std::lock_guard lock(m_mutex);
    m_clock = std::move(clock);
}

void CRawLineLog::Add(int direction, const uint8_t* bytes, size_t count) {
    std::lock_guard lock(m_mutex);
    if (count == 0 || Cost(count) > m_capacity) {
        m_dropped += m_capacity == 0 ? 0 : count;
        return;
    }
    while (m_used + Cost(count) > m_capacity) {
        m_dropped += m_chunks.front().bytes.size();
        m_used -= Cost(m_chunks.front().bytes.size());
        m_chunks.pop_front();
    }
    m_chunks.push_back({m_clock(), direction, std::vector<uint8_t>(bytes, bytes + count)});
    m_used += Cost(count);
}

std::deque<SRawChunk> CRawLineLog::Take(uint64_t& dropped) {
    std::lock_guard lock(m_mutex);
    dropped = m_dropped;
    std::deque<SRawChunk> taken;
    taken.swap(m_chunks);
    m_used = 0;
    m_dropped = 0;
    return taken;
}

std::vector<SRawChunk> CRawLineLog::Copy() const {
    std::lock_guard lock(m_mutex);
    return {m_chunks.begin(), m_chunks.end()};
}

void CRawLineLog::Clear() {
    std::lock_guard lock(m_mutex);
    m_chunks.clear();
    m_used = 0;
    m_dropped = 0;
}

}  // namespace sondrix
