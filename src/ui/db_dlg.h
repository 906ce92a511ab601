#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "device/module_outcome.h"
#include "files/record_context.h"
#include "files/record_file.h"
#include "ui/page_base.h"

namespace sondrix {

// The DataBase tab (dialog 131): the module's user list or a host list of
// loaded record files, and the operations on either. Each operation is one
// request or a sequence of requests; the database answer handler calls the
// step functions below to send the next one.
class CDbDlg : public CPageBase, public IOutcomeObserver {
  public:
    // Controls.
    static constexpr int kList = 1085;  // report list with check boxes
    static constexpr int kSelectAll = 1086;
    static constexpr int kListType = 1121;  // rows "Device", "Host"
    // "Device" group.
    static constexpr int kGetList = 1090;
    static constexpr int kDownload = 1091;
    static constexpr int kDelete = 1092;
    static constexpr int kDeleteAll = 1093;
    static constexpr int kDeleteAllUsers = 1096;
    static constexpr int kDeleteAllMasters = 1097;
    static constexpr int kSetMaster = 1094;
    static constexpr int kResetMaster = 1095;
    // "Host" group.
    static constexpr int kOpen = 1098;
    static constexpr int kUpload = 1099;
    static constexpr int kClear = 1100;
    static constexpr int kStatus = 1089;
    static constexpr int kCancel = 1118;

    static constexpr std::array<int, 8> kDeviceButtons = {
        kGetList,        kDownload,         kDelete,    kDeleteAll,
        kDeleteAllUsers, kDeleteAllMasters, kSetMaster, kResetMaster};
    static constexpr std::array<int, 3> kHostButtons = {kOpen, kUpload, kClear};

    // List columns.
    static constexpr size_t kColumnId = 1;
    static constexpr size_t kColumnAuthority = 2;
    static constexpr size_t kColumnTime = 3;
    static constexpr size_t kColumnSize = 4;

    enum EListType { kListDevice = 0, kListHost = 1 };
    enum EListPurpose { kShowList = 0, kDownloadAll = 1, kCountAfterUpload = 2 };
    enum EDeleteAll : uint32_t { kDeleteEveryone = 0, kDeleteUsers = 1, kDeleteMasters = 2 };
    static constexpr size_t kMasterFlagCount = 30000;
    // Bytes of an entry of a legacy-layout list.
    static constexpr size_t kLegacyEntrySize = 11;
    static constexpr uint32_t kStatusWaitMs = 300;

    explicit CDbDlg(CSondrixDlg& main);

    // Back to the state without a module, with the Device columns: on
    // disconnection, on connection and when the emulation mode changes.
    void Reset() override;
    // The tab was chosen and the main dialog's guards let it open.
    void OnTabShown();
    // "Get List": empties the list and asks for the user list's first page.
    void GetList();

    // Steps of the row-by-row sequences: each sends the request for the
    // first checked row at or after `startRow` and does nothing when there
    // is none.
    void DeletionStep(int startRow);
    void ChangeStep(int startRow);
    // Closes the progress popup when this page opened it.
    void CloseProgress();
    // The upload's progress popup follows its run.
    void OnOutcome(const SOutcome& outcome) override;

    // Shows the last user list (userIds, masterFlags) in the Device list.
    void FillUserList();
    // The Authority column of one row.
    void SetRowAuthority(int row, bool master);
    // The ID shown in a row, empty for a row that does not exist.
    std::string RowId(int row);
    // Bytes of one list entry of the connected module: 11 in the legacy
    // layout, the ID field length in the extended layout.
    size_t EntrySize() const;
    // The connected module's facts as the record files need them.
    SRecordContext RecordContext() const;
    // The format code the download-option choice stands for, if any.
    std::optional<uint8_t> DownloadCode() const;

    // Where downloaded records are saved and the host list is opened: the
    // program's own folder when it may write there, else the user's folder.
    // The Download and Open tooltips name it.
    const std::filesystem::path& RecordFolder() const { return m_recordFolder; }
    void SetRecordFolder(const CFilePath& folder);

    // Page state (the database answer handler reads and writes it too).
    int listType = kListDevice;
    int rowCount = 0;
    int listPurpose = kShowList;
    std::vector<uint8_t> userIds;  // sorted, entries of entrySize bytes
    size_t entrySize = kLegacyEntrySize;
    int userCount = 0;
    std::vector<uint8_t> masterIds;
    int masterCount = 0;
    std::vector<uint8_t> masterFlags = std::vector<uint8_t>(kMasterFlagCount, 0);
    int formatChoice = 1;  // download popup choice 0..4
    int dbDeletion = 0;    // the DB-tab deletion flag: a deletion of this page is running
    int rowsToDelete = 0;
    int deletionRow = 0;
    int rowsToChange = 0;
    int changeRow = 0;
    int setOrReset = 0;  // 1 Set Master, 0 Reset Master
    std::string lastPath;
    std::string lastExtension;
    // The host list's rows with their private record copies, row for row.
    std::vector<SHostRecordRow> hostRows;

  protected:
    void OnCommand(int id) override;
    void OnSelChange(int id) override;

  private:
    void SetListType(int type);
    void ClearRows();
    void SelectAll();
    void Download();
    void Delete();
    void DeleteAll(EDeleteAll which);
    void ChangeAuthority(bool grantMaster);
    void OpenRecords();
    // Loads one picked file into the host list; false when the rest of
    // the selection must not be loaded.
    bool LoadRecord(const std::string& path);
    void Upload();
    void OpenProgress(int total);
    void Status();
    bool Confirmed(int question);

    int CheckedCount();
    std::optional<int> FirstChecked(int startRow);
    bool AnyCheckedWithAuthority(int authorityText);
    // A stop-icon box, and the same text on the message line when `line` is set.
    void ShowError(const std::string& text, bool line);

    std::filesystem::path m_recordFolder;
};

}  // namespace sondrix
