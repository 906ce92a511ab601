#include "device/system_management.h"

#include <array>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"

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
    Succeeded(packet);
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
    Succeeded(packet);
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
