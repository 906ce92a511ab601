// The panel of --simulate over the real chain: the program core, the ports
// of --simulate and the simulated module on virtual time. What the person
// does in the panel must show in what the program gets from the module.
#include "qt/sim_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <memory>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/port_map.h"
#include "qt/qt_front_end.h"
#include "qt/qt_test_support.h"
#include "qt/simulated_desk.h"

namespace sondrix {
namespace {

class SimPanelTest : public ::testing::Test, protected test::SSimulatedDesk {
  protected:
    SimPanelTest() {
        test::TestApp();
        dlg.OnInitDialog();
        panel = std::make_unique<CSimPanel>(ports);
    }

    // Connects at 115200 bps (the rate box's sixth entry).
    bool Connect() {
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        const bool connected = loop.RunUntil(
            [&] { return dlg.connectPending == 0 && dlg.moduleConnected == 1; }, 10000);
        loop.RunFor(2000);
        ui.ClearRecords();
        return connected;
    }
    bool WaitForBox(const std::string& text) {
        return loop.RunUntil(
            [&] {
                return std::ranges::any_of(ui.Boxes(),
                                           [&](const auto& box) { return box.text == text; });
            },
            20000);
    }
    // The person picks a finger in the panel and lays it on the sensor.
    void Place(int person, int finger) {
        panel->UserBox()->setValue(person);
        panel->FingerBox()->setCurrentIndex(finger);
        QTest::mouseClick(panel->PlaceButton(), Qt::LeftButton);
    }
    void Identify() {
        ui.ClearRecords();
        dlg.basicDlg.Click(CBasicDlg::kIdentification);
    }

    std::unique_ptr<CSimPanel> panel;
};

TEST_F(SimPanelTest, ThePlacedFingerDecidesWhomIdentificationFinds) {
    ASSERT_TRUE(Connect());
    Place(2, 0);
    EXPECT_EQ(module.Finger(), FingerOnSensor(SFinger{2, 0}));
    EXPECT_EQ(panel->SensorLine()->text(), QStringLiteral("On the sensor: user 2, finger 0"));
    Identify();
    ASSERT_TRUE(WaitForBox("Identification Succeeded!!! (ID : 2, Index : 0)"));

    Place(3, 0);
    Identify();
    ASSERT_TRUE(WaitForBox("Identification Succeeded!!! (ID : 3, Index : 0)"));

    // Another finger of the same person is not enrolled.
    Place(3, 4);
    Identify();
    ASSERT_TRUE(WaitForBox("Identification Failed!!!"));

    // Lifted, the sensor stays empty and the scan never succeeds.
    QTest::mouseClick(panel->LiftButton(), Qt::LeftButton);
    EXPECT_EQ(module.Finger(), kNoFinger);
    EXPECT_EQ(panel->SensorLine()->text(), QStringLiteral("The sensor is empty."));
    EXPECT_FALSE(panel->LiftButton()->isEnabled());
    Identify();
    loop.RunFor(20000);
    EXPECT_TRUE(std::ranges::none_of(ui.Boxes(), [](const auto& box) {
        return box.text.starts_with("Identification Succeeded");
    }));
}

// Auto-On results come from the module unasked; the ports of --simulate must
// carry them to the program.
TEST_F(SimPanelTest, AFingerPlacedDuringAutoOnIsReportedByItself) {
    ASSERT_TRUE(Connect());
    dlg.basicDlg.Click(CBasicDlg::kAutoOn);
    ASSERT_TRUE(WaitForBox("Auto Identify configure succeeded!!!"));
    ui.ClearRecords();
    Place(1, 0);
    ASSERT_TRUE(WaitForBox(
        "Auto Identification succeeded!!! (ID : 1, Index : 0)\r\nCapture time = 250ms, 1:N time = "
        "40ms"));
}

TEST_F(SimPanelTest, FaultsChangeTheModulesAnswersAtOnce) {
    ASSERT_TRUE(Connect());
    test::ClickIndicator(panel->SilentBox());
    EXPECT_TRUE(module.Faults().silent);
    test::ClickIndicator(panel->SilentBox());
    EXPECT_FALSE(module.Faults().silent);
    test::ClickIndicator(panel->ChecksumBox());
    EXPECT_TRUE(module.Faults().corruptChecksum);
    test::ClickIndicator(panel->ChecksumBox());

    // A forced result reaches the program's error report.
    const int index =
        panel->ResultBox()->findData(static_cast<uint32_t>(RESULT_SENSOR_INIT_FAILED));
    ASSERT_GT(index, 0);
    panel->ResultBox()->setCurrentIndex(index);
    EXPECT_EQ(module.Faults().forcedResult, RESULT_SENSOR_INIT_FAILED);
    Place(1, 0);
    Identify();
    ASSERT_TRUE(WaitForBox(ResultText(RESULT_SENSOR_INIT_FAILED)));
    panel->ResultBox()->setCurrentIndex(0);
    EXPECT_EQ(module.Faults().forcedResult, 0u);
    Identify();
    ASSERT_TRUE(WaitForBox("Identification Succeeded!!! (ID : 1, Index : 0)"));
}

TEST_F(SimPanelTest, ModelAndLineSpeedWaitForTheNextConnection) {
    ASSERT_TRUE(Connect());
    panel->ModelBox()->setCurrentIndex(
        panel->ModelBox()->findData(static_cast<uint32_t>(kModelHlxM28)));
    panel->BaudBox()->setCurrentIndex(panel->BaudBox()->findData(57600u));
    // The open line keeps the module it has.
    EXPECT_EQ(module.Config().modelCode, kModelHlxM18);
    EXPECT_EQ(module.Config().baudRate, 115200u);
    EXPECT_TRUE(panel->ModuleLine()->text().contains(QStringLiteral("next connection")));

    dlg.imageDlg.Click(CImageDlg::kConnect);  // "Disconnect"
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.moduleConnected == 0; }, 5000));
    // At 57600 bps (the rate box's fifth entry) the new module answers.
    dlg.imageDlg.Select(CImageDlg::kBaudRate, 4);
    dlg.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.moduleConnected == 1; }, 10000));
    EXPECT_EQ(module.Config().modelCode, kModelHlxM28);
    EXPECT_EQ(module.Config().baudRate, 57600u);
    EXPECT_EQ(ports.Create("COM1")->Path(), "simulated module");
    panel->Refresh();
    EXPECT_FALSE(panel->ModuleLine()->text().contains(QStringLiteral("next connection")));
    test::SaveScreenshot(*panel, QStringLiteral("sim_panel"));
}

// The program may change the module's line speed itself (an option); the
// next connection must not undo that, and the panel shows it.
TEST_F(SimPanelTest, ALineSpeedTheModuleTookItselfStays) {
    module.Config().baudRate = 38400;
    panel->Refresh();
    EXPECT_EQ(panel->BaudBox()->currentData().toUInt(), 38400u);
    ASSERT_NE(ports.Create("COM1"), nullptr);
    EXPECT_EQ(module.Config().baudRate, 38400u);

    // A choice in the panel is taken once, at the next opening.
    panel->BaudBox()->setCurrentIndex(panel->BaudBox()->findData(9600u));
    module.Config().baudRate = 19200;
    panel->Refresh();
    EXPECT_EQ(panel->BaudBox()->currentData().toUInt(), 9600u) << "the person's choice shows";
    ASSERT_NE(ports.Create("COM1"), nullptr);
    EXPECT_EQ(module.Config().baudRate, 9600u);
    module.Config().baudRate = 57600;
    ASSERT_NE(ports.Create("COM1"), nullptr);
    EXPECT_EQ(module.Config().baudRate, 57600u);
    // Other ports are the real devices.
    EXPECT_EQ(ports.Create("COM2")->Path(), "/dev/ttyS1");
}

TEST(PortMapToolTip, NamesTheDeviceBehindEachPort) {
    CPortMap ports;
    ports.Assign(3, "/dev/ttyUSB0");
    const QStringList lines = PortMapToolTip(ports, true).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), CPortMap::kPortCount);
    EXPECT_EQ(lines[0], QStringLiteral("COM1: the simulated module"));
    EXPECT_EQ(lines[1], QStringLiteral("COM2: /dev/ttyS1"));
    EXPECT_EQ(lines[2], QStringLiteral("COM3: /dev/ttyUSB0"));
    EXPECT_EQ(PortMapToolTip(ports, false).split(QLatin1Char('\n'))[0],
              QStringLiteral("COM1: /dev/ttyS0"));
}

}  // namespace
}  // namespace sondrix
