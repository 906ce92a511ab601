#include <gtest/gtest.h>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"

namespace sondrix {
namespace {

// A connected program core capturing from the in-process simulator on virtual time.
class CaptureTest : public ::testing::TestWithParam<const char*> {
  protected:
    void Connect(const char* model) {
        module.Config().modelCode = FindModelByName(model)->code;
        dlg.OnInitDialog();
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        ASSERT_TRUE(loop.RunUntil(
            [&] {
                return dlg.connectPending == 0 && dlg.moduleConnected == 1 &&
                       ui.LastBoxText() == "Connection Succeeded!!!";
            },
            5000));
        module.ClearRequests();
        ui.ClearRecords();
    }
    bool WaitForMessage(const std::string& prefix) {
        return loop.RunUntil(
            [&] { return dlg.Text(CSondrixDlg::kMessageLine).rfind(prefix, 0) == 0; }, 10000);
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module{{kModelHlxM18, 0x0301, 115200, 0}};
    CSimPortFactory devices{loop, module};
    CSondrixDlg dlg{loop, devices, ui};
};

TEST_P(CaptureTest, ImageArrivesByteIdenticalInItsChunksThenItsQuality) {
    Connect(GetParam());
    const SModelInfo* model = FindModelByName(GetParam());
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_EQ(ui.ModalPopups(), std::vector<std::string>{"message"});
    EXPECT_EQ(dlg.popupMsg.Text(CPopupMsgDlg::kText), "Place your finger on the sensor.");
    ASSERT_TRUE(WaitForMessage("Image Quality = "));
    const size_t size = static_cast<size_t>(model->imageWidth) * model->imageHeight;
    ASSERT_EQ(module.CapturedImage().size(), size);
    EXPECT_TRUE(std::equal(module.CapturedImage().begin(), module.CapturedImage().end(),
                           dlg.imageDlg.imageBuffer.begin()));
    const size_t chunk = model->series == 2 ? 512 : 3720;
    EXPECT_EQ(module.RequestCount(CMD_CAPTURE_IMAGE), (size + chunk - 1) / chunk);
    EXPECT_EQ(module.RequestCount(CMD_GET_IMAGE_QUALITY), 1u);
    EXPECT_EQ(dlg.imageDlg.imagePresent, 1);
    EXPECT_EQ(dlg.transferBusy, 0);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine),
              "Image Quality = " + std::to_string(ImageQuality(SFinger{1, 0})));
    EXPECT_TRUE(ui.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Models, CaptureTest, ::testing::Values("HLX-M18", "HLX-M11", "HLX-M09"));

TEST_F(CaptureTest, EmptySensorTimesOutAndCancelReportsCanceled) {
    Connect("HLX-M18");
    module.PlaceFinger(kNoFinger);
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(loop.RunUntil([&] { return !ui.Boxes().empty(); }, 5000));
    EXPECT_EQ(ui.Boxes()[0].text, "Capture Time Out!!!");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    EXPECT_EQ(dlg.transferBusy, 0);

    // A popup closed with Cancel sends nothing.
    module.ClearRequests();
    ui.QueuePopupAnswer(false);
    dlg.imageDlg.Click(CImageDlg::kCapture);
    loop.RunFor(100);
    EXPECT_EQ(module.RequestCount(CMD_CAPTURE_IMAGE), 0u);

    module.PlaceFinger(SFinger{2, 3});
    ui.ClearRecords();
    dlg.imageDlg.Click(CImageDlg::kCapture);
    dlg.imageDlg.Click(CImageDlg::kCancel);
    ASSERT_TRUE(loop.RunUntil([&] { return ui.Boxes().size() >= 2; }, 5000));
    EXPECT_EQ(ui.Boxes()[0].text, "Canceled!!!") << "the image answer reports the cancel";
    EXPECT_EQ(module.RequestCount(CMD_CAPTURE_IMAGE), 1u) << "no further chunk is asked for";
}

TEST_F(CaptureTest, StaleImageFirmwareCapturesTwice) {
    module.Config().firmwareVersion = 0x0124;
    Connect("HLX-M18");
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(WaitForMessage("Image Quality = "));
    const auto& requests = module.Requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].command, CMD_CAPTURE_IMAGE);
    EXPECT_EQ(requests[1].command, CMD_CAPTURE_IMAGE);
    EXPECT_EQ(requests[1].param2, 0u) << "the first answer is dropped and block 0 asked again";
}

}  // namespace
}  // namespace sondrix
