// The Port combo over faked USB adapters: the entry a discovered device gets,
// a connection and a capture through it, hot-plug, and an adapter pulled
// while connected. Real time: the udev monitor's thread, the receive thread
// and the simulator on the node's pseudo-terminal.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/port_watch.h"
#include "app/sondrix_dlg.h"
#include "fake_devices.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"

namespace sondrix {
namespace {

using test::CFakeDevices;

class PortComboTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!CFakeDevices::Preloaded()) {
            GTEST_SKIP() << "runs only under umockdev-wrapper (umockdev's preload)";
        }
        devices = std::make_unique<CFakeDevices>();
        dlg.OnInitDialog();
    }
    void Watch() {
        watch = std::make_unique<CPortWatch>(dlg, ports);
        std::string error;
        ASSERT_TRUE(watch->Start(error)) << error;
    }
    // The adapter with the simulated module on its line.
    void PlugServedAdapter() {
        devices->AddFtdiAdapter();
        std::string error;
        ASSERT_TRUE(module.StartOn(devices->Master(CFakeDevices::kFtdiNode), error)) << error;
    }
    const std::vector<std::string>& Items() const {
        return dlg.imageDlg.Control(CImageDlg::kPort).items;
    }
    int IndexOf(const std::string& label) const {
        const auto it = std::find(Items().begin(), Items().end(), label);
        return it == Items().end() ? -1 : static_cast<int>(it - Items().begin());
    }
    bool ConnectOn(int entry) {
        dlg.imageDlg.Select(CImageDlg::kPort, entry);
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        return loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000);
    }
    size_t BoxesSaying(const std::string& text) const {
        return static_cast<size_t>(
            std::count_if(ui.Boxes().begin(), ui.Boxes().end(),
                          [&](const auto& box) { return box.text == text; }));
    }
    void TearDown() override {
        if (dlg.moduleConnected == 1) {
            dlg.imageDlg.Click(CImageDlg::kConnect);
        }
    }

    std::unique_ptr<CFakeDevices> devices;
    CPtySimulator module{{kModelHlxM18, 0x0301, 115200, 0}};
    CPortMap ports;
    CMessageLoop loop{CMessageLoop::EClock::Real};
    CScriptedUiHost ui;
    CSondrixDlg dlg{loop, ports, ui};
    std::unique_ptr<CPortWatch> watch;
};

TEST_F(PortComboTest, AdapterEntryConnectsAndCapturesByteIdentical) {
    PlugServedAdapter();
    Watch();
    // COM1..COM8 keep their places; the adapter follows by name.
    ASSERT_EQ(Items().size(), 9u);
    EXPECT_EQ(Items()[7], "COM8");
    EXPECT_EQ(Items()[8], CFakeDevices::kFtdiLabel);
    dlg.imageDlg.Select(CImageDlg::kPort, 8);
    EXPECT_NE(dlg.imageDlg.Control(CImageDlg::kPort).tooltip.find(CFakeDevices::kFtdiById),
              std::string::npos);

    ASSERT_TRUE(ConnectOn(8)) << ui.LastBoxText();
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kInfoPort), "ttyUSB0");
    EXPECT_EQ(dlg.PacketManager().port.DevicePath(), CFakeDevices::kFtdiNode);
    // A pseudo-terminal has no low-latency setting to give.
    EXPECT_NE(dlg.imageDlg.Control(CImageDlg::kPort).tooltip.find("Low latency: off"),
              std::string::npos);

    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(loop.RunUntil(
        [&] { return dlg.Text(CSondrixDlg::kMessageLine).rfind("Image Quality = ", 0) == 0; },
        20000));
    std::vector<uint8_t> sent;
    module.WithModule([&](CSimModule& m) { sent = m.CapturedImage(); });
    const CImageDlg& page = dlg.imageDlg;
    ASSERT_EQ(sent.size(), static_cast<size_t>(page.imageWidth * page.imageHeight));
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), page.imageBuffer.begin()));
}

TEST_F(PortComboTest, PluggingAndPullingChangeTheComboWithinASecond) {
    Watch();
    ASSERT_EQ(Items().size(), 8u);
    devices->AddFtdiAdapter();
    const auto plugged = std::chrono::steady_clock::now();
    devices->Uevent(CFakeDevices::kFtdiTty, "add");
    ASSERT_TRUE(loop.RunUntil([&] { return Items().size() == 9; }, 1000));
    const auto shown = std::chrono::steady_clock::now() - plugged;
    std::printf("hot-plug to combo entry: %.2f ms\n",
                std::chrono::duration<double, std::milli>(shown).count());
    EXPECT_EQ(Items()[8], CFakeDevices::kFtdiLabel);

    devices->Remove(CFakeDevices::kFtdiTty);
    ASSERT_TRUE(loop.RunUntil([&] { return Items().size() == 8; }, 1000));
    EXPECT_EQ(dlg.imageDlg.Selection(CImageDlg::kPort), 0);
}

TEST_F(PortComboTest, AdapterPulledWhileConnectedIsReportedOnceAndLeavesOnDisconnect) {
    PlugServedAdapter();
    Watch();
    ASSERT_TRUE(ConnectOn(8)) << ui.LastBoxText();
    devices->Remove(CFakeDevices::kFtdiTty);
    devices->HangUp(CFakeDevices::kFtdiNode);
    module.Stop();
    const std::string gone = "The serial line is gone: ttyUSB0 (/dev/ttyUSB0)";
    ASSERT_TRUE(loop.RunUntil([&] { return BoxesSaying(gone) == 1; }, 3000)) << ui.LastBoxText();
    loop.RunFor(500);
    EXPECT_EQ(BoxesSaying(gone), 1u);
    // The entry in use stays while its line is open, then goes.
    EXPECT_EQ(Items().size(), 9u);
    EXPECT_EQ(dlg.imageDlg.SelectedPortName(), "ttyUSB0");
    dlg.imageDlg.Click(CImageDlg::kConnect);
    EXPECT_EQ(dlg.moduleConnected, 0);
    EXPECT_EQ(Items().size(), 8u);
    EXPECT_TRUE(dlg.imageDlg.IsEnabled(CImageDlg::kPort));
    // Still usable: a COM port opens (and fails plainly) as before.
    dlg.imageDlg.Select(CImageDlg::kPort, 7);
    dlg.imageDlg.Click(CImageDlg::kConnect);
    EXPECT_EQ(ui.LastBoxText().rfind("Cannot open the port: COM8 (/dev/ttyS7)", 0), 0u)
        << ui.LastBoxText();
}

// Other tools lock the node's name, whichever of its names we were given.
TEST_F(PortComboTest, AStablePathLocksTheNodeItNames) {
    PlugServedAdapter();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("sondrix_udev_locks_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("SONDRIX_LOCK_DIR", folder.c_str(), 1);
    ports.Assign(2, CFakeDevices::kFtdiById);
    auto device = ports.Create("COM2");
    std::string error;
    EXPECT_TRUE(device->Open(115200, error)) << error;
    EXPECT_TRUE(std::filesystem::exists(folder / "LCK..ttyUSB0"));
    device.reset();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    ::unsetenv("SONDRIX_LOCK_DIR");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace sondrix
