#include "device/connection.h"

#include <array>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CConnection>;

}  // namespace

bool CConnection::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_CONNECT, &CConnection::OnConnect},
        SRouteOf{CMD_SET_BAUD_RATE, &CConnection::OnSetBaudRate},
        SRouteOf{CMD_GET_SYSTEM_INFO, &CConnection::OnGetSystemInfo},
        SRouteOf{CMD_GET_MODULE_TYPE, &CConnection::OnGetModuleType},
    };
    return Dispatch<CConnection>(*this, kRoutes, packet);
}

void CConnection::OnConnect(CPacket& packet) {
    Succeeded(packet);
}

void CConnection::OnSetBaudRate(CPacket& packet) {
    Succeeded(packet);
}

void CConnection::OnGetSystemInfo(CPacket& packet) {
    Succeeded(packet);
}

void CConnection::OnGetModuleType(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
