#pragma once

#include <cstdint>
#include <string>

#include "link/packet.h"

namespace sondrix {

// A command's name from the command table, or its code ("0x7f").
std::string CommandName(uint32_t code);
// A result's text without its closing marks ("Succeeded" for "Succeeded!!!").
std::string ResultSummary(uint32_t code);

// One line for a packet, as the Wireshark dissector's Info column shows it:
// "→ CMD_CAPTURE_IMAGE block 3", "← CMD_CAPTURE_IMAGE Succeeded, 3720 bytes".
// Direction 0 sent, 1 received.
std::string PacketSummary(const CPacket& packet, int direction);

}  // namespace sondrix
