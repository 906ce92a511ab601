// The window on the desks people have: a 1366 x 768 laptop screen with a
// 30-pixel panel of the desktop (and, with QT_SCALE_FACTOR=2 from CTest, the
// same desk as a 2732 x 1536 screen at 200 %), with and without the panel
// of the simulated module, and a wide desk where the panel docks. Every
// page, the tracer's header, the message line and "Pkt Clear" must lie on
// the screen with no page scrolling. The PNGs are for looking at.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/sondrix_dlg.h"
#include "qt/list_view.h"
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

// The laptop: 1366 x 768 less a 30-pixel panel at the bottom.
const QRect kLaptop(0, 0, 1366, 738);
const QRect kWideDesk(0, 0, 1920, 1050);

class WindowFitTest : public ::testing::Test, protected test::SSimulatedDesk {
  protected:
    void Open(const QRect& available, bool withPanel) {
        test::TestApp();
        m_available = available;
        ui.SetScreenSize({available.width(), available.height() + 30});
        dlg.OnInitDialog();
        // Every tab opens.
        dlg.moduleConnected = 1;
        dlg.masterMode = 1;
        window = std::make_unique<CMainWindow>(dlg);
        window->FitToScreen(available);
        panel = AddDesktopParts(*window, realPorts, withPanel ? &ports : nullptr, available);
        // Where a window manager puts a new window: inside the free area,
        // below its title bar.
        const QMargins frame = CMainWindow::FrameAllowance();
        window->setGeometry(
            QRect(available.topLeft() + QPoint(frame.left(), frame.top()), window->size()));
        window->show();
        QApplication::processEvents();
    }
    ~WindowFitTest() override { window.reset(); }

    // The widget lies wholly inside the screen's free area.
    void ExpectOnScreen(const QWidget* widget, const char* what) const {
        ASSERT_NE(widget, nullptr) << what;
        EXPECT_TRUE(widget->isVisible()) << what;
        const QRect global(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        EXPECT_TRUE(m_available.contains(global))
            << what << " at " << global.x() << "," << global.y() << " " << global.width() << "x"
            << global.height();
    }

    // Every tab in turn: no page scrolls, and every control a page shows,
    // down to its last, is in view and on the screen.
    void CheckEveryPage(const QString& shotPrefix) {
        const QRect frame = window->geometry().marginsAdded(CMainWindow::FrameAllowance());
        EXPECT_TRUE(
            m_available.contains(window->geometry().marginsAdded(CMainWindow::FrameAllowance())))
            << "the window and its frame: " << frame.x() << "," << frame.y() << " " << frame.width()
            << "x" << frame.height() << " min " << window->minimumSizeHint().height() << " "
            << window->minimumHeight();
        for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
            SCOPED_TRACE(kPageNames[tab]);
            QTabBar* bar = window->Tabs()->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
            ASSERT_EQ(window->Tabs()->currentIndex(), tab);
            QApplication::processEvents();
            auto* area = qobject_cast<QScrollArea*>(window->Tabs()->currentWidget());
            ASSERT_NE(area, nullptr);
            EXPECT_FALSE(area->verticalScrollBar()->isVisible());
            EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
            CPageView* page = window->PageView(tab);
            const CDialogModel& model = page->Binder().Model();
            int shown = 0;
            const QWidget* last = nullptr;
            for (int id : model.ControlIds()) {
                const QWidget* widget = page->Widget(id);
                if (widget == nullptr || !widget->isVisible()) {
                    continue;
                }
                ++shown;
                last = widget;
                const QRect inView(widget->mapTo(area->viewport(), QPoint(0, 0)), widget->size());
                EXPECT_TRUE(area->viewport()->rect().contains(inView)) << "control " << id;
                ExpectOnScreen(widget, "a control of the page");
            }
            EXPECT_GT(shown, 0);
            ExpectOnScreen(last, "the page's last control");
            ExpectOnScreen(window->MessageLine(), "the message line");
            ExpectOnScreen(window->PktClearButton(), "Pkt Clear");
            ExpectOnScreen(window->TracerView()->horizontalHeader(), "the tracer's header");
            test::SaveScreenshot(*window, shotPrefix + kPageNames[tab]);
        }
        // The tracer keeps rows of its own under the pages.
        EXPECT_GE(window->TracerView()->height(), window->TracerView()->RowsHeight(3));
    }

    QRect m_available;
    std::unique_ptr<CMainWindow> window;
    CSimPanel* panel = nullptr;
};

TEST_F(WindowFitTest, EveryPageFitsALaptopScreen) {
    Open(kLaptop, false);
    CheckEveryPage(QStringLiteral("fit_laptop_"));
}

TEST_F(WindowFitTest, OnALaptopThePanelStartsHiddenAndFloatsWhenShown) {
    Open(kLaptop, true);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible()) << "no room beside the pages";
    QAction* show = panel->toggleViewAction();
    EXPECT_TRUE(window->ViewMenu()->actions().contains(show));
    EXPECT_TRUE(show->isCheckable());
    show->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->isFloating()) << "it leaves the pages their width";
    ExpectOnScreen(panel, "the panel");
    ExpectOnScreen(panel->ModuleLine(), "the panel's last line");
    CheckEveryPage(QStringLiteral("fit_laptop_panel_"));
    test::SaveScreenshot(*panel, QStringLiteral("fit_laptop_panel_itself"));
}

TEST_F(WindowFitTest, OnAWideDeskThePanelDocksBesideThePages) {
    Open(kWideDesk, true);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isFloating());
    EXPECT_FALSE(window->Tabs()->geometry().intersects(panel->geometry()));
    ExpectOnScreen(panel->ModuleLine(), "the panel's last line");
    CheckEveryPage(QStringLiteral("fit_wide_panel_"));
}

TEST_F(WindowFitTest, TheSplitterSharesTheHeightAndKeepsTheTracersMinimum) {
    Open(kLaptop, false);
    QSplitter* splitter = window->Splitter();
    ASSERT_EQ(splitter->count(), 2);
    EXPECT_EQ(splitter->widget(0), window->Tabs());
    EXPECT_EQ(splitter->widget(1), window->TracerView());
    // The person drags the tracer up as far as it goes: the pages keep
    // their height in the window, the tracer is never squeezed away.
    const int total = splitter->sizes().value(0) + splitter->sizes().value(1);
    splitter->setSizes({total, 0});
    QApplication::processEvents();
    EXPECT_GE(window->TracerView()->height(), window->TracerView()->RowsHeight(3));
    // Hidden from the View menu, it gives its height to the pages.
    window->TracerAction()->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->TracerView()->isVisible());
    EXPECT_GT(window->Tabs()->height(), total - window->TracerView()->RowsHeight(3));
    window->TracerAction()->trigger();
    EXPECT_TRUE(window->TracerView()->isVisible());
}

}  // namespace
}  // namespace sondrix
