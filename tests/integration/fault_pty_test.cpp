// The serial device goes away in the middle of an image transfer: the real
// pseudo-terminal, receive thread and simulator thread, in real time.
#include <gtest/gtest.h>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"

namespace sondrix {
namespace {

class FaultPtyTest : public ::testing::Test {
  protected:
    bool Start() {
        simulator = std::make_unique<CPtySimulator>(SSimConfig{kModelHlxM18, 0x0301, 115200, 0});
        simulator->SetPacing(true);  // an image takes its wire time: ~0.7 s
        std::string error;
        if (!simulator->Start(error)) {
            skipReason = error;
            return false;
        }
        ports.Assign(1, simulator->SlavePath());
        return true;
    }
    bool Connect() {
        ui.ClearRecords();
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        return loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000);
    }
    size_t Requests(uint32_t command) {
        size_t count = 0;
        simulator->WithModule([&](CSimModule& m) { count = m.RequestCount(command); });
        return count;
    }

    std::unique_ptr<CPtySimulator> simulator;
    std::string skipReason;
    CPortMap ports;
    CMessageLoop loop{CMessageLoop::EClock::Real};
    CScriptedUiHost ui;
    CSondrixDlg dlg{loop, ports, ui};
};

TEST_F(FaultPtyTest, DeviceGoneMidTransferIsReportedOnceAndConnectWorksAgain) {
    dlg.OnInitDialog();
    if (!Start()) {
        GTEST_SKIP() << skipReason;
    }
    ASSERT_TRUE(Connect());
    const std::string device = simulator->SlavePath();
    ui.ClearRecords();
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(loop.RunUntil([&] { return Requests(CMD_CAPTURE_IMAGE) >= 3; }, 10000));
    simulator.reset();  // the line is gone, pty and all

    ASSERT_TRUE(loop.RunUntil([&] { return !ui.Boxes().empty(); }, 5000));
    EXPECT_EQ(ui.LastBoxText(), "The serial line is gone: COM1 (" + device + ")");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    loop.RunFor(500);
    EXPECT_EQ(ui.Boxes().size(), 1u) << "reported once, no busy loop";

    dlg.imageDlg.Click(CImageDlg::kConnect);  // Disconnect
    EXPECT_EQ(dlg.moduleConnected, 0);
    EXPECT_EQ(dlg.transferBusy, 0);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kConnect), "Connect");

    ASSERT_TRUE(Start());
    EXPECT_TRUE(Connect()) << ui.LastBoxText();
    dlg.imageDlg.Click(CImageDlg::kCapture);
    EXPECT_TRUE(loop.RunUntil(
        [&] { return dlg.Text(CSondrixDlg::kMessageLine).rfind("Image Quality = ", 0) == 0; },
        20000));
    dlg.imageDlg.Click(CImageDlg::kConnect);
}

}  // namespace
}  // namespace sondrix
