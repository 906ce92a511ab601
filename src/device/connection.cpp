#include "device/connection.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/sondrix_dlg.h"
#include "files/bcd_time.h"
#include "link/command_table.h"
#include "link/model_table.h"
#include "ui/strings.h"

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
    if (!Succeeded(packet)) {
        return;
    }
    m_dlg.imageDlg.ShowConnected(packet.param2);
    m_dlg.PacketManager().SendCommand(CMD_GET_MODULE_TYPE);
}

void CConnection::OnSetBaudRate(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    const std::string& text = LoadString(IDS_BAUD_RECONNECT);
    m_dlg.Ui().MessageBox(text, EIcon::Information);
    m_dlg.ShowMessage(text);
}

void CConnection::OnGetSystemInfo(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    char version[16];
    std::snprintf(version, sizeof version, "%x.%02x", (packet.param2 >> 8) & 0xFF,
                  packet.param2 & 0xFF);
    m_dlg.imageDlg.SetText(CImageDlg::kFwVersion, version);
    m_dlg.firmwareVersion = packet.param2;
    if (m_dlg.imageDlg.newModule == 0 && m_dlg.systemDlg.optionRefresh == 0) {
        m_dlg.connectPending = 1;
    }
    if (m_dlg.moduleSeries == 2 || m_dlg.emulationMode == 2) {
        if (m_dlg.emulationMode == 2) {
            m_dlg.idLength = 10;
            m_dlg.passwordLength = 16;
        }
        m_dlg.PacketManager().SendGetStatus();
        return;
    }
    if (m_dlg.emulationMode == 1) {
        m_dlg.idLength = 11;
        m_dlg.passwordLength = 16;
    }
    SendClock();
}

void CConnection::SendClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    m_dlg.PacketManager().SendSetTime(EncodeBcdTime(local));
}

std::array<uint8_t, 8> EncodeBcdTime(const std::tm& time) {
    const std::array<uint8_t, 7> bytes = SBcdTime::FromTm(time).ToBytes();
    std::array<uint8_t, 8> sent{};  // the eighth byte stays 0
    std::copy(bytes.begin(), bytes.end(), sent.begin());
    return sent;
}

void CConnection::OnGetModuleType(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    CImageDlg& page = m_dlg.imageDlg;
    m_dlg.modelCode = packet.param2;
    if (const SModelInfo* model = FindModelByCode(packet.param2)) {
        page.SetText(CImageDlg::kDeviceName, std::string(model->name));
        if (model->series != 0) {
            m_dlg.moduleSeries = model->series;
            m_dlg.basicDlg.series2 = model->series == 2 ? 1 : 0;
            if (model->series >= 4) {
                page.newModule = 1;
            }
        }
    }
    page.SelectImageSize(packet.param2);
    m_dlg.PacketManager().SendGetSystemInfo();
}

}  // namespace sondrix
