#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/record_file.h"
#include "ui/page_base.h"

namespace sondrix {

// The DataBase tab (dialog 131): the module's user list or a host list of
// loaded record files, and the operations on either.
class CDbDlg : public CPageBase {
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

    enum EListType { kListDevice = 0, kListHost = 1 };
    static constexpr size_t kMasterFlagCount = 30000;

    explicit CDbDlg(CSondrixDlg& main);

    // Page state (the database answer handler reads and writes it too).
    int listType = kListDevice;
    int rowCount = 0;
    int listPurpose = 0;           // 0 show the list, 1 download all, 2 count after an upload
    std::vector<uint8_t> userIds;  // sorted, entries of ID-field-length bytes
    int userCount = 0;
    std::vector<uint8_t> masterIds;
    int masterCount = 0;
    std::vector<uint8_t> masterFlags = std::vector<uint8_t>(kMasterFlagCount, 0);
    int downloadMode = 0;  // 0 checked rows, 1 first of all, 2 next of all
    int formatChoice = 0;  // download popup choice 0..4
    int rowsToDownload = 0;
    int downloadRow = 0;
    int dbDeletion = 0;  // the DB-tab deletion flag
    int rowsToDelete = 0;
    int deletionRow = 0;
    int rowsToChange = 0;
    int changeRow = 0;
    int setOrReset = 0;  // 1 Set Master, 0 Reset Master
    int rowsToUpload = 0;
    int rowsUploaded = 0;
    int uploadRow = 0;
    std::string lastPath;
    std::string lastExtension;
    // The host list's rows with their private record copies, row for row.
    std::vector<SHostRecordRow> hostRows;
};

}  // namespace sondrix
