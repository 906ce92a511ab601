#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sondrix {

// One packet of the module protocol. On the wire: 0x7E, five big-endian
// 32-bit header fields, their byte-sum checksum, then (only when dataSize is
// not 0) the payload and its byte-sum checksum.
class CPacket {
  public:
    static constexpr uint8_t kStart = 0x7E;
    static constexpr size_t kMaxData = 65536;
    static constexpr size_t kHeaderSize = 25;
    static constexpr size_t kDataOverhead = 4;

    CPacket();
    virtual ~CPacket() = default;
    CPacket(const CPacket&) = default;
    CPacket& operator=(const CPacket&) = default;

    // Sum of the 20 header bytes (command .. errorCode); never above 5100.
    uint32_t ComputeHeaderChecksum() const;
    // Sum of the first dataSize payload bytes, modulo 2^32.
    uint32_t ComputeDataChecksum() const;
    bool HeaderCheck() const { return ComputeHeaderChecksum() == headerChecksum; }
    bool DataCheck() const { return ComputeDataChecksum() == dataChecksum; }

    // 25 bytes, or dataSize + 29 with a payload.
    size_t WireSize() const;
    // Computes both checksums and writes the wire bytes; returns the count, or
    // 0 when the buffer is too small or dataSize exceeds the payload buffer.
    size_t Encode(uint8_t* out, size_t capacity);
    std::vector<uint8_t> Encode();
    // The wire bytes with the checksums the packet carries (as received, a
    // spoiled one included); empty when dataSize exceeds the payload buffer.
    std::vector<uint8_t> WireBytes() const;

    // Clears the header fields and the payload size, as a fresh packet.
    void ClearHeader();

    uint32_t start;
    uint32_t command;
    uint32_t param1;
    uint32_t param2;
    uint32_t dataSize;
    uint32_t errorCode;
    uint32_t headerChecksum;
    uint8_t data[kMaxData];
    uint32_t dataChecksum;
};

// Writes v big-endian at p[0..3].
inline void PutU32BE(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

inline uint32_t GetU32BE(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace sondrix
