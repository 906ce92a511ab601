// CSystemManagement: the answers of the firmware transfer.
#include "app/sondrix_dlg.h"
#include "device/system_management.h"

namespace sondrix {

void CSystemManagement::OnFirmwareData(CPacket& packet) {
    Succeeded(packet);
}

void CSystemManagement::OnBackupFirmwareData(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
