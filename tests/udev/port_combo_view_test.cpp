// The Port combo in the window: a plugged adapter appearing in the open
// list, and the adapter chosen last coming back by its stable path.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/desk_choices.h"
#include "app/port_watch.h"
#include "app/sondrix_dlg.h"
#include "fake_devices.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "qt/desk_settings.h"
#include "qt/main_window.h"
#include "qt/page_view.h"
#include "qt/qt_front_end.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_test_support.h"

namespace sondrix {
namespace {

using test::CFakeDevices;

SPortChoice Adapter(const std::string& node, const std::string& byId) {
    return {node, node + " \u2014 USB Serial", byId, byId};
}

TEST(PortChoiceSettings, TheAdapterChosenLastIsChosenAgainUnderAnotherNumber) {
    test::TestApp();
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QCoreApplication::setOrganizationName(QStringLiteral("sondrix"));
    QCoreApplication::setApplicationName(QStringLiteral("sondrix"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    const std::string mine = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    const std::string other = "/dev/serial/by-id/usb-Prolific_PL2303-if00-port0";
    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CPortMap ports;
    CScriptedUiHost ui;
    const auto keep = [](const CSondrixDlg& dlg) {
        CDeskSettings settings(false);
        settings.KeepChoices(TakeDeskChoices(dlg));
        return settings.Save();
    };
    {
        CSondrixDlg dlg(loop, ports, ui);
        dlg.OnInitDialog();
        dlg.imageDlg.SetPortChoices({Adapter("ttyUSB0", mine)});
        dlg.imageDlg.Select(CImageDlg::kPort, 8);
        ASSERT_TRUE(keep(dlg));
    }
    EXPECT_EQ(
        QSettings(config.path() + QStringLiteral("/sondrix/sondrix.conf"), QSettings::IniFormat)
            .value(QStringLiteral("port/byId"))
            .toString()
            .toStdString(),
        mine);
    CSondrixDlg dlg(loop, ports, ui);
    dlg.OnInitDialog();
    // Another adapter took ttyUSB0 this time.
    dlg.imageDlg.SetPortChoices({Adapter("ttyUSB0", other), Adapter("ttyUSB1", mine)});
    ApplyDeskChoices(dlg, CDeskSettings(false).Choices());
    EXPECT_EQ(dlg.imageDlg.SelectedPortName(), "ttyUSB1");
    // A COM port chosen at the end forgets the adapter.
    dlg.imageDlg.Select(CImageDlg::kPort, 1);
    ASSERT_TRUE(keep(dlg));
    CSondrixDlg next(loop, ports, ui);
    next.OnInitDialog();
    next.imageDlg.SetPortChoices({Adapter("ttyUSB1", mine)});
    ApplyDeskChoices(next, CDeskSettings(false).Choices());
    EXPECT_EQ(next.imageDlg.SelectedPortName(), "COM2");
}

TEST(PortComboView, APluggedAdapterAppearsInTheOpenList) {
    SKIP_WITHOUT_UMOCKDEV();
    test::TestApp();
    CFakeDevices devices;
    CMessageLoop loop{CMessageLoop::EClock::Real};
    CQtLoopDriver driver(loop);
    CPortMap ports;
    CScriptedUiHost ui;
    CSondrixDlg dlg(loop, ports, ui);
    dlg.OnInitDialog();
    CMainWindow window(dlg);
    window.show();
    CPortWatch watch(dlg, ports);
    std::string error;
    ASSERT_TRUE(watch.Start(error)) << error;
    auto* combo =
        qobject_cast<QComboBox*>(window.PageView(CSondrixDlg::kTabMain)->Widget(CImageDlg::kPort));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 8);

    // The window's first painting is done before the clock starts.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    devices.AddFtdiAdapter();
    QElapsedTimer plugged;
    plugged.start();
    devices.Uevent(CFakeDevices::kFtdiTty, "add");
    while (combo->count() != 9 && plugged.elapsed() < 1000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double ms = static_cast<double>(plugged.nsecsElapsed()) / 1e6;
    ASSERT_EQ(combo->count(), 9);
    std::printf("hot-plug to the window's combo: %.2f ms\n", ms);
    EXPECT_EQ(combo->itemText(8).toStdString(), CFakeDevices::kFtdiLabel);

    combo->setCurrentIndex(8);
    combo->showPopup();
    QApplication::processEvents();
    QWidget* popup = combo->view()->window();
    ASSERT_TRUE(popup->isVisible());
    test::SaveScreenshot(window, QStringLiteral("port_combo_window"));
    test::SaveScreenshot(*popup, QStringLiteral("port_combo_open"));
    combo->hidePopup();
}

}  // namespace
}  // namespace sondrix
