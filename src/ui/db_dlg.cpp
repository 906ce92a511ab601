#include "ui/db_dlg.h"

#include "ui/strings.h"

namespace sondrix {

namespace {

struct SButtonRow {
    int id;
    int caption;
    int tooltip;
};

constexpr std::array<SButtonRow, 8> kDeviceRows = {{
    {CDbDlg::kGetList, IDS_DB_GET_LIST, IDS_TIP_GET_LIST},
    {CDbDlg::kDownload, IDS_DOWNLOAD, IDS_TIP_DOWNLOAD_SELECTED},
    {CDbDlg::kDelete, IDS_DELETE, IDS_TIP_DELETE_SELECTED},
    {CDbDlg::kDeleteAll, IDS_DELETE_ALL, IDS_TIP_DELETE_ALL_ITEMS},
    {CDbDlg::kDeleteAllUsers, IDS_DB_DELETE_ALL_USERS, IDS_TIP_DELETE_ALL_USER_ITEMS},
    {CDbDlg::kDeleteAllMasters, IDS_DB_DELETE_ALL_MASTERS, IDS_TIP_DELETE_ALL_MASTER_ITEMS},
    {CDbDlg::kSetMaster, IDS_DB_SET_MASTER, IDS_TIP_SET_MASTER},
    {CDbDlg::kResetMaster, IDS_DB_RESET_MASTER, IDS_TIP_RESET_MASTER},
}};

constexpr std::array<SButtonRow, 3> kHostRows = {{
    {CDbDlg::kOpen, IDS_DB_OPEN, IDS_TIP_OPEN_RECORDS},
    {CDbDlg::kUpload, IDS_DB_UPLOAD, IDS_TIP_UPLOAD},
    {CDbDlg::kClear, IDS_DB_CLEAR, IDS_TIP_CLEAR_LIST},
}};

}  // namespace

CDbDlg::CDbDlg(CSondrixDlg& main) : CPageBase(main, "database", "DataBase") {
    // The columns are created when the list type is set.
    AddControl(kList, EControlKind::List);
    AddCheck(kSelectAll, LoadString(IDS_DB_SELECT_ALL), {});
    AddCombo(kListType, LoadString(IDS_DB_LIST_TYPE), {},
             {LoadString(IDS_LIST_TYPE_DEVICE), LoadString(IDS_LIST_TYPE_HOST)})
        .tooltip = LoadString(IDS_TIP_LIST_TYPE);

    const std::string device = LoadString(IDS_DB_GROUP_DEVICE);
    for (const SButtonRow& row : kDeviceRows) {
        AddButton(row.id, LoadString(row.caption), device, LoadString(row.tooltip));
    }
    const std::string host = LoadString(IDS_DB_GROUP_HOST);
    for (const SButtonRow& row : kHostRows) {
        AddButton(row.id, LoadString(row.caption), host, LoadString(row.tooltip));
    }
    AddButton(kStatus, LoadString(IDS_STATUS), {}, LoadString(IDS_TIP_STATUS));
    AddButton(kCancel, LoadString(IDS_CANCEL), {}, LoadString(IDS_TIP_CANCEL));

    // Initialisation: "Device" selected, the host buttons disabled.
    for (int id : kHostButtons) {
        Enable(id, false);
    }
}

}  // namespace sondrix
