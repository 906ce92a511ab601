// Host files that cannot be written or read as expected: downloads into a
// folder that takes no files, a disk that fills up (RLIMIT_FSIZE), and a
// record file that changes size while it is read. Each is reported, and no
// file that was there before is destroyed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "files/files_test_support.h"
#include "sim/sim_extras.h"
#include "support/database_fixture.h"
#include "support/file_size_limit.h"

namespace sondrix {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path) {
    const test::Bytes bytes = test::ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

class FaultFilesTest : public test::CDatabaseFixture {
  protected:
    // Downloads the records of the rows given, as the page's popup offers it.
    void DownloadRows(std::initializer_list<size_t> rows) {
        GetList();
        Check(rows);
        ui.ClearRecords();
        Page().Click(CDbDlg::kDownload);
        Settle();
    }
    std::vector<std::string> BoxesStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& text : BoxTexts()) {
            if (text.rfind(prefix, 0) == 0) {
                found.push_back(text);
            }
        }
        return found;
    }
    // Downloads the whole module log into `path`; returns the last box.
    std::string DownloadLog(const fs::path& path) {
        ui.ClearRecords();
        ui.QueueAnswer(EAnswer::Yes);
        ui.QueueFiles({path.string()});
        dlg.userDlg.Click(CUserDlg::kLogDownload);
        loop.RunUntil([&] { return ui.Boxes().size() >= 2; }, 20000);
        return ui.LastBoxText();
    }
};

constexpr const char* kWriteFailed = "The record file could not be written: ";

TEST_F(FaultFilesTest, RecordDownloadIntoAFolderThatTakesNoFilesEndsWithTheCountNotSuccess) {
    Connect();
    module.UserDb().Seed(3);
    // A folder below a plain file cannot exist, for root too.
    WriteText(folder / "plain", "keep");
    Page().SetRecordFolder(folder / "plain" / "records");
    std::vector<std::string> lines;
    CDialogObserver watch(dlg, [&](int id) {
        if (id == CSondrixDlg::kMessageLine) {
            lines.push_back(Line());
        }
    });
    DownloadRows({0, 2});
    // Each lost record on the message line, one stop box at the end.
    const std::string first = (folder / "plain" / "records" / "1.rec").string();
    EXPECT_EQ(lines[0], kWriteFailed + first + " (Not a directory)");
    EXPECT_EQ(lines[1], kWriteFailed + (folder / "plain" / "records" / "3.rec").string() +
                            " (Not a directory)");
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text,
              "2 of 2 records could not be saved: first failure: " + first + ": Not a directory");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    EXPECT_EQ(Line(), ui.Boxes()[0].text);
    EXPECT_EQ(ReadText(folder / "plain"), "keep");
    EXPECT_EQ(dlg.transferBusy, 0);

    // The next run into a good folder is a plain success again.
    Page().SetRecordFolder(folder.Path());
    DownloadRows({1});
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"DB Downloading is completed!!"});

    // And a folder without write permission, where the file system enforces
    // it (root may write anyway).
    const fs::path locked = folder / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(locked.c_str(), W_OK) != 0) {
        Page().SetRecordFolder(locked);
        DownloadRows({1});
        EXPECT_EQ(BoxesStartingWith("1 of 1 records could not be saved: first failure: " +
                                    (locked / "2.rec").string() + ": Permission denied")
                      .size(),
                  1u);
        EXPECT_TRUE(fs::is_empty(locked));
    }
    fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(FaultFilesTest, FullDiskKeepsTheRecordFileThatWasThere) {
    Connect();
    module.UserDb().Seed(3);
    const fs::path old = folder / "1.rec";
    WriteText(old, "the record saved last week");
    {
        const test::CFileSizeLimit full(64);  // every record is larger
        DownloadRows({0});
    }
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"1 of 1 records could not be saved: first failure: " +
                                       (folder / "1.rec").string() + ": File too large"});
    EXPECT_EQ(ReadText(old), "the record saved last week");
    EXPECT_EQ(test::FileNames(folder.Path()).size(), 1u) << "no temporary file left behind";
}

TEST_F(FaultFilesTest, FullDiskKeepsTheLogFileThatWasThere) {
    Connect();
    const fs::path old = folder / "module.log";
    WriteText(old, "last month's log\r\n");
    {
        const test::CFileSizeLimit full(64);
        EXPECT_EQ(DownloadLog(old).rfind("Cannot write the log file", 0), 0u);
    }
    EXPECT_EQ(ReadText(old), "last month's log\r\n");
    EXPECT_EQ(test::FileNames(folder.Path()).size(), 1u);
    // With room again the same download replaces it.
    EXPECT_EQ(DownloadLog(old), "Log data were saved successfully!!");
    EXPECT_NE(ReadText(old), "last month's log\r\n");
}

TEST_F(FaultFilesTest, RecordFileThatChangesSizeWhileReadIsReportedAndNotLoaded) {
    Connect();
    // A file whose length on opening is not what reading gives: procfs
    // reports 0 bytes and then produces text.
    const fs::path growing = folder / "growing.rec";
    fs::create_symlink("/proc/self/status", growing);
    Page().Select(CDbDlg::kListType, CDbDlg::kListHost);
    ui.QueueFiles({growing.string()});
    Page().Click(CDbDlg::kOpen);
    EXPECT_EQ(ui.LastBoxText(), "The file could not be read: " + growing.string());
    EXPECT_EQ(List().RowCount(), 0u);
}

}  // namespace
}  // namespace sondrix
