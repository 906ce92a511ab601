#pragma once

#include <cstdint>

#include "platform/byte_reader.h"

namespace sondrix {

// Reads the bits of an entropy-coded block, most significant bit first,
// dropping the 0x00 stuffed after each 0xFF. It stops in front of the next
// marker (0xFF followed by a marker code, 0xA0..0xBF) and leaves the byte
// reader there; it also stops at the end of the data and at a 0xFF that is
// followed by neither.
class CWsqBitReader {
  public:
    enum class EStop { None, Marker, End, Unstuffed };

    explicit CWsqBitReader(CByteReader& in) : m_in(in) {}

    // The next 16 bits; past the data they read as one bits, the padding an
    // encoder leaves at the end of a block.
    uint32_t Peek16() {
        Fill();
        if (m_count >= 16) {
            return static_cast<uint32_t>(m_buffer >> (m_count - 16)) & 0xFFFF;
        }
        const int missing = 16 - m_count;
        return static_cast<uint32_t>((m_buffer << missing) | ((1u << missing) - 1)) & 0xFFFF;
    }

    // Bits of data still buffered (complete after a Peek16 or Read).
    int Available() const { return m_count; }
    // Why no more bits follow the buffered ones (None while more may).
    EStop Stop() const { return m_stop; }

    // Drops `count` bits; count <= Available().
    void Skip(int count) { m_count -= count; }

    // The next `count` (at most 16) bits as a number; false when the data
    // ends first.
    bool Read(int count, uint32_t& value) {
        Fill();
        if (m_count < count) {
            return false;
        }
        m_count -= count;
        value = static_cast<uint32_t>(m_buffer >> m_count) & ((1u << count) - 1);
        return true;
    }

  private:
    void Fill() {
        while (m_count <= 56 && m_stop == EStop::None) {
            uint8_t byte = 0;
            if (!m_in.U8(byte)) {
                m_stop = EStop::End;
                break;
            }
            if (byte == 0xFF) {
                uint8_t next = 0;
                if (!m_in.PeekU8(next)) {
                    m_stop = EStop::End;
                    break;
                }
                if (next >= 0xA0 && next <= 0xBF) {
                    m_in.Seek(m_in.Position() - 1);
                    m_stop = EStop::Marker;
                    break;
                }
                if (next != 0x00) {
                    m_stop = EStop::Unstuffed;
                    break;
                }
                m_in.Skip(1);
            }
            m_buffer = (m_buffer << 8) | byte;
            m_count += 8;
        }
    }

    CByteReader& m_in;
    uint64_t m_buffer = 0;
    int m_count = 0;
    EStop m_stop = EStop::None;
};

}  // namespace sondrix
