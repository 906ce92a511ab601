#include "device/firmware_transfer.h"

#include <filesystem>
#include <system_error>

#include "app/sondrix_dlg.h"
#include "link/result_codes.h"
#include "platform/native_file.h"
#include "ui/strings_firmware.h"

namespace sondrix {

static_assert(CFirmwareTransfer::kMaxSize == uint64_t{CPacketManagerWnd::kFirmwareChunk} * 256);

bool CFirmwareTransfer::Start(std::string file, bool backupFirmware, GoOn goOn) {
    // A file the chunk numbering cannot describe is refused before anything goes out.
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(PathFromUtf8(file), error);
    const int refusal = error             ? IDS_FIRMWARE_READ_FAILED
                        : size == 0       ? IDS_FIRMWARE_EMPTY
                        : size > kMaxSize ? IDS_FIRMWARE_TOO_LARGE
                                          : 0;
    if (refusal != 0) {
        m_dlg.Fail(LoadString(refusal), EFailure::File);
        return false;
    }
    path = std::move(file);
    backup = backupFirmware;
    m_goOn = std::move(goOn);
    CPacketManagerWnd& manager = m_dlg.PacketManager();
    manager.firmwareSize = static_cast<uint32_t>(size);
    manager.lastChunk = (manager.firmwareSize - 1) / CPacketManagerWnd::kFirmwareChunk;
    CPopupProgressDlg& popup = m_dlg.popupProgress;
    popup.Create(&m_dlg);
    popup.SetRange(0, static_cast<int>(manager.lastChunk) + 1);
    popup.SetPos(0);
    m_dlg.transferBusy = 1;
    return SendChunk(0);
}

bool CFirmwareTransfer::SendChunk(uint32_t index) {
    CPacketManagerWnd& manager = m_dlg.PacketManager();
    const bool sent = backup ? manager.SendBackupFirmwareChunk(path, index)
                             : manager.SendFirmwareChunk(path, index);
    if (!sent) {
        End();
        m_dlg.Fail(LoadString(IDS_FIRMWARE_READ_FAILED), EFailure::File);
        return false;
    }
    if (index == manager.lastChunk) {
        m_dlg.popupProgress.SetCaution();
    }
    return true;
}

void CFirmwareTransfer::End() {
    m_dlg.popupProgress.Destroy();
    m_dlg.transferBusy = 0;
}

void CFirmwareTransfer::OnChunkAnswer(const CPacket& packet) {
    CPopupProgressDlg& popup = m_dlg.popupProgress;
    CPacketManagerWnd& manager = m_dlg.PacketManager();
    if (!popup.Exists()) {
        // The person closed the popup while the chunk was on its way.
        if (m_goOn && !m_goOn()) {
            End();
            m_dlg.FailureOutcome(ResultText(RESULT_CANCELED), EFailure::Cancelled);
            return;
        }
        // Going on: the new popup shows the chunks already acknowledged.
        popup.Create(&m_dlg);
        popup.SetRange(0, static_cast<int>(manager.lastChunk) + 1);
        popup.SetPos(static_cast<int>(manager.currentChunk));
    }
    if (packet.param1 == RESULT_FAILED) {
        // The module could not take the chunk: it goes again, as often as asked.
        SendChunk(manager.currentChunk);
        return;
    }
    if (packet.param1 != RESULT_SUCCESS) {
        // Invalid parameter, too large, cancelled, or a result this transfer
        // cannot go on from: the transfer ends with its text.
        End();
        m_dlg.ShowResultError(packet.param1);
        return;
    }
    const uint32_t chunk = packet.param2 >> 8;
    if (chunk > manager.lastChunk) {
        return;  // not an answer for a chunk of this file
    }
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Progress).Progress(chunk + 1, manager.lastChunk + 1));
    popup.StepIt();
    if (chunk < manager.lastChunk) {
        SendChunk(chunk + 1);
        return;
    }
    popup.StepIt();
    End();
    m_dlg.Outcome(SOutcome(SOutcome::EKind::FirmwareDone).Text(LoadString(IDS_FIRMWARE_COMPLETE)));
    m_dlg.Report(LoadString(IDS_FIRMWARE_COMPLETE), EIcon::Information);
}

}  // namespace sondrix
