#include "device/system_management.h"

#include <array>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "ui/strings.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CSystemManagement>;

}  // namespace

bool CSystemManagement::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_GET_STATUS, &CSystemManagement::OnGetStatus},
        SRouteOf{CMD_CAPTURE_IMAGE, &CSystemManagement::OnCaptureImage},
        SRouteOf{CMD_CAPTURE_COLOR_IMAGE, &CSystemManagement::OnCaptureColorImage},
        SRouteOf{CMD_UPGRADE_RECORD, &CSystemManagement::OnFirmwareData},
        SRouteOf{CMD_FIRMWARE_DATA, &CSystemManagement::OnFirmwareData},
        SRouteOf{CMD_BACKUP_FIRMWARE_DATA, &CSystemManagement::OnBackupFirmwareData},
        SRouteOf{CMD_SET_TIME, &CSystemManagement::OnSetTime},
        SRouteOf{CMD_GET_TIME, &CSystemManagement::OnGetTime},
        SRouteOf{CMD_GPIO_TEST, &CSystemManagement::OnGpioTest},
        SRouteOf{CMD_GET_IMAGE_QUALITY, &CSystemManagement::OnGetImageQuality},
        SRouteOf{CMD_SET_GPIO_CONFIG, &CSystemManagement::OnSetGpioConfig},
    };
    return Dispatch<CSystemManagement>(*this, kRoutes, packet);
}

void CSystemManagement::OnGetStatus(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    static constexpr std::array kStatusTexts = {IDS_STATUS_IDLE, IDS_STATUS_BUSY, IDS_STATUS_BUSY,
                                                IDS_STATUS_DB_UPLOADING, IDS_STATUS_AUTO_ON};
    const std::string& status = LoadString(
        packet.param2 < kStatusTexts.size() ? kStatusTexts[packet.param2] : IDS_STATUS_BUSY);
    CImageDlg& page = m_dlg.imageDlg;
    page.SetText(CImageDlg::kInfoStatus, status);
    m_dlg.ShowMessage(LoadString(IDS_STATUS_PREFIX) + status);
    if (m_dlg.connectPending == 1) {
        m_dlg.connectPending = 0;
        const std::string& text = LoadString(IDS_CONNECTION_SUCCEEDED);
        m_dlg.ShowMessage(text);
        m_dlg.Ui().MessageBox(text, EIcon::Information);
    }
    if (m_dlg.systemDlg.optionRefresh == 1) {
        m_dlg.systemDlg.optionRefresh = 0;
        if (m_dlg.emulationMode == 2) {
            m_dlg.PacketManager().SendGetSensorOption();
        } else {
            m_dlg.PacketManager().SendGetSystemOption(kOptionBrightness);
        }
    } else if (page.newModule == 1) {
        m_dlg.PacketManager().SendGetSystemOption(kOptionIdLength);
    }
}

void CSystemManagement::OnCaptureImage(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnCaptureColorImage(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnFirmwareData(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnBackupFirmwareData(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnSetTime(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    // Inside the connection chain (or an option refresh) the status follows.
    if (m_dlg.connectPending == 1 || m_dlg.imageDlg.newModule == 1 ||
        m_dlg.systemDlg.optionRefresh == 1) {
        m_dlg.PacketManager().SendGetStatus();
        return;
    }
    const std::string& text = LoadString(IDS_SET_TIME_SUCCEEDED);
    m_dlg.ShowMessage(text);
    m_dlg.Ui().MessageBox(text, EIcon::Information);
}

void CSystemManagement::OnGetTime(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnGpioTest(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnGetImageQuality(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnSetGpioConfig(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
