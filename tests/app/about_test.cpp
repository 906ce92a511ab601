#include <gtest/gtest.h>

#include "app/about_dlg.h"
#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"

namespace sondrix {
namespace {

constexpr const char* kRangeText = "Please input the correct value. (Range: 0 ~ f)";

// The About page over a program connected to the simulated module.
class AboutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dlg.OnInitDialog();
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        ASSERT_TRUE(
            loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 5000));
        loop.RunFor(100);
        module.ClearRequests();
        ui.ClearRecords();
        dlg.SelectTab(CSondrixDlg::kTabAbout);
        // Anything a handler would write shows up here.
        dlg.ShowMessage("untouched");
    }
    std::vector<std::string> TracerRow(size_t fromEnd) {
        CListData& list = dlg.List(CSondrixDlg::kTracer);
        return list.Row(list.RowCount() - 1 - fromEnd).cells;
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module{{kModelHlxM18, 0x0301, 115200, 0}};
    CSimPortFactory devices{loop, module};
    CSondrixDlg dlg{loop, devices, ui};
    CAboutDlg& about = dlg.aboutDlg;
};

TEST_F(AboutTest, EditsTakeHexadecimalDigitsOnlyAndDataSizeCountsThem) {
    about.Type(CAboutDlg::kCommand, "1g");
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, kRangeText);
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::None);
    EXPECT_EQ(about.Text(CAboutDlg::kCommand), "");

    // A pasted text is checked as a whole, not only its last character.
    about.Type(CAboutDlg::kParam2, "x1");
    EXPECT_EQ(about.Text(CAboutDlg::kParam2), "");
    about.Type(CAboutDlg::kErrorCode, "aB09");
    EXPECT_EQ(about.Text(CAboutDlg::kErrorCode), "aB09");
    about.Type(CAboutDlg::kParam1, "123456789");
    EXPECT_EQ(about.Text(CAboutDlg::kParam1), "12345678");
    EXPECT_EQ(ui.Boxes().size(), 2u);

    about.Type(CAboutDlg::kData, "0A");
    EXPECT_EQ(about.Text(CAboutDlg::kDataSize), "2");
    about.Type(CAboutDlg::kData, "0A1");
    EXPECT_EQ(about.Text(CAboutDlg::kDataSize), "3");
    about.Type(CAboutDlg::kData, "0A1 ");
    EXPECT_EQ(about.Text(CAboutDlg::kData), "");
    EXPECT_EQ(about.Text(CAboutDlg::kDataSize), "0");
    EXPECT_EQ(ui.LastBoxText(), kRangeText);
    about.Type(CAboutDlg::kDataSize, "5");
    EXPECT_EQ(about.Text(CAboutDlg::kDataSize), "0") << "Data Size is not typed into";
}

TEST_F(AboutTest, PayloadIsOneByteForEachPairOfDigits) {
    std::vector<uint8_t> bytes = {9};
    ASSERT_TRUE(CAboutDlg::DataBytes("", bytes));
    EXPECT_TRUE(bytes.empty());
    ASSERT_TRUE(CAboutDlg::DataBytes("00fFa", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x00, 0xFF, 0x0A}));
    EXPECT_FALSE(CAboutDlg::DataBytes("0g", bytes));
    ASSERT_TRUE(CAboutDlg::DataBytes(std::string(2 * CPacket::kMaxData, '1'), bytes));
    EXPECT_EQ(bytes.size(), CPacket::kMaxData);
    EXPECT_FALSE(CAboutDlg::DataBytes(std::string(2 * CPacket::kMaxData + 1, '1'), bytes));
}

TEST_F(AboutTest, SendPutsTheTypedPacketOnTheLineAndOnlyTracesItsAnswer) {
    about.Type(CAboutDlg::kCommand, "62");
    about.Type(CAboutDlg::kParam1, "DEADBEEF");
    about.Type(CAboutDlg::kParam2, "102");
    about.Type(CAboutDlg::kErrorCode, "2");
    about.Type(CAboutDlg::kData, "0102A");
    about.Click(CAboutDlg::kSend);
    EXPECT_EQ(dlg.pendingRawResponse, 1);
    for (int id : {CAboutDlg::kCommand, CAboutDlg::kParam1, CAboutDlg::kParam2,
                   CAboutDlg::kDataSize, CAboutDlg::kErrorCode, CAboutDlg::kData}) {
        EXPECT_EQ(about.Text(id), "") << id;
    }
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.pendingRawResponse == 0; }, 1000));
    loop.RunFor(100);

    ASSERT_EQ(module.Requests().size(), 1u);
    const SSimRequest& sent = module.Requests()[0];
    EXPECT_EQ(sent.command, CMD_GET_STATUS);
    EXPECT_EQ(sent.param1, 0xDEADBEEFu);
    EXPECT_EQ(sent.param2, 0x102u);
    EXPECT_EQ(sent.errorCode, 2u) << "the error code goes out as typed";
    EXPECT_EQ(sent.data, (std::vector<uint8_t>{0x01, 0x02, 0x0A}));

    EXPECT_EQ(TracerRow(1), (std::vector<std::string>{"SND", "0x62", "0xdeadbeef", "0x102", "0x03",
                                                      "0x02", "01020a"}));
    EXPECT_EQ(TracerRow(0)[0], "RCV");
    EXPECT_EQ(TracerRow(0)[1], "0x62");
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "untouched") << "no handler saw the answer";
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(AboutTest, OnlyTheFirstAnswerAfterTwoSendsIsSuppressed) {
    for (int i = 0; i < 2; ++i) {
        about.Type(CAboutDlg::kCommand, "62");
        about.Click(CAboutDlg::kSend);
    }
    EXPECT_EQ(dlg.pendingRawResponse, 1);
    loop.RunFor(500);
    EXPECT_EQ(module.RequestCount(CMD_GET_STATUS), 2u);
    EXPECT_EQ(module.Requests()[0].data.size(), 0u) << "an empty Data field sends no payload";
    EXPECT_EQ(dlg.pendingRawResponse, 0);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), "Status =  Idle...")
        << "the second answer was handled";
}

TEST_F(AboutTest, TheAboutBoxSendsNothingAndItsPictureOpensTheMakersPage) {
    ui.QueuePopup([](CDialogModel& box) {
        box.Type(CAboutDlg::kCommand, "62");
        box.Click(CAboutDlg::kSend);
        box.Click(CAboutDlg::kPicture);
        box.EndDialog(IDCANCEL);
    });
    {
        const CAboutDlg::CAboutBox box(about);
        EXPECT_EQ(ui.RunModal(about), IDCANCEL);
    }
    loop.RunFor(500);
    EXPECT_TRUE(module.Requests().empty());
    EXPECT_EQ(dlg.pendingRawResponse, 0);
    EXPECT_EQ(ui.OpenedUrls(), std::vector<std::string>{CSondrixDlg::kMakerAddress});

    // Back on the tab the form sends again.
    about.Click(CAboutDlg::kSend);
    loop.RunFor(500);
    EXPECT_EQ(module.RequestCount(CMD_GET_STATUS), 1u) << "the typed 62 stayed in the form";
    EXPECT_EQ(about.Text(CAboutDlg::kVersionLine), "Sondrix Version 2.20");
}

// Before Connect the port is closed: a packet sent from the form goes
// nowhere, so no answer may be waited for and no row traced. Were one
// waited for, the module's answer to the first CONNECT would be swallowed
// and the baud-rate search would run.
TEST(AboutBeforeConnectTest, SendLeavesNothingPendingOrTracedAndConnectFindsTheModuleAtOnce) {
    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module{{kModelHlxM18, 0x0301, 115200, 0}};
    CSimPortFactory devices{loop, module};
    CSondrixDlg dlg{loop, devices, ui};
    dlg.OnInitDialog();
    dlg.SelectTab(CSondrixDlg::kTabAbout);
    dlg.aboutDlg.Type(CAboutDlg::kCommand, "62");
    dlg.aboutDlg.Click(CAboutDlg::kSend);
    EXPECT_EQ(dlg.pendingRawResponse, 0);
    EXPECT_EQ(dlg.List(CSondrixDlg::kTracer).RowCount(), 0u);
    EXPECT_EQ(dlg.aboutDlg.Text(CAboutDlg::kCommand), "62") << "the form keeps what was typed";
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine),
              "To use other functions, please make sure the connection. ");

    dlg.SelectTab(CSondrixDlg::kTabMain);
    dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
    const int64_t start = loop.NowMs();
    dlg.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(
        loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000));
    EXPECT_LT(loop.NowMs() - start, 500) << "the first CONNECT's answer was taken";
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 1u);
}

}  // namespace
}  // namespace sondrix
