// Faults on the line against the simulated module, on virtual time: a module
// that falls silent in the middle of each kind of exchange, checksum errors
// in both directions, and malformed bytes between good packets. Whatever
// happens, the program must end in a defined state and stay usable:
// Disconnect works and a new Connect succeeds.
#include <gtest/gtest.h>

#include <fstream>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/packet.h"
#include "sim/sim_firmware.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

constexpr const char* kSucceeded = "Connection Succeeded!!!";

// The wire bytes of a header-only packet announcing `dataSize` payload bytes,
// with a correct header sum.
std::vector<uint8_t> Header(uint32_t command, uint32_t dataSize) {
    std::vector<uint8_t> bytes(CPacket::kHeaderSize);
    bytes[0] = CPacket::kStart;
    const uint32_t fields[] = {command, 1, 0, dataSize, 0};
    uint32_t sum = 0;
    for (size_t i = 0; i < 5; ++i) {
        PutU32BE(&bytes[1 + 4 * i], fields[i]);
        for (size_t b = 0; b < 4; ++b) {
            sum += bytes[1 + 4 * i + b];
        }
    }
    PutU32BE(&bytes[21], sum);
    return bytes;
}

class FaultLinkTest : public ::testing::Test, protected test::CSimSession {
  protected:
    void Connect(const char* model = "HLX-M18") {
        ASSERT_TRUE(ConnectTo(model));
        Forget();
    }
    CImageDlg& Main() { return dlg.imageDlg; }
    std::string Line() const { return dlg.Text(CSondrixDlg::kMessageLine); }
    bool Capture() {
        Main().Click(CImageDlg::kCapture);
        return loop.RunUntil([&] { return Line().rfind("Image Quality = ", 0) == 0; }, 20000);
    }
    // The module is healthy again: Disconnect ends whatever was under way and
    // a new Connect succeeds.
    void ExpectUsable() {
        module.Faults() = SSimFaults{};
        EXPECT_TRUE(dlg.IsWindowEnabled()) << "nothing holds the main window";
        if (Main().Text(CImageDlg::kConnect) == "Disconnect") {
            Main().Click(CImageDlg::kConnect);
            EXPECT_EQ(dlg.moduleConnected, 0);
            EXPECT_EQ(dlg.transferBusy, 0);
        }
        EXPECT_EQ(Main().Text(CImageDlg::kConnect), "Connect");
        ui.ClearRecords();
        Main().Click(CImageDlg::kConnect);
        EXPECT_TRUE(loop.RunUntil([&] { return ui.LastBoxText() == kSucceeded; }, 10000))
            << "last box: " << ui.LastBoxText();
        EXPECT_EQ(dlg.moduleConnected, 1);
        ASSERT_TRUE(Capture()) << "a capture works after the fault";
    }
};

// --- A module that falls silent -------------------------------------------

TEST_F(FaultLinkTest, SilentDuringTheConnectionChainWaitsAndCanBeDisconnected) {
    dlg.OnInitDialog();
    Main().Select(CImageDlg::kBaudRate, 5);
    module.Faults().answersLeft = 2;  // CMD_CONNECT and the module type only
    Main().Click(CImageDlg::kConnect);
    loop.RunFor(60000);
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 1u) << "the probe was answered: no search";
    // Still identifying: the probe was answered, the chain waits for its
    // next answer, and the button offers Disconnect.
    EXPECT_NE(ui.LastBoxText(), kSucceeded);
    EXPECT_EQ(dlg.moduleConnected, 1);
    EXPECT_EQ(Main().Text(CImageDlg::kConnect), "Disconnect");
    ExpectUsable();
}

TEST_F(FaultLinkTest, SilentFromTheStartEndsTheSearchWithConnectionFailed) {
    dlg.OnInitDialog();
    Main().Select(CImageDlg::kBaudRate, 5);
    module.Faults().silent = true;
    Main().Click(CImageDlg::kConnect);
    loop.RunFor(20000);
    EXPECT_EQ(ui.LastBoxText(), "Connection is failed.");
    // Seven attempts; the module hears the two made at its own rate.
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 2u);
    ExpectUsable();
}

TEST_F(FaultLinkTest, SilentDuringACaptureWaitsAndDisconnectEndsIt) {
    Connect();
    module.Faults().answersLeft = 5;  // a few blocks of the image, then nothing
    Main().Click(CImageDlg::kCapture);
    loop.RunFor(60000);
    EXPECT_EQ(module.RequestCount(CMD_CAPTURE_IMAGE), 6u) << "no request storm while waiting";
    EXPECT_EQ(dlg.transferBusy, 1);
    ExpectUsable();
}

TEST_F(FaultLinkTest, SilentDuringALogDownloadWaitsAndStaysUsable) {
    Connect();
    test::CTempFolder folder;
    const auto path = folder / "module.log";
    module.Faults().silent = true;
    ui.QueueAnswer(EAnswer::Yes);
    ui.QueueFiles({path.string()});
    dlg.userDlg.Click(CUserDlg::kLogDownload);
    loop.RunFor(200000);
    EXPECT_EQ(module.RequestCount(CMD_GET_LOG_DATA), 1u);
    ExpectUsable();
}

TEST_F(FaultLinkTest, SilentDuringAFirmwareTransferIsEndedByClosingAndDisconnecting) {
    Connect();
    test::CTempFolder folder;
    const auto path = folder / "fw.bin";
    std::ofstream(path, std::ios::binary) << std::string(5 * 4096, 'x');
    module.Faults().answersLeft = 2;
    ui.QueueFiles({path.string()});
    dlg.basicDlg.StartFirmwareUpdate(false);
    loop.RunFor(200000);
    EXPECT_EQ(module.RequestCount(CMD_FIRMWARE_DATA), 3u) << "each chunk only after an answer";
    dlg.popupProgress.Click(IDCANCEL);
    ExpectUsable();
}

// --- Checksum errors in both directions -----------------------------------

TEST_F(FaultLinkTest, AnswersWithBadSumsAreDroppedAndTheSearchFails) {
    dlg.OnInitDialog();
    Main().Select(CImageDlg::kBaudRate, 5);
    module.Faults().corruptChecksum = true;
    Main().Click(CImageDlg::kConnect);
    loop.RunFor(20000);
    EXPECT_EQ(ui.LastBoxText(), "Connection is failed.");
    EXPECT_EQ(dlg.moduleConnected, 0);
    ExpectUsable();
}

TEST_F(FaultLinkTest, ModuleReportedChecksumErrorIsShownAndNotActedOn) {
    Connect();
    module.Faults().reportLinkError = true;
    Main().Click(CImageDlg::kStatus);
    loop.RunFor(2000);
    EXPECT_EQ(ui.LastBoxText(), "Checksum error occurred!!!");
    EXPECT_EQ(Main().Text(CImageDlg::kInfoStatus), "Idle...") << "the answer is not forwarded";
    ExpectUsable();
}

TEST_F(FaultLinkTest, FirmwareChunkWithModuleChecksumErrorIsResent) {
    Connect();
    test::CTempFolder folder;
    const auto path = folder / "fw.bin";
    std::ofstream(path, std::ios::binary) << std::string(2 * 4096, 'y');
    module.Faults().reportLinkError = true;
    ui.QueueFiles({path.string()});
    dlg.basicDlg.StartFirmwareUpdate(false);
    ASSERT_TRUE(loop.RunUntil([&] { return module.RequestCount(CMD_FIRMWARE_DATA) >= 3; }, 5000));
    for (const SSimRequest& r : module.Requests()) {
        EXPECT_EQ(r.param2 >> 8, 0u) << "the first chunk again";
    }
    module.Faults().reportLinkError = false;
    ASSERT_TRUE(loop.RunUntil([&] { return !ui.Boxes().empty(); }, 60000));
    EXPECT_EQ(ui.LastBoxText(), "Firmware Update complete!!");
    EXPECT_EQ(module.Firmware().Received(false), std::vector<uint8_t>(2 * 4096, 'y'));
}

TEST_F(FaultLinkTest, RequestWithABadSumIsIgnoredByTheModule) {
    Connect();
    // What the module sees when a byte is spoilt on the way: nothing it
    // answers, and the next good request is served.
    std::vector<uint8_t> spoilt = Header(CMD_GET_STATUS, 0);
    spoilt[24] ^= 0x20;
    EXPECT_TRUE(module.Receive(spoilt.data(), spoilt.size()).empty());
    EXPECT_EQ(module.RejectedPackets(), 1u);
    Main().Click(CImageDlg::kStatus);
    loop.RunFor(2000);
    EXPECT_EQ(module.RequestCount(CMD_GET_STATUS), 1u);
    EXPECT_TRUE(ui.Boxes().empty());
}

// --- Malformed bytes between good packets ---------------------------------

TEST_F(FaultLinkTest, GarbageBeforeEveryAnswerIsSkipped) {
    module.Faults().garbageBefore = true;
    Connect();
    ASSERT_TRUE(Capture());
    EXPECT_EQ(module.RequestCount(CMD_CAPTURE_IMAGE), 21u);
    EXPECT_TRUE(std::equal(module.CapturedImage().begin(), module.CapturedImage().end(),
                           Main().imageBuffer.begin()));
}

TEST_F(FaultLinkTest, OversizedHeaderIsDroppedAndTheNextPacketServed) {
    Connect();
    module.Faults().bytesBefore.push_back(Header(CMD_CAPTURE_IMAGE, 70000));
    ASSERT_TRUE(Capture());
    EXPECT_TRUE(std::equal(module.CapturedImage().begin(), module.CapturedImage().end(),
                           Main().imageBuffer.begin()));
}

TEST_F(FaultLinkTest, TruncatedPacketsAndStrayStartBytesCostOnlyTheirOwnAnswer) {
    Connect();
    std::vector<uint8_t> truncated = Header(CMD_GET_STATUS, 0);
    truncated.resize(12);
    module.Faults().bytesBefore = {{0x7E, 0x01, 0x7E, 0x00, 0x00, 0x02}, truncated};
    Main().Click(CImageDlg::kStatus);  // answered after stray start bytes
    loop.RunFor(2000);
    Main().Click(CImageDlg::kStatus);  // the truncated header eats this answer
    loop.RunFor(2000);
    EXPECT_EQ(module.RequestCount(CMD_GET_STATUS), 2u);
    ExpectUsable();
}

TEST_F(FaultLinkTest, HeaderWhosePayloadNeverComesIsDiscardedByDisconnect) {
    Connect();
    module.Faults().bytesBefore.push_back(Header(CMD_GET_STATUS, 5000));
    Main().Click(CImageDlg::kStatus);
    loop.RunFor(5000);
    EXPECT_TRUE(dlg.PacketManager().Receiving()) << "the good answer went into the payload";
    ExpectUsable();
}

}  // namespace
}  // namespace sondrix
