#include "device/matching.h"

#include <array>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/result_codes.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CMatching>;

}  // namespace

bool CMatching::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_VERIFY, &CMatching::OnVerify},
        SRouteOf{CMD_IDENTIFY, &CMatching::OnIdentify},
        SRouteOf{CMD_INSTANT_MATCH, &CMatching::OnInstantMatch},
        SRouteOf{CMD_GET_TEMPLATE, &CMatching::OnGetTemplate},
        SRouteOf{CMD_CANCEL, &CMatching::OnCancel},
        SRouteOf{CMD_INSTANT_VERIFY, &CMatching::OnInstantVerify},
        SRouteOf{CMD_INSTANT_IDENTIFY, &CMatching::OnInstantIdentify},
        SRouteOf{CMD_AUTO_ON, &CMatching::OnAutoOn},
        SRouteOf{CMD_AUTO_IDENTIFY_RESULT, &CMatching::OnAutoIdentifyResult},
    };
    return Dispatch<CMatching>(*this, kRoutes, packet);
}

void CMatching::OnVerify(CPacket& packet) {
    Succeeded(packet);
}

void CMatching::OnIdentify(CPacket& packet) {
    Succeeded(packet);
}

void CMatching::OnInstantMatch(CPacket& packet) {
    Succeeded(packet);
}

void CMatching::OnGetTemplate(CPacket& packet) {
    Succeeded(packet);
}

void CMatching::OnCancel(CPacket& packet) {
    m_dlg.PacketManager().abortReceive = 0;
    if (packet.param1 == RESULT_IDLE) {
        m_dlg.ShowMessage(ResultText(RESULT_IDLE));
        return;
    }
    // Even a success goes through the common report, which reads "Succeeded!!!".
    m_dlg.ShowResultError(packet.param1);
}

void CMatching::OnInstantVerify(CPacket& packet) {
    Succeeded(packet);
}

void CMatching::OnInstantIdentify(CPacket& packet) {
    Succeeded(packet);
}

void CMatching::OnAutoOn(CPacket& packet) {
    Succeeded(packet);
}

void CMatching::OnAutoIdentifyResult(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
