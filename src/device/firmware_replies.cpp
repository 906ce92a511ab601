// CSystemManagement: the answers of the firmware transfer.
#include "app/sondrix_dlg.h"
#include "device/system_management.h"

namespace sondrix {

void CSystemManagement::OnFirmwareData(CPacket& packet) {
    m_dlg.firmware.OnChunkAnswer(packet);
}

void CSystemManagement::OnBackupFirmwareData(CPacket& packet) {
    m_dlg.firmware.OnChunkAnswer(packet);
}

}  // namespace sondrix
