#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sondrix {

// Holds the log records of the chunk being written to the log file. The area
// is allocated once at its full size; a chunk never makes it grow.
class CLogStore {
  public:
    static constexpr size_t kCapacity = 90000;

    CLogStore();

    // Empties the store.
    void Reset();

    // Replaces the contents with the records of one CMD_GET_LOG_DATA reply:
    // `data` is the reply's Data (record count in bytes 0..1, big-endian,
    // records from byte 4). Copies only whole records that are present in
    // `data` and fit in the store, however large the count claims to be, and
    // returns how many were stored. A `recordSize` of 0 stores nothing.
    size_t Store(std::span<const uint8_t> data, size_t recordSize);

    size_t Count() const { return m_count; }

    // Hands out the stored records in order, one per call; false after the last.
    bool Next(std::span<const uint8_t>& record);

  private:
    std::vector<uint8_t> m_bytes;
    size_t m_recordSize = 0;
    size_t m_count = 0;
    size_t m_cursor = 0;
};

}  // namespace sondrix
