#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace sondrix {

// Bounds-checked cursor over untrusted bytes (packets, files). Every read
// either succeeds completely or fails and leaves the cursor where it was, so
// a decoder can never run past the end of its input.
class CByteReader {
  public:
    CByteReader() = default;
    CByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    explicit CByteReader(std::span<const uint8_t> bytes)
        : m_data(bytes.data()), m_size(bytes.size()) {}

    size_t Position() const { return m_pos; }
    size_t Size() const { return m_size; }
    size_t Remaining() const { return m_size - m_pos; }
    bool AtEnd() const { return m_pos == m_size; }

    bool Seek(size_t pos) {
        if (pos > m_size) {
            return false;
        }
        m_pos = pos;
        return true;
    }
    bool Skip(size_t count) {
        if (count > Remaining()) {
            return false;
        }
        m_pos += count;
        return true;
    }

    bool U8(uint8_t& out) {
        if (Remaining() < 1) {
            return false;
        }
        out = m_data[m_pos++];
        return true;
    }
    // The next byte without moving the cursor; fails at the end.
    bool PeekU8(uint8_t& out) const {
        if (Remaining() < 1) {
            return false;
        }
        out = m_data[m_pos];
        return true;
    }
    bool U16BE(uint16_t& out) {
        if (Remaining() < 2) {
            return false;
        }
        out = static_cast<uint16_t>((m_data[m_pos] << 8) | m_data[m_pos + 1]);
        m_pos += 2;
        return true;
    }
    bool U32BE(uint32_t& out) {
        if (Remaining() < 4) {
            return false;
        }
        out = (uint32_t{m_data[m_pos]} << 24) | (uint32_t{m_data[m_pos + 1]} << 16) |
              (uint32_t{m_data[m_pos + 2]} << 8) | uint32_t{m_data[m_pos + 3]};
        m_pos += 4;
        return true;
    }
    bool U16LE(uint16_t& out) {
        if (Remaining() < 2) {
            return false;
        }
        out = static_cast<uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return true;
    }
    bool U32LE(uint32_t& out) {
        if (Remaining() < 4) {
            return false;
        }
        out = uint32_t{m_data[m_pos]} | (uint32_t{m_data[m_pos + 1]} << 8) |
              (uint32_t{m_data[m_pos + 2]} << 16) | (uint32_t{m_data[m_pos + 3]} << 24);
        m_pos += 4;
        return true;
    }
    // Copies `count` bytes out; fails without copying when fewer remain.
    bool Bytes(uint8_t* out, size_t count) {
        if (count > Remaining()) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            out[i] = m_data[m_pos + i];
        }
        m_pos += count;
        return true;
    }
    // A view of the next `count` bytes without copying.
    bool View(std::span<const uint8_t>& out, size_t count) {
        if (count > Remaining()) {
            return false;
        }
        out = std::span<const uint8_t>(m_data + m_pos, count);
        m_pos += count;
        return true;
    }

    // Reads a text of at most `maxLength` characters that ends before the first NUL or at the
    // end of the input, whichever comes first, and moves past the characters taken (not past
    // the NUL). It never fails: a text field cut short by the end of the input yields the
    // characters that are there, which is what fixed-size, NUL-padded ID fields need.
    std::string Text(size_t maxLength) {
        const size_t limit = maxLength < Remaining() ? maxLength : Remaining();
        size_t length = 0;
        while (length < limit && m_data[m_pos + length] != 0) {
            ++length;
        }
        if (length == 0) {
            return {};
        }
        std::string out(reinterpret_cast<const char*>(m_data + m_pos), length);
        m_pos += length;
        return out;
    }

  private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
};

}  // namespace sondrix
