// The main window over the real main dialog: tabs through the dialog's
// guards, the tracer, the header and the About box. Boxes go to a scripted
// host, so none blocks.
#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "qt/header_picture.h"
#include "qt/image_display.h"
#include "qt/list_view.h"
#include "qt/model_dialog.h"
#include "qt/page_view.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_test_support.h"
#include "sim/pty_simulator.h"
#include "support/fake_serial.h"
#include "ui/db_dlg.h"

namespace sondrix {
namespace {

const char* const kTabFiles[] = {"main",     "authentication_user", "configuration",
                                 "database", "extra_functions",     "about"};

class MainWindowTest : public ::testing::Test {
  protected:
    explicit MainWindowTest(SScreenSize screen = {1280, 1024}) {
        test::TestApp();
        host.SetScreenSize(screen);
        dialog.OnInitDialog();
        window = std::make_unique<CMainWindow>(dialog);
        // The offscreen platform's own screen is smaller than the one the
        // dialog was told of.
        window->FitToScreen(QRect(0, 0, screen.width, screen.height));
        window->show();
    }
    ~MainWindowTest() override { window.reset(); }

    // The person clicks a tab.
    void ClickTab(int tab) {
        QTabBar* bar = window->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    }
    void Connect() {
        dialog.moduleConnected = 1;
        dialog.masterMode = 1;
    }

    CMessageLoop loop{CMessageLoop::EClock::Real};
    test::CFakeSerialFactory devices;
    CScriptedUiHost host;
    CSondrixDlg dialog{loop, devices, host};
    std::unique_ptr<CMainWindow> window;
};

TEST_F(MainWindowTest, ShowsTheMainDialogsControls) {
    QTabWidget* tabs = window->Tabs();
    ASSERT_EQ(tabs->count(), CSondrixDlg::kTabCount);
    const auto& captions = dialog.Control(CSondrixDlg::kTabs).items;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        EXPECT_EQ(tabs->tabText(tab).toStdString(), captions[static_cast<size_t>(tab)]);
        EXPECT_FALSE(tabs->tabIcon(tab).isNull());
        EXPECT_EQ(tabs->widget(tab)->findChild<CPageView*>(), window->PageView(tab));
    }
    EXPECT_EQ(tabs->currentIndex(), CSondrixDlg::kTabMain);
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_TRUE(window->Header()->isVisible());
    EXPECT_TRUE(window->MessageLine()->isReadOnly());
    EXPECT_EQ(window->PktClearButton()->text(), QStringLiteral("Pkt Clear"));
    // The fingerprint area of the Main page is the image display.
    EXPECT_NE(qobject_cast<CImageDisplay*>(
                  window->PageView(CSondrixDlg::kTabMain)->Widget(CImageDlg::kImage)),
              nullptr);
    dialog.ShowMessage("Place your finger on the sensor.");
    EXPECT_EQ(window->MessageLine()->text(), QStringLiteral("Place your finger on the sensor."));
}

TEST_F(MainWindowTest, EveryTabShowsItsPageWhileConnected) {
    Connect();
    // The test screen is smaller than a desktop; the pictures show whole pages.
    window->resize(window->sizeHint());
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        ClickTab(tab);
        EXPECT_EQ(dialog.CurrentTab(), tab);
        EXPECT_EQ(window->Tabs()->currentIndex(), tab);
        EXPECT_TRUE(window->PageView(tab)->isVisible()) << tab;
        test::SaveScreenshot(*window, QStringLiteral("main_window_") + kTabFiles[tab]);
    }
    EXPECT_TRUE(host.Boxes().empty());
}

TEST_F(MainWindowTest, AGuardedTabLandsWhereTheDialogSendsIt) {
    ClickTab(CSondrixDlg::kTabConfiguration);
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.LastBoxText(), "To use other functions, please make sure the connection. ");
    EXPECT_EQ(window->Tabs()->currentIndex(), CSondrixDlg::kTabMain);
    EXPECT_TRUE(window->PageView(CSondrixDlg::kTabMain)->isVisible());
    EXPECT_EQ(window->MessageLine()->text().toStdString(), host.LastBoxText());

    // Connected without master authority: Configuration opens
    // Authentication&User instead.
    dialog.moduleConnected = 1;
    ClickTab(CSondrixDlg::kTabConfiguration);
    EXPECT_EQ(host.LastBoxText(), "To access this menu, master authority is essentially required.");
    EXPECT_EQ(window->Tabs()->currentIndex(), CSondrixDlg::kTabAuthUser);

    // About opens without a word.
    dialog.moduleConnected = 0;
    host.ClearRecords();
    ClickTab(CSondrixDlg::kTabAbout);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_EQ(window->Tabs()->currentIndex(), CSondrixDlg::kTabAbout);
}

TEST_F(MainWindowTest, ASentPacketAddsATracerRowThatStaysInView) {
    dialog.PacketManager().SendCommand(CMD_GET_STATUS);
    QAbstractItemModel* rows = window->TracerView()->model();
    ASSERT_EQ(rows->rowCount(), 1);
    const QStringList expected = {"SND", "0x62", "0x00", "0x00", "0x00", "0x00", ""};
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(rows->index(0, column).data().toString(), expected[column]) << column;
        EXPECT_EQ(rows->index(0, column).data(Qt::TextAlignmentRole).toInt(), Qt::AlignCenter);
    }
    const int widths[] = {35, 80, 75, 75, 75, 75};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(window->TracerView()->columnWidth(column), widths[column]) << column;
    }
    EXPECT_EQ(rows->headerData(4, Qt::Horizontal).toString(), QStringLiteral("DATA SIZE"));

    for (int i = 0; i < 1010; ++i) {
        dialog.PacketManager().SendCommand(CMD_GET_STATUS, static_cast<uint32_t>(i));
    }
    ASSERT_EQ(rows->rowCount(), 1000);
    EXPECT_EQ(rows->index(999, 2).data().toString(), QStringLiteral("0x3f1"));
    CListView* tracer = window->TracerView();
    QApplication::processEvents();
    const QRect newest = tracer->visualRect(rows->index(999, 0));
    EXPECT_TRUE(tracer->viewport()->rect().contains(newest.center()));

    QTest::mouseClick(window->PktClearButton(), Qt::LeftButton);
    EXPECT_EQ(rows->rowCount(), 0);
    EXPECT_EQ(dialog.traceRows, 0);
}

// The keyboard never gets stuck: Tab and Shift+Tab leave the read-only
// lists (the tracer, the DataBase list) however many rows they hold,
// Ctrl+Tab and Ctrl+Shift+Tab change the tab from anywhere, and a click on a
// tab header takes the focus.
TEST_F(MainWindowTest, TheKeyboardLeavesTheListsAndChangesTabs) {
    Connect();
    window->resize(window->sizeHint());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    CPacket packet;
    packet.command = CMD_GET_STATUS;
    for (int i = 0; i < 5; ++i) {
        dialog.Tracer().TracePacket(packet, i % 2);
    }
    ClickTab(CSondrixDlg::kTabDataBase);
    CListData& users = dialog.dbDlg.List(CDbDlg::kList);
    for (const char* id : {"1", "2", "3"}) {
        users.AppendRow({{id}, false, {}});
    }
    QWidget* userList = window->PageView(CSondrixDlg::kTabDataBase)->Widget(CDbDlg::kList);
    ASSERT_NE(userList, nullptr);
    for (QWidget* list : {static_cast<QWidget*>(window->TracerView()), userList}) {
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            list->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), list);
            QTest::keyClick(list, key);
            EXPECT_NE(QApplication::focusWidget(), list) << list->metaObject()->className() << key;
        }
    }

    window->TracerView()->setFocus();
    QTest::keyClick(window->TracerView(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window->Tabs()->currentIndex(), CSondrixDlg::kTabExtra);
    EXPECT_EQ(dialog.CurrentTab(), CSondrixDlg::kTabExtra);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog.CurrentTab(), CSondrixDlg::kTabDataBase);

    window->MessageLine()->setFocus();
    ClickTab(CSondrixDlg::kTabAuthUser);
    EXPECT_EQ(dialog.CurrentTab(), CSondrixDlg::kTabAuthUser);
    EXPECT_EQ(QApplication::focusWidget(), window->Tabs()->tabBar());
}

TEST_F(MainWindowTest, DoubleClickOnTheHeaderOpensTheMakersPage) {
    QTest::mouseDClick(window->Header(), Qt::LeftButton);
    EXPECT_EQ(host.OpenedUrls(), std::vector<std::string>{CSondrixDlg::kMakerAddress});
}

TEST_F(MainWindowTest, AWorkingPopupDisablesTheWindowUntilItCloses) {
    dialog.popupProgress.Create(&dialog);
    EXPECT_FALSE(window->Tabs()->isEnabled());
    EXPECT_FALSE(window->PktClearButton()->isEnabled());
    dialog.popupProgress.Destroy();
    EXPECT_TRUE(window->Tabs()->isEnabled());
}

TEST_F(MainWindowTest, AboutShowsTheAboutPageInAModalBoxBesideItsTab) {
    bool shown = false;
    test::WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<CModelDialog*>(modal);
        ASSERT_NE(box, nullptr);
        auto* command = qobject_cast<QLineEdit*>(box->View().Widget(CAboutDlg::kCommand));
        ASSERT_NE(command, nullptr);
        // One model, two views: typing in the box shows in the tab too.
        QTest::keyClicks(command, QStringLiteral("62"));
        auto* inTab = qobject_cast<QLineEdit*>(
            window->PageView(CSondrixDlg::kTabAbout)->Widget(CAboutDlg::kCommand));
        EXPECT_EQ(inTab->text(), QStringLiteral("62"));
        test::SaveScreenshot(*modal, QStringLiteral("about_box"));
        shown = true;
        modal->close();
    });
    window->AboutAction()->trigger();
    EXPECT_TRUE(shown);
}

class CompactWindowTest : public MainWindowTest {
  protected:
    CompactWindowTest() : MainWindowTest({800, 600}) {}
};

TEST_F(CompactWindowTest, ASmallScreenGetsTheCompactWindowWithoutHeader) {
    EXPECT_FALSE(window->Header()->isVisible());
    // 615 x 570, as far as the screen has room beside the window's frame.
    const QRect screen(0, 0, 800, 600);
    EXPECT_EQ(window->width(), 615);
    EXPECT_EQ(window->height(),
              std::min(570, screen.marginsRemoved(CMainWindow::FrameAllowance()).height()));
    test::SaveScreenshot(*window, QStringLiteral("main_window_compact"));
}

// The whole way round on a real line: the simulated module behind a
// pseudo-terminal, the port's receive thread, the Qt loop's pump, the parser
// and the tracer view.
TEST(MainWindowLineTest, TheModulesAnswerArrivesThroughTheQtLoop) {
    test::TestApp();
    CPtySimulator simulator;
    std::string error;
    if (!simulator.Start(error)) {
        GTEST_SKIP() << "no pseudo-terminal: " << error;
    }
    CPortMap ports;
    ports.Assign(1, simulator.SlavePath());
    CMessageLoop loop(CMessageLoop::EClock::Real);
    CQtLoopDriver driver(loop);
    CScriptedUiHost host;
    CSondrixDlg dialog(loop, ports, host);
    dialog.OnInitDialog();
    CMainWindow window(dialog);
    window.show();
    ASSERT_TRUE(dialog.PacketManager().port.Open("COM1", 115200, 1))
        << dialog.PacketManager().port.LastError();
    dialog.PacketManager().SendCommand(CMD_GET_STATUS);
    QAbstractItemModel* rows = window.TracerView()->model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows->rowCount() == 2; }, 5000));
    EXPECT_EQ(rows->index(1, 0).data().toString(), QStringLiteral("RCV"));
    EXPECT_EQ(rows->index(1, 1).data().toString(), QStringLiteral("0x62"));
    dialog.PacketManager().port.Close();
}

}  // namespace
}  // namespace sondrix
