#include "device/command_handler.h"

#include <memory>

#include "app/sondrix_dlg.h"
#include "link/result_codes.h"

namespace sondrix {

bool CCommandHandler::Handle(CPacket& packet) {
    return Route(packet);
}

bool CCommandHandler::Routes(uint32_t command) {
    const auto probe = std::make_unique<CPacket>();
    probe->command = command;
    m_probing = true;
    const bool routed = Route(*probe);
    m_probing = false;
    return routed;
}

bool CCommandHandler::Succeeded(const CPacket& packet) {
    if (packet.param1 == RESULT_SUCCESS) {
        return true;
    }
    m_dlg.ShowResultError(packet.param1);
    return false;
}

}  // namespace sondrix
