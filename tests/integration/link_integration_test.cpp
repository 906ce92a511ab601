#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "link/command_table.h"
#include "link/packet_manager_wnd.h"
#include "link/result_codes.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"
#include "sim/sim_loopback.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

constexpr std::array<uint32_t, 6> kRates = {9600, 14400, 19200, 38400, 57600, 115200};

// The program's link against the simulator on a real pseudo-terminal, with
// the real receive thread, on the real clock.
class PtyLinkTest : public ::testing::TestWithParam<uint32_t> {
  protected:
    void StartSimulator(uint32_t baud) {
        simulator = std::make_unique<CPtySimulator>(SSimConfig{kModelHlxM18, 0x0301, baud, 7});
        std::string error;
        if (!simulator->Start(error)) {
            GTEST_SKIP() << "no pseudo-terminal here: " << error;
        }
        ports.Assign(1, simulator->SlavePath());
        pm.Create(&dialog, dialog.Handle());
    }
    bool WaitForAnswers(size_t count, uint32_t ms) {
        return loop.RunUntil([&] { return dialog.notifications.size() >= count; }, ms);
    }

    CMessageLoop loop{CMessageLoop::EClock::Real};
    CScriptedUiHost ui;
    CPortMap ports;
    test::CRecordingDialog dialog{loop};
    CPacketManagerWnd pm{loop, ports, ui};
    std::unique_ptr<CPtySimulator> simulator;
};

TEST_P(PtyLinkTest, ConnectIsAnsweredAtEachRate) {
    const uint32_t baud = GetParam();
    StartSimulator(baud);
    ASSERT_TRUE(pm.port.Open("COM1", baud, 0)) << pm.port.LastError();
    EXPECT_EQ(pm.port.DevicePath(), simulator->SlavePath());
    pm.SendCommand(CMD_CONNECT);
    pm.SendCommand(CMD_GET_MODULE_TYPE);
    ASSERT_TRUE(WaitForAnswers(2, 3000));
    EXPECT_EQ(dialog.notifications[0].message, WM_USER + 0x0A);
    EXPECT_EQ(dialog.notifications[0].param1, RESULT_SUCCESS);
    EXPECT_EQ(dialog.notifications[0].param2, 7u);
    EXPECT_EQ(dialog.notifications[1].param2, kModelHlxM18);
    pm.port.Close();
    EXPECT_EQ(pm.port.connected, 0);
}

INSTANTIATE_TEST_SUITE_P(AllRates, PtyLinkTest, ::testing::ValuesIn(kRates));

TEST_F(PtyLinkTest, ModuleAtAnotherRateStaysSilent) {
    StartSimulator(57600);
    ASSERT_TRUE(pm.port.Open("COM1", 9600, 0));
    pm.SendCommand(CMD_CONNECT);
    EXPECT_FALSE(WaitForAnswers(1, 400));
    pm.port.Close();
    // The same module answers once the host uses its rate.
    ASSERT_TRUE(pm.port.Open("COM1", 57600, 0));
    pm.SendCommand(CMD_CONNECT);
    EXPECT_TRUE(WaitForAnswers(1, 3000));
    simulator->WithModule([](CSimModule& m) { EXPECT_EQ(m.RequestCount(CMD_CONNECT), 1u); });
}

TEST_F(PtyLinkTest, LargePayloadCrossesTheRingIntact) {
    StartSimulator(115200);
    ASSERT_TRUE(pm.port.Open("COM1", 115200, 0));
    // An unknown command with a 20000-byte payload: the module must receive it
    // whole (checksums good) and answer.
    pm.txPacket.command = 0x60;
    pm.txPacket.param1 = pm.txPacket.param2 = pm.txPacket.errorCode = 0;
    pm.txPacket.dataSize = 20000;
    for (uint32_t i = 0; i < 20000; ++i) {
        pm.txPacket.data[i] = static_cast<uint8_t>(i * 13);
    }
    pm.SendTxPacket();
    ASSERT_TRUE(WaitForAnswers(1, 5000));
    simulator->WithModule([](CSimModule& m) {
        ASSERT_EQ(m.Requests().size(), 1u);
        EXPECT_EQ(m.Requests()[0].data.size(), 20000u);
        EXPECT_EQ(m.Requests()[0].data[19999], static_cast<uint8_t>(19999 * 13));
    });
}

TEST_F(PtyLinkTest, LineThatGoesAwayIsReportedOnceAndTheThreadEnds) {
    StartSimulator(115200);
    ASSERT_TRUE(pm.port.Open("COM1", 115200, 0));
    simulator->Stop();  // the other end of the line is gone
    const auto lost = [&] {
        return std::count_if(dialog.others.begin(), dialog.others.end(),
                             [](const auto& m) { return m.first == WM_PORT_LOST; });
    };
    ASSERT_TRUE(loop.RunUntil([&] { return lost() == 1; }, 3000));
    loop.RunFor(200);
    EXPECT_EQ(lost(), 1) << "the receive thread ends instead of spinning on the hang-up";
    pm.port.Close();
    EXPECT_EQ(pm.port.connected, 0);
}

TEST_F(PtyLinkTest, OpenFailureNamesTheDevice) {
    ports.Assign(2, "/dev/does-not-exist");
    EXPECT_FALSE(pm.port.Open("COM2", 9600, 0));
    EXPECT_EQ(pm.port.connected, 0);
    EXPECT_NE(pm.port.LastError().find("/dev/does-not-exist"), std::string::npos);
    pm.port.Close();  // closing a port that is not open does nothing
}

// The same exchange in process, on virtual time: answers arrive through loop
// timers with the wire time of their bytes when pacing is on.
TEST(LoopbackLinkTest, AnswersArriveAfterTheirWireTimeOnVirtualClock) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CScriptedUiHost ui;
    CSimModule module({0x4D06, 0x0230, 9600, 3});
    CSimPortFactory devices(loop, module);
    devices.SetPacing(true);
    test::CRecordingDialog dialog(loop);
    CPacketManagerWnd pm(loop, devices, ui);
    pm.Create(&dialog, dialog.Handle());
    ASSERT_TRUE(pm.port.Open("COM1", 9600, 0));
    EXPECT_FALSE(pm.port.Open("COM2", 9600, 0)) << "only COM1 has the module";
    ASSERT_TRUE(pm.port.Open("COM1", 9600, 0));

    pm.SendCommand(CMD_CONNECT);
    // 25 bytes out and 25 back at 9600 bps take 2 x 26 ms.
    loop.RunFor(51);
    EXPECT_TRUE(dialog.notifications.empty());
    loop.RunFor(2);
    ASSERT_EQ(dialog.notifications.size(), 1u);
    EXPECT_EQ(dialog.notifications[0].param2, 3u);
}

}  // namespace
}  // namespace sondrix
