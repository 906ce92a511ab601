#include "device/firmware_transfer.h"

#include "app/sondrix_dlg.h"
#include "ui/strings_firmware.h"

namespace sondrix {

bool SendFirmwareTransferChunk(CSondrixDlg& dlg, bool backup, uint32_t index) {
    CPacketManagerWnd& manager = dlg.PacketManager();
    const std::string& path = dlg.basicDlg.firmwarePath;
    const bool sent = backup ? manager.SendBackupFirmwareChunk(path, index)
                             : manager.SendFirmwareChunk(path, index);
    if (!sent) {
        EndFirmwareTransfer(dlg);
        const std::string& text = LoadString(IDS_FIRMWARE_READ_FAILED);
        dlg.Report(text, EIcon::Stop);
        return false;
    }
    if (index == manager.lastChunk) {
        dlg.popupProgress.SetCaution();
    }
    return true;
}

void EndFirmwareTransfer(CSondrixDlg& dlg) {
    dlg.popupProgress.Destroy();
    dlg.transferBusy = 0;
}

}  // namespace sondrix
