// An installed program may not write beside itself: downloaded records and
// the colour capture then go to the user's data folder, which is made on
// first use and named once on the message line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/database_fixture.h"

namespace sondrix {
namespace {

namespace fs = std::filesystem;

class UserFolderTest : public test::CDatabaseFixture {
  protected:
    void SetUp() override {
        Connect();
        module.UserDb().Seed(3);
        // What the program chooses when its own folder is read-only.
        dlg.writableFolder = {records, true};
        Page().SetRecordFolder(records);
        m_watch = std::make_unique<CDialogObserver>(dlg, [&](int id) {
            if (id == CSondrixDlg::kMessageLine) {
                lines.push_back(Line());
            }
        });
    }
    void DownloadRows(std::initializer_list<size_t> rows) {
        GetList();
        Check(rows);
        Page().Click(CDbDlg::kDownload);
        Settle();
    }
    int Namings() const {
        const std::string naming =
            "Downloaded records and colour images are kept in " + records.string();
        return static_cast<int>(std::count(lines.begin(), lines.end(), naming));
    }

    const fs::path records = folder / "data" / "sondrix" / "records";
    std::vector<std::string> lines;

  private:
    std::unique_ptr<CDialogObserver> m_watch;
};

TEST_F(UserFolderTest, RecordsAndTheColourCaptureGoToTheUserFolderNamedOnce) {
    ASSERT_FALSE(fs::exists(folder / "data"));
    DownloadRows({0, 2});
    // The end of each run says where the records went, where it stays.
    const std::string kept = "Downloaded records and colour images are kept in " + records.string();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"DB Downloading is completed!!\r\n" + kept});
    EXPECT_EQ(Line(), "DB Downloading is completed!! " + kept);
    std::vector<std::string> names = test::FileNames(records);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"1.rec", "3.rec"}));
    struct stat made {};
    ASSERT_EQ(::stat(records.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u) << "a user's data folder is private";
    EXPECT_EQ(Namings(), 1);

    // A second run and a colour capture: same folder, not named again on
    // its own.
    ui.ClearRecords();
    DownloadRows({1});
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"DB Downloading is completed!!\r\n" + kept});
    dlg.imageDlg.ColourCapture();
    loop.RunUntil([&] { return ui.Boxes().size() >= 2; }, 20000);
    EXPECT_EQ(ui.LastBoxText(), "Color Images are stored successfully!");
    names = test::FileNames(records);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"1.rec", "2.rec", "3.rec", "fp.bmp"}));
    EXPECT_EQ(fs::file_size(records / "fp.bmp"), 230454u);
    EXPECT_EQ(Namings(), 1);

    // The host list opens where the records are, and the page says where that is.
    Page().Select(CDbDlg::kListType, CDbDlg::kListHost);
    ui.QueueFiles({});
    Page().Click(CDbDlg::kOpen);
    ASSERT_FALSE(ui.FileDialogs().empty());
    EXPECT_EQ(ui.FileDialogs().back().folder, records.string());
    EXPECT_EQ(
        Page().Control(CDbDlg::kOpen).tooltip,
        "Load a user data from downloaded files.\nRecord files are kept in " + records.string());
}

TEST_F(UserFolderTest, AFolderThatCannotBeMadeLosesTheRecordsAndSaysWhy) {
    // Its parent is a plain file.
    std::ofstream(folder / "data", std::ios::binary) << "keep";
    DownloadRows({0, 1});
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"2 of 2 records could not be saved: first failure: " +
                                       records.string() + ": Not a directory"});
    EXPECT_EQ(Namings(), 0);

    ui.ClearRecords();
    dlg.imageDlg.ColourCapture();
    loop.RunUntil([&] { return !ui.Boxes().empty(); }, 20000);
    EXPECT_EQ(ui.LastBoxText(), "Cannot write the colour image file: " +
                                    (records / "fp.bmp").string() + " (Not a directory)");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
}

TEST_F(UserFolderTest, UploadEndsAtTheFirstRecordTheModuleRefuses) {
    DownloadRows({0, 1, 2});
    // The second file is damaged: right size and marker, no template.
    test::Bytes damaged = test::ReadBytes(records / "2.rec");
    std::fill(damaged.begin() + 100, damaged.end(), uint8_t{0});
    test::WriteBytes(records / "2.rec", damaged);
    module.UserDb().Clear();
    Page().Select(CDbDlg::kListType, CDbDlg::kListHost);
    ui.QueueFiles(
        {(records / "1.rec").string(), (records / "2.rec").string(), (records / "3.rec").string()});
    Page().Click(CDbDlg::kOpen);
    ASSERT_EQ(List().RowCount(), 3u);
    Page().Click(CDbDlg::kSelectAll);
    ui.ClearRecords();
    module.ClearRequests();
    Page().Click(CDbDlg::kUpload);
    Settle();
    EXPECT_EQ(Sent(CMD_UPLOAD_RECORD).size(), 2u) << "nothing after the refused record";
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Invalid Data!!!"});
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine),
              "Invalid Data!!! 1 of 3 records were uploaded; the module refused " +
                  (records / "2.rec").string() + ", and nothing more was sent.");
    EXPECT_EQ(module.UserDb().Count(), 1u);
    EXPECT_EQ(Sent(CMD_GET_USER_LIST).size(), 0u);
}

}  // namespace
}  // namespace sondrix
