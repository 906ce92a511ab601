#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

// A connected program core capturing from the in-process simulator on virtual time.
template <typename Param>
class CCaptureSession : public ::testing::TestWithParam<Param>, protected test::CSimSession {
  protected:
    void Connect(const char* model) {
        ASSERT_TRUE(ConnectTo(model));
        Forget();
    }
    bool WaitForMessage(const std::string& prefix) {
        return loop.RunUntil(
            [&] { return dlg.Text(CSondrixDlg::kMessageLine).rfind(prefix, 0) == 0; }, 10000);
    }
};

class CaptureTest : public CCaptureSession<const char*> {};

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

// A module busy on an image block may answer a Cancel before that block,
// or after it; either way the block is reported canceled and nothing more
// is asked for.
class CancelDuringCaptureTest : public CCaptureSession<bool> {};

TEST_P(CancelDuringCaptureTest, HeldBlockEndsTheCaptureAsCanceledAndTheNextCaptureWorks) {
    const bool blockFirst = GetParam();
    Connect("HLX-M18");
    module.Faults().holdImageBlock = 2;
    module.Faults().heldBlockFirst = blockFirst;
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(loop.RunUntil([&] { return module.RequestCount(CMD_CAPTURE_IMAGE) == 3; }, 5000));
    loop.RunFor(500);
    ASSERT_TRUE(ui.Boxes().empty()) << "block 2 is held";
    dlg.imageDlg.Click(CImageDlg::kCancel);
    ASSERT_TRUE(loop.RunUntil([&] { return ui.Boxes().size() >= 2; }, 5000));
    loop.RunFor(2000);
    ASSERT_EQ(ui.Boxes().size(), 2u);
    // The Cancel's own answer reads as the common report of result 1.
    const std::vector<std::string> expected =
        blockFirst ? std::vector<std::string>{"Canceled!!!", "Succeeded!!!"}
                   : std::vector<std::string>{"Succeeded!!!", "Canceled!!!"};
    EXPECT_EQ(ui.Boxes()[0].text, expected[0]);
    EXPECT_EQ(ui.Boxes()[1].text, expected[1]);
    EXPECT_EQ(ui.Boxes()[blockFirst ? 0 : 1].icon, EIcon::Stop);
    EXPECT_EQ(module.RequestCount(CMD_CAPTURE_IMAGE), 3u) << "no block after the held one";
    EXPECT_EQ(module.RequestCount(CMD_GET_IMAGE_QUALITY), 0u);
    EXPECT_EQ(dlg.transferBusy, 0);
    EXPECT_EQ(dlg.cancelPending, 0);
    EXPECT_FALSE(dlg.PacketManager().Receiving());

    ui.ClearRecords();
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(WaitForMessage("Image Quality = "));
    EXPECT_TRUE(std::equal(module.CapturedImage().begin(), module.CapturedImage().end(),
                           dlg.imageDlg.imageBuffer.begin()));
    EXPECT_TRUE(ui.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(AnswerOrders, CancelDuringCaptureTest, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "BlockFirst" : "CancelFirst");
                         });

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

// A quality answer that fails ends the capture's transfer as a good one
// does; else the tracer's standard mode would hide every later packet.
TEST_F(CaptureTest, AFailedQualityAnswerEndsTheTransferAndTheTracerShowsPacketsAgain) {
    Connect("HLX-M18");
    const size_t blocks = (260 * 300 + 3719) / 3720;
    const CListData& tracer = dlg.List(CSondrixDlg::kTracer);
    for (const uint32_t result : {RESULT_FAILED, RESULT_INVALID_PARAMETER}) {
        SCOPED_TRACE(result);
        Forget();
        dlg.imageDlg.Click(CImageDlg::kCapture);
        // The last block is answered; the quality is asked for next.
        ASSERT_TRUE(
            loop.RunUntil([&] { return module.RequestCount(CMD_CAPTURE_IMAGE) == blocks; }, 10000));
        module.Faults().forcedResult = result;
        ASSERT_TRUE(
            loop.RunUntil([&] { return module.RequestCount(CMD_GET_IMAGE_QUALITY) == 1; }, 10000));
        loop.RunFor(100);
        module.Faults().forcedResult = 0;
        EXPECT_EQ(dlg.transferBusy, 0);
        const size_t rows = tracer.RowCount();
        dlg.imageDlg.Click(CImageDlg::kStatus);
        loop.RunFor(200);
        EXPECT_EQ(tracer.RowCount(), rows + 2) << "the Status request and its answer";
    }
}

TEST_F(CaptureTest, ContinuousCaptureCountsSuccessesAndFailuresUntilStopped) {
    Connect("HLX-M18");
    // Two time-outs and a failure among good scans.
    module.Faults().captureOutcomes = {0, RESULT_CAPTURE_TIMEOUT, 0, RESULT_FAILED,
                                       0, RESULT_CAPTURE_TIMEOUT};
    dlg.imageDlg.Click(CImageDlg::kContinuous);
    EXPECT_TRUE(ui.ModalPopups().empty()) << "a continuous run asks nothing";
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kContinuous), "Capture End");
    EXPECT_FALSE(dlg.imageDlg.IsEnabled(CImageDlg::kCapture));
    EXPECT_TRUE(dlg.imageDlg.IsEnabled(CImageDlg::kContinuous));
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.imageDlg.succeededCount >= 4; }, 20000));
    EXPECT_EQ(dlg.imageDlg.failedCount, 3);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kFailedCount), "3");
    EXPECT_TRUE(ui.Boxes().empty()) << "failures in a run are counted, not boxed";
    EXPECT_EQ(module.RequestCount(CMD_GET_IMAGE_QUALITY), 0u);

    // Stopping drops the image under way: no counter moves afterwards.
    dlg.imageDlg.Click(CImageDlg::kContinuous);
    const int succeeded = dlg.imageDlg.succeededCount;
    const size_t captures = module.RequestCount(CMD_CAPTURE_IMAGE);
    loop.RunFor(2000);
    EXPECT_EQ(dlg.imageDlg.succeededCount, succeeded);
    EXPECT_EQ(dlg.imageDlg.failedCount, 3);
    EXPECT_EQ(dlg.continuousCapture, 0);
    EXPECT_EQ(dlg.transferBusy, 0);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kContinuous), "Capture Start");
    EXPECT_TRUE(dlg.imageDlg.IsEnabled(CImageDlg::kCapture));
    EXPECT_LE(module.RequestCount(CMD_CAPTURE_IMAGE), captures + 1);

    // The next single capture works normally.
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(WaitForMessage("Image Quality = "));
    EXPECT_TRUE(std::equal(module.CapturedImage().begin(), module.CapturedImage().end(),
                           dlg.imageDlg.imageBuffer.begin()));

    // Counters survive a new run and go back to zero on Disconnect.
    dlg.imageDlg.Click(CImageDlg::kConnect);
    EXPECT_EQ(dlg.imageDlg.succeededCount, 0);
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kSucceededCount), "0");
}

TEST_F(CaptureTest, ProgressTextsFollowTheBlocksOfTheImage) {
    Connect("HLX-M18");
    std::vector<std::string> progress;
    CDialogObserver watch(dlg, [&](int id) {
        if (id == CSondrixDlg::kMessageLine) {
            progress.push_back(dlg.Text(CSondrixDlg::kMessageLine));
        }
    });
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(WaitForMessage("Image Quality = "));
    // 260 x 300 in 3720-byte blocks: blocks 0 to 20.
    std::vector<std::string> expected;
    for (int block = 0; block < 20; ++block) {
        expected.push_back("Receiving the image data... (" + std::to_string(block * 100 / 20) +
                           " %)");
    }
    expected.push_back("Receiving the image... Complete.");
    ASSERT_GE(progress.size(), expected.size());
    EXPECT_EQ(
        std::vector<std::string>(progress.end() - static_cast<std::ptrdiff_t>(expected.size()) - 1,
                                 progress.end() - 1),
        expected);
}

TEST_F(CaptureTest, ColourCaptureWritesTheBitmapFileAsReceived) {
    Connect("HLX-M18");
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("sondrix-colour-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    dlg.imageDlg.ColourCapture();
    const bool done = loop.RunUntil([&] { return !ui.Boxes().empty(); }, 20000);
    std::filesystem::current_path(before);
    ASSERT_TRUE(done);
    EXPECT_EQ(ui.Boxes()[0].text, "Color Images are stored successfully!");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
    std::ifstream in(dir / "fp.bmp", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    std::filesystem::remove_all(dir);
    ASSERT_EQ(file.size(), 230454u);
    const uint8_t header[] = {'B', 'M', 0x36, 0x84, 0x03, 0, 0, 0,   0, 0, 54, 0, 0, 0,  40,
                              0,   0,   0,    0x40, 1,    0, 0, 240, 0, 0, 0,  1, 0, 24, 0};
    EXPECT_TRUE(std::equal(std::begin(header), std::end(header), file.begin()));
    EXPECT_TRUE(
        std::all_of(file.begin() + 30, file.begin() + 54, [](uint8_t b) { return b == 0; }));
    const std::vector<uint8_t> colour = RenderColourFingerprint(SFinger{1, 0});
    EXPECT_TRUE(std::equal(colour.begin(), colour.end(), file.begin() + 54));
    EXPECT_EQ(module.RequestCount(CMD_CAPTURE_COLOR_IMAGE), 62u);
}

TEST_F(CaptureTest, QuickMenuSendsItsRequestsWithTheIdFields) {
    Connect("HLX-M18");
    const size_t idField = static_cast<size_t>(dlg.idLength);
    ui.QueuePopupAnswer(true, "42");
    dlg.imageDlg.Click(CImageDlg::kFpVerify);
    ui.QueuePopupAnswer(true, "7");
    ui.QueuePopupAnswer(true, "secret");
    dlg.imageDlg.Click(CImageDlg::kPwVerify);
    dlg.imageDlg.Click(CImageDlg::kIdentify);
    dlg.imageDlg.Click(CImageDlg::kEnterMaster);
    ui.QueuePopupAnswer(false);
    dlg.imageDlg.Click(CImageDlg::kFpVerify);  // cancelled: nothing goes out
    loop.RunFor(500);
    const auto& sent = module.Requests();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[0].command, CMD_VERIFY);
    EXPECT_EQ(sent[0].param1, 0u);
    std::vector<uint8_t> field(idField, 0);
    field[0] = '4';
    field[1] = '2';
    EXPECT_EQ(sent[0].data, field);
    EXPECT_EQ(sent[1].command, CMD_VERIFY);
    EXPECT_EQ(sent[1].param1, 1u);
    ASSERT_EQ(sent[1].data.size(), idField + static_cast<size_t>(dlg.passwordLength));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent[1].data.data() + idField)), "secret");
    EXPECT_EQ(sent[2].command, CMD_IDENTIFY);
    EXPECT_EQ(sent[2].param1, 1u);
    EXPECT_EQ(sent[3].command, CMD_ENTER_MASTER_MODE);
    EXPECT_EQ(sent[3].param1, 3u);
    EXPECT_TRUE(dlg.basicDlg.IsChecked(CBasicDlg::kFpMatching));
    EXPECT_EQ(module.RequestCount(CMD_VERIFY), 2u);
}

TEST_F(CaptureTest, StatusShowsTheModuleState) {
    Connect("HLX-M18");
    for (const auto& [status, text] :
         std::vector<std::pair<uint32_t, std::string>>{{0, "Idle..."},
                                                       {2, "Busy!!!"},
                                                       {3, "DB Uploading..."},
                                                       {4, "Auto-On Mode!!!"},
                                                       {9, "Busy!!!"}}) {
        module.SetStatus(status);
        dlg.imageDlg.Click(CImageDlg::kStatus);
        ASSERT_TRUE(WaitForMessage("Status =  " + text));
        EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kInfoStatus), text);
    }
}

}  // namespace
}  // namespace sondrix
