#include "app/packet_summary.h"

#include <cstdio>

#include "link/command_table.h"
#include "link/result_codes.h"

namespace sondrix {

std::string CommandName(uint32_t code) {
    if (const SCommandInfo* info = FindCommand(code)) {
        return info->name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", code);
    return text;
}

std::string ResultSummary(uint32_t code) {
    std::string text = ResultText(code);
    while (!text.empty() && (text.back() == '!' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

std::string PacketSummary(const CPacket& packet, int direction) {
    std::string line = direction == 0 ? "→ " : "← ";
    line += CommandName(packet.command);
    if (direction == 0) {
        if (packet.command == CMD_CAPTURE_IMAGE || packet.command == CMD_CAPTURE_COLOR_IMAGE) {
            line += " block " + std::to_string(packet.param2);
        }
    } else {
        line += " " + ResultSummary(packet.param1);
    }
    if (packet.dataSize != 0) {
        line += ", " + std::to_string(packet.dataSize) + " bytes";
    }
    if (packet.errorCode != 0) {
        line += ", error code " + std::to_string(packet.errorCode);
    }
    return line;
}

}  // namespace sondrix
