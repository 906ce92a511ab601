#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_firmware.h"
#include "sim/sim_loopback.h"

namespace sondrix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kComplete = "Firmware Update complete!!";
constexpr const char* kCaution = "Caution! Firmware Updating now!!";
constexpr const char* kQuitQuestion =
    "Do you really want to quit update process?\nThis command would cause a illegal operation.";

// Firmware files sent through the Authentication&User page to the simulated
// module; the parameter picks the hidden Backup Update.
class FirmwareTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        fs::create_directories(m_dir);
        dlg.OnInitDialog();
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        ASSERT_TRUE(
            loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 5000));
        module.ClearRequests();
        ui.ClearRecords();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::vector<uint8_t> WriteFile(size_t size) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<uint8_t>((i * 131) ^ (i >> 12));
        }
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(size));
        return bytes;
    }
    void Start() {
        module.ClearRequests();
        ui.ClearRecords();
        ui.QueueFiles({m_path});
        dlg.basicDlg.StartFirmwareUpdate(GetParam());
    }
    bool WaitForBox(uint32_t ms = 60000) {
        return loop.RunUntil([&] { return !ui.Boxes().empty(); }, ms);
    }
    std::vector<uint32_t> SentParam2() const {
        std::vector<uint32_t> values;
        for (const SSimRequest& r : module.Requests()) {
            EXPECT_EQ(r.command, GetParam() ? CMD_BACKUP_FIRMWARE_DATA : CMD_FIRMWARE_DATA);
            values.push_back(r.param2);
        }
        return values;
    }
    const std::vector<uint8_t>& Received() { return module.Firmware().Received(GetParam()); }
    void ExpectEnded() {
        EXPECT_EQ(dlg.transferBusy, 0);
        EXPECT_FALSE(dlg.popupProgress.Exists());
        EXPECT_TRUE(dlg.IsWindowEnabled());
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module{{kModelHlxM18, 0x0301, 115200, 0}};
    CSimPortFactory devices{loop, module};
    CSondrixDlg dlg{loop, devices, ui};
    fs::path m_dir = fs::temp_directory_path() / ("sondrix_fw_" + std::to_string(::getpid()));
    std::string m_path = (m_dir / "fw.bin").string();
};

TEST_P(FirmwareTest, FileArrivesByteIdenticalChunkByChunkWithItsProgress) {
    struct SPopup {
        int position;
        std::string text;
        bool cancel;
    };
    std::vector<SPopup> seen;
    CDialogObserver watch(dlg.popupProgress, [&](int) {
        const CPopupProgressDlg& p = dlg.popupProgress;
        seen.push_back({p.bar.position, p.text, p.IsEnabled(IDCANCEL)});
    });
    const auto file = WriteFile(10000);
    Start();
    EXPECT_EQ(ui.FileDialogs()[0].filter, "Binary files(*.bin)|*.bin|All files|*.*|");
    EXPECT_EQ(ui.FileDialogs()[0].defaultExtension, "*.BIN");
    EXPECT_EQ(dlg.transferBusy, 1);
    EXPECT_FALSE(dlg.IsWindowEnabled()) << "the popup disables the main dialog";
    EXPECT_EQ(dlg.popupProgress.bar.upper, 3);
    ASSERT_TRUE(WaitForBox());
    EXPECT_EQ(ui.Boxes()[0].text, kComplete);
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), kComplete);
    ExpectEnded();

    EXPECT_EQ(SentParam2(), (std::vector<uint32_t>{0x002, 0x102, 0x202}));
    EXPECT_EQ(Received(), file);
    for (const SSimRequest& r : module.Requests()) {
        ASSERT_EQ(r.data.size(), 4100u);
        EXPECT_EQ(std::vector<uint8_t>(r.data.begin(), r.data.begin() + 4),
                  (std::vector<uint8_t>{0x00, 0x00, 0x27, 0x10}));
    }
    const auto& last = module.Requests().back().data;
    EXPECT_EQ(std::count(last.begin() + 4 + 1808, last.end(), 0xFF), 4096 - 1808)
        << "erased-flash filler after the last 1808 file bytes";

    // One step per answer (and one more at the end); the caution, with
    // Cancel greyed, once the last chunk is on its way.
    std::vector<int> positions;
    for (const SPopup& s : seen) {
        if (positions.empty() || positions.back() != s.position) {
            positions.push_back(s.position);
        }
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(seen.front().text, "Warning! Do not stop this process!");
    const auto greyed =
        std::find_if(seen.begin(), seen.end(), [](const SPopup& s) { return !s.cancel; });
    ASSERT_NE(greyed, seen.end());
    EXPECT_EQ(greyed->text, kCaution);
    EXPECT_EQ(greyed->position, 2) << "with the answer for chunk 1";
}

TEST_P(FirmwareTest, SizesAtTheEdgesOfTheChunkNumbering) {
    // One chunk: it is the last one at once.
    auto file = WriteFile(4096);
    Start();
    EXPECT_EQ(dlg.popupProgress.text, kCaution);
    ASSERT_TRUE(WaitForBox());
    EXPECT_EQ(SentParam2(), std::vector<uint32_t>{0});
    EXPECT_EQ(Received(), file);

    file = WriteFile(1048576);  // 256 chunks, the most param2 can number
    Start();
    ASSERT_TRUE(WaitForBox());
    EXPECT_EQ(ui.LastBoxText(), kComplete);
    const auto sent = SentParam2();
    ASSERT_EQ(sent.size(), 256u);
    EXPECT_EQ(sent.back(), 0xFFFFu);
    EXPECT_EQ(Received(), file);

    // Empty, oversize and unreadable files are refused before anything goes out.
    for (const auto& [size, text] :
         {std::pair<long, std::string>{0, "The firmware file is empty!!"},
          {1048577, "The firmware file is too large!! (at most 1048576 bytes)"},
          {-1, "Cannot read the firmware file!!"}}) {
        fs::remove(m_path);
        if (size >= 0) {
            WriteFile(static_cast<size_t>(size));
        }
        Start();
        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, text);
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
        EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), text);
        loop.RunFor(1000);
        EXPECT_TRUE(module.Requests().empty());
        ExpectEnded();
    }
}

TEST_P(FirmwareTest, RefusalsEndTheTransferAndResendRequestsRepeatTheChunk) {
    const auto file = WriteFile(3 * 4096 - 5);
    for (const auto& [result, text] :
         {std::pair<uint32_t, std::string>{RESULT_INVALID_PARAMETER, "Invalid Parameter!!!"},
          {RESULT_TOO_LARGE_DATA, "Too Large Data!!!"},
          {RESULT_CANCELED, "Canceled!!!"},
          {RESULT_NOT_SUPPORTED, "Error!!!"}}) {
        module.Firmware().RefuseChunk(1, result);
        Start();
        ASSERT_TRUE(WaitForBox());
        loop.RunFor(1000);
        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, text);
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
        EXPECT_EQ(SentParam2(), (std::vector<uint32_t>{0x002, 0x102})) << text;
        ExpectEnded();
    }

    // Result 2 twice: the handler resends; errorCode 2: the packet manager does.
    module.Firmware().RefuseChunk(1, RESULT_FAILED, 2);
    Start();
    loop.RunUntil([&] { return module.Requests().size() == 4; }, 5000);
    module.Firmware().RefuseChunk(2, 0);
    ASSERT_TRUE(WaitForBox());
    EXPECT_EQ(ui.Boxes().size(), 1u) << "no checksum box for a firmware chunk";
    EXPECT_EQ(ui.LastBoxText(), kComplete);
    EXPECT_EQ(SentParam2(), (std::vector<uint32_t>{0x002, 0x102, 0x102, 0x102, 0x202, 0x202}));
    EXPECT_EQ(Received(), file);
}

TEST_P(FirmwareTest, ClosingThePopupAsksWhetherToQuitAtTheNextAnswer) {
    const auto file = WriteFile(3 * 4096);
    Start();
    dlg.popupProgress.Click(IDCANCEL);
    EXPECT_TRUE(dlg.IsWindowEnabled());
    ui.QueueAnswer(EAnswer::No);
    ASSERT_TRUE(WaitForBox());
    EXPECT_EQ(ui.Boxes()[0].text, kQuitQuestion);
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Warning);
    EXPECT_EQ(ui.Boxes()[0].buttons, EButtons::YesNo);
    // No: a new popup that keeps the progress, and the transfer goes on.
    EXPECT_TRUE(dlg.popupProgress.Exists());
    EXPECT_EQ(dlg.popupProgress.bar.upper, 3);
    EXPECT_EQ(dlg.popupProgress.bar.position, 1);
    ASSERT_TRUE(loop.RunUntil([&] { return ui.Boxes().size() == 2; }, 5000));
    EXPECT_EQ(ui.LastBoxText(), kComplete);
    EXPECT_EQ(Received(), file);

    // Yes: nothing more is sent and the transfer is over.
    Start();
    dlg.popupProgress.Click(IDCANCEL);
    ASSERT_TRUE(WaitForBox());
    loop.RunFor(1000);
    EXPECT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(SentParam2(), std::vector<uint32_t>{0x002});
    ExpectEnded();
}

TEST_P(FirmwareTest, OnlyARetryTimerArmedElsewhereResendsTheChunkAndOnlyOnce) {
    WriteFile(2 * 4096);
    module.Faults().silent = true;
    Start();
    loop.RunFor(200000);
    EXPECT_EQ(SentParam2().size(), 1u) << "chunk sends do not arm the timer";
    CPacketManagerWnd& manager = dlg.PacketManager();
    manager.SetTimer(CPacketManagerWnd::kRetryTimer, CPacketManagerWnd::kLogRetryMs);
    loop.RunFor(4 * CPacketManagerWnd::kLogRetryMs);
    EXPECT_EQ(SentParam2(), (std::vector<uint32_t>{0x001, 0x001}));
    EXPECT_EQ(dlg.transferBusy, 1) << "still waiting for the module";

    module.Faults().silent = false;
    manager.SetTimer(CPacketManagerWnd::kRetryTimer, CPacketManagerWnd::kLogRetryMs);
    ASSERT_TRUE(WaitForBox(2 * CPacketManagerWnd::kLogRetryMs));
    EXPECT_EQ(ui.LastBoxText(), kComplete);
}

INSTANTIATE_TEST_SUITE_P(Commands, FirmwareTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Backup" : "Firmware"; });

}  // namespace
}  // namespace sondrix
