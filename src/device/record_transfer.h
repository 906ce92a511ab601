#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/record_file.h"
#include "link/packet.h"

namespace sondrix {

class CSondrixDlg;

// The record download and upload runs: which record goes next, the files
// the downloaded records are saved in, and the tally that keeps a run in
// which records were lost from ending as a success. The DataBase tab and the
// typed module interface start them; the database answers carry them on.
class CRecordTransfer {
  public:
    // Asked before each record of an upload goes out: false stops the run
    // there, with nothing more sent.
    using GoOn = std::function<bool()>;

    explicit CRecordTransfer(CSondrixDlg& dlg) : m_dlg(dlg) {}

    // Every record of the module, in `code`'s format, into `folder`: the
    // module's user count first, then record after record.
    void DownloadAll(uint8_t code, std::filesystem::path folder);
    // The records of these users, one after another.
    void Download(std::vector<std::string> ids, uint8_t code, std::filesystem::path folder);
    // Sends the records one after another; the run ends at the last one, or
    // at the first the module refuses.
    void Upload(std::vector<SHostRecordRow> records, GoOn goOn);

    // The answers that carry the runs on.
    void OnUserCount(uint16_t count);
    void OnDownloadRecord(const CPacket& packet);
    void OnUploadRecord(const CPacket& packet);

    // No run survives the connection.
    void Reset();

    // "N of M records could not be saved: first failure: <where>: <reason>".
    std::string NotSavedSummary() const;

    // State of the runs.
    enum EDownloadMode { kDownloadListed = 0, kDownloadFirst = 1, kDownloadNext = 2 };
    int downloadMode = kDownloadListed;
    std::vector<std::string> downloadIds;  // the users of a listed download
    size_t downloadIndex = 0;              // the one asked for now
    int recordsDownloaded = 0;             // of a download of all
    int recordsToDownload = 0;
    std::vector<SHostRecordRow> uploads;  // the records of an upload run
    size_t uploadIndex = 0;               // the one sent last
    // The tally of the run: records handled, those not saved or not taken,
    // and the first of them as "<where>: <reason>".
    int recordsTried = 0;
    int recordsNotSaved = 0;
    std::string firstNotSaved;

  private:
    void StartTally();
    void CountNotSaved(const std::string& where, const std::string& reason);
    void RequestNext();
    void SaveRecord(const CPacket& packet);
    void NotSaved(const std::string& path, const std::string& reason);
    void DownloadCompleted();
    void SendUpload();
    void Progress(uint32_t command, int64_t done, int64_t total);

    CSondrixDlg& m_dlg;
    uint8_t m_code = 0;
    std::filesystem::path m_folder;
    GoOn m_goOn;
};

}  // namespace sondrix
