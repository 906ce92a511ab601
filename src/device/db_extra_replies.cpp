// CDBManagement: the answers of custom data and the event log.
#include <algorithm>
#include <span>

#include "app/sondrix_dlg.h"
#include "device/db_management.h"
#include "files/log_file.h"
#include "files/log_record.h"
#include "files/record_context.h"
#include "link/model_table.h"
#include "link/result_codes.h"
#include "ui/strings_extra.h"

namespace sondrix {

namespace {

constexpr uint32_t kAllLogs = 3;
constexpr uint32_t kOldestUnreadToLast = 4;

// The texts of a command that only reports its outcome: result 1 and 2 have
// their own, every other result goes to the common error report.
struct SOutcome {
    int succeeded;
    int failed;
    EIcon failedIcon;
};

void Report(CSondrixDlg& dlg, const CPacket& packet, const SOutcome& outcome) {
    if (packet.param1 == RESULT_SUCCESS) {
        dlg.Report(LoadString(outcome.succeeded), EIcon::Information);
    } else if (packet.param1 == RESULT_FAILED) {
        dlg.Report(LoadString(outcome.failed), outcome.failedIcon);
    } else {
        dlg.ShowResultError(packet.param1);
    }
}

}  // namespace

void CDBManagement::OnReadCustomData(CPacket& packet) {
    if (packet.param1 == RESULT_FAILED) {
        m_dlg.Report(LoadString(IDS_EXTRA_READ_CUSTOM_FAILED), EIcon::Information);
        return;
    }
    if (!Succeeded(packet)) {
        return;
    }
    // param2 says how many bytes were read; only those that arrived are shown.
    m_dlg.userDlg.ShowCustomData(packet.data, std::min(packet.param2, packet.dataSize));
}

void CDBManagement::OnWriteCustomData(CPacket& packet) {
    Report(m_dlg, packet,
           {IDS_EXTRA_WRITE_CUSTOM_SUCCEEDED, IDS_EXTRA_WRITE_CUSTOM_FAILED, EIcon::Stop});
}

void CDBManagement::OnDeleteCustomData(CPacket& packet) {
    Report(m_dlg, packet,
           {IDS_EXTRA_DELETE_CUSTOM_SUCCEEDED, IDS_EXTRA_DELETE_CUSTOM_FAILED, EIcon::Stop});
}

// One chunk of a log download: its records are written at once (chunk 0
// starts the file), then the next chunk is asked for while the option pages
// through the log. The file takes its name with the last chunk; a download
// that stops before leaves the file there as it was.
void CDBManagement::OnGetLogData(CPacket& packet) {
    CUserDlg& page = m_dlg.userDlg;
    const auto notWritten = [&] {
        // Asking for more would only lose it too.
        m_dlg.Report(LoadString(IDS_EXTRA_LOG_NOT_WRITTEN) + page.logFilePath + " (" +
                         page.logFile.Error() + ")",
                     EIcon::Stop);
    };
    if (packet.param1 != RESULT_SUCCESS) {
        page.logStore.Reset();
        page.logFile.Abandon();
        if (packet.param1 == RESULT_FAILED) {
            m_dlg.Report(LoadString(IDS_EXTRA_GET_LOG_FAILED), EIcon::Stop);
        } else {
            m_dlg.ShowResultError(packet.param1);
        }
        return;
    }
    const uint32_t chunk = (packet.param2 >> 8) & 0xFF;
    const uint32_t lastChunk = packet.param2 & 0xFF;
    if (chunk == 0) {
        page.logStore.Reset();
    }
    if (packet.dataSize == 0) {
        page.logFile.Abandon();
        m_dlg.Report(LoadString(IDS_EXTRA_LOGS_NOT_EXISTED), EIcon::Stop);
        return;
    }
    const SRecordContext module = SRecordContext::FromModule(
        m_dlg.moduleSeries, static_cast<int>(m_dlg.emulationMode), m_dlg.templateMode,
        static_cast<size_t>(m_dlg.idLength), m_dlg.modelCode == kModelHlxM28);
    page.logStore.Store(std::span<const uint8_t>(packet.data, packet.dataSize),
                        LogRecordSize(module));
    if (page.logFile.WriteChunk(PathFromUtf8(page.logFilePath), chunk, page.logStore) !=
        EFileStatus::Ok) {
        notWritten();
        return;
    }
    CPacketManagerWnd& packets = m_dlg.PacketManager();
    const uint32_t option = packets.logRequestType;
    if (chunk < lastChunk && (option == kAllLogs || option == kOldestUnreadToLast)) {
        packets.SendGetLogData(option, chunk + 1, 0);
        return;
    }
    // The other options fetch one chunk only: the download ends with it.
    page.logStore.Reset();
    if (page.logFile.Finish() != EFileStatus::Ok) {
        notWritten();
        return;
    }
    m_dlg.Ui().MessageBox(LoadString(IDS_EXTRA_LOG_SAVED), EIcon::Information);
}

void CDBManagement::OnDeleteLogData(CPacket& packet) {
    Report(m_dlg, packet, {IDS_EXTRA_LOG_DELETED, IDS_EXTRA_DELETE_LOG_FAILED, EIcon::Stop});
}

}  // namespace sondrix
