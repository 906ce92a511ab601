#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "app/headless_driver.h"
#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"
#include "sim/sim_loopback.h"

namespace sondrix {
namespace {

// The program core connected to the simulated module in process, on virtual time.
class ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override { dlg.OnInitDialog(); }
    CImageDlg& Main() { return dlg.imageDlg; }
    bool ConnectAndWait(uint32_t ms) {
        Main().Click(CImageDlg::kConnect);
        return loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, ms);
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module{{kModelHlxM18, 0x0301, 9600, 42}};
    CSimPortFactory devices{loop, module};
    CSondrixDlg dlg{loop, devices, ui};
};

TEST_F(ConnectionTest, NewerModuleChainEndsInConnectionSucceeded) {
    ASSERT_TRUE(ConnectAndWait(5000));
    EXPECT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(dlg.moduleConnected, 1);
    EXPECT_EQ(dlg.connectPending, 0);
    EXPECT_EQ(Main().newModule, 0);
    EXPECT_EQ(dlg.moduleSeries, 5);
    EXPECT_EQ(dlg.idLength, 16) << "the module's ID length setting 15 plus one";
    EXPECT_EQ(Main().Text(CImageDlg::kDeviceName), "HLX-M18");
    EXPECT_EQ(Main().Text(CImageDlg::kFwVersion), "3.01");
    EXPECT_EQ(Main().Text(CImageDlg::kUserCounts), "42");
    EXPECT_EQ(Main().Text(CImageDlg::kInfoPort), "COM1");
    EXPECT_EQ(Main().Text(CImageDlg::kInfoBaudRate), "9600");
    EXPECT_EQ(Main().Text(CImageDlg::kInfoStatus), "Idle...");
    EXPECT_EQ(Main().Text(CImageDlg::kConnect), "Disconnect");
    EXPECT_TRUE(Main().IsEnabled(CImageDlg::kCapture));
    EXPECT_FALSE(Main().IsEnabled(CImageDlg::kPort));
    EXPECT_EQ(Main().imageWidth, 260);
    // The order of the chain on the wire.
    std::vector<uint32_t> commands;
    for (const SSimRequest& r : module.Requests()) {
        commands.push_back(r.command == CMD_GET_SYSTEM_OPTION ? r.param1 << 8 : r.command);
    }
    EXPECT_EQ(commands,
              (std::vector<uint32_t>{CMD_CONNECT, CMD_GET_MODULE_TYPE, CMD_GET_SYSTEM_INFO,
                                     CMD_SET_TIME, CMD_GET_STATUS, 0x5200, 0xF000,
                                     CMD_GET_SYSTEM_INFO, CMD_SET_TIME, CMD_GET_STATUS}));
}

TEST_F(ConnectionTest, OlderModuleSetsItsClockAndConnectsAtOnce) {
    module.Config().modelCode = FindModelByName("HLX-M06")->code;
    ASSERT_TRUE(ConnectAndWait(5000));
    EXPECT_EQ(dlg.moduleSeries, 1);
    EXPECT_EQ(dlg.idLength, 11);
    EXPECT_EQ(module.RequestCount(CMD_GET_SYSTEM_OPTION), 0u);
    EXPECT_EQ(module.RequestCount(CMD_SET_TIME), 1u);
}

// Which controls the pages offer is decided by the module's series once its
// firmware is known.
TEST_F(ConnectionTest, ControlSetsFollowTheSeries) {
    CBasicDlg& auth = dlg.basicDlg;
    CSystemDlg& conf = dlg.systemDlg;
    // Series 1 with early firmware: no standard template formats.
    module.Config().modelCode = FindModelByName("HLX-M06")->code;
    module.Config().firmwareVersion = 0x0124;
    ASSERT_TRUE(ConnectAndWait(5000));
    EXPECT_FALSE(auth.IsEnabled(CBasicDlg::kFormatQdxA));
    EXPECT_FALSE(auth.IsEnabled(CBasicDlg::kFormatIso));
    EXPECT_FALSE(conf.IsEnabled(CSystemDlg::kFullRotate));
    EXPECT_TRUE(conf.IsEnabled(CSystemDlg::kRelay));
    EXPECT_FALSE(conf.IsEnabled(CSystemDlg::kSetIdLength));
    EXPECT_FALSE(conf.IsEnabled(CSystemDlg::kEmulationMode));
    Main().Click(CImageDlg::kConnect);

    // The live-finger variant: one template per user may be chosen.
    ui.ClearRecords();
    module.Config().modelCode = kModelHlxM18Lfd;
    ASSERT_TRUE(ConnectAndWait(5000));
    EXPECT_TRUE(conf.IsEnabled(CSystemDlg::kTemplateCount));
    EXPECT_EQ(conf.Control(CSystemDlg::kTemplateCount).items, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(conf.Selection(CSystemDlg::kTemplateCount), 0);
    EXPECT_TRUE(conf.IsEnabled(CSystemDlg::kSetLfd));
    EXPECT_FALSE(conf.IsEnabled(CSystemDlg::kRelay));
    EXPECT_TRUE(conf.IsEnabled(CSystemDlg::kSetIdLength));
    Main().Click(CImageDlg::kConnect);

    ui.ClearRecords();
    module.Config().modelCode = kModelHlxM18;
    ASSERT_TRUE(ConnectAndWait(5000));
    EXPECT_FALSE(conf.IsEnabled(CSystemDlg::kTemplateCount));
    EXPECT_EQ(conf.Control(CSystemDlg::kTemplateCount).items, (std::vector<std::string>{"2", "4"}));
    EXPECT_FALSE(conf.IsEnabled(CSystemDlg::kSetLfd));
    Main().Click(CImageDlg::kConnect);

    // Series 2: no instant functions, no hand-set clock, and the status
    // instead of the clock ends the chain.
    ui.ClearRecords();
    module.ClearRequests();
    module.Config().modelCode = FindModelByName("HLX-M05")->code;
    ASSERT_TRUE(ConnectAndWait(5000));
    EXPECT_FALSE(auth.IsEnabled(CBasicDlg::kInstantVerification));
    EXPECT_TRUE(auth.IsEnabled(CBasicDlg::kFormatQdxA));
    EXPECT_TRUE(auth.IsEnabled(CBasicDlg::kFormatIso));
    EXPECT_FALSE(conf.IsEnabled(CSystemDlg::kProtocol));
    EXPECT_TRUE(conf.IsEnabled(CSystemDlg::kSetChannel1));
    EXPECT_FALSE(dlg.userDlg.IsEnabled(CUserDlg::kSetTime));
    EXPECT_FALSE(dlg.userDlg.IsEnabled(CUserDlg::kManualInput));
    EXPECT_EQ(module.RequestCount(CMD_SET_TIME), 0u);
}

// On a first connection nothing is known of the module beforehand: the
// firmware it reports in this chain decides.
TEST_F(ConnectionTest, FirstConnectionOfSeriesOneWithLaterFirmwareKeepsTheStandardFormats) {
    module.Config().modelCode = FindModelByName("HLX-M06")->code;
    module.Config().firmwareVersion = 0x0400;
    ASSERT_TRUE(ConnectAndWait(5000));
    EXPECT_EQ(Main().Text(CImageDlg::kFwVersion), "4.00");
    EXPECT_TRUE(dlg.basicDlg.IsEnabled(CBasicDlg::kFormatIso));
    EXPECT_TRUE(dlg.basicDlg.IsEnabled(CBasicDlg::kFormatAnsi));
    EXPECT_TRUE(dlg.systemDlg.IsEnabled(CSystemDlg::kFullRotate));
    EXPECT_FALSE(dlg.basicDlg.IsEnabled(CBasicDlg::kFormatQdxA));
}

class SeriesTwoDataBaseTest : public ConnectionTest,
                              public ::testing::WithParamInterface<std::pair<uint32_t, bool>> {};

TEST_P(SeriesTwoDataBaseTest, FirstConnectionOpensTheDataBaseTabWhenTheFirmwareSupportsIt) {
    const auto [firmware, supported] = GetParam();
    module.Config().modelCode = FindModelByName("HLX-M11")->code;
    module.Config().firmwareVersion = firmware;
    ASSERT_TRUE(ConnectAndWait(5000));
    Main().Click(CImageDlg::kEnterMaster);
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.masterMode == 1; }, 5000));
    ui.ClearRecords();
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabDataBase);
    if (supported) {
        EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabDataBase);
        EXPECT_TRUE(ui.Boxes().empty());
    } else {
        EXPECT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabAuthUser);
        EXPECT_EQ(ui.LastBoxText(), "Not supported function!!");
    }
}

INSTANTIATE_TEST_SUITE_P(Firmwares, SeriesTwoDataBaseTest,
                         ::testing::Values(std::pair{0x0103u, true}, std::pair{0x0208u, true},
                                           std::pair{0x0102u, false}));

TEST_F(ConnectionTest, SearchFindsTheModuleRateOnTheSixthAttempt) {
    module.Config().baudRate = 57600;
    const int64_t start = loop.NowMs();
    ASSERT_TRUE(ConnectAndWait(10000));
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 1u) << "only the 57600 attempt was heard";
    EXPECT_EQ(dlg.baudRate, 57600u);
    EXPECT_EQ(Main().Control(CImageDlg::kBaudRate).items[Main().Selection(CImageDlg::kBaudRate)],
              "57600 bps");
    // Five silent attempts of 500 ms, each followed by a 200 ms pause.
    EXPECT_GE(loop.NowMs() - start, 5 * 700);
    EXPECT_EQ(Main().autoSearchCount, 0);
}

TEST_F(ConnectionTest, SearchShowsEachRateItTriesWithoutTouchingTheMessageLine) {
    module.Config().baudRate = 57600;
    Main().Select(CImageDlg::kBaudRate, 2);  // 19200: wrong, so the sweep runs
    std::vector<std::string> shown;
    const CDialogObserver watch(Main(), [&](int) {
        const std::string text = Main().Text(CImageDlg::kSearchRate);
        if (shown.empty() || shown.back() != text) {
            shown.push_back(text);
        }
    });
    std::vector<std::string> messages;
    const CDialogObserver watchMessages(
        dlg, [&](int) { messages.push_back(dlg.Text(CSondrixDlg::kMessageLine)); });
    ASSERT_TRUE(ConnectAndWait(10000));
    EXPECT_EQ(
        shown,
        (std::vector<std::string>{
            "Trying 19200 bps (attempt 1 of 7)...", "Trying 9600 bps (attempt 2 of 7)...",
            "Trying 14400 bps (attempt 3 of 7)...", "Trying 19200 bps (attempt 4 of 7)...",
            "Trying 38400 bps (attempt 5 of 7)...", "Trying 57600 bps (attempt 6 of 7)...", ""}));
    for (const std::string& message : messages) {
        EXPECT_EQ(message.find("Trying"), std::string::npos) << message;
    }
}

TEST_F(ConnectionTest, SilentModuleEndsInConnectionFailedAfterSevenAttempts) {
    module.Faults().silent = true;
    Main().Click(CImageDlg::kConnect);
    ASSERT_TRUE(loop.RunUntil([&] { return !ui.Boxes().empty(); }, 20000));
    EXPECT_EQ(ui.Boxes()[0].text, "Connection is failed.");
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 2u)
        << "sent at the module's rate twice: chosen and in the sweep";
    EXPECT_EQ(dlg.moduleConnected, 0);
    EXPECT_EQ(dlg.portOpen, 0);
    EXPECT_EQ(Main().autoSearchCount, 0);
    EXPECT_EQ(Main().Text(CImageDlg::kSearchRate), "") << "no attempt runs any more";
    // The program stays usable: the next Connect works.
    module.Faults().silent = false;
    ui.ClearRecords();
    ASSERT_TRUE(ConnectAndWait(5000));
}

// A driver that refuses one line speed, as Wine's serial ports (on a
// pseudo-terminal) refuse 14400 bps; everything else goes to the simulator.
// Given a count of opens, it refuses every open after them as a port that
// another program took does.
class CRateRefusingDevice final : public ISerialDevice {
  public:
    CRateRefusingDevice(std::unique_ptr<ISerialDevice> inner, uint32_t refused,
                        int* opensLeft = nullptr)
        : m_inner(std::move(inner)), m_refused(refused), m_opensLeft(opensLeft) {}
    bool Open(uint32_t baudRate, std::string& error) override {
        m_rateRefused = baudRate == m_refused;
        if (m_rateRefused) {
            error = "COM1: The parameter is incorrect.";
            return false;
        }
        if (m_opensLeft != nullptr && (*m_opensLeft)-- <= 0) {
            error = "COM1 (/dev/ttyS0) is in use by picocom (pid 4242)";
            return false;
        }
        return m_inner->Open(baudRate, error);
    }
    void Close() override { m_inner->Close(); }
    bool IsOpen() const override { return m_inner->IsOpen(); }
    void Purge() override { m_inner->Purge(); }
    size_t Write(const uint8_t* bytes, size_t count) override {
        return m_inner->Write(bytes, count);
    }
    size_t Read(uint8_t* buffer, size_t capacity) override {
        return m_inner->Read(buffer, capacity);
    }
    EWait WaitForInput(int timeoutMs) override { return m_inner->WaitForInput(timeoutMs); }
    void Wake() override { m_inner->Wake(); }
    std::string Path() const override { return m_inner->Path(); }
    bool DeliversInputItself() const override { return m_inner->DeliversInputItself(); }
    void SetInputHandler(std::function<void()> handler) override {
        m_inner->SetInputHandler(std::move(handler));
    }

  private:
    std::unique_ptr<ISerialDevice> m_inner;
    uint32_t m_refused;
    int* m_opensLeft;
};

TEST_F(ConnectionTest, SearchGoesPastARateTheDriverRefuses) {
    struct SRefusing14400 : ISerialDeviceFactory {
        explicit SRefusing14400(ISerialDeviceFactory& inner) : inner(inner) {}
        std::unique_ptr<ISerialDevice> Create(const std::string& portName) override {
            return std::make_unique<CRateRefusingDevice>(inner.Create(portName), 14400);
        }
        ISerialDeviceFactory& inner;
    } refusing(devices);
    CSondrixDlg wine{loop, refusing, ui};
    wine.OnInitDialog();
    module.Config().baudRate = 19200;
    wine.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000))
        << ui.LastBoxText();
    EXPECT_EQ(wine.baudRate, 19200u);
    EXPECT_EQ(ui.Boxes().size(), 1u) << "the refused rate is skipped without a box";
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 1u);

    // The rate the person chose is not skipped: its refusal is reported.
    wine.imageDlg.Click(CImageDlg::kConnect);  // Disconnect
    ui.ClearRecords();
    wine.imageDlg.Select(CImageDlg::kBaudRate, 1);
    ASSERT_EQ(wine.imageDlg.Control(CImageDlg::kBaudRate).items[1], "14400 bps");
    wine.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Cannot open the port: COM1 (COM1: The parameter is incorrect.)");
    EXPECT_EQ(wine.portOpen, 0);
}

// Another program takes the port while the search closes and reopens it:
// that is said, not that no module answered.
TEST_F(ConnectionTest, APortTakenDuringTheSearchEndsItWithTheReason) {
    struct STakenAfterOneOpen : ISerialDeviceFactory {
        explicit STakenAfterOneOpen(ISerialDeviceFactory& inner) : inner(inner) {}
        std::unique_ptr<ISerialDevice> Create(const std::string& portName) override {
            return std::make_unique<CRateRefusingDevice>(inner.Create(portName), 0, &opensLeft);
        }
        ISerialDeviceFactory& inner;
        int opensLeft = 1;
    } taken(devices);
    CSondrixDlg desk{loop, taken, ui};
    desk.OnInitDialog();
    module.Config().baudRate = 19200;
    desk.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(loop.RunUntil([&] { return !ui.Boxes().empty(); }, 10000));
    EXPECT_EQ(ui.Boxes()[0].text,
              "Cannot open the port: COM1 (/dev/ttyS0) is in use by picocom (pid 4242)");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    loop.RunFor(5000);
    EXPECT_EQ(ui.Boxes().size(), 1u) << "the search ends there: " << ui.LastBoxText();
    EXPECT_EQ(desk.imageDlg.autoSearchCount, 0);
}

TEST_F(ConnectionTest, PortWithoutDeviceIsReportedWithItsReason) {
    Main().Select(CImageDlg::kPort, 1);
    Main().Click(CImageDlg::kConnect);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    EXPECT_EQ(ui.Boxes()[0].text.rfind("Cannot open the port: COM2", 0), 0u) << ui.Boxes()[0].text;
    EXPECT_EQ(dlg.portOpen, 0);
}

TEST_F(ConnectionTest, DisconnectResetsTheDisplayAndRefusesDuringContinuousCapture) {
    ASSERT_TRUE(ConnectAndWait(5000));
    dlg.continuousCapture = 1;
    Main().Click(CImageDlg::kConnect);
    EXPECT_EQ(ui.LastBoxText(), "Please stop the continuous capture before disconnect.");
    EXPECT_EQ(dlg.moduleConnected, 1);
    dlg.continuousCapture = 0;
    Main().Click(CImageDlg::kConnect);
    EXPECT_EQ(dlg.moduleConnected, 0);
    EXPECT_EQ(Main().Text(CImageDlg::kConnect), "Connect");
    EXPECT_EQ(Main().Text(CImageDlg::kDeviceName), "");
    EXPECT_FALSE(Main().IsEnabled(CImageDlg::kCapture));
    EXPECT_TRUE(Main().IsEnabled(CImageDlg::kPort));
    ui.ClearRecords();
    ASSERT_TRUE(ConnectAndWait(5000)) << "a new connection works after Disconnect";
}

// The README's headless example over a real pseudo-terminal and receive thread.
TEST(HeadlessConnection, ScriptConnectsToTheSimulatorAndReadsItsStatus) {
    CPtySimulator simulator;
    std::string error;
    if (!simulator.Start(error)) {
        GTEST_SKIP() << "no pseudo-terminal here: " << error;
    }
    CPortMap ports;
    ports.Assign(1, simulator.SlavePath());
    CMessageLoop loop(CMessageLoop::EClock::Real);
    std::istringstream script(
        "select main 1119 5\nclick main 1030\nwait-box Connection Succeeded!!! within 3000\n"
        "expect main 1018 text Idle...\nclick main 1030\nexpect main 1030 text Connect\n");
    std::ostringstream log;
    EXPECT_EQ(RunHeadless(loop, ports, script, log), 0) << log.str();
}

TEST(BcdClock, LocalTimeBecomesPackedBcdWithATrailingZero) {
    std::tm t{};
    t.tm_year = 2016 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 1;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    EXPECT_EQ(EncodeBcdTime(t),
              (std::array<uint8_t, 8>{0x20, 0x16, 0x03, 0x01, 0x09, 0x05, 0x07, 0x00}));
}

}  // namespace
}  // namespace sondrix
