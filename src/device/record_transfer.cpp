#include "device/record_transfer.h"

#include <algorithm>
#include <cstdio>

#include "app/sondrix_dlg.h"
#include "files/format_code.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/native_file.h"
#include "ui/strings_database.h"
#include "ui/strings_users.h"

namespace sondrix {

void CRecordTransfer::Reset() {
    downloadIds.clear();
    downloadIndex = 0;
    recordsToDownload = 0;
    uploads.clear();
    uploadIndex = 0;
    m_goOn = {};
}

void CRecordTransfer::StartTally() {
    recordsTried = 0;
    recordsNotSaved = 0;
    firstNotSaved.clear();
}

void CRecordTransfer::CountNotSaved(const std::string& where, const std::string& reason) {
    if (recordsNotSaved++ == 0) {
        firstNotSaved = where + ": " + reason;
    }
}

std::string CRecordTransfer::NotSavedSummary() const {
    const std::string& format = LoadString(IDS_DB_RECORDS_NOT_SAVED);
    // "%d of %d ... first failure: %s: %s": the last two fields are one text here.
    const std::string counts = format.substr(0, format.find("%s"));
    char text[96];
    std::snprintf(text, sizeof text, counts.c_str(), recordsNotSaved, recordsTried);
    return text + firstNotSaved;
}

void CRecordTransfer::Progress(uint32_t command, int64_t done, int64_t total) {
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Progress).Command(command).Progress(done, total));
}

// ---- Download ----

void CRecordTransfer::DownloadAll(uint8_t code, std::filesystem::path folder) {
    StartTally();
    m_code = code;
    m_folder = std::move(folder);
    downloadIds.clear();
    m_dlg.dbDlg.listPurpose = CDbDlg::kDownloadAll;
    m_dlg.PacketManager().SendGetUserList(1, 0);
}

void CRecordTransfer::Download(std::vector<std::string> ids, uint8_t code,
                               std::filesystem::path folder) {
    StartTally();
    m_code = code;
    m_folder = std::move(folder);
    downloadIds = std::move(ids);
    downloadIndex = 0;
    downloadMode = kDownloadListed;
    RequestNext();
}

void CRecordTransfer::RequestNext() {
    if (downloadIndex >= downloadIds.size()) {
        downloadIds.clear();
        return;
    }
    m_dlg.PacketManager().SendDownloadRecord(0, m_code, downloadIds[downloadIndex]);
}

void CRecordTransfer::OnUserCount(uint16_t count) {
    recordsDownloaded = 0;
    recordsToDownload = count;
    downloadMode = kDownloadFirst;
    Progress(CMD_DOWNLOAD_RECORD, 0, count);
    if (count == 0) {
        // An empty module has no first record to ask for.
        DownloadCompleted();
        return;
    }
    m_dlg.PacketManager().SendDownloadRecord(1, m_code, {});
}

void CRecordTransfer::DownloadCompleted() {
    m_dlg.Outcome(SOutcome(SOutcome::EKind::TransferDone)
                      .Command(CMD_DOWNLOAD_RECORD)
                      .Count(recordsTried)
                      .Value(recordsNotSaved));
    const bool lost = recordsNotSaved > 0;
    const std::string text = lost ? NotSavedSummary() : LoadString(IDS_DB_DOWNLOAD_COMPLETED);
    const EIcon icon = lost ? EIcon::Stop : EIcon::Information;
    // An installed program keeps the records in the user's data folder,
    // named as the first record went there; the end of the run says it
    // again where it stays: after the text on the message line and on a
    // line of its own in the box.
    const std::string note =
        recordsNotSaved < recordsTried ? m_dlg.FolderNote(m_folder) : std::string();
    if (note.empty()) {
        m_dlg.Report(text, icon);
    } else {
        m_dlg.ShowMessage(text + " " + note);
        m_dlg.Ui().MessageBox(text + "\r\n" + note, icon);
    }
    if (lost) {
        m_dlg.FailureOutcome(text, EFailure::File);
    }
}

void CRecordTransfer::SaveRecord(const CPacket& packet) {
    ++recordsTried;
    std::string reason;
    if (!m_dlg.PrepareFolder(m_folder, reason)) {
        NotSaved(Utf8FromPath(m_folder), reason);
        return;
    }
    const std::span<const uint8_t> record(packet.data,
                                          std::min<size_t>(packet.dataSize, CPacket::kMaxData));
    const SRecordSaveResult saved = SaveRecordFile(
        m_folder, record, m_dlg.dbDlg.RecordContext(),
        [this](int ms) { m_dlg.Loop().Sleep(static_cast<uint32_t>(std::max(0, ms))); });
    // A record that cannot be saved is named on the message line; the run
    // goes on and its end says how many were lost.
    if (saved.status == EFileStatus::UnsafeName) {
        m_dlg.ShowMessage(LoadString(IDS_DB_UNSAFE_RECORD_NAME) + saved.id);
        const std::string why = LoadString(IDS_DB_UNSAFE_NAME_REASON);
        CountNotSaved(saved.id, why);
        m_dlg.Outcome(SOutcome(SOutcome::EKind::RecordNotSaved).Text(why).Id(saved.id));
    } else if (saved.status != EFileStatus::Ok) {
        NotSaved(Utf8FromPath(saved.path), saved.reason);
    } else {
        m_dlg.Outcome(
            SOutcome(SOutcome::EKind::RecordSaved).Id(saved.id).Path(Utf8FromPath(saved.path)));
    }
}

void CRecordTransfer::NotSaved(const std::string& path, const std::string& reason) {
    m_dlg.ShowMessage(LoadString(IDS_DB_RECORD_WRITE_FAILED) + path + " (" + reason + ")");
    CountNotSaved(path, reason);
    m_dlg.Outcome(
        SOutcome(SOutcome::EKind::RecordNotSaved).Failure(EFailure::File).Text(reason).Path(path));
}

void CRecordTransfer::OnDownloadRecord(const CPacket& packet) {
    if (packet.param1 != RESULT_SUCCESS) {
        downloadIds.clear();
        m_dlg.ShowResultError(packet.param1);
        return;
    }
    if (downloadMode != kDownloadListed) {
        Progress(CMD_DOWNLOAD_RECORD, recordsDownloaded + 1, recordsToDownload);
        if (++recordsDownloaded >= recordsToDownload) {
            SaveRecord(packet);
            DownloadCompleted();
            return;
        }
        downloadMode = kDownloadNext;
        // The next record is asked for first: this one is written to disk
        // (a synced file) while the module sends it. The packet stays ours
        // until we return.
        m_dlg.PacketManager().SendDownloadRecord(2, m_code, {});
        SaveRecord(packet);
        return;
    }
    SaveRecord(packet);
    Progress(CMD_DOWNLOAD_RECORD, static_cast<int64_t>(downloadIndex) + 1,
             static_cast<int64_t>(downloadIds.size()));
    if (++downloadIndex >= downloadIds.size()) {
        downloadIds.clear();
        DownloadCompleted();
        return;
    }
    RequestNext();
}

// ---- Upload ----

void CRecordTransfer::Upload(std::vector<SHostRecordRow> records, GoOn goOn) {
    StartTally();
    uploads = std::move(records);
    uploadIndex = 0;
    m_goOn = std::move(goOn);
    SendUpload();
}

void CRecordTransfer::SendUpload() {
    if (uploadIndex >= uploads.size()) {
        uploads.clear();
        return;
    }
    if (m_goOn && !m_goOn()) {
        uploads.clear();
        return;
    }
    Progress(CMD_UPLOAD_RECORD, static_cast<int64_t>(uploadIndex) + 1,
             static_cast<int64_t>(uploads.size()));
    const SHostRecordRow& record = uploads[uploadIndex];
    m_dlg.PacketManager().SendUploadRecord(
        UploadFormatCode(m_dlg.dbDlg.RecordContext(), record.Size()), record.record);
}

void CRecordTransfer::OnUploadRecord(const CPacket& packet) {
    if (uploadIndex >= uploads.size()) {
        // No run of ours: only what the module said.
        if (packet.param1 != RESULT_SUCCESS) {
            m_dlg.ShowResultError(packet.param1);
        }
        return;
    }
    ++recordsTried;
    if (packet.param1 != RESULT_SUCCESS) {
        // The first record the module will not take ends the run: the rest
        // are not sent, and the line says which one it was and how far the
        // run came.
        const SHostRecordRow& refused = uploads[uploadIndex];
        const std::string where = refused.path.empty() ? refused.id : Utf8FromPath(refused.path);
        const std::string reason = ResultText(packet.param1);
        CountNotSaved(where, reason);
        m_dlg.Outcome(SOutcome(SOutcome::EKind::RecordRefused)
                          .Command(CMD_UPLOAD_RECORD)
                          .Text(reason)
                          .Id(refused.id)
                          .Path(where));
        const int uploaded = recordsTried - recordsNotSaved;
        const int total = static_cast<int>(uploads.size());
        uploads.clear();
        m_dlg.ShowResultError(packet.param1);
        m_dlg.ShowMessage(reason + " " +
                          FormatUserString(IDS_DB_UPLOAD_STOPPED, uploaded, total, where.c_str()));
        return;
    }
    if (++uploadIndex < uploads.size()) {
        SendUpload();
        return;
    }
    m_dlg.Outcome(
        SOutcome(SOutcome::EKind::TransferDone).Command(CMD_UPLOAD_RECORD).Count(recordsTried));
    uploads.clear();
    m_dlg.Ui().MessageBox(LoadString(IDS_DB_UPLOAD_COMPLETED), EIcon::Information);
    m_dlg.dbDlg.listPurpose = CDbDlg::kCountAfterUpload;
    m_dlg.PacketManager().SendGetUserList(1, 0);
}

}  // namespace sondrix
