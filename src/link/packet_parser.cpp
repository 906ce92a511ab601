#include "link/packet_parser.h"

#include <algorithm>
#include <cstring>

namespace sondrix {

namespace {

constexpr uint8_t kShortMarker = 0x5A;

}  // namespace

bool CPacketParser::Shift(uint32_t& field, uint8_t b) {
    field = (field << 8) | b;
    if (++parsePos < 4) {
        return false;
    }
    parsePos = 0;
    return true;
}

CPacketParser::EEvent CPacketParser::FinishPacket() {
    if (!rxPacket.HeaderCheck()) {
        return EEvent::HeaderChecksumError;
    }
    if (rxPacket.dataSize != 0 && !rxPacket.DataCheck()) {
        return EEvent::DataChecksumError;
    }
    return EEvent::Packet;
}

CPacketParser::EEvent CPacketParser::Feed(const uint8_t* bytes, size_t count, size_t& used) {
    size_t i = 0;
    while (i < count) {
        if (parseState == 7) {
            const size_t n = std::min<size_t>(count - i, rxPacket.dataSize - parsePos);
            std::memcpy(rxPacket.data + parsePos, bytes + i, n);
            parsePos += static_cast<uint32_t>(n);
            i += n;
            if (parsePos == rxPacket.dataSize) {
                parsePos = 0;
                parseState = 8;
            }
            continue;
        }
        const EEvent event = Feed(bytes[i++]);
        if (event != EEvent::None) {
            used = i;
            return event;
        }
    }
    used = i;
    return EEvent::None;
}

CPacketParser::EEvent CPacketParser::Feed(uint8_t b) {
    switch (parseState) {
        case 0:
            if (b == CPacket::kStart) {
                parsePos = 0;
                parseState = 9;
            }
            return EEvent::None;
        case 9:
            if (b == kShortMarker) {
                shortPacket[0] = CPacket::kStart;
                shortPacket[1] = kShortMarker;
                parseState = 10;
                return EEvent::None;
            }
            rxPacket.command = (rxPacket.command << 8) | b;
            parsePos = 1;
            parseState = b == 0 ? 1 : 0;
            return EEvent::None;
        case 1:
            if (parsePos < 2 && b != 0) {
                // A command never has its two high bytes set: not a packet.
                parseState = 0;
                return EEvent::None;
            }
            if (Shift(rxPacket.command, b)) {
                parseState = 2;
            }
            return EEvent::None;
        case 2:
            if (Shift(rxPacket.param1, b)) {
                parseState = 3;
            }
            return EEvent::None;
        case 3:
            if (Shift(rxPacket.param2, b)) {
                parseState = 4;
            }
            return EEvent::None;
        case 4:
            if (Shift(rxPacket.dataSize, b)) {
                parseState = 5;
            }
            return EEvent::None;
        case 5:
            if (Shift(rxPacket.errorCode, b)) {
                parseState = 6;
            }
            return EEvent::None;
        case 6:
            if (!Shift(rxPacket.headerChecksum, b)) {
                return EEvent::None;
            }
            if (rxPacket.dataSize == 0) {
                parseState = 0;
                return FinishPacket();
            }
            if (rxPacket.dataSize > CPacket::kMaxData) {
                // The payload could not be held: drop the header and look for
                // the next start byte among the bytes that follow.
                parseState = 0;
                return EEvent::Oversize;
            }
            parseState = 7;
            return EEvent::None;
        case 7:
            rxPacket.data[parsePos++] = b;
            if (parsePos == rxPacket.dataSize) {
                parsePos = 0;
                parseState = 8;
            }
            return EEvent::None;
        case 8:
            if (!Shift(rxPacket.dataChecksum, b)) {
                return EEvent::None;
            }
            parseState = 0;
            return FinishPacket();
        case 10:
        case 11:
        case 12:
            shortPacket[parseState - 8] = b;
            ++parseState;
            return EEvent::None;
        case 13: {
            parseState = 0;
            shortPacket[5] = b;
            const uint8_t sum = static_cast<uint8_t>(
                shortPacket[0] + shortPacket[1] + shortPacket[2] + shortPacket[3] + shortPacket[4]);
            return sum == b ? EEvent::ShortPacket : EEvent::ShortChecksumError;
        }
        default:
            parseState = 0;
            return EEvent::None;
    }
}

}  // namespace sondrix
