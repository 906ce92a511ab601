#pragma once

#include <cstddef>
#include <cstdint>

namespace sondrix {

// Writer into a caller's buffer of fixed capacity. Bytes past the
// capacity are counted but never stored, so a writer can measure what a
// whole stream needs while only the part that fits reaches the buffer.
class CByteWriter {
  public:
    CByteWriter(uint8_t* out, size_t capacity) : m_out(out), m_capacity(capacity) {}

    void U8(uint8_t value) {
        if (m_size < m_capacity) {
            m_out[m_size] = value;
        }
        ++m_size;
    }
    void U16BE(uint16_t value) {
        U8(static_cast<uint8_t>(value >> 8));
        U8(static_cast<uint8_t>(value));
    }
    void U32BE(uint32_t value) {
        U16BE(static_cast<uint16_t>(value >> 16));
        U16BE(static_cast<uint16_t>(value));
    }
    void U16LE(uint16_t value) {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void U32LE(uint32_t value) {
        U16LE(static_cast<uint16_t>(value));
        U16LE(static_cast<uint16_t>(value >> 16));
    }

    // Bytes written so far, stored or not.
    size_t Size() const { return m_size; }
    bool Overflowed() const { return m_size > m_capacity; }
    void Rewind() { m_size = 0; }

  private:
    uint8_t* m_out;
    size_t m_capacity;
    size_t m_size = 0;
};

}  // namespace sondrix
