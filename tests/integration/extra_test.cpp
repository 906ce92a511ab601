// The Extra Functions tab against the simulated module: custom data, the
// clock, GPIO and the module log, through the page, the packet manager, the
// handlers and the module on virtual time.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <map>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_extras.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

using test::Bytes;
using Page = CUserDlg;

class ExtraTest : public ::testing::Test, protected test::CSimSession {
  protected:
    void Connect(const char* model = "HLX-M18") {
        ASSERT_TRUE(ConnectTo(model));
        Forget();
    }
    bool WaitForBox(const std::string& text) {
        return loop.RunUntil([&] { return ui.LastBoxText() == text; }, 10000);
    }
    // Runs until the module has received `count` requests of `command`.
    bool WaitForRequests(uint32_t command, size_t count) {
        return loop.RunUntil([&] { return module.RequestCount(command) >= count; }, 10000);
    }
    const SSimRequest& LastRequest() const { return module.Requests().back(); }

    CUserDlg& page = dlg.userDlg;
};

// Custom data, the clock, GPIO and log deletion are behind the master
// credential: the tab opens only once the module has let the person in.
TEST_F(ExtraTest, TheTabOpensOnlyInMasterMode) {
    Connect();
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabExtra);
    EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabAuthUser);
    EXPECT_EQ(ui.LastBoxText(), "To access this menu, master authority is essentially required.");

    dlg.imageDlg.Click(CImageDlg::kEnterMaster);
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.masterMode == 1; }, 5000));
    EXPECT_EQ(module.RequestCount(CMD_ENTER_MASTER_MODE), 1u);
    ui.ClearRecords();
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabExtra);
    EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabExtra);
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(ExtraTest, CustomDataIsWrittenThenReadBack) {
    Connect();
    page.Type(Page::kWriteAddress, "100");
    page.Type(Page::kWriteData, "ABC ");
    EXPECT_EQ(page.Text(Page::kWriteSize), "3") << "a space typed last is not counted";
    page.Click(Page::kWriteButton);
    ASSERT_TRUE(WaitForBox("Write custom data succeeded!!"));
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Information);
    EXPECT_EQ(LastRequest().param1, 100u);
    EXPECT_EQ(LastRequest().param2, 3u);
    EXPECT_EQ(LastRequest().data, (Bytes{'A', 'B', 'C'}));
    const auto& area = module.Extras().CustomData();
    EXPECT_EQ(Bytes(area.begin() + 99, area.begin() + 104), (Bytes{0, 'A', 'B', 'C', 0}));

    page.Type(Page::kReadAddress, "100");
    page.Type(Page::kReadSize, "3");
    page.Click(Page::kReadButton);
    ASSERT_TRUE(loop.RunUntil([&] { return page.Text(Page::kReadData) == "ABC"; }, 5000));

    // A block that runs past the area is refused by the module.
    page.Type(Page::kWriteAddress, "8190");
    page.Click(Page::kWriteButton);
    ASSERT_TRUE(WaitForBox("Write custom data failed!!"));
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    page.Type(Page::kReadAddress, "8000");
    page.Type(Page::kReadSize, "256");
    page.Click(Page::kReadButton);
    ASSERT_TRUE(WaitForBox("Read custom data failed!!"));

    page.Click(Page::kDeleteCustom);
    ASSERT_TRUE(WaitForBox("Delete custom block succeeded!!"));
    EXPECT_TRUE(std::all_of(area.begin(), area.end(), [](uint8_t b) { return b == 0; }));
    for (int id : {Page::kReadAddress, Page::kReadSize, Page::kWriteAddress, Page::kWriteSize}) {
        EXPECT_EQ(page.Text(id), "0") << id;
    }
    EXPECT_EQ(page.Text(Page::kReadData), "");
    EXPECT_EQ(page.Text(Page::kWriteData), "");
}

TEST_F(ExtraTest, AddressesAndSizesOutOfRangeAreResetAndNotSent) {
    Connect();
    page.Type(Page::kReadSize, "300");
    page.Click(Page::kReadButton);
    EXPECT_EQ(page.Text(Page::kReadSize), "0");
    page.Type(Page::kReadAddress, "8192");
    page.Type(Page::kReadSize, "4");
    page.Click(Page::kReadButton);
    EXPECT_EQ(page.Text(Page::kReadAddress), "0");
    EXPECT_EQ(page.Text(Page::kReadSize), "4");

    page.Type(Page::kWriteData, "xyz");
    page.Type(Page::kWriteAddress, "99999999999999");
    page.Click(Page::kWriteButton);
    EXPECT_EQ(page.Text(Page::kWriteAddress), "0");
    // Nothing to write: an empty text, or one that is a single space.
    page.Type(Page::kWriteData, " ");
    EXPECT_EQ(page.Text(Page::kWriteSize), "0");
    page.Click(Page::kWriteButton);
    loop.RunFor(200);
    EXPECT_EQ(module.RequestCount(CMD_READ_CUSTOM_DATA), 0u);
    EXPECT_EQ(module.RequestCount(CMD_WRITE_CUSTOM_DATA), 0u);
    EXPECT_TRUE(ui.Boxes().empty());

    // The address edits take digits only; an emptied one reads 0.
    page.Type(Page::kReadAddress, "12");
    page.Type(Page::kReadAddress, "12x");
    EXPECT_EQ(page.Text(Page::kReadAddress), "12");
    page.Type(Page::kReadAddress, "");
    EXPECT_EQ(page.Text(Page::kReadAddress), "0");
    EXPECT_EQ(page.readAddress, 0);
}

struct STimeCase {
    const char* fields[6];
    const char* message;
};

TEST_F(ExtraTest, ManualTimeIsCheckedFieldByFieldInOrder) {
    Connect();
    EXPECT_FALSE(page.IsEnabled(Page::kYear));
    page.Click(Page::kManualInput);
    ASSERT_TRUE(page.IsEnabled(Page::kYear));
    EXPECT_EQ(page.Text(Page::kYear).size(), 4u) << "the host time fills the fields";

    const STimeCase cases[] = {
        {{"20", "", "", "", "", ""}, "Input Year!!! (Range: 2000 ~ 2100)"},
        {{"1999", "", "", "", "", ""}, "Input Month!!! (Range: 1 ~ 12)"},
        {{"1999", "13", "", "", "", ""}, "Input Day!!! (Range: 1 ~ 31)"},
        {{"1999", "13", "40", "", "", ""}, "Input Hour!!! (Range: 0 ~ 23)"},
        {{"1999", "13", "40", "24", "", ""}, "Input Minute!!! (Range: 0 ~ 59)"},
        {{"1999", "13", "40", "24", "60", ""}, "Input Second!!! (Range: 0 ~ 59)"},
        {{"1999", "13", "40", "24", "60", "60"}, "Wrong Year!!! (Range: 2000 ~ 2100)"},
        {{"2101", "13", "40", "24", "60", "60"}, "Wrong Year!!! (Range: 2000 ~ 2100)"},
        {{"2016", "13", "40", "24", "60", "60"}, "Wrong Month!!! (Range: 1 ~ 12)"},
        {{"2016", "00", "40", "24", "60", "60"}, "Wrong Month!!! (Range: 1 ~ 12)"},
        {{"2016", "02", "30", "24", "60", "60"}, "Wrong Day!!! (Range: 1 ~ 29)"},
        {{"2100", "02", "29", "24", "60", "60"}, "Wrong Day!!! (Range: 1 ~ 28)"},
        {{"2023", "02", "29", "24", "60", "60"}, "Wrong Day!!! (Range: 1 ~ 28)"},
        {{"2016", "04", "31", "24", "60", "60"}, "Wrong Day!!! (Range: 1 ~ 30)"},
        {{"2016", "12", "00", "24", "60", "60"}, "Wrong Day!!! (Range: 1 ~ 31)"},
        {{"2016", "12", "31", "24", "60", "60"}, "Wrong Hour!!! (Range: 0 ~ 23)"},
        {{"2016", "12", "31", "23", "60", "60"}, "Wrong Minute!!! (Range: 0 ~ 59)"},
        {{"2016", "12", "31", "23", "59", "60"}, "Wrong Second!!! (Range: 0 ~ 59)"},
    };
    for (const STimeCase& c : cases) {
        for (size_t i = 0; i < Page::kManualEdits.size(); ++i) {
            page.Type(Page::kManualEdits[i], c.fields[i]);
        }
        ui.ClearRecords();
        page.Click(Page::kSetTime);
        ASSERT_EQ(ui.Boxes().size(), 1u) << c.message;
        EXPECT_EQ(ui.Boxes()[0].text, c.message);
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    }
    loop.RunFor(200);
    EXPECT_EQ(module.RequestCount(CMD_SET_TIME), 0u);

    // A letter empties its field with a plain box.
    ui.ClearRecords();
    page.Type(Page::kHour, "1a");
    EXPECT_EQ(ui.LastBoxText(), "Please input the numeral character only.");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::None);
    EXPECT_EQ(page.Text(Page::kHour), "");

    // 2000 is a leap year although it ends in 00.
    const char* leap[6] = {"2000", "02", "29", "23", "59", "59"};
    for (size_t i = 0; i < Page::kManualEdits.size(); ++i) {
        page.Type(Page::kManualEdits[i], leap[i]);
    }
    page.Click(Page::kSetTime);
    ASSERT_TRUE(WaitForBox("Set Time succeeded!!!"));
    EXPECT_EQ(LastRequest().data, (Bytes{0x20, 0x00, 0x02, 0x29, 0x23, 0x59, 0x59, 0x00}));

    page.Click(Page::kManualInput);
    EXPECT_FALSE(page.IsEnabled(Page::kYear));
}

TEST_F(ExtraTest, SetTimeFromManualFieldsMovesTheModuleClockAndGetTimeShowsIt) {
    Connect();
    page.Click(Page::kManualInput);
    const char* fields[6] = {"2024", "02", "29", "10", "20", "30"};
    for (size_t i = 0; i < Page::kManualEdits.size(); ++i) {
        page.Type(Page::kManualEdits[i], fields[i]);
    }
    page.Click(Page::kSetTime);
    ASSERT_TRUE(WaitForBox("Set Time succeeded!!!"));
    std::tm set{};
    set.tm_year = 2024 - 1900;
    set.tm_mon = 1;
    set.tm_mday = 29;
    set.tm_hour = 10;
    set.tm_min = 20;
    set.tm_sec = 30;
    EXPECT_NEAR(static_cast<double>(module.ClockOffsetSeconds()),
                static_cast<double>(timegm(&set) - LocalWallSeconds()), 2.0);

    page.Click(Page::kGetTime);
    ASSERT_TRUE(loop.RunUntil([&] { return !page.Text(Page::kModuleTime).empty(); }, 5000));
    EXPECT_EQ(page.Text(Page::kModuleTime).substr(0, 17), "2024-02-29 10:20:");
    EXPECT_EQ(page.moduleYear, 2024);
    EXPECT_EQ(page.moduleDay, 29);
    EXPECT_GE(page.moduleSecond, 30);
    EXPECT_LE(page.moduleSecond, 33) << "only a moment passes on the wall clock";
}

TEST_F(ExtraTest, ClockDisplayFollowsTheHostAndSetTimeSendsItsLastTick) {
    Connect();
    std::tm local{};
    local.tm_year = 2016 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 7;
    local.tm_hour = 14;
    local.tm_min = 5;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    std::time_t now = std::mktime(&local);
    page.hostClock = [&now] { return now; };
    dlg.masterMode = 1;
    dlg.SelectTab(CSondrixDlg::kTabExtra);
    ASSERT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabExtra);
    EXPECT_EQ(page.Text(Page::kPcTime), "2016-03-07 14:05:09");
    EXPECT_EQ(page.Text(Page::kYear), "2016");
    EXPECT_EQ(page.Text(Page::kMonth), "03");
    EXPECT_EQ(page.Text(Page::kSecond), "09");

    now += 61;
    loop.RunFor(Page::kClockPeriodMs + 10);
    EXPECT_EQ(page.Text(Page::kPcTime), "2016-03-07 14:06:10");
    EXPECT_EQ(page.Text(Page::kMinute), "05") << "a tick leaves the manual fields alone";
    now += 1;
    loop.RunFor(Page::kClockPeriodMs);
    EXPECT_EQ(page.Text(Page::kPcTime), "2016-03-07 14:06:11");

    now += 100;  // not yet seen by a tick: Set Time sends the last tick's time
    page.Click(Page::kSetTime);
    ASSERT_TRUE(WaitForRequests(CMD_SET_TIME, 1));
    EXPECT_EQ(LastRequest().data, (Bytes{0x20, 0x16, 0x03, 0x07, 0x14, 0x06, 0x11, 0x00}));
    ASSERT_TRUE(WaitForBox("Set Time succeeded!!!"));
}

TEST_F(ExtraTest, GpioFunctionsAreSentAsTheirCodesAndPinsCanBeTested) {
    Connect();
    ASSERT_EQ(page.Control(Page::kGpioConfigFunction).items[15], "Output FP Status");
    page.Select(Page::kGpioConfigPort, 3);
    page.Select(Page::kGpioConfigFunction, 15);
    page.Click(Page::kGpioConfigSet);
    ASSERT_TRUE(WaitForBox("Set system option succeeded!!"));
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::None);
    EXPECT_EQ(LastRequest().param1, 3u);
    EXPECT_EQ(LastRequest().param2, 134u);
    EXPECT_EQ(module.Extras().GpioFunction(3), 134u);

    std::vector<uint32_t> codes;
    page.Select(Page::kGpioConfigPort, 7);
    for (int entry = 0; entry < static_cast<int>(Page::kGpioFunctionCount); ++entry) {
        page.Select(Page::kGpioConfigFunction, entry);
        page.Click(Page::kGpioConfigSet);
        ASSERT_TRUE(WaitForRequests(CMD_SET_GPIO_CONFIG, codes.size() + 2));
        codes.push_back(LastRequest().param2);
    }
    EXPECT_EQ(codes, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 128, 129, 130, 131, 132, 133,
                                            134, 135, 136, 255}));
    EXPECT_EQ(module.Extras().GpioFunction(7), 255u);
    loop.RunFor(200);
    EXPECT_EQ(ui.Boxes().size(), 1 + Page::kGpioFunctionCount);
    EXPECT_EQ(ui.LastBoxText(), "Set system option succeeded!!");

    auto test = [&](int port, int action) {
        ui.ClearRecords();
        const size_t before = module.RequestCount(CMD_GPIO_TEST);
        page.Select(Page::kGpioTestPort, port);
        page.Select(Page::kGpioTestFunction, action);
        page.Click(Page::kGpioTestSet);
        EXPECT_TRUE(WaitForRequests(CMD_GPIO_TEST, before + 1));
        loop.RunFor(200);
        return LastRequest().param2;
    };
    EXPECT_EQ(test(3, 1), 1u);  // High
    EXPECT_TRUE(ui.Boxes().empty()) << "driving a pin shows nothing";
    EXPECT_EQ(test(3, 0), 256u);  // Read
    EXPECT_EQ(ui.LastBoxText(), "The value of selected GPIO is \"1\"");
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "The value of selected GPIO is \"1\"");
    EXPECT_EQ(test(3, 2), 0u);  // Low
    test(3, 0);
    EXPECT_EQ(ui.LastBoxText(), "The value of selected GPIO is \"0\"");
    test(7, 0);
    EXPECT_EQ(ui.LastBoxText(), ResultText(RESULT_FAILED)) << "a disabled pin";
}

TEST_F(ExtraTest, StatusCancelAndResetOfThePage) {
    Connect();
    page.Click(Page::kStatus);
    ASSERT_TRUE(loop.RunUntil(
        [&] { return dlg.Text(CSondrixDlg::kMessageLine) == "Status =  Idle..."; }, 5000));
    page.Click(Page::kCancel);
    ASSERT_TRUE(WaitForRequests(CMD_CANCEL, 1));

    page.Click(Page::kLogNthPrevious);
    page.Type(Page::kLogN, "12");
    page.Type(Page::kReadAddress, "5");
    page.Type(Page::kWriteData, "abc");
    page.Click(Page::kManualInput);
    page.Enable(Page::kGetTime, false);
    page.Reset();
    EXPECT_TRUE(page.IsChecked(Page::kLogAll));
    EXPECT_FALSE(page.IsChecked(Page::kLogNthPrevious));
    EXPECT_EQ(page.logOption, 3);
    EXPECT_EQ(page.Text(Page::kLogN), "");
    EXPECT_FALSE(page.IsEnabled(Page::kLogN));
    EXPECT_EQ(page.Text(Page::kReadAddress), "0");
    EXPECT_EQ(page.Text(Page::kWriteSize), "0");
    EXPECT_EQ(page.Text(Page::kWriteData), "");
    EXPECT_FALSE(page.IsChecked(Page::kManualInput));
    EXPECT_EQ(page.manualInput, 0);
    EXPECT_EQ(page.Text(Page::kYear), "");
    EXPECT_FALSE(page.IsEnabled(Page::kYear));
    EXPECT_TRUE(page.IsEnabled(Page::kGetTime));
}

// ---- The module log ----

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

const char* const kEventNames[16] = {
    "Enrollment         \t", "Delete Record      \t", "Verification       \t",
    "Identification     \t", "Min Verification   \t", "Min Identification \t",
    "Instant Matching   \t", "Enter Master Mode  \t", "Set Master         \t",
    "Reset Master       \t", "Delete All         \t", "Change FP          \t",
    "Change Password    \t", "Add Fingerprint    \t", "Instant Verify     \t",
    "Instant Identify   \t"};

// The .log line of a record as the module sent it, read straight from its bytes.
std::string ExpectedLine(const Bytes& r) {
    auto text = [&](size_t from, size_t end) {
        std::string s;
        for (size_t i = from; i < end && i < r.size() && r[i] != 0; ++i) {
            s += static_cast<char>(r[i]);
        }
        return s;
    };
    auto u16 = [&](size_t at) { return (r[at] << 8) | r[at + 1]; };
    auto bcd = [&](size_t at) { return (r[at] >> 4) * 10 + (r[at] & 15); };
    std::string line = Format("0x%04x\t\t", GetU32BE(r.data()));
    const int kind = r[4];
    if (kind == 1) {
        return line + "ERROR \t" + text(5, 27);
    }
    const int event = r[5];
    line += "COMMAND\t";
    if (event < 16 && (kind != 0 || event <= 10)) {
        line += kEventNames[event];
    }
    if (kind == 0) {
        return line + Format("%11s \t", text(6, 15).c_str()) + Format("\t%d", u16(16));
    }
    line += Format("\t%d", u16(6));
    line += Format("\t%04d-%02d-%02d %02d:%02d:%02d", bcd(8) * 100 + bcd(9), bcd(10), bcd(11),
                   bcd(12), bcd(13), bcd(14));
    return line + Format(kind == 2 ? "%11s \t" : "%16s \t", text(16, kind == 2 ? 26 : 31).c_str());
}

// A record in the module's layout of its kind.
Bytes MakeRecord(uint32_t sequence, uint8_t kind, uint8_t event, uint16_t value,
                 const std::string& text) {
    Bytes r(CSimExtras::kLogRecordBytes, 0);
    PutU32BE(r.data(), sequence);
    r[4] = kind;
    if (kind == 1) {
        test::Put(r, 5, text);
        return r;
    }
    r[5] = event;
    if (kind == 0) {
        test::Put(r, 6, text);
        r[16] = static_cast<uint8_t>(value >> 8);
        r[17] = static_cast<uint8_t>(value);
        return r;
    }
    r[6] = static_cast<uint8_t>(value >> 8);
    r[7] = static_cast<uint8_t>(value);
    test::PutTime(r, 8, {2024, 2, 29, 13, static_cast<int>(sequence % 60), 7});
    test::Put(r, 16, text);
    return r;
}

class LogTest : public ExtraTest, public ::testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        Connect(GetParam());
        recordSize = module.Model()->series <= 3 ? 28 : 32;
    }
    // Downloads with the given option; returns the text of the box that ends it.
    std::string Download(int radio, const std::string& n = {}) {
        page.Click(radio);
        if (!n.empty()) {
            page.Type(Page::kLogN, n);
        }
        ui.ClearRecords();
        ui.QueueAnswer(EAnswer::Yes);
        ui.QueueFiles({path.string()});
        page.Click(Page::kLogDownload);
        loop.RunUntil([&] { return ui.Boxes().size() >= 2; }, 20000);
        return ui.LastBoxText();
    }
    std::string FileText() const {
        const Bytes bytes = test::ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
    // The lines of records [first, end) as the module sends them.
    std::string Expected(const std::vector<Bytes>& records, size_t first, size_t end) const {
        std::string text;
        for (size_t i = first; i < end; ++i) {
            text +=
                ExpectedLine(Bytes(records[i].begin(), records[i].begin() + recordSize)) + "\r\n";
        }
        return text;
    }
    // The param2 of every CMD_GET_LOG_DATA the module received.
    std::vector<uint32_t> LogRequests(uint32_t option) const {
        std::vector<uint32_t> params;
        for (const SSimRequest& r : module.Requests()) {
            if (r.command == CMD_GET_LOG_DATA) {
                EXPECT_EQ(r.param1, option);
                params.push_back(r.param2);
            }
        }
        return params;
    }

    test::CTempFolder folder;
    std::filesystem::path path = folder / "module.log";
    size_t recordSize = 32;
    const std::string saved = "Log data were saved successfully!!";
};

TEST_P(LogTest, EachOptionWritesTheLinesOfItsRecords) {
    CSimExtras& extras = module.Extras();
    extras.ClearLog();
    // Every kind the module's layout has, every fifth record an error; IDs
    // of every length, some longer than their kind keeps, and event codes
    // without a name in their kind.
    const std::vector<uint8_t> kinds =
        recordSize == 28 ? std::vector<uint8_t>{0, 2, 2} : std::vector<uint8_t>{3, 2, 0, 3};
    const std::map<uint8_t, size_t> idLengths = {{0, 9}, {2, 12}, {3, 15}};
    std::vector<Bytes> records;
    for (uint32_t i = 0; i < 20; ++i) {
        const uint8_t kind = i % 5 == 4 ? 1 : kinds[i % kinds.size()];
        const std::string text =
            kind == 1 ? "Error number " + std::to_string(i)
                      : std::string(1 + i % idLengths.at(kind), static_cast<char>('0' + i % 10));
        records.push_back(MakeRecord(0x100 + i, kind, static_cast<uint8_t>(i % 16),
                                     static_cast<uint16_t>(i * 1000), text));
        extras.AppendLogRecord(records.back());
    }
    extras.recordsPerChunk = 6;

    EXPECT_EQ(Download(Page::kLogOldestUnread), saved);
    EXPECT_EQ(ui.Boxes()[0].text, "Save log data as a file?");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Question);
    EXPECT_EQ(ui.Boxes()[0].buttons, EButtons::YesNo);
    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_TRUE(ui.FileDialogs()[0].save);
    EXPECT_TRUE(ui.FileDialogs()[0].overwritePrompt);
    EXPECT_EQ(ui.FileDialogs()[0].filter, "LOG files(*.log)|*.log|All files|*.*|");
    EXPECT_EQ(ui.FileDialogs()[0].defaultExtension, "*.LOG");
    EXPECT_EQ(FileText(), Expected(records, 0, 1));
    EXPECT_EQ(Download(Page::kLogOldestUnread), saved);
    EXPECT_EQ(FileText(), Expected(records, 1, 2)) << "each download writes its file anew";

    EXPECT_EQ(Download(Page::kLogLastWritten), saved);
    EXPECT_EQ(FileText(), Expected(records, 19, 20));

    module.ClearRequests();
    EXPECT_EQ(Download(Page::kLogNthPrevious, "3"), saved);
    EXPECT_EQ(FileText(), Expected(records, 16, 17));
    EXPECT_EQ(LogRequests(0), std::vector<uint32_t>{3});

    // The unread records 2..19 come in chunks of 6.
    module.ClearRequests();
    EXPECT_EQ(Download(Page::kLogOldestToLast), saved);
    EXPECT_EQ(FileText(), Expected(records, 2, 20));
    EXPECT_EQ(LogRequests(4), (std::vector<uint32_t>{0, 1, 2}));

    EXPECT_EQ(Download(Page::kLogOldestUnread), "Logs are not existed!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_EQ(FileText(), Expected(records, 2, 20)) << "no records: the file stays";

    module.ClearRequests();
    EXPECT_EQ(Download(Page::kLogAll), saved);
    EXPECT_EQ(FileText(), Expected(records, 0, 20));
    EXPECT_EQ(LogRequests(3), (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST_P(LogTest, TheSeededLogDownloadsInChunks) {
    std::vector<Bytes> records;
    for (const CSimExtras::LogRecord& record : module.Extras().Log()) {
        records.emplace_back(record.begin(), record.end());
    }
    EXPECT_EQ(Download(Page::kLogAll), saved);
    EXPECT_EQ(FileText(), Expected(records, 0, records.size()));
    const size_t chunks = (records.size() + CSimExtras::kDefaultRecordsPerChunk - 1) /
                          CSimExtras::kDefaultRecordsPerChunk;
    EXPECT_EQ(LogRequests(3).size(), chunks);
    EXPECT_GT(chunks, 1u);
}

INSTANTIATE_TEST_SUITE_P(Models, LogTest, ::testing::Values("HLX-M18", "HLX-M09"));

TEST_F(ExtraTest, LogDeletionAsksFirstAndDownloadsCanBeDeclined) {
    Connect();
    ui.QueueAnswer(EAnswer::No);
    page.Click(Page::kLogDeleteAll);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Are you sure to delete all log data?");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Warning);
    EXPECT_EQ(ui.Boxes()[0].buttons, EButtons::YesNo);

    ui.QueueAnswer(EAnswer::No);
    page.Click(Page::kLogDownload);
    ui.QueueAnswer(EAnswer::Yes);  // then the file dialog is cancelled
    page.Click(Page::kLogDownload);
    loop.RunFor(300);
    EXPECT_EQ(module.RequestCount(CMD_DELETE_LOG_DATA), 0u);
    EXPECT_EQ(module.RequestCount(CMD_GET_LOG_DATA), 0u);
    EXPECT_EQ(module.Extras().Log().size(), CSimExtras::kSeededLogRecords);

    page.Click(Page::kLogDeleteAll);
    ASSERT_TRUE(WaitForBox("Log data were deleted successfully!!"));
    EXPECT_TRUE(module.Extras().Log().empty());

    test::CTempFolder folder;
    ui.QueueFiles({(folder / "empty.log").string()});
    page.Click(Page::kLogDownload);
    ASSERT_TRUE(WaitForBox("Logs are not existed!!"));
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "Logs are not existed!!");
}

TEST_F(ExtraTest, TheNEditServesOnlyTheNthPreviousLog) {
    Connect();
    EXPECT_FALSE(page.IsEnabled(Page::kLogN));
    page.Click(Page::kLogNthPrevious);
    EXPECT_TRUE(page.IsEnabled(Page::kLogN));
    EXPECT_EQ(page.logOption, 0);
    page.Type(Page::kLogN, "4x");
    EXPECT_EQ(ui.LastBoxText(), "Please input the numeral character only.");
    EXPECT_EQ(page.Text(Page::kLogN), "");
    page.Click(Page::kLogOldestToLast);
    EXPECT_FALSE(page.IsEnabled(Page::kLogN));
    EXPECT_EQ(page.logOption, 4);
    EXPECT_TRUE(page.IsChecked(Page::kLogOldestToLast));
    EXPECT_FALSE(page.IsChecked(Page::kLogNthPrevious));
}

}  // namespace
}  // namespace sondrix
