#include "device/db_management.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <set>
#include <span>
#include <string>

#include "app/sondrix_dlg.h"
#include "files/record_file.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/byte_reader.h"
#include "platform/native_file.h"
#include "ui/strings_database.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CDBManagement>;

// Bytes a list page can hold, by layout; the page buffer is sized from the
// last page index with these.
constexpr size_t kLegacyPageBytes = 2816;
constexpr size_t kExtendedPageBytes = 4096;
// A page starts with its entry count (16 bits) and two unused bytes.
constexpr size_t kPageHeaderSize = 4;

// The ID text of list entry `index`: its bytes up to the first NUL, and never
// the entry's last byte, so an entry without its terminating zero is cut to
// the field length - 1 characters.
std::string EntryText(std::span<const uint8_t> entries, size_t stride, size_t index) {
    const auto first = entries.begin() + static_cast<std::ptrdiff_t>(index * stride);
    const auto last = first + static_cast<std::ptrdiff_t>(stride - 1);
    return std::string(first, std::find(first, last, uint8_t{0}));
}

// Sorts entries of `stride` bytes in place: ascending by their bytes taken as
// signed 8-bit values, first byte first, the entry's last byte not compared.
void SortEntries(std::vector<uint8_t>& entries, size_t stride, size_t count) {
    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k + 1 < stride; ++k) {
            const auto x = static_cast<int8_t>(entries[a * stride + k]);
            const auto y = static_cast<int8_t>(entries[b * stride + k]);
            if (x != y) {
                return x < y;
            }
        }
        return false;
    });
    std::vector<uint8_t> sorted;
    sorted.reserve(count * stride);
    for (size_t index : order) {
        const auto first = entries.begin() + static_cast<std::ptrdiff_t>(index * stride);
        sorted.insert(sorted.end(), first, first + static_cast<std::ptrdiff_t>(stride));
    }
    entries = std::move(sorted);
}

}  // namespace

bool CDBManagement::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_DELETE_USER, &CDBManagement::OnDeleteUser},
        SRouteOf{CMD_DELETE_ALL, &CDBManagement::OnDeleteAll},
        SRouteOf{CMD_SET_MASTER_AUTHORITY, &CDBManagement::OnSetMasterAuthority},
        SRouteOf{CMD_LEAVE_MASTER_MODE, &CDBManagement::OnLeaveMasterMode},
        SRouteOf{CMD_SET_MASTER_PASSWORD, &CDBManagement::OnSetMasterPassword},
        SRouteOf{CMD_READ_CUSTOM_DATA, &CDBManagement::OnReadCustomData},
        SRouteOf{CMD_WRITE_CUSTOM_DATA, &CDBManagement::OnWriteCustomData},
        SRouteOf{CMD_DELETE_CUSTOM_DATA, &CDBManagement::OnDeleteCustomData},
        SRouteOf{CMD_DELETE_MASTER_PASSWORD, &CDBManagement::OnDeleteMasterPassword},
        SRouteOf{CMD_ENTER_MASTER_MODE, &CDBManagement::OnEnterMasterMode},
        SRouteOf{CMD_GET_USER_LIST, &CDBManagement::OnGetUserList},
        SRouteOf{CMD_GET_MASTER_LIST, &CDBManagement::OnGetMasterList},
        SRouteOf{CMD_GET_LOG_DATA, &CDBManagement::OnGetLogData},
        SRouteOf{CMD_REGISTER, &CDBManagement::OnRegister},
        SRouteOf{CMD_MODIFY_USER, &CDBManagement::OnModifyUser},
        SRouteOf{CMD_UPLOAD_RECORD, &CDBManagement::OnUploadRecord},
        SRouteOf{CMD_DOWNLOAD_RECORD, &CDBManagement::OnDownloadRecord},
        SRouteOf{CMD_DELETE_LOG_DATA, &CDBManagement::OnDeleteLogData},
        SRouteOf{CMD_REGISTER_STEP, &CDBManagement::OnRegisterStep},
    };
    return Dispatch<CDBManagement>(*this, kRoutes, packet);
}

bool CDBManagement::Accepted(const CPacket& packet, int failedText) {
    switch (packet.param1) {
        case RESULT_SUCCESS:
            return true;
        case RESULT_FAILED:
            m_dlg.Fail(LoadString(failedText));
            return false;
        case RESULT_CANCELED:
            m_dlg.Fail(LoadString(IDS_DB_CANCELED));
            return false;
        default:
            m_dlg.ShowResultError(packet.param1);
            return false;
    }
}

void CDBManagement::ShowUserCount(uint32_t count) {
    m_dlg.imageDlg.SetText(CImageDlg::kUserCounts, std::to_string(count));
}

// ---- Deletion and authority ----

void CDBManagement::OnDeleteUser(CPacket& packet) {
    CDbDlg& page = m_dlg.dbDlg;
    if (!Accepted(packet, IDS_DB_DELETION_FAILED)) {
        // The rows not yet deleted stay as they are, and so does the list.
        page.dbDeletion = 0;
        page.rowsToDelete = 0;
        return;
    }
    if (page.dbDeletion == 1 && --page.rowsToDelete > 0) {
        page.DeletionStep(page.deletionRow + 1);
        return;
    }
    // The last deletion of this page, or one of the Authentication&User or Main tab.
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Deleted)
                      .Count(packet.param2)
                      .Text(LoadString(IDS_DB_DELETION_SUCCEEDED)));
    m_dlg.basicDlg.SetText(CBasicDlg::kDeletionId, {});
    m_dlg.basicDlg.Enable(CBasicDlg::kDelete, false);
    m_dlg.Ui().MessageBox(LoadString(IDS_DB_DELETION_SUCCEEDED), EIcon::Information);
    ShowUserCount(packet.param2);
    if (page.dbDeletion == 1) {
        page.dbDeletion = 0;
        page.GetList();
    }
}

void CDBManagement::OnDeleteAll(CPacket& packet) {
    CDbDlg& page = m_dlg.dbDlg;
    const bool fromPage = page.dbDeletion == 1;
    page.dbDeletion = 0;
    if (!Accepted(packet, IDS_DB_DELETION_FAILED)) {
        return;
    }
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Deleted)
                      .Count(packet.param2)
                      .Text(LoadString(IDS_DB_DELETION_SUCCEEDED)));
    m_dlg.Ui().MessageBox(LoadString(IDS_DB_DELETION_SUCCEEDED), EIcon::Information);
    ShowUserCount(packet.param2);
    if (fromPage) {
        page.GetList();
    }
}

void CDBManagement::OnSetMasterAuthority(CPacket& packet) {
    CDbDlg& page = m_dlg.dbDlg;
    if (!Accepted(packet, IDS_DB_AUTHORITY_FAILED)) {
        page.rowsToChange = 0;
        return;
    }
    // Each row shows its new authority as soon as the module took it, so a
    // run that fails half-way shows what really changed.
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Authority).Value(page.setOrReset));
    page.SetRowAuthority(page.changeRow, page.setOrReset == 1);
    // A change of the page's run goes on with its next row; one sent on its
    // own (the typed module interface) ends here.
    if (page.rowsToChange > 0 && --page.rowsToChange > 0) {
        page.ChangeStep(page.changeRow + 1);
    }
}

// ---- Paged lists ----

void CDBManagement::DropList() {
    pageBuffer.clear();
    pageBuffer.shrink_to_fit();
    listEntries = 0;
    m_listActive = false;
}

bool CDBManagement::CollectPage(const CPacket& packet, int failedText) {
    if (!Accepted(packet, failedText)) {
        DropList();
        return false;
    }
    CDbDlg& page = m_dlg.dbDlg;
    const size_t stride = page.EntrySize();
    const uint32_t lastIndex = packet.param2 & 0xFF;
    const uint32_t thisIndex = (packet.param2 >> 8) & 0xFF;
    CByteReader reader(packet.data, std::min<size_t>(packet.dataSize, CPacket::kMaxData));
    uint16_t count = 0;
    if (thisIndex > lastIndex || !reader.U16BE(count) || !reader.Skip(2) ||
        size_t{count} * stride > reader.Remaining()) {
        // A page that does not hold what it announces ends the list.
        m_dlg.Fail(LoadString(failedText));
        DropList();
        return false;
    }
    if (thisIndex == 0) {
        DropList();
        const bool legacy = page.RecordContext().layout == ERecordLayout::Legacy;
        pageBuffer.reserve((lastIndex + 1) * (legacy ? kLegacyPageBytes : kExtendedPageBytes));
        m_listActive = true;
        m_listTruncated = false;
    } else if (!m_listActive) {
        return false;  // a page of a list given up before
    }
    const size_t room = CDbDlg::kMasterFlagCount - listEntries;
    const size_t taken = std::min<size_t>(count, room);
    m_listTruncated = m_listTruncated || taken < count;
    const uint8_t* entries = packet.data + kPageHeaderSize;
    pageBuffer.insert(pageBuffer.end(), entries, entries + taken * stride);
    listEntries += taken;
    if (thisIndex == lastIndex) {
        m_listActive = false;
        return true;
    }
    if (packet.command == CMD_GET_MASTER_LIST) {
        m_dlg.PacketManager().SendGetMasterList(0, thisIndex + 1);
    } else {
        m_dlg.PacketManager().SendGetUserList(0, thisIndex + 1);
    }
    return false;
}

void CDBManagement::OnGetUserList(CPacket& packet) {
    if (m_dlg.dbDlg.listPurpose != CDbDlg::kShowList) {
        OnUserCount(packet);
        return;
    }
    if (CollectPage(packet, IDS_DB_USER_LIST_FAILED)) {
        OnUserListComplete();
    }
}

void CDBManagement::OnGetMasterList(CPacket& packet) {
    if (CollectPage(packet, IDS_DB_MASTER_LIST_FAILED)) {
        OnMasterListComplete();
    }
}

void CDBManagement::OnUserListComplete() {
    CDbDlg& page = m_dlg.dbDlg;
    const size_t stride = page.EntrySize();
    SortEntries(pageBuffer, stride, listEntries);
    page.userIds = pageBuffer;
    page.entrySize = stride;
    page.userCount = static_cast<int>(listEntries);
    std::fill(page.masterFlags.begin(), page.masterFlags.end(), uint8_t{0});
    ShowUserCount(static_cast<uint32_t>(listEntries));
    if (m_listTruncated) {
        m_dlg.ShowMessage(LoadString(IDS_DB_LIST_TOO_LONG));
    }
    DropList();
    m_dlg.PacketManager().SendGetMasterList(0, 0);
}

void CDBManagement::OnMasterListComplete() {
    CDbDlg& page = m_dlg.dbDlg;
    const size_t stride = page.EntrySize();
    page.masterIds = pageBuffer;
    page.masterCount = static_cast<int>(listEntries);
    std::set<std::string> masters;
    for (size_t i = 0; i < listEntries; ++i) {
        masters.insert(EntryText(page.masterIds, stride, i));
    }
    const size_t users = std::min(page.userIds.size() / page.entrySize, page.masterFlags.size());
    for (size_t i = 0; i < users; ++i) {
        page.masterFlags[i] = masters.count(EntryText(page.userIds, page.entrySize, i)) ? 1 : 0;
    }
    SOutcome list;
    list.kind = SOutcome::EKind::UserList;
    for (size_t i = 0; i < users; ++i) {
        list.ids.push_back(EntryText(page.userIds, page.entrySize, i));
        list.masters.push_back(page.masterFlags[i]);
    }
    m_dlg.Outcome(std::move(list));
    page.FillUserList();
    DropList();
}

void CDBManagement::OnUserCount(const CPacket& packet) {
    CDbDlg& page = m_dlg.dbDlg;
    if (!Accepted(packet, IDS_DB_USER_LIST_FAILED)) {
        return;
    }
    CByteReader reader(packet.data, std::min<size_t>(packet.dataSize, CPacket::kMaxData));
    uint16_t count = 0;
    if (!reader.U16BE(count)) {
        m_dlg.Fail(LoadString(IDS_DB_USER_LIST_FAILED));
        return;
    }
    if (page.listPurpose == CDbDlg::kCountAfterUpload) {
        m_dlg.Outcome(SOutcome(SOutcome::EKind::UserCount).Count(count));
        ShowUserCount(count);
        return;
    }
    m_dlg.records.OnUserCount(count);
}

// ---- Records ----

void CDBManagement::OnDownloadRecord(CPacket& packet) {
    m_dlg.records.OnDownloadRecord(packet);
}

void CDBManagement::OnUploadRecord(CPacket& packet) {
    m_dlg.records.OnUploadRecord(packet);
}

}  // namespace sondrix
