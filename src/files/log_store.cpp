#include "files/log_store.h"

#include <algorithm>

#include "platform/byte_reader.h"

namespace sondrix {

namespace {

constexpr size_t kRecordsOffset = 4;

}  // namespace

CLogStore::CLogStore() : m_bytes(kCapacity) {}

void CLogStore::Reset() {
    m_count = 0;
    m_cursor = 0;
}

size_t CLogStore::Store(std::span<const uint8_t> data, size_t recordSize) {
    Reset();
    CByteReader reader(data);
    uint16_t declared = 0;
    std::span<const uint8_t> records;
    if (recordSize == 0 || !reader.U16BE(declared) || !reader.Seek(kRecordsOffset) ||
        !reader.View(records, reader.Remaining())) {
        return 0;
    }
    const size_t count =
        std::min({size_t{declared}, records.size() / recordSize, kCapacity / recordSize});
    std::copy_n(records.begin(), count * recordSize, m_bytes.begin());
    m_recordSize = recordSize;
    m_count = count;
    return count;
}

bool CLogStore::Next(std::span<const uint8_t>& record) {
    if (m_cursor >= m_count) {
        return false;
    }
    record = std::span<const uint8_t>(m_bytes).subspan(m_cursor * m_recordSize, m_recordSize);
    ++m_cursor;
    return true;
}

}  // namespace sondrix
