#include "app/sondrix_dlg.h"

#include <gtest/gtest.h>

#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "support/fake_serial.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::Wire;

class SondrixDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dlg.OnInitDialog();
        ASSERT_TRUE(dlg.PacketManager().port.Open("COM1", 9600, 0));
        line = devices.last;
    }
    // The module answers; the program handles it.
    void Answer(const std::vector<uint8_t>& bytes) {
        line->Feed(bytes);
        loop.RunFor(0);
    }
    CListData& Tracer() { return dlg.List(CSondrixDlg::kTracer); }
    std::vector<std::string> Row(size_t row) { return Tracer().Row(row).cells; }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    test::CFakeSerialFactory devices;
    CSondrixDlg dlg{loop, devices, ui};
    test::CFakeSerial* line = nullptr;
};

TEST_F(SondrixDlgTest, GuardsApplyInOrderWithTheirTextsAndLandingTabs) {
    struct SCase {
        int connected, continuous, autoOn, master, tab;
        const char* text;
        int landing;
    };
    const SCase cases[] = {
        {0, 0, 0, 0, CSondrixDlg::kTabConfiguration,
         "To use other functions, please make sure the connection. ", CSondrixDlg::kTabMain},
        {0, 1, 1, 1, CSondrixDlg::kTabAuthUser,
         "To use other functions, please make sure the connection. ", CSondrixDlg::kTabMain},
        {1, 1, 1, 1, CSondrixDlg::kTabAbout,
         "To use other functions, continuous capture should be stopped.", CSondrixDlg::kTabMain},
        {1, 0, 1, 1, CSondrixDlg::kTabExtra, "To use other functions, Auto-On should be stopped. ",
         CSondrixDlg::kTabAuthUser},
        {1, 0, 0, 0, CSondrixDlg::kTabConfiguration,
         "To access this menu, master authority is essentially required.",
         CSondrixDlg::kTabAuthUser},
        {1, 0, 0, 0, CSondrixDlg::kTabDataBase,
         "To access this menu, master authority is essentially required.",
         CSondrixDlg::kTabAuthUser},
        {1, 0, 0, 0, CSondrixDlg::kTabExtra,
         "To access this menu, master authority is essentially required.",
         CSondrixDlg::kTabAuthUser},
    };
    for (const SCase& c : cases) {
        dlg.ShowTab(CSondrixDlg::kTabMain);
        dlg.moduleConnected = c.connected;
        dlg.continuousCapture = c.continuous;
        dlg.autoOnMode = c.autoOn;
        dlg.masterMode = c.master;
        ui.ClearRecords();
        dlg.Select(CSondrixDlg::kTabs, c.tab);
        ASSERT_EQ(ui.Boxes().size(), 1u) << c.text;
        EXPECT_EQ(ui.Boxes()[0].text, c.text);
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::None);
        EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), c.text);
        EXPECT_EQ(dlg.CurrentTab(), c.landing);
        EXPECT_EQ(dlg.Selection(CSondrixDlg::kTabs), c.landing);
    }
}

TEST_F(SondrixDlgTest, ChoosingTheShownTabAgainRunsNoGuard) {
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabMain);
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(SondrixDlgTest, AboutOpensWithoutConnectionAndPagesOpenWhenAllowed) {
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabAbout);
    EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabAbout);
    EXPECT_TRUE(ui.Boxes().empty());
    dlg.moduleConnected = 1;
    dlg.masterMode = 1;
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabConfiguration);
    EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabConfiguration);
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(SondrixDlgTest, DataBaseOnSeriesTwoNeedsASupportingFirmwareOrModel) {
    dlg.moduleConnected = 1;
    dlg.masterMode = 1;
    dlg.moduleSeries = 2;
    dlg.modelCode = FindModelByName("HLX-M11")->code;
    dlg.firmwareVersion = 0x0102;
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabDataBase);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Not supported function!!");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabAuthUser);

    for (uint32_t firmware : {0x0101u, 0x0203u, 0x0106u, 0x0108u}) {
        dlg.firmwareVersion = firmware;
        dlg.ShowTab(CSondrixDlg::kTabMain);
        dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabDataBase);
        EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabDataBase) << std::hex << firmware;
    }
    dlg.firmwareVersion = 0x0102;
    dlg.modelCode = kModelHlxM05;
    dlg.ShowTab(CSondrixDlg::kTabMain);
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabDataBase);
    EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabDataBase);
}

TEST_F(SondrixDlgTest, AnswerAfterAHandMadePacketIsOnlyTraced) {
    dlg.pendingRawResponse = 1;
    Answer(Wire(CMD_GET_TIME, RESULT_FAILED));
    EXPECT_TRUE(ui.Boxes().empty()) << "not handled";
    EXPECT_EQ(dlg.pendingRawResponse, 0);
    EXPECT_EQ(Row(0)[0], "RCV");
    Answer(Wire(CMD_GET_TIME, RESULT_FAILED));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Failed!!!");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "Failed!!!");
}

TEST_F(SondrixDlgTest, CancelAnswerIsAlwaysHandledAndClearsThePendingFlag) {
    dlg.pendingRawResponse = 1;
    dlg.PacketManager().abortReceive = 1;
    Answer(Wire(CMD_CANCEL, RESULT_SUCCESS));
    EXPECT_EQ(dlg.pendingRawResponse, 0);
    EXPECT_EQ(dlg.PacketManager().abortReceive, 0);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Succeeded!!!")
        << "a cancel success goes through the common report";

    Answer(Wire(CMD_CANCEL, RESULT_IDLE));
    EXPECT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "Status of device is idle.");
}

TEST_F(SondrixDlgTest, ConnectAnswerStopsTheConnectionTimeoutUnlessSuppressed) {
    dlg.imageDlg.SetTimer(CImageDlg::kConnectTimer, 500);
    dlg.pendingRawResponse = 1;
    Answer(Wire(CMD_CONNECT, RESULT_SUCCESS));
    EXPECT_TRUE(loop.HasTimer(dlg.imageDlg.Handle(), CImageDlg::kConnectTimer));
    Answer(Wire(CMD_CONNECT, RESULT_FAILED));
    EXPECT_FALSE(loop.HasTimer(dlg.imageDlg.Handle(), CImageDlg::kConnectTimer));
}

TEST_F(SondrixDlgTest, RepeatCaptureSendsTheCaptureAgainBeforeAnyOtherRule) {
    dlg.repeatCapture = 1;
    dlg.pendingRawResponse = 1;
    const size_t writes = line->writes.size();
    Answer(Wire(CMD_CAPTURE_IMAGE, RESULT_SUCCESS, 0x0005, std::vector<uint8_t>(10, 1)));
    ASSERT_EQ(line->writes.size(), writes + 1);
    EXPECT_EQ(line->writes.back(), Wire(CMD_CAPTURE_IMAGE));
    EXPECT_EQ(dlg.repeatCapture, 0);
    EXPECT_EQ(dlg.pendingRawResponse, 1) << "the repeat does not consume the pending answer";
}

TEST_F(SondrixDlgTest, ChecksumErrorsAndShortPacketsChangeNothing) {
    dlg.pendingRawResponse = 1;
    auto bad = Wire(CMD_GET_STATUS, RESULT_FAILED);
    bad[24] ^= 0xFF;
    Answer(bad);
    Answer({0x7E, 0x5A, 0x62, 0x00, 0x00, 0x3A});
    EXPECT_EQ(dlg.pendingRawResponse, 1);
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_EQ(Tracer().RowCount(), 0u) << "no row for a packet with a checksum error";
}

TEST_F(SondrixDlgTest, TracerRowsShowHeaderFieldsAndTheFirst24PayloadBytes) {
    dlg.PacketManager().SendGetStatus();
    EXPECT_EQ(Row(0),
              (std::vector<std::string>{"SND", "0x62", "0x00", "0x00", "0x00", "0x00", ""}));

    std::vector<uint8_t> payload(100);
    for (size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<uint8_t>(i);
    }
    dlg.imageDlg.discardNextImage = 1;  // the row is all this answer leaves
    Answer(Wire(CMD_CAPTURE_COLOR_IMAGE, 1, 0x1234, payload, 0));
    const auto row = Row(1);
    EXPECT_EQ(row[1], "0x1fd");
    EXPECT_EQ(row[3], "0x1234");
    EXPECT_EQ(row[4], "0x64");
    EXPECT_EQ(row[6], "000102030405060708090a0b0c0d0e0f1011121314151617");
    Answer(Wire(CMD_GET_TIME, 1, 0, {1, 2, 3, 4}));
    EXPECT_EQ(Row(2)[6], "01020304");
    EXPECT_EQ(dlg.traceRows, 3);
}

TEST_F(SondrixDlgTest, TracerKeepsTheNewestThousandRowsUntilCleared) {
    for (int i = 0; i < 1001; ++i) {
        dlg.PacketManager().SendCommand(CMD_GET_STATUS, static_cast<uint32_t>(i));
    }
    EXPECT_EQ(Tracer().RowCount(), 1000u);
    EXPECT_EQ(Row(0)[2], "0x01") << "the first packet's row is gone";
    EXPECT_EQ(dlg.traceRows, 1001);
    dlg.Click(CSondrixDlg::kPktClear);
    EXPECT_EQ(Tracer().RowCount(), 0u);
    EXPECT_EQ(dlg.traceRows, 0);
}

TEST_F(SondrixDlgTest, StandardTracerModeIsQuietDuringBulkTransfers) {
    EXPECT_TRUE(CPacketTracer::Accepts(CPacketTracer::kStandard, false));
    EXPECT_FALSE(CPacketTracer::Accepts(CPacketTracer::kStandard, true));
    EXPECT_TRUE(CPacketTracer::Accepts(CPacketTracer::kShowAll, true));
    EXPECT_FALSE(CPacketTracer::Accepts(CPacketTracer::kDisabled, false));
    dlg.transferBusy = 1;
    dlg.PacketManager().SendGetStatus();
    EXPECT_EQ(Tracer().RowCount(), 0u);
    dlg.transferBusy = 0;
    dlg.PacketManager().SendGetStatus();
    EXPECT_EQ(Tracer().RowCount(), 1u);
}

TEST(SondrixDlgLayout, SmallScreensGetTheCompactLayoutWithoutHeader) {
    struct SCase {
        SScreenSize screen;
        int small;
    };
    for (const SCase& c : {SCase{{800, 1024}, 1}, SCase{{1024, 600}, 1}, SCase{{801, 601}, 0}}) {
        CMessageLoop loop(CMessageLoop::EClock::Virtual);
        CScriptedUiHost ui;
        ui.SetScreenSize(c.screen);
        test::CFakeSerialFactory devices;
        CSondrixDlg dlg(loop, devices, ui);
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.smallScreen, c.small);
        EXPECT_EQ(dlg.IsVisible(CSondrixDlg::kHeader), c.small == 0);
        dlg.Click(CSondrixDlg::kHeader);
        EXPECT_EQ(ui.OpenedUrls().size(), c.small == 0 ? 1u : 0u);
    }
}

}  // namespace
}  // namespace sondrix
