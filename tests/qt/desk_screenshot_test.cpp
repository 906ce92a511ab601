// The window of `sondrix --simulate` as a person sees it, page by page, with
// the panel of the simulated module docked beside it. CTest runs these at
// 100 % and again at 200 % (QT_SCALE_FACTOR=2); the PNGs land in the build's
// screenshot folder, to be looked at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "qt/image_display.h"
#include "qt/main_window.h"
#include "qt/page_view.h"
#include "qt/qt_front_end.h"
#include "qt/qt_test_support.h"
#include "qt/sim_panel.h"
#include "qt/simulated_desk.h"

namespace sondrix {
namespace {

const char* const kPageNames[] = {"main",     "authentication_user", "configuration",
                                  "database", "extra_functions",     "about"};

class DeskScreenshotTest : public ::testing::Test, protected test::SSimulatedDesk {
  protected:
    DeskScreenshotTest() {
        test::TestApp();
        ui.SetScreenSize({1600, 1200});
        dlg.OnInitDialog();
        window = std::make_unique<CMainWindow>(dlg);
        panel = AddDesktopParts(*window, realPorts, &ports, QRect(0, 0, 1600, 1200)).panel;
        window->show();
    }
    ~DeskScreenshotTest() override { window.reset(); }

    // Connects to the module and captures a print, as the demo starts.
    void ConnectAndCapture() {
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        ASSERT_TRUE(loop.RunUntil([&] { return dlg.moduleConnected == 1; }, 10000));
        loop.RunFor(2000);
        dlg.imageDlg.Click(CImageDlg::kCapture);
        ASSERT_TRUE(
            loop.RunUntil([&] { return module.RequestCount(CMD_CAPTURE_IMAGE) > 0; }, 5000));
        loop.RunFor(20000);
        dlg.masterMode = 1;  // every tab opens
    }
    qreal Scale() const { return window->devicePixelRatioF(); }

    std::unique_ptr<CMainWindow> window;
    CSimPanel* panel = nullptr;
};

TEST_F(DeskScreenshotTest, EveryPageBesideThePanelAtTheScreensScale) {
    ASSERT_NE(panel, nullptr);
    ConnectAndCapture();
    window->resize(window->sizeHint());
    EXPECT_TRUE(panel->isVisible());
    // The panel sits beside the pages, not over them.
    const QRect pages(window->Tabs()->mapTo(window.get(), QPoint()), window->Tabs()->size());
    EXPECT_FALSE(pages.intersects(QRect(panel->mapTo(window.get(), QPoint()), panel->size())));
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        QTabBar* bar = window->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        ASSERT_EQ(window->Tabs()->currentIndex(), tab);
        const QString path =
            test::SaveScreenshot(*window, QStringLiteral("desk_") + kPageNames[tab]);
        // The picture has the screen's pixels, not a blown-up 100 % one.
        const QImage shot(path);
        EXPECT_EQ(shot.width(), qRound(window->width() * Scale())) << path.toStdString();
        EXPECT_EQ(shot.height(), qRound(window->height() * Scale()));
    }
}

TEST_F(DeskScreenshotTest, TabIconsAreDrawnForTheScreensPixels) {
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        const QIcon icon = window->Tabs()->tabIcon(tab);
        const QPixmap pixmap = icon.pixmap(window->Tabs()->iconSize(), Scale());
        EXPECT_EQ(pixmap.width(), qRound(16 * Scale())) << tab;
    }
    const QPixmap appIcon = window->windowIcon().pixmap(QSize(32, 32), Scale());
    EXPECT_EQ(appIcon.width(), qRound(32 * Scale()));
}

}  // namespace
}  // namespace sondrix
