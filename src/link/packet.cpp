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

size_t CPacket::Encode(uint8_t* out, size_t capacity) {
    if (dataSize > kMaxData || capacity < WireSize()) {
        return 0;
    }
    headerChecksum = ComputeHeaderChecksum();
    out[0] = kStart;
    PutU32BE(out + 1, command);
    PutU32BE(out + 5, param1);
    PutU32BE(out + 9, param2);
    PutU32BE(out + 13, dataSize);
    PutU32BE(out + 17, errorCode);
    PutU32BE(out + 21, headerChecksum);
    if (dataSize == 0) {
        return kHeaderSize;
    }
    dataChecksum = ComputeDataChecksum();
    std::memcpy(out + kHeaderSize, data, dataSize);
    PutU32BE(out + kHeaderSize + dataSize, dataChecksum);
    return WireSize();
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
