#pragma once

#include <cstdint>

#include "imaging/byte_writer.h"

namespace sondrix {

// Writes the bits of an entropy-coded block, most significant bit first.
// Every 0xFF byte is followed by a stuffed 0x00 so that the data can never be
// taken for a marker; the last byte is padded with one bits.
class CWsqBitWriter {
  public:
    explicit CWsqBitWriter(CByteWriter& out) : m_out(out) {}

    // The low `count` (at most 32) bits of `bits`.
    void Put(uint64_t bits, int count) {
        m_buffer = (m_buffer << count) | (bits & ((uint64_t{1} << count) - 1));
        m_count += count;
        while (m_count >= 8) {
            m_count -= 8;
            Emit(static_cast<uint8_t>(m_buffer >> m_count));
        }
    }

    void Flush() {
        if (m_count > 0) {
            Put((1u << (8 - m_count)) - 1, 8 - m_count);
        }
    }

  private:
    void Emit(uint8_t byte) {
        m_out.U8(byte);
        if (byte == 0xFF) {
            m_out.U8(0x00);
        }
    }

    CByteWriter& m_out;
    uint64_t m_buffer = 0;
    int m_count = 0;
};

}  // namespace sondrix
