// The DataBase tab against the simulated module: lists, record files, deletion
// and authority, through the page, the packet manager and the answer handler.
#include <gtest/gtest.h>

#include <algorithm>

#include "files/record_file.h"
#include "files/record_profile.h"
#include "link/result_codes.h"
#include "support/database_fixture.h"

namespace sondrix {
namespace {

using test::Bytes;

class DatabaseTest : public test::CDatabaseFixture {
  protected:
    // Downloads every record with the given format radio; returns the files.
    std::vector<std::filesystem::path> DownloadAll(int formatRadio) {
        ui.QueuePopupClicks({CPopupRadioDlg::kAll, formatRadio}, true);
        Page().Click(CDbDlg::kDownload);
        Settle();
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        return files;
    }
    void OpenInHostList(const std::vector<std::filesystem::path>& files) {
        Page().Select(CDbDlg::kListType, CDbDlg::kListHost);
        std::vector<std::string> paths;
        for (const auto& file : files) {
            paths.push_back(file.string());
        }
        ui.QueueFiles(paths);
        Page().Click(CDbDlg::kOpen);
    }
};

std::vector<std::string> SortedIds(int count) {
    std::vector<std::string> ids;
    for (int n = 1; n <= count; ++n) {
        ids.push_back(std::to_string(n));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST_F(DatabaseTest, GetListFillsSortedRowsWithMasterFlagsOverSeveralPages) {
    Connect();
    module.UserDb().Seed(600);  // 16-byte entries: 256 a page, three pages
    for (const char* master : {"7", "300", "512"}) {
        User(master).authority = 1;
    }
    GetList();

    const std::vector<SSimRequest> pages = Sent(CMD_GET_USER_LIST);
    ASSERT_EQ(pages.size(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pages[i].param1, 0u);
        EXPECT_EQ(pages[i].param2, i);
    }
    ASSERT_EQ(Sent(CMD_GET_MASTER_LIST).size(), 1u);
    EXPECT_EQ(Column(CDbDlg::kColumnId), SortedIds(600));
    const std::vector<std::string> ids = Column(CDbDlg::kColumnId);
    const std::vector<std::string> authority = Column(CDbDlg::kColumnAuthority);
    for (size_t row = 0; row < ids.size(); ++row) {
        const bool master = ids[row] == "7" || ids[row] == "300" || ids[row] == "512";
        EXPECT_EQ(authority[row], master ? "MASTER" : "USER") << ids[row];
    }
    EXPECT_EQ(Page().rowCount, 600);
    EXPECT_EQ(Page().userCount, 600);
    EXPECT_EQ(Page().masterCount, 3);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "600");
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_TRUE(dlg.dbManagement.pageBuffer.empty()) << "released after the last page";
}

TEST_F(DatabaseTest, LegacyListUsesElevenByteEntriesAndCutsFullIds) {
    Connect("HLX-M09");
    module.Database().entriesPerPage = 4;
    module.UserDb().Seed(9);
    SSimUser longId;
    const std::string eleven = "12345678901";  // fills the whole entry, no terminating zero
    longId.id.assign(eleven.begin(), eleven.end());
    longId.authority = 1;
    longId.fingers = {SFinger{40, 2}};
    module.UserDb().Add(longId);
    GetList();

    EXPECT_EQ(Sent(CMD_GET_USER_LIST).size(), 3u);
    EXPECT_EQ(Column(CDbDlg::kColumnId), (std::vector<std::string>{"1", "1234567890", "2", "3", "4",
                                                                   "5", "6", "7", "8", "9"}));
    EXPECT_EQ(List().Row(1).cells[CDbDlg::kColumnAuthority], "MASTER");
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "10");
}

TEST_F(DatabaseTest, DownloadSelectedAndAllWriteRecordsThatLoadBack) {
    Connect();
    module.UserDb().Seed(5);
    User("2").authority = 1;
    User("3").password = {'4', '2'};
    GetList();
    Check({0, 2});
    Page().Click(CDbDlg::kDownload);  // the popup as it opens: selected items, Dravik Format
    Settle();

    EXPECT_FALSE(dlg.popupRadio.IsEnabled(CPopupRadioDlg::kDravikOld)) << "no old format here";
    EXPECT_FALSE(dlg.popupRadio.IsEnabled(CPopupRadioDlg::kQdxA));
    const std::vector<SSimRequest> asked = Sent(CMD_DOWNLOAD_RECORD);
    ASSERT_EQ(asked.size(), 2u);
    for (const SSimRequest& request : asked) {
        EXPECT_EQ(request.param1, 0u);
        EXPECT_EQ(request.param2, 0x20u);
        EXPECT_EQ(request.data.size(), 16u);
    }
    EXPECT_EQ(ui.LastBoxText(), "DB Downloading is completed!!");
    EXPECT_EQ(Line(), "DB Downloading is completed!!");
    EXPECT_EQ(test::FileNames(folder.Path()).size(), 2u);
    const SRecordContext context = Page().RecordContext();
    for (const char* id : {"1", "3"}) {
        SHostRecordRow row;
        ASSERT_EQ(LoadRecordFile(folder / (std::string(id) + ".rec"), context, row),
                  EFileStatus::Ok);
        EXPECT_EQ(row.record, module.Database().MakeRecord(User(id), 0x20));
        EXPECT_EQ(row.id, id);
        EXPECT_EQ(row.authority, "USER");
        EXPECT_EQ(row.time, "2016-01-01 00:00:00");
    }

    // "Download all items" ignores the check boxes and walks the module's records.
    module.ClearRequests();
    ui.ClearRecords();
    const auto files = DownloadAll(CPopupRadioDlg::kIso);
    ASSERT_EQ(Sent(CMD_GET_USER_LIST).size(), 1u);
    EXPECT_EQ(Sent(CMD_GET_USER_LIST)[0].param1, 1u);
    std::vector<uint32_t> modes;
    for (const SSimRequest& request : Sent(CMD_DOWNLOAD_RECORD)) {
        modes.push_back(request.param1);
        EXPECT_EQ(request.param2, 0x21u);
        EXPECT_TRUE(request.data.empty());
    }
    EXPECT_EQ(modes, (std::vector<uint32_t>{1, 2, 2, 2, 2}));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"DB Downloading is completed!!"});
    EXPECT_EQ(dlg.popupRadio.downloadOption, 0);
    ASSERT_EQ(files.size(), 5u);
    for (const SSimUser& user : module.UserDb().Users()) {
        SHostRecordRow row;
        ASSERT_EQ(LoadRecordFile(folder / (IdOf(user) + ".rec"), context, row), EFileStatus::Ok);
        EXPECT_EQ(row.record, module.Database().MakeRecord(user, 0x21));
        EXPECT_EQ(row.authority, user.authority ? "MASTER" : "USER");
    }
}

// Module, template mode, format radio, format code.
using SRoundTrip = std::tuple<const char*, int, int, uint8_t>;

class RecordRoundTrip : public DatabaseTest, public ::testing::WithParamInterface<SRoundTrip> {};

TEST_P(RecordRoundTrip, UploadOfDownloadedFilesRestoresAnEmptiedModule) {
    const auto [model, templateMode, radio, code] = GetParam();
    Connect(model, templateMode);
    module.UserDb().Seed(4);
    User("2").authority = 1;
    User("3").password = {'7', '7', '1'};
    User("3").securityLevel = 4;
    User("4").fingers.push_back(SFinger{4, 6});
    const std::vector<SSimUser> before = module.UserDb().Users();

    const auto files = DownloadAll(radio);
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(Sent(CMD_DOWNLOAD_RECORD)[0].param2, code);
    const SRecordProfile& profile = RecordProfileFor(Page().RecordContext());
    const bool oldForm = code == profile.downloadCodes[0] && profile.oldSize != 0;
    for (const auto& file : files) {
        const Bytes bytes = test::ReadBytes(file);
        const bool m28 = dlg.modelCode == kModelHlxM28;
        if (m28) {
            ASSERT_GE(bytes.size(), 2u);
            EXPECT_EQ(bytes[0], 0xF1);
            EXPECT_EQ(bytes[1], dlg.idLength - 1);
        }
        if (oldForm) {
            EXPECT_EQ(bytes.size(), profile.oldSize + (m28 ? 2 : 0));
        }
    }

    module.UserDb().Clear();
    module.ClearRequests();
    ui.ClearRecords();
    OpenInHostList(files);
    ASSERT_EQ(List().RowCount(), 4u);
    EXPECT_EQ(Column(CDbDlg::kColumnId), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(List().Row(1).cells[CDbDlg::kColumnAuthority], "MASTER");
    Page().Click(CDbDlg::kSelectAll);
    Page().Click(CDbDlg::kUpload);
    EXPECT_FALSE(Page().IsWindowEnabled()) << "the progress popup owns the page while it runs";
    Settle();

    const std::vector<SSimRequest> uploads = Sent(CMD_UPLOAD_RECORD);
    ASSERT_EQ(uploads.size(), 4u);
    for (size_t i = 0; i < uploads.size(); ++i) {
        EXPECT_EQ(uploads[i].param1, oldForm ? code : profile.downloadCodes[1]);
        EXPECT_EQ(uploads[i].data, Page().hostRows[i].record);
    }
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Upload completed!!"});
    ASSERT_EQ(Sent(CMD_GET_USER_LIST).size(), 1u);
    EXPECT_EQ(Sent(CMD_GET_USER_LIST)[0].param1, 1u);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "4");
    EXPECT_FALSE(dlg.popupProgress.Exists());
    EXPECT_TRUE(Page().IsWindowEnabled());

    ASSERT_EQ(module.UserDb().Count(), before.size());
    for (const SSimUser& original : before) {
        const SSimUser& restored = User(IdOf(original));
        EXPECT_EQ(restored.authority, original.authority);
        EXPECT_EQ(restored.fingers, original.fingers);
        if (!oldForm) {
            // Only the marked form carries these.
            EXPECT_EQ(restored.password, original.password);
            EXPECT_EQ(restored.securityLevel, original.securityLevel);
        }
        if (!oldForm || profile.hasTime) {
            EXPECT_EQ(restored.registered, original.registered);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, RecordRoundTrip,
    ::testing::Values(SRoundTrip{"HLX-M18", 0, CPopupRadioDlg::kDravik, 0x20},
                      SRoundTrip{"HLX-M28", 0, CPopupRadioDlg::kAnsi, 0x22},
                      SRoundTrip{"HLX-M09", 1, CPopupRadioDlg::kDravikOld, 0x02},
                      SRoundTrip{"HLX-M09", 2, CPopupRadioDlg::kIso, 0x13},
                      SRoundTrip{"HLX-M11", 2, CPopupRadioDlg::kDravikOld, 0x01},
                      SRoundTrip{"HLX-M06", 2, CPopupRadioDlg::kDravik, 0x11}));

TEST_F(DatabaseTest, ClosingTheProgressPopupAsksWhetherToQuit) {
    Connect();
    module.UserDb().Seed(3);
    const auto files = DownloadAll(CPopupRadioDlg::kDravik);
    module.UserDb().Clear();
    OpenInHostList(files);
    Page().Click(CDbDlg::kSelectAll);

    // No: the popup comes back and the run goes on.
    module.ClearRequests();
    ui.ClearRecords();
    Page().Click(CDbDlg::kUpload);
    dlg.popupProgress.Click(IDCANCEL);
    ui.QueueAnswer(EAnswer::No);
    Settle();
    EXPECT_EQ(Sent(CMD_UPLOAD_RECORD).size(), 3u);
    ASSERT_GE(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text,
              "Do you want to really quit updating process?\nIt would cause wrong operation.");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Warning);
    EXPECT_EQ(ui.LastBoxText(), "Upload completed!!");
    EXPECT_EQ(module.UserDb().Count(), 3u);

    // Yes: nothing more is sent.
    module.UserDb().Clear();
    module.ClearRequests();
    ui.ClearRecords();
    Page().Click(CDbDlg::kUpload);
    dlg.popupProgress.Click(IDCANCEL);
    ui.QueueAnswer(EAnswer::Yes);
    Settle();
    EXPECT_EQ(Sent(CMD_UPLOAD_RECORD).size(), 1u);
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{
                  "Do you want to really quit updating process?\nIt would cause wrong operation."});
    EXPECT_EQ(module.UserDb().Count(), 1u);
    EXPECT_TRUE(Page().IsWindowEnabled());
}

TEST_F(DatabaseTest, OpenLoadsPickedFilesUntilOneIsMissing) {
    Connect();
    module.UserDb().Seed(3);
    const auto files = DownloadAll(CPopupRadioDlg::kDravik);
    ASSERT_EQ(files.size(), 3u);
    const auto upper = folder / "4.REC";
    test::WriteBytes(upper, test::ReadBytes(files[0]));
    const auto bad = folder / "5.rec";
    test::WriteBytes(bad, Bytes(100, 0xC1));
    ui.ClearRecords();

    OpenInHostList({files[0], upper, bad, files[1], folder / "missing.rec", files[2]});
    const SFileDialog& dialog = ui.FileDialogs().back();
    EXPECT_TRUE(dialog.multiSelect);
    EXPECT_EQ(dialog.defaultExtension, "*.REC");
    EXPECT_EQ(dialog.filter,
              "Record Files(*.rec)|*.rec|Multi-Record Files(*.mrc)|*.mrc|All Files|*.*|");
    EXPECT_EQ(Column(CDbDlg::kColumnId), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Column(CDbDlg::kColumnTime),
              (std::vector<std::string>{"2016-01-01 00:00:00", "2016-01-01 00:00:00"}));
    EXPECT_EQ(Column(CDbDlg::kColumnSize)[0], std::to_string(Page().hostRows[0].Size()));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Not supported file!!", "Invalid file!!!",
                                                    "File is not existed!!"}));
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
    EXPECT_EQ(ui.Boxes()[1].icon, EIcon::Stop);
    EXPECT_EQ(Page().rowCount, 2);

    // Clear and a change of list type give up the rows with their records.
    Page().Click(CDbDlg::kClear);
    EXPECT_EQ(List().RowCount(), 0u);
    EXPECT_TRUE(Page().hostRows.empty());
    OpenInHostList({files[0]});
    Page().Select(CDbDlg::kListType, CDbDlg::kListDevice);
    EXPECT_EQ(List().Columns().size(), 3u);
    EXPECT_TRUE(Page().hostRows.empty());
    EXPECT_FALSE(Page().IsEnabled(CDbDlg::kUpload));
    EXPECT_TRUE(Page().IsEnabled(CDbDlg::kGetList));
}

TEST_F(DatabaseTest, DeleteRemovesCheckedRowsOneByOneThenRefreshes) {
    Connect();
    module.UserDb().Seed(6);
    GetList();

    // Nothing checked, or No to the question: nothing goes out.
    Page().Click(CDbDlg::kDelete);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"There is no selected item!!"});
    EXPECT_EQ(Line(), "There is no selected item!!");
    Check({1, 3, 4});
    ui.QueueAnswer(EAnswer::No);
    Page().Click(CDbDlg::kDelete);
    Settle();
    EXPECT_EQ(Sent(CMD_DELETE_USER).size(), 0u);
    EXPECT_EQ(ui.Boxes().back().text, "Are you sure to delete?");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Question);

    module.ClearRequests();
    ui.ClearRecords();
    Page().Click(CDbDlg::kDelete);
    Settle();
    std::vector<std::string> deleted;
    for (const SSimRequest& request : Sent(CMD_DELETE_USER)) {
        const std::vector<uint8_t> id = CSimUserDb::IdOfField(request.data);
        deleted.emplace_back(id.begin(), id.end());
    }
    EXPECT_EQ(deleted, (std::vector<std::string>{"2", "4", "5"}));
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"Are you sure to delete?", "Deletion succeeded!!"}));
    EXPECT_EQ(Column(CDbDlg::kColumnId), (std::vector<std::string>{"1", "3", "6"}));
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "3");
    EXPECT_EQ(Page().dbDeletion, 0);
}

TEST_F(DatabaseTest, FailedDeletionStopsTheRunAndLeavesNoStaleFlag) {
    Connect();
    module.UserDb().Seed(5);
    GetList();
    Check({1, 2, 3});
    module.UserDb().Remove(std::vector<uint8_t>{'3'});  // gone behind the list's back
    module.ClearRequests();
    Page().Click(CDbDlg::kDelete);
    Settle();
    EXPECT_EQ(Sent(CMD_DELETE_USER).size(), 2u) << "the run stops at the failure";
    EXPECT_EQ(ui.LastBoxText(), "Invalid ID!!!");
    EXPECT_EQ(Sent(CMD_GET_USER_LIST).size(), 0u) << "the list is not refreshed";
    EXPECT_EQ(module.UserDb().Count(), 3u);
    EXPECT_EQ(List().RowCount(), 5u);

    // A later deletion from another tab is that tab's own, not a step of the failed run.
    module.ClearRequests();
    ui.ClearRecords();
    dlg.PacketManager().SendDeleteUser("4");
    Settle();
    EXPECT_EQ(Sent(CMD_DELETE_USER).size(), 1u);
    EXPECT_EQ(Sent(CMD_GET_USER_LIST).size(), 0u);
    EXPECT_EQ(ui.LastBoxText(), "Deletion succeeded!!");
    EXPECT_EQ(module.UserDb().Count(), 2u);
}

TEST_F(DatabaseTest, SetAndResetMasterChangeCheckedRowsAndRefuseMixedSelections) {
    Connect();
    module.UserDb().Seed(5);
    User("5").authority = 1;
    GetList();
    Check({1, 2});
    Page().Click(CDbDlg::kSetMaster);
    Settle();
    ASSERT_EQ(Sent(CMD_SET_MASTER_AUTHORITY).size(), 2u);
    EXPECT_EQ(Sent(CMD_SET_MASTER_AUTHORITY)[0].param1, 1u);
    EXPECT_EQ(Column(CDbDlg::kColumnAuthority),
              (std::vector<std::string>{"USER", "MASTER", "MASTER", "USER", "MASTER"}));
    EXPECT_EQ(User("2").authority, 1);
    EXPECT_EQ(User("3").authority, 1);
    EXPECT_TRUE(ui.Boxes().empty());

    // A MASTER among the rows refuses Set Master, a USER refuses Reset Master.
    module.ClearRequests();
    Check({0});
    Page().Click(CDbDlg::kSetMaster);
    EXPECT_EQ(ui.LastBoxText(), "The selected record is MASTER!");
    EXPECT_EQ(Line(), "The selected record is MASTER!");
    Page().Click(CDbDlg::kResetMaster);
    EXPECT_EQ(ui.LastBoxText(), "The selected record is not MASTER!");
    Settle();
    EXPECT_TRUE(module.Requests().empty());

    // Reset with nothing checked: a plain box that ends in a full stop.
    Page().Click(CDbDlg::kSelectAll);
    Page().Click(CDbDlg::kSelectAll);
    Page().Click(CDbDlg::kResetMaster);
    EXPECT_EQ(ui.LastBoxText(), "There is no selected item.");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::None);

    Check({1, 2, 4});
    Page().Click(CDbDlg::kResetMaster);
    Settle();
    EXPECT_EQ(Sent(CMD_SET_MASTER_AUTHORITY).size(), 3u);
    EXPECT_EQ(Sent(CMD_SET_MASTER_AUTHORITY)[0].param1, 0u);
    EXPECT_EQ(Column(CDbDlg::kColumnAuthority), std::vector<std::string>(5, "USER"));
    for (const SSimUser& user : module.UserDb().Users()) {
        EXPECT_EQ(user.authority, 0) << IdOf(user);
    }
}

TEST_F(DatabaseTest, DeleteAllVariantsRemoveTheirAuthorityAndRefreshTheList) {
    Connect();
    module.UserDb().Seed(6);
    User("2").authority = 1;
    User("5").authority = 1;
    GetList();

    ui.QueueAnswer(EAnswer::No);
    Page().Click(CDbDlg::kDeleteAllMasters);
    Settle();
    EXPECT_EQ(Sent(CMD_DELETE_ALL).size(), 0u);

    Page().Click(CDbDlg::kDeleteAllMasters);
    Settle();
    ASSERT_EQ(Sent(CMD_DELETE_ALL).size(), 1u);
    EXPECT_EQ(Sent(CMD_DELETE_ALL)[0].param1, 2u);
    EXPECT_EQ(Column(CDbDlg::kColumnId), (std::vector<std::string>{"1", "3", "4", "6"}));
    EXPECT_EQ(ui.LastBoxText(), "Deletion succeeded!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Information);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "4");

    User("3").authority = 1;
    Page().Click(CDbDlg::kDeleteAllUsers);
    Settle();
    EXPECT_EQ(Sent(CMD_DELETE_ALL).back().param1, 1u);
    EXPECT_EQ(Column(CDbDlg::kColumnId), std::vector<std::string>{"3"});

    Page().Click(CDbDlg::kDeleteAll);
    Settle();
    EXPECT_EQ(Sent(CMD_DELETE_ALL).back().param1, 0u);
    EXPECT_EQ(List().RowCount(), 0u);
    EXPECT_EQ(module.UserDb().Count(), 0u);
    EXPECT_EQ(Page().dbDeletion, 0);

    // Delete All of another tab does not touch the DataBase list.
    module.UserDb().Seed(2);
    module.ClearRequests();
    dlg.PacketManager().SendCommand(CMD_DELETE_ALL, 0);
    Settle();
    EXPECT_EQ(Sent(CMD_DELETE_ALL).size(), 1u);
    EXPECT_EQ(Sent(CMD_GET_USER_LIST).size(), 0u);
    EXPECT_EQ(module.UserDb().Count(), 0u);
}

TEST_F(DatabaseTest, RefusalsSendNothing) {
    Connect();
    module.UserDb().Seed(3);
    GetList();
    module.ClearRequests();

    Page().Click(CDbDlg::kDownload);
    EXPECT_EQ(ui.LastBoxText(), "There is no selected item!!");
    EXPECT_EQ(Line(), "There is no selected item!!");
    Page().Click(CDbDlg::kSetMaster);
    EXPECT_EQ(ui.LastBoxText(), "There is no selected item!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);

    Check({0});
    ui.QueuePopupAnswer(false);
    Page().Click(CDbDlg::kDownload);

    dlg.ShowMessage({});
    Page().Select(CDbDlg::kListType, CDbDlg::kListHost);
    Page().Click(CDbDlg::kUpload);
    EXPECT_EQ(ui.LastBoxText(), "There is no selected item!!");
    EXPECT_EQ(Line(), "") << "Upload's refusal is a box only";
    ui.QueueFiles({});
    Page().Click(CDbDlg::kOpen);
    Settle();
    EXPECT_TRUE(module.Requests().empty());
    EXPECT_TRUE(test::FileNames(folder.Path()).empty());
}

TEST_F(DatabaseTest, ResetLeavesOnlyAnEmptyDeviceList) {
    Connect();
    module.UserDb().Seed(2);
    const auto files = DownloadAll(CPopupRadioDlg::kDravik);
    OpenInHostList(files);
    ASSERT_EQ(List().RowCount(), 2u);
    Page().Reset();
    EXPECT_EQ(Page().listType, CDbDlg::kListDevice);
    EXPECT_EQ(Page().Selection(CDbDlg::kListType), CDbDlg::kListDevice);
    EXPECT_EQ(List().RowCount(), 0u);
    EXPECT_EQ(List().Columns().size(), 3u);
    EXPECT_TRUE(Page().hostRows.empty());
    EXPECT_FALSE(Page().IsEnabled(CDbDlg::kOpen));
    EXPECT_TRUE(Page().IsEnabled(CDbDlg::kDeleteAll));
    EXPECT_FALSE(Page().IsChecked(CDbDlg::kSelectAll));
}

TEST_F(DatabaseTest, EnteringTheTabFetchesTheDeviceListOnly) {
    Connect();
    module.UserDb().Seed(3);
    dlg.SelectTab(CSondrixDlg::kTabDataBase);
    Settle();
    EXPECT_EQ(List().RowCount(), 3u);
    EXPECT_EQ(Sent(CMD_GET_SYSTEM_OPTION).size(), 0u) << "series 5 keeps its template mode";

    // The host list keeps its loaded records when the tab is shown again.
    const auto files = DownloadAll(CPopupRadioDlg::kDravik);
    GetList();
    OpenInHostList(files);
    module.ClearRequests();
    dlg.SelectTab(CSondrixDlg::kTabMain);
    dlg.SelectTab(CSondrixDlg::kTabDataBase);
    Settle();
    EXPECT_EQ(Sent(CMD_GET_USER_LIST).size(), 0u);
    EXPECT_EQ(Page().hostRows.size(), 3u);
}

}  // namespace
}  // namespace sondrix
