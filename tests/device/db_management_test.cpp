// The database answers handed to the handler as the packet manager would,
// with crafted pages and records no well-behaved module sends.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"
#include "support/answer_packet.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

using test::Bytes;

// A list page: the entry count, two unused bytes, entries of `stride` bytes.
Bytes Page(const std::vector<std::string>& ids, size_t stride, int announced = -1) {
    const auto count = static_cast<uint16_t>(announced < 0 ? ids.size() : announced);
    Bytes data = {static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count), 0, 0};
    for (const std::string& id : ids) {
        Bytes entry(stride, 0);
        std::copy_n(id.begin(), std::min(id.size(), stride), entry.begin());
        data.insert(data.end(), entry.begin(), entry.end());
    }
    return data;
}

uint32_t Pages(uint32_t thisPage, uint32_t lastPage) {
    return (thisPage << 8) | lastPage;
}

class DbManagementTest : public ::testing::Test, protected test::CSimSession {
  protected:
    DbManagementTest() {
        dlg.OnInitDialog();
        dlg.dbDlg.SetRecordFolder(folder.Path());
    }

    CPacket& Answer(uint32_t command, uint32_t result, uint32_t param2, const Bytes& data = {}) {
        dlg.PacketManager().txPacket.command = 0;  // tells whether anything goes out
        return m_answer(command, result, param2, data);
    }
    void Hand(uint32_t command, uint32_t result, uint32_t param2, const Bytes& data = {}) {
        dlg.dbManagement.Handle(Answer(command, result, param2, data));
    }
    const CPacket& Sent() { return dlg.PacketManager().txPacket; }
    std::vector<std::string> Ids() {
        std::vector<std::string> ids;
        CListData& list = dlg.dbDlg.List(CDbDlg::kList);
        for (size_t row = 0; row < list.RowCount(); ++row) {
            ids.push_back(list.Row(row).cells[CDbDlg::kColumnId]);
        }
        return ids;
    }

    test::CTempFolder folder;

  private:
    test::CAnswerPacket m_answer;
};

TEST_F(DbManagementTest, ExtendedPagesCollectBackToBackAndSortAsSignedBytes) {
    dlg.idLength = 16;
    const std::string full = "ABCDEFGHIJKLMNOP";  // 16 characters, no terminating zero
    Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, Pages(0, 1), Page({"10", "2", "1"}, 16));
    EXPECT_EQ(Sent().command, CMD_GET_USER_LIST);
    EXPECT_EQ(Sent().param1, 0u);
    EXPECT_EQ(Sent().param2, 1u);
    EXPECT_EQ(dlg.dbManagement.pageBuffer.size(), 48u);

    Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, Pages(1, 1), Page({"\xE9t", full, "1"}, 16));
    EXPECT_EQ(Sent().command, CMD_GET_MASTER_LIST);
    EXPECT_EQ(dlg.dbDlg.userCount, 6);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "6");
    // Bytes above 0x7F are negative, so they come first; equal IDs stay side by side.
    EXPECT_EQ(std::string(dlg.dbDlg.userIds.begin(), dlg.dbDlg.userIds.begin() + 2), "\xE9t");

    Hand(CMD_GET_MASTER_LIST, RESULT_SUCCESS, Pages(0, 0), Page({"2", "\xE9t"}, 16));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"\xE9t", "1", "1", "10", "2", full.substr(0, 15)}));
    CListData& list = dlg.dbDlg.List(CDbDlg::kList);
    EXPECT_EQ(list.Row(0).cells[CDbDlg::kColumnAuthority], "MASTER");
    EXPECT_EQ(list.Row(1).cells[CDbDlg::kColumnAuthority], "USER");
    EXPECT_EQ(list.Row(4).cells[CDbDlg::kColumnAuthority], "MASTER");
    EXPECT_TRUE(dlg.dbManagement.pageBuffer.empty());
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(DbManagementTest, LegacyListsUseElevenBytesWhateverTheIdLength) {
    dlg.moduleSeries = 5;
    dlg.emulationMode = 2;  // legacy layout with a 10-byte ID field in requests
    dlg.idLength = 10;
    Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, Pages(0, 0), Page({"1234567890", "5"}, 11));
    Hand(CMD_GET_MASTER_LIST, RESULT_SUCCESS, Pages(0, 0), Page({"1234567890"}, 11));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"1234567890", "5"}));
    EXPECT_EQ(dlg.dbDlg.masterFlags[0], 1);
    EXPECT_EQ(dlg.dbDlg.masterFlags[1], 0);
}

TEST_F(DbManagementTest, PagesThatDoNotHoldWhatTheyAnnounceEndTheList) {
    dlg.idLength = 16;
    Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, Pages(0, 1), Page({"1", "2"}, 16, 3));
    EXPECT_EQ(Sent().command, 0u);
    EXPECT_EQ(ui.LastBoxText(), "Get fingerprint list failed!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_TRUE(dlg.dbManagement.pageBuffer.empty());

    // The rest of a list given up is not taken for a list of its own.
    Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, Pages(1, 1), Page({"3"}, 16));
    EXPECT_EQ(Sent().command, 0u);
    EXPECT_EQ(dlg.dbDlg.userCount, 0);

    ui.ClearRecords();
    Hand(CMD_GET_MASTER_LIST, RESULT_SUCCESS, Pages(2, 1), Page({"3"}, 16));
    EXPECT_EQ(ui.LastBoxText(), "Get master list failed!!") << "this page lies past the last";
    Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, Pages(0, 0), {0x00});
    EXPECT_EQ(ui.LastBoxText(), "Get fingerprint list failed!!") << "no entry count";
}

TEST_F(DbManagementTest, ListFailuresHaveTheirOwnTextsAndOthersTheCommonReport) {
    Hand(CMD_GET_USER_LIST, RESULT_FAILED, 0);
    Hand(CMD_GET_MASTER_LIST, RESULT_FAILED, 0);
    Hand(CMD_GET_USER_LIST, RESULT_CANCELED, 0);
    Hand(CMD_GET_USER_LIST, RESULT_NOT_MASTER_MODE, 0);
    std::vector<std::string> texts;
    for (const auto& box : ui.Boxes()) {
        texts.push_back(box.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Get fingerprint list failed!!", "Get master list failed!!",
                                        "Canceled!!!", "Not Master Mode!!!"}));
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "Not Master Mode!!!");
    EXPECT_EQ(Sent().command, 0u);
}

TEST_F(DbManagementTest, ListsLongerThanTheMasterFlagsAreCutAndSaySo) {
    dlg.moduleSeries = 3;
    std::vector<std::string> ids;
    for (int i = 0; i < 5000; ++i) {
        ids.push_back(std::to_string(100000 + i));
    }
    for (uint32_t page = 0; page < 7; ++page) {
        Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, Pages(page, 6), Page(ids, 11));
    }
    EXPECT_EQ(Sent().command, CMD_GET_MASTER_LIST);
    EXPECT_EQ(dlg.dbDlg.userCount, 30000);
    EXPECT_EQ(dlg.dbDlg.userIds.size(), 30000u * 11);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "The list shows the first 30000 users only.");
}

TEST_F(DbManagementTest, DeleteAllRefreshesTheListOnlyForTheDataBaseTab) {
    dlg.dbDlg.dbDeletion = 0;
    Hand(CMD_DELETE_ALL, RESULT_SUCCESS, 7);
    EXPECT_EQ(Sent().command, 0u);
    EXPECT_EQ(ui.LastBoxText(), "Deletion succeeded!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Information);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "7");

    dlg.dbDlg.dbDeletion = 1;
    Hand(CMD_DELETE_ALL, RESULT_FAILED, 0);
    EXPECT_EQ(ui.LastBoxText(), "Deletion failed!!");
    EXPECT_EQ(dlg.dbDlg.dbDeletion, 0) << "a failed Delete All leaves no flag behind";

    dlg.dbDlg.dbDeletion = 1;
    Hand(CMD_DELETE_ALL, RESULT_SUCCESS, 0);
    EXPECT_EQ(Sent().command, CMD_GET_USER_LIST);
    EXPECT_EQ(dlg.dbDlg.dbDeletion, 0);
}

TEST_F(DbManagementTest, DeletionOfAnotherTabEmptiesItsIdAndShowsTheCount) {
    dlg.basicDlg.SetText(CBasicDlg::kDeletionId, "12");
    dlg.basicDlg.Enable(CBasicDlg::kDelete, true);
    Hand(CMD_DELETE_USER, RESULT_SUCCESS, 41);
    EXPECT_EQ(dlg.basicDlg.Text(CBasicDlg::kDeletionId), "");
    EXPECT_FALSE(dlg.basicDlg.IsEnabled(CBasicDlg::kDelete));
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "41");
    EXPECT_EQ(Sent().command, 0u);
    Hand(CMD_DELETE_USER, RESULT_CANCELED, 0);
    EXPECT_EQ(ui.LastBoxText(), "Canceled!!!");
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "Canceled!!!");
}

TEST_F(DbManagementTest, DownloadAllGoesOnPastARecordThatCannotBeSavedAndSaysSoAtTheEnd) {
    dlg.idLength = 16;
    dlg.dbDlg.formatChoice = 2;
    dlg.records.DownloadAll(*dlg.dbDlg.DownloadCode(), folder.Path());
    Hand(CMD_GET_USER_LIST, RESULT_SUCCESS, 2, {0x00, 0x02, 0, 0});
    EXPECT_EQ(Sent().command, CMD_DOWNLOAD_RECORD);
    EXPECT_EQ(Sent().param1, 1u);
    EXPECT_EQ(Sent().param2, 0x21u);

    Bytes hostile(300, 0);
    hostile[0] = 0xC3;
    test::Put(hostile, 5, "../x");
    Hand(CMD_DOWNLOAD_RECORD, RESULT_SUCCESS, 0, hostile);
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine),
              "This ID cannot be a file name; its record was not saved: ../x");
    EXPECT_EQ(Sent().command, CMD_DOWNLOAD_RECORD);
    EXPECT_EQ(Sent().param1, 2u);

    Bytes good(300, 0);
    good[0] = 0xC3;
    test::Put(good, 5, "77");
    Hand(CMD_DOWNLOAD_RECORD, RESULT_SUCCESS, 0, good);
    EXPECT_EQ(Sent().command, 0u);
    EXPECT_EQ(
        ui.LastBoxText(),
        "1 of 2 records could not be saved: first failure: ../x: the ID cannot be a file name");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_EQ(test::FileNames(folder.Path()), std::vector<std::string>{"77.rec"});
    EXPECT_EQ(test::ReadBytes(folder / "77.rec"), good);
}

// An upload ends at the first record the module refuses: its text in a stop
// box, what happened on the message line, and nothing more sent.
TEST_F(DbManagementTest, AnUploadEndsAtTheFirstRecordTheModuleRefuses) {
    std::vector<SHostRecordRow> rows(3);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].path = "/records/" + std::to_string(i + 5) + ".rec";
        rows[i].record = Bytes(300, static_cast<uint8_t>(i));
    }
    dlg.popupProgress.Create(&dlg.dbDlg);
    dlg.records.Upload(rows, {});
    EXPECT_EQ(Sent().command, CMD_UPLOAD_RECORD);
    Hand(CMD_UPLOAD_RECORD, RESULT_SUCCESS, 0);
    EXPECT_EQ(Sent().command, CMD_UPLOAD_RECORD);
    EXPECT_EQ(Sent().data[0], 1) << "the second record";
    Hand(CMD_UPLOAD_RECORD, RESULT_INVALID_DATA, 0);
    EXPECT_FALSE(dlg.popupProgress.Exists());
    EXPECT_EQ(ui.LastBoxText(), "Invalid Data!!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine),
              "Invalid Data!!! 1 of 3 records were uploaded; the module refused /records/6.rec, "
              "and nothing more was sent.");
    EXPECT_EQ(Sent().command, 0u) << "neither the third record nor the user count";

    // Cancel ends a run the same way.
    dlg.records.Upload(rows, {});
    Hand(CMD_UPLOAD_RECORD, RESULT_CANCELED, 0);
    EXPECT_EQ(ui.LastBoxText(), ResultText(RESULT_CANCELED));
    EXPECT_EQ(Sent().command, 0u);
    EXPECT_TRUE(dlg.records.uploads.empty());
}

TEST_F(DbManagementTest, AuthorityFailureStopsTheRunWhereItIs) {
    CListData& list = dlg.dbDlg.List(CDbDlg::kList);
    for (const char* id : {"1", "2", "3"}) {
        list.AppendRow({{"", id, "USER"}, true, {}});
    }
    dlg.dbDlg.rowsToChange = 3;
    dlg.dbDlg.setOrReset = 1;
    dlg.dbDlg.changeRow = 0;
    Hand(CMD_SET_MASTER_AUTHORITY, RESULT_SUCCESS, 0);
    EXPECT_EQ(Sent().command, CMD_SET_MASTER_AUTHORITY);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Sent().data)), "2");
    EXPECT_EQ(dlg.dbDlg.changeRow, 1);
    Hand(CMD_SET_MASTER_AUTHORITY, RESULT_FAILED, 0);
    EXPECT_EQ(ui.LastBoxText(), "Cannot set or reset master authority!!");
    EXPECT_EQ(Sent().command, 0u);
    EXPECT_EQ(list.Row(0).cells[CDbDlg::kColumnAuthority], "MASTER");
    EXPECT_EQ(list.Row(1).cells[CDbDlg::kColumnAuthority], "USER");
}

}  // namespace
}  // namespace sondrix
