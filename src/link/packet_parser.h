#pragma once

#include <cstddef>
#include <cstdint>

#include "link/packet.h"

namespace sondrix {

// Byte-by-byte receive state machine shared by the program and the simulator.
// Fields are shifted in most significant byte first straight into rxPacket;
// nothing is allocated.
//
// States: 0 search for 0x7E; 9 first byte after the start; 1 command bytes
// 2..4 (the two high bytes must be 0); 2..6 param1, param2, dataSize,
// errorCode, headerChecksum; 7 payload; 8 dataChecksum; 10..13 the six-byte
// short packet "7E 5A code v1 v2 sum".
class CPacketParser {
  public:
    enum class EEvent {
        None,
        Packet,               // rxPacket holds a good packet
        HeaderChecksumError,  // rxPacket's header sum did not match
        DataChecksumError,    // header good, payload sum did not match
        ShortPacket,          // shortPacket holds a good short packet
        ShortChecksumError,
        Oversize,  // header announced more than 65536 payload bytes: dropped
    };

    EEvent Feed(uint8_t b);
    // Feeds bytes until the first event or the end; `used` tells how many
    // were taken. Payload bytes are copied in blocks.
    EEvent Feed(const uint8_t* bytes, size_t count, size_t& used);
    void Reset() { parseState = 0; }
    bool Idle() const { return parseState == 0; }

    CPacket rxPacket;
    int parseState = 0;
    uint32_t parsePos = 0;
    uint8_t shortPacket[6] = {};

  private:
    // Shifts b into field; true after the field's fourth byte.
    bool Shift(uint32_t& field, uint8_t b);
    EEvent FinishPacket();
};

}  // namespace sondrix
