// CSystemManagement: the answers of the firmware transfer.
#include "app/sondrix_dlg.h"
#include "device/firmware_transfer.h"
#include "device/system_management.h"
#include "link/result_codes.h"
#include "ui/strings_firmware.h"

namespace sondrix {

namespace {

// Both transfers are answered alike; `backup` picks the command that carries
// the next chunk.
void OnChunkAnswer(CSondrixDlg& dlg, const CPacket& packet, bool backup) {
    CPopupProgressDlg& popup = dlg.popupProgress;
    CPacketManagerWnd& manager = dlg.PacketManager();
    if (!popup.Exists()) {
        // The person closed the popup while the chunk was on its way.
        if (dlg.Ui().MessageBox(LoadString(IDS_FIRMWARE_QUIT_QUESTION), EIcon::Warning,
                                EButtons::YesNo) == EAnswer::Yes) {
            EndFirmwareTransfer(dlg);
            return;
        }
        // Going on: the new popup shows the chunks already acknowledged.
        popup.Create(&dlg);
        popup.SetRange(0, static_cast<int>(manager.lastChunk) + 1);
        popup.SetPos(static_cast<int>(manager.currentChunk));
    }
    if (packet.param1 == RESULT_FAILED) {
        // The module could not take the chunk: it goes again, as often as asked.
        SendFirmwareTransferChunk(dlg, backup, manager.currentChunk);
        return;
    }
    if (packet.param1 != RESULT_SUCCESS) {
        // Invalid parameter, too large, cancelled, or a result this transfer
        // cannot go on from: the transfer ends with its text.
        EndFirmwareTransfer(dlg);
        dlg.ShowResultError(packet.param1);
        return;
    }
    const uint32_t chunk = packet.param2 >> 8;
    if (chunk > manager.lastChunk) {
        return;  // not an answer for a chunk of this file
    }
    popup.StepIt();
    if (chunk < manager.lastChunk) {
        SendFirmwareTransferChunk(dlg, backup, chunk + 1);
        return;
    }
    popup.StepIt();
    EndFirmwareTransfer(dlg);
    const std::string& text = LoadString(IDS_FIRMWARE_COMPLETE);
    dlg.Report(text, EIcon::Information);
}

}  // namespace

void CSystemManagement::OnFirmwareData(CPacket& packet) {
    OnChunkAnswer(m_dlg, packet, false);
}

void CSystemManagement::OnBackupFirmwareData(CPacket& packet) {
    OnChunkAnswer(m_dlg, packet, true);
}

}  // namespace sondrix
