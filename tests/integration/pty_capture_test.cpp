#include <gtest/gtest.h>

#include <algorithm>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"

namespace sondrix {
namespace {

// The whole program core over a pseudo-terminal: the real serial device, its
// receive thread and the simulator on its own thread, in real time.
class PtyCaptureTest : public ::testing::Test {
  protected:
    bool Start(SSimConfig config) {
        simulator = std::make_unique<CPtySimulator>(config);
        std::string error;
        if (!simulator->Start(error)) {
            skipReason = error;
            return false;
        }
        ports.Assign(1, simulator->SlavePath());
        dlg.OnInitDialog();
        return true;
    }
    bool Connect(int baudRow) {
        dlg.imageDlg.Select(CImageDlg::kBaudRate, baudRow);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        return loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000);
    }
    bool Capture() {
        dlg.imageDlg.Click(CImageDlg::kCapture);
        return loop.RunUntil(
            [&] { return dlg.Text(CSondrixDlg::kMessageLine).rfind("Image Quality = ", 0) == 0; },
            20000);
    }
    std::vector<uint8_t> ModuleImage() {
        std::vector<uint8_t> image;
        simulator->WithModule([&](CSimModule& m) { image = m.CapturedImage(); });
        return image;
    }
    size_t Requests(uint32_t command) {
        size_t count = 0;
        simulator->WithModule([&](CSimModule& m) { count = m.RequestCount(command); });
        return count;
    }
    void TearDown() override {
        if (dlg.moduleConnected == 1) {
            dlg.imageDlg.Click(CImageDlg::kConnect);
        }
    }

    std::unique_ptr<CPtySimulator> simulator;
    std::string skipReason;
    CPortMap ports;
    CMessageLoop loop{CMessageLoop::EClock::Real};
    CScriptedUiHost ui;
    CSondrixDlg dlg{loop, ports, ui};
};

TEST_F(PtyCaptureTest, SearchFindsA57600ModuleOnTheSixthAttempt) {
    if (!Start({kModelHlxM18, 0x0301, 57600, 3})) {
        GTEST_SKIP() << skipReason;
    }
    ASSERT_TRUE(Connect(0));
    EXPECT_EQ(Requests(CMD_CONNECT), 1u) << "only the attempt at the module's rate is heard";
    EXPECT_EQ(dlg.imageDlg.Control(CImageDlg::kBaudRate)
                  .items[static_cast<size_t>(dlg.imageDlg.Selection(CImageDlg::kBaudRate))],
              "57600 bps");
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kUserCounts), "3");
}

TEST_F(PtyCaptureTest, ImageArrivesByteIdenticalAndCancelStopsTheNext) {
    if (!Start({kModelHlxM18, 0x0301, 115200, 0})) {
        GTEST_SKIP() << skipReason;
    }
    ASSERT_TRUE(Connect(5));
    ASSERT_TRUE(Capture());
    const std::vector<uint8_t> image = ModuleImage();
    ASSERT_EQ(image.size(), 260u * 300u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), dlg.imageDlg.imageBuffer.begin()));
    EXPECT_EQ(Requests(CMD_CAPTURE_IMAGE), 21u);

    ui.ClearRecords();
    dlg.imageDlg.Click(CImageDlg::kCapture);
    dlg.imageDlg.Click(CImageDlg::kCancel);
    // Whether the image answer under way is cut off or arrives whole, the
    // capture ends with the cancel's answer and asks for nothing more.
    ASSERT_TRUE(loop.RunUntil(
        [&] { return Requests(CMD_CANCEL) == 1 && dlg.transferBusy == 0 && !ui.Boxes().empty(); },
        10000));
    loop.RunFor(300);
    EXPECT_LE(Requests(CMD_CAPTURE_IMAGE), 23u) << "no further block is asked for";
    ASSERT_TRUE(Capture()) << "the next capture works";
    const std::vector<uint8_t> next = ModuleImage();
    EXPECT_TRUE(std::equal(next.begin(), next.end(), dlg.imageDlg.imageBuffer.begin()));
}

// The module holds block 2 until the Cancel comes, then answers both, 50 ms
// apart, in either order: the block is reported canceled, never drawn.
TEST_F(PtyCaptureTest, BlockHeldOverTheCancelIsReportedCanceledInEitherOrder) {
    if (!Start({kModelHlxM18, 0x0301, 115200, 0})) {
        GTEST_SKIP() << skipReason;
    }
    ASSERT_TRUE(Connect(5));
    for (const bool blockFirst : {false, true}) {
        SCOPED_TRACE(blockFirst ? "block first" : "cancel first");
        simulator->WithModule([&](CSimModule& m) {
            m.ClearRequests();
            m.Faults().holdImageBlock = 2;
            m.Faults().heldBlockFirst = blockFirst;
        });
        ui.ClearRecords();
        dlg.imageDlg.Click(CImageDlg::kCapture);
        // Block 1 handled, block 2 asked for: its answer is held.
        ASSERT_TRUE(loop.RunUntil(
            [&] {
                return dlg.Text(CSondrixDlg::kMessageLine) == "Receiving the image data... (5 %)";
            },
            10000));
        loop.RunFor(100);
        ASSERT_EQ(Requests(CMD_CAPTURE_IMAGE), 3u);
        dlg.imageDlg.Click(CImageDlg::kCancel);
        ASSERT_TRUE(loop.RunUntil(
            [&] {
                return Requests(CMD_CANCEL) == 1 && !ui.Boxes().empty() && dlg.transferBusy == 0;
            },
            10000));
        loop.RunFor(500);
        const auto canceled =
            std::find_if(ui.Boxes().begin(), ui.Boxes().end(),
                         [](const auto& box) { return box.text == "Canceled!!!"; });
        if (blockFirst) {
            // A block that comes in several reads after the Cancel was pressed
            // may be cut off and dropped; then the Cancel's answer ends the capture.
            EXPECT_LE(ui.Boxes().size(), 2u);
        } else {
            ASSERT_EQ(ui.Boxes().size(), 2u);
            ASSERT_EQ(canceled - ui.Boxes().begin(), 1) << "the held block comes last";
            EXPECT_EQ(canceled->icon, EIcon::Stop);
            EXPECT_EQ(dlg.cancelPending, 0);
        }
        EXPECT_EQ(Requests(CMD_CAPTURE_IMAGE), 3u) << "no block after the held one";
        EXPECT_EQ(Requests(CMD_GET_IMAGE_QUALITY), 0u);
        EXPECT_EQ(dlg.transferBusy, 0);
        ASSERT_TRUE(Capture()) << "the next capture works";
        const std::vector<uint8_t> image = ModuleImage();
        EXPECT_TRUE(std::equal(image.begin(), image.end(), dlg.imageDlg.imageBuffer.begin()));
    }
}

TEST_F(PtyCaptureTest, SeriesTwoModuleSendsSmallBlocks) {
    if (!Start({static_cast<uint16_t>(FindModelByName("HLX-M05")->code), 0x0105, 115200, 0})) {
        GTEST_SKIP() << skipReason;
    }
    ASSERT_TRUE(Connect(5));
    ASSERT_TRUE(Capture());
    const std::vector<uint8_t> image = ModuleImage();
    ASSERT_EQ(image.size(), 208u * 274u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), dlg.imageDlg.imageBuffer.begin()));
    EXPECT_EQ(Requests(CMD_CAPTURE_IMAGE), (image.size() + 511) / 512);
}

}  // namespace
}  // namespace sondrix
