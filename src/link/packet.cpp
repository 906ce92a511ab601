#include "link/packet.h"

#include <cstring>

namespace sondrix {

namespace {

uint32_t ByteSum(uint32_t v) {
    return (v >> 24) + ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF);
}

}  // namespace

CPacket::CPacket()
    : start(kStart),
      command(0),
      param1(0),
      param2(0),
      dataSize(0),
      errorCode(0),
      headerChecksum(0),
      data{},
      dataChecksum(0) {}

void CPacket::ClearHeader() {
    start = kStart;
    command = param1 = param2 = dataSize = errorCode = headerChecksum = dataChecksum = 0;
}

uint32_t CPacket::ComputeHeaderChecksum() const {
    return ByteSum(command) + ByteSum(param1) + ByteSum(param2) + ByteSum(dataSize) +
           ByteSum(errorCode);
}

uint32_t CPacket::ComputeDataChecksum() const {
    const size_t count = dataSize <= kMaxData ? dataSize : kMaxData;
    uint32_t sum = 0;
    for (size_t i = 0; i < count; ++i) {
        sum += data[i];
    }
    return sum;
}

size_t CPacket::WireSize() const {
    return dataSize == 0 ? kHeaderSize : kHeaderSize + dataSize + kDataOverhead;
}

namespace {

// Writes the packet as it is; the caller has checked the size.
void WriteWire(const CPacket& packet, uint8_t* out) {
    out[0] = CPacket::kStart;
    PutU32BE(out + 1, packet.command);
    PutU32BE(out + 5, packet.param1);
    PutU32BE(out + 9, packet.param2);
    PutU32BE(out + 13, packet.dataSize);
    PutU32BE(out + 17, packet.errorCode);
    PutU32BE(out + 21, packet.headerChecksum);
    if (packet.dataSize != 0) {
        std::memcpy(out + CPacket::kHeaderSize, packet.data, packet.dataSize);
        PutU32BE(out + CPacket::kHeaderSize + packet.dataSize, packet.dataChecksum);
    }
}

}  // namespace

size_t CPacket::Encode(uint8_t* out, size_t capacity) {
    if (dataSize > kMaxData || capacity < WireSize()) {
        return 0;
    }
    headerChecksum = ComputeHeaderChecksum();
    if (dataSize != 0) {
        dataChecksum = ComputeDataChecksum();
    }
    WriteWire(*this, out);
    return WireSize();
}

std::vector<uint8_t> CPacket::WireBytes() const {
    if (dataSize > kMaxData) {
        return {};
    }
    std::vector<uint8_t> bytes(WireSize());
    WriteWire(*this, bytes.data());
    return bytes;
}

std::vector<uint8_t> CPacket::Encode() {
    if (dataSize > kMaxData) {
        return {};
    }
    std::vector<uint8_t> bytes(WireSize());
    Encode(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace sondrix
