#include "device/command_handler.h"

#include "app/sondrix_dlg.h"
#include "link/result_codes.h"

namespace sondrix {

bool CCommandHandler::Handle(CPacket& packet) {
    return Route(packet);
}

bool CCommandHandler::Succeeded(const CPacket& packet) {
    if (packet.param1 == RESULT_SUCCESS) {
        return true;
    }
    m_dlg.ShowResultError(packet.param1);
    return false;
}

}  // namespace sondrix
