#include "ui/db_dlg.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "app/sondrix_dlg.h"
#include "files/format_code.h"
#include "link/command_table.h"
#include "link/model_table.h"
#include "link/option_numbers.h"
#include "platform/native_file.h"
#include "ui/strings.h"
#include "ui/strings_database.h"

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

struct SColumnRow {
    int heading;
    int width;
};

// The Device columns are the first three of the Host columns.
constexpr std::array<SColumnRow, 5> kHostColumns = {{
    {IDS_DB_COLUMN_CHECK, 40},
    {IDS_DB_COLUMN_ID, 70},
    {IDS_DB_COLUMN_AUTHORITY, 100},
    {IDS_DB_COLUMN_TIME, 150},
    {IDS_DB_COLUMN_SIZE, 50},
}};
constexpr size_t kDeviceColumnCount = 3;

}  // namespace

CDbDlg::CDbDlg(CSondrixDlg& main) : CPageBase(main, "database", "DataBase") {
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
    SetRecordFolder(main.writableFolder.folder);
    AddButton(kStatus, LoadString(IDS_STATUS), {}, LoadString(IDS_TIP_STATUS));
    AddButton(kCancel, LoadString(IDS_CANCEL), {}, LoadString(IDS_TIP_CANCEL));

    SetListType(kListDevice);
}

void CDbDlg::SetRecordFolder(const CFilePath& folder) {
    m_recordFolder = folder.Path();
    // Where the records go and where the host list finds them is the same folder.
    const std::string where =
        "\n" + LoadString(IDS_DB_RECORD_FOLDER_TIP) + Utf8FromPath(m_recordFolder);
    SetTooltip(kDownload, LoadString(IDS_TIP_DOWNLOAD_SELECTED) + where);
    SetTooltip(kOpen, LoadString(IDS_TIP_OPEN_RECORDS) + where);
}

void CDbDlg::Reset() {
    SetListType(kListDevice);
    CloseProgress();
    // Nothing of the last module's runs may act on the next module's answers.
    listPurpose = kShowList;
    dbDeletion = 0;
    rowsToDelete = 0;
    rowsToChange = 0;
    Main().records.Reset();
}

void CDbDlg::OnTabShown() {
    CSondrixDlg& main = Main();
    SetSelection(kListType, listType);
    if (main.moduleSeries == 2) {
        return;
    }
    // The host list keeps its loaded records; only the Device list is fetched.
    if (listPurpose == kShowList && listType == kListDevice) {
        GetList();
    }
    if (main.moduleSeries != 4 && main.moduleSeries != 5) {
        main.configuration.pendingAction = CConfiguration::kReadAll;
        main.PacketManager().SendGetSystemOption(kOptionTemplateMode);
    }
}

void CDbDlg::GetList() {
    ClearRows();
    listPurpose = kShowList;
    Main().PacketManager().SendGetUserList(0, 0);
}

size_t CDbDlg::EntrySize() const {
    return RecordContext().layout == ERecordLayout::Legacy ? kLegacyEntrySize
                                                           : RecordContext().idFieldLength;
}

SRecordContext CDbDlg::RecordContext() const {
    const CSondrixDlg& main = Main();
    return SRecordContext::FromModule(
        main.moduleSeries, static_cast<int>(main.emulationMode), main.templateMode,
        static_cast<size_t>(std::max(1, main.idLength)), main.modelCode == kModelHlxM28);
}

std::optional<uint8_t> CDbDlg::DownloadCode() const {
    return DownloadFormatCode(RecordContext(), formatChoice);
}

void CDbDlg::OnCommand(int id) {
    switch (id) {
        case kSelectAll:
            SelectAll();
            break;
        case kGetList:
            GetList();
            break;
        case kDownload:
            Download();
            break;
        case kDelete:
            Delete();
            break;
        case kDeleteAll:
            DeleteAll(kDeleteEveryone);
            break;
        case kDeleteAllUsers:
            DeleteAll(kDeleteUsers);
            break;
        case kDeleteAllMasters:
            DeleteAll(kDeleteMasters);
            break;
        case kSetMaster:
            ChangeAuthority(true);
            break;
        case kResetMaster:
            ChangeAuthority(false);
            break;
        case kOpen:
            OpenRecords();
            break;
        case kUpload:
            Upload();
            break;
        case kClear:
            ClearRows();
            SetCheck(kSelectAll, false);
            break;
        case kStatus:
            Status();
            break;
        case kCancel:
            Main().PacketManager().SendCommand(CMD_CANCEL);
            break;
        default:
            break;
    }
}

void CDbDlg::OnSelChange(int id) {
    if (id != kListType) {
        return;
    }
    const int selection = Selection(kListType);
    if (selection == kListDevice || selection == kListHost) {
        SetListType(selection);
    } else {
        SetCheck(kSelectAll, false);
    }
}

void CDbDlg::SetListType(int type) {
    const size_t columnCount = type == kListHost ? kHostColumns.size() : kDeviceColumnCount;
    std::vector<CListData::SColumn> columns;
    for (size_t i = 0; i < columnCount; ++i) {
        columns.push_back({LoadString(kHostColumns[i].heading), kHostColumns[i].width});
    }
    List(kList).SetColumns(std::move(columns));
    hostRows.clear();
    for (int button : kDeviceButtons) {
        Enable(button, type == kListDevice);
    }
    for (int button : kHostButtons) {
        Enable(button, type == kListHost);
    }
    Enable(kSelectAll, true);
    SetCheck(kSelectAll, false);
    SetSelection(kListType, type);
    listType = type;
    rowCount = 0;
}

void CDbDlg::ClearRows() {
    List(kList).Clear();
    hostRows.clear();
    rowCount = 0;
}

void CDbDlg::SelectAll() {
    CListData& list = List(kList);
    const bool checked = IsChecked(kSelectAll);
    for (size_t row = 0; row < list.RowCount(); ++row) {
        list.SetChecked(row, checked);
    }
}

int CDbDlg::CheckedCount() {
    const CListData& list = List(kList);
    rowCount = static_cast<int>(list.RowCount());
    int count = 0;
    for (size_t row = 0; row < list.RowCount(); ++row) {
        count += list.Row(row).checked ? 1 : 0;
    }
    return count;
}

std::optional<int> CDbDlg::FirstChecked(int startRow) {
    const CListData& list = List(kList);
    for (size_t row = static_cast<size_t>(std::max(0, startRow)); row < list.RowCount(); ++row) {
        if (list.Row(row).checked) {
            return static_cast<int>(row);
        }
    }
    return std::nullopt;
}

bool CDbDlg::AnyCheckedWithAuthority(int authorityText) {
    const CListData& list = List(kList);
    for (size_t row = 0; row < list.RowCount(); ++row) {
        const auto& cells = list.Row(row).cells;
        if (list.Row(row).checked && cells.size() > kColumnAuthority &&
            cells[kColumnAuthority] == LoadString(authorityText)) {
            return true;
        }
    }
    return false;
}

std::string CDbDlg::RowId(int row) {
    const CListData& list = List(kList);
    if (row < 0 || static_cast<size_t>(row) >= list.RowCount() ||
        list.Row(static_cast<size_t>(row)).cells.size() <= kColumnId) {
        return {};
    }
    return list.Row(static_cast<size_t>(row)).cells[kColumnId];
}

void CDbDlg::SetRowAuthority(int row, bool master) {
    CListData& list = List(kList);
    if (row >= 0 && static_cast<size_t>(row) < list.RowCount()) {
        list.SetCell(static_cast<size_t>(row), kColumnAuthority,
                     LoadString(master ? IDS_DB_AUTHORITY_MASTER : IDS_DB_AUTHORITY_USER));
    }
}

void CDbDlg::FillUserList() {
    // A list that arrives while the host list is shown must not mix with its records.
    if (listType != kListDevice) {
        return;
    }
    ClearRows();
    CListData& list = List(kList);
    const size_t stride = entrySize;
    const size_t count = std::min({static_cast<size_t>(std::max(0, userCount)),
                                   stride == 0 ? 0 : userIds.size() / stride, masterFlags.size()});
    for (size_t i = 0; i < count; ++i) {
        // The last byte of an entry is never shown: an ID that fills its whole
        // field is cut to the field length - 1 characters.
        const auto first = userIds.begin() + static_cast<std::ptrdiff_t>(i * stride);
        const auto end = std::find(first, first + static_cast<std::ptrdiff_t>(stride - 1), 0);
        CListData::SRow row;
        row.cells = {std::string(), std::string(first, end),
                     LoadString(masterFlags[i] ? IDS_DB_AUTHORITY_MASTER : IDS_DB_AUTHORITY_USER)};
        list.AppendRow(std::move(row));
    }
    rowCount = static_cast<int>(count);
}

void CDbDlg::ShowError(const std::string& text, bool line) {
    if (line) {
        Main().ShowMessage(text);
    }
    Main().Ui().MessageBox(text, EIcon::Stop);
}

bool CDbDlg::Confirmed(int question) {
    return Main().Ui().MessageBox(LoadString(question), EIcon::Question, EButtons::YesNo) ==
           EAnswer::Yes;
}

void CDbDlg::Download() {
    CSondrixDlg& main = Main();
    CPopupRadioDlg& popup = main.popupRadio;
    // Extended modules have no old format; QDX-A records are never offered.
    popup.restriction = RecordContext().layout == ERecordLayout::Extended ? 2 : 3;
    const int result = main.Ui().RunModal(popup);
    popup.restriction = 0;
    if (result != IDOK) {
        return;
    }
    formatChoice = popup.templateFormat;
    const std::optional<uint8_t> code = DownloadCode();
    if (!code) {
        return;
    }
    if (popup.downloadOption == 1) {
        main.records.DownloadAll(*code, m_recordFolder);
        return;
    }
    std::vector<std::string> ids;
    for (std::optional<int> row = FirstChecked(0); row; row = FirstChecked(*row + 1)) {
        ids.push_back(RowId(*row));
    }
    if (ids.empty()) {
        ShowError(LoadString(IDS_DB_NO_SELECTION), true);
        return;
    }
    main.records.Download(std::move(ids), *code, m_recordFolder);
}

void CDbDlg::Delete() {
    const int checked = CheckedCount();
    if (checked == 0) {
        ShowError(LoadString(IDS_DB_NO_SELECTION), true);
        return;
    }
    if (!Confirmed(IDS_DB_CONFIRM_DELETE)) {
        return;
    }
    // The flag is set only for a deletion that really starts, so that a later
    // deletion from another tab is never taken for the next step of this one.
    dbDeletion = 1;
    rowsToDelete = checked;
    DeletionStep(0);
}

void CDbDlg::DeletionStep(int startRow) {
    const std::optional<int> row = FirstChecked(startRow);
    if (!row) {
        dbDeletion = 0;
        rowsToDelete = 0;
        return;
    }
    deletionRow = *row;
    Main().PacketManager().SendDeleteUser(RowId(*row));
}

void CDbDlg::DeleteAll(EDeleteAll which) {
    if (!Confirmed(IDS_DB_CONFIRM_DELETE)) {
        return;
    }
    dbDeletion = 1;
    Main().PacketManager().SendCommand(CMD_DELETE_ALL, which);
}

void CDbDlg::ChangeAuthority(bool grantMaster) {
    if (AnyCheckedWithAuthority(grantMaster ? IDS_DB_AUTHORITY_MASTER : IDS_DB_AUTHORITY_USER)) {
        ShowError(LoadString(grantMaster ? IDS_DB_ALREADY_MASTER : IDS_DB_NOT_MASTER), true);
        return;
    }
    const int checked = CheckedCount();
    if (checked == 0) {
        if (grantMaster) {
            ShowError(LoadString(IDS_DB_NO_SELECTION), true);
        } else {
            Main().Ui().MessageBox(LoadString(IDS_DB_NO_SELECTION_PLAIN));
        }
        return;
    }
    rowsToChange = checked;
    changeRow = 0;
    setOrReset = grantMaster ? 1 : 0;
    ChangeStep(0);
}

void CDbDlg::ChangeStep(int startRow) {
    const std::optional<int> row = FirstChecked(startRow);
    if (!row) {
        rowsToChange = 0;
        return;
    }
    changeRow = *row;
    Main().PacketManager().SendSetMasterAuthority(static_cast<uint32_t>(setOrReset), RowId(*row));
}

void CDbDlg::OpenRecords() {
    SFileDialog request;
    request.filter = LoadString(IDS_DB_RECORD_FILTER);
    request.defaultExtension = LoadString(IDS_DB_RECORD_EXTENSION);
    request.multiSelect = true;
    request.folder = Utf8FromPath(m_recordFolder);
    const std::vector<std::string> paths = Main().Ui().FileDialog(request);
    if (paths.empty()) {
        return;
    }
    ClearRows();
    SetCheck(kSelectAll, false);
    for (const std::string& path : paths) {
        if (!LoadRecord(path)) {
            break;
        }
    }
}

bool CDbDlg::LoadRecord(const std::string& path) {
    constexpr size_t kExtensionLength = 3;
    lastPath = path;
    lastExtension = path.substr(path.size() - std::min(path.size(), kExtensionLength));
    const SRecordContext context = RecordContext();
    IUiHost& ui = Main().Ui();
    SHostRecordRow loaded;
    switch (LoadRecordFile(PathFromUtf8(path), context, loaded)) {
        case EFileStatus::Ok:
            break;
        case EFileStatus::NotFound:
            ShowError(LoadString(IDS_FILE_NOT_EXISTED), false);
            return false;
        case EFileStatus::MrcIgnored:
            return true;
        case EFileStatus::NotSupported: {
            const bool quiet = context.layout == ERecordLayout::Extended || context.templateMode2;
            ui.MessageBox(LoadString(IDS_NOT_SUPPORTED_FILE),
                          quiet ? EIcon::Information : EIcon::Stop);
            return true;
        }
        case EFileStatus::Invalid:
            ShowError(LoadString(IDS_INVALID_FILE), false);
            return true;
        case EFileStatus::BadTime:
            ui.MessageBox(LoadString(IDS_DB_RECORD_BAD_TIME));
            return true;
        default:
            ShowError(LoadString(IDS_DB_RECORD_READ_FAILED) + path, false);
            return true;
    }
    CListData::SRow row;
    row.cells = {std::string(), loaded.id, loaded.authority, loaded.time,
                 std::to_string(loaded.Size())};
    List(kList).AppendRow(std::move(row));
    hostRows.push_back(std::move(loaded));
    ++rowCount;
    return true;
}

void CDbDlg::Upload() {
    std::vector<SHostRecordRow> records;
    for (std::optional<int> row = FirstChecked(0);
         row && static_cast<size_t>(*row) < hostRows.size(); row = FirstChecked(*row + 1)) {
        records.push_back(hostRows[static_cast<size_t>(*row)]);
    }
    if (records.empty()) {
        ShowError(LoadString(IDS_DB_NO_SELECTION), false);
        return;
    }
    const int total = static_cast<int>(records.size());
    OpenProgress(total);
    // A person who closed the popup is asked whether the run stops there.
    Main().records.Upload(std::move(records), [this, total] {
        CSondrixDlg& main = Main();
        if (main.popupProgress.Exists()) {
            return true;
        }
        if (main.Ui().MessageBox(LoadString(IDS_DB_QUIT_UPLOAD), EIcon::Warning, EButtons::YesNo) ==
            EAnswer::Yes) {
            return false;
        }
        OpenProgress(total);
        return true;
    });
}

void CDbDlg::OpenProgress(int total) {
    CPopupProgressDlg& progress = Main().popupProgress;
    progress.Create(this);
    progress.SetRange(0, total);
    progress.SetPos(0);
}

void CDbDlg::CloseProgress() {
    CPopupProgressDlg& progress = Main().popupProgress;
    if (progress.Exists() && progress.owner == this) {
        progress.Destroy();
    }
}

void CDbDlg::OnOutcome(const SOutcome& outcome) {
    using EKind = SOutcome::EKind;
    if (outcome.kind == EKind::TransferDone && outcome.command == CMD_DOWNLOAD_RECORD) {
        Main().popupRadio.downloadOption = 0;
    }
    if (outcome.command != CMD_UPLOAD_RECORD) {
        return;
    }
    if (outcome.kind == EKind::Progress) {
        // The bar counts records sent, so that it never runs past its range;
        // it goes once the last one is on its way.
        CPopupProgressDlg& progress = Main().popupProgress;
        if (progress.Exists() && progress.owner == this) {
            progress.SetPos(static_cast<int>(outcome.done));
        }
        if (outcome.done == outcome.total) {
            CloseProgress();
        }
    } else if (outcome.kind == EKind::RecordRefused || outcome.kind == EKind::Failed) {
        CloseProgress();
    }
}

void CDbDlg::Status() {
    CPacketManagerWnd& packets = Main().PacketManager();
    if (packets.Receiving()) {
        Loop().Sleep(kStatusWaitMs);
    }
    packets.SendGetStatus();
}

}  // namespace sondrix
