#include "device/log_download.h"

#include <span>

#include "app/sondrix_dlg.h"
#include "files/log_file.h"
#include "files/log_record.h"
#include "link/result_codes.h"
#include "ui/strings_extra.h"

namespace sondrix {

void CLogDownload::Start(std::string target, uint32_t option, uint32_t n) {
    path = std::move(target);
    recordsWritten = 0;
    store.Reset();
    m_dlg.PacketManager().SendGetLogData(option, 0, n);
}

// One chunk: its records are written at once (chunk 0 starts the file), then
// the next chunk is asked for while the option pages through the log.
void CLogDownload::OnGetLogData(const CPacket& packet) {
    const auto notWritten = [&] {
        // Asking for more would only lose it too.
        m_dlg.Fail(LoadString(IDS_EXTRA_LOG_NOT_WRITTEN) + path + " (" + file.Error() + ")",
                   EFailure::File);
    };
    if (packet.param1 != RESULT_SUCCESS) {
        store.Reset();
        file.Abandon();
        if (packet.param1 == RESULT_FAILED) {
            m_dlg.Fail(LoadString(IDS_EXTRA_GET_LOG_FAILED));
        } else {
            m_dlg.ShowResultError(packet.param1);
        }
        return;
    }
    const uint32_t chunk = (packet.param2 >> 8) & 0xFF;
    const uint32_t lastChunk = packet.param2 & 0xFF;
    if (chunk == 0) {
        store.Reset();
        recordsWritten = 0;
    }
    if (packet.dataSize == 0) {
        file.Abandon();
        m_dlg.Fail(LoadString(IDS_EXTRA_LOGS_NOT_EXISTED));
        return;
    }
    store.Store(std::span<const uint8_t>(packet.data, packet.dataSize),
                LogRecordSize(m_dlg.dbDlg.RecordContext()));
    const size_t records = store.Count();
    if (file.WriteChunk(PathFromUtf8(path), chunk, store) != EFileStatus::Ok) {
        notWritten();
        return;
    }
    recordsWritten += records;
    CPacketManagerWnd& packets = m_dlg.PacketManager();
    const uint32_t option = packets.logRequestType;
    if (chunk < lastChunk && (option == kAll || option == kOldestUnreadToLast)) {
        m_dlg.Outcome(SOutcome(SOutcome::EKind::Progress).Progress(chunk + 1, lastChunk + 1));
        packets.SendGetLogData(option, chunk + 1, 0);
        return;
    }
    // The other options fetch one chunk only: the download ends with it.
    store.Reset();
    if (file.Finish() != EFileStatus::Ok) {
        notWritten();
        return;
    }
    m_dlg.Outcome(
        SOutcome(SOutcome::EKind::LogSaved).Path(path).Count(static_cast<int64_t>(recordsWritten)));
    m_dlg.Ui().MessageBox(LoadString(IDS_EXTRA_LOG_SAVED), EIcon::Information);
}

}  // namespace sondrix
