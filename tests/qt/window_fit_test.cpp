// The window on the desks people have: a 1366 x 768 laptop screen with a
// 30-pixel panel of the desktop (and, with QT_SCALE_FACTOR=2 from CTest, the
// same desk as a 2732 x 1536 screen at 200 %), a 1024 x 768 one, and a wide
// desk, with and without the panel of the simulated module. Every page, the
// tracer's header, the message line and "Pkt Clear" must lie on the screen
// with no page scrolling, and the panel must be shown without covering any
// control. The PNGs are for looking at.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
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
// The smallest desk every page fits without scrolling: 1024 x 768 less the panel.
const QRect kSmallLaptop(0, 0, 1024, 738);

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
        desk = AddDesktopParts(*window, realPorts, withPanel ? &ports : nullptr, available);
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
            // The tracer, or on a small screen the tabs it shares with the
            // panel of the simulated module.
            if (window->LowerTabs() != nullptr) {
                ExpectOnScreen(window->LowerTabs()->tabBar(), "the tabs under the pages");
            } else {
                ExpectOnScreen(window->TracerView()->horizontalHeader(), "the tracer's header");
            }
            test::SaveScreenshot(*window, shotPrefix + kPageNames[tab]);
        }
        // The tracer keeps rows of its own under the pages.
        const int rows = window->TracerView()->RowsHeight(3);
        if (window->LowerTabs() != nullptr) {
            EXPECT_GE(window->LowerTabs()->height(), rows);
        } else {
            EXPECT_GE(window->TracerView()->height(), rows);
        }
    }

    // No control of the window lies under the panel.
    void ExpectCoversNothing() const {
        const QRect panel(desk.panel->mapToGlobal(QPoint(0, 0)), desk.panel->size());
        int controls = 0;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                                 qobject_cast<QLineEdit*>(widget) != nullptr ||
                                 qobject_cast<QComboBox*>(widget) != nullptr ||
                                 qobject_cast<QAbstractItemView*>(widget) != nullptr ||
                                 qobject_cast<QTabBar*>(widget) != nullptr;
            if (!control || !widget->isVisible() || desk.panel->isAncestorOf(widget)) {
                continue;
            }
            ++controls;
            const QRect at(widget->mapToGlobal(QPoint(0, 0)), widget->size());
            EXPECT_FALSE(at.intersects(panel))
                << widget->metaObject()->className() << " at " << at.x() << "," << at.y();
        }
        EXPECT_GT(controls, 10);
    }

    QRect m_available;
    std::unique_ptr<CMainWindow> window;
    SDeskPanel desk;
};

TEST_F(WindowFitTest, EveryPageFitsALaptopScreen) {
    Open(kLaptop, false);
    CheckEveryPage(QStringLiteral("fit_laptop_"));
}

TEST_F(WindowFitTest, EveryPageFitsA1024By768Screen) {
    Open(kSmallLaptop, false);
    CheckEveryPage(QStringLiteral("fit_1024_"));
}

TEST_F(WindowFitTest, OnALaptopThePanelIsDockedBesideThePagesFromTheStart) {
    Open(kLaptop, true);
    ASSERT_NE(desk.panel, nullptr);
    EXPECT_TRUE(desk.panel->isVisible());
    auto* dock = qobject_cast<QDockWidget*>(desk.panel->parentWidget());
    ASSERT_NE(dock, nullptr);
    EXPECT_FALSE(dock->isFloating());
    EXPECT_TRUE(window->ViewMenu()->actions().contains(desk.show));
    ExpectOnScreen(desk.panel->ModuleLine(), "the panel's last line");
    ExpectCoversNothing();
    CheckEveryPage(QStringLiteral("fit_laptop_panel_"));
}

// No room beside the pages: the panel is a tab beside the tracer, shown from
// the start, and the person places a finger as the README says.
TEST_F(WindowFitTest, OnASmallScreenThePanelIsATabBesideTheTracer) {
    Open(kSmallLaptop, true);
    ASSERT_NE(desk.panel, nullptr);
    QTabWidget* lower = window->LowerTabs();
    ASSERT_NE(lower, nullptr);
    EXPECT_TRUE(desk.panel->isVisible());
    EXPECT_TRUE(lower->isAncestorOf(desk.panel));
    ExpectOnScreen(desk.panel->PlaceButton(), "Place");
    ExpectOnScreen(desk.panel->ModuleLine(), "the panel's last line");
    ExpectCoversNothing();
    test::SaveScreenshot(*window, QStringLiteral("fit_1024_panel_tab"));

    desk.panel->UserBox()->setValue(2);
    QTest::mouseClick(desk.panel->PlaceButton(), Qt::LeftButton);
    ASSERT_TRUE(module.Finger().has_value());
    EXPECT_EQ(module.Finger()->user, 2u);

    // The tracer's tab, and the View menu's entry back to the panel.
    lower->setCurrentWidget(window->TracerView());
    EXPECT_FALSE(desk.panel->isVisible());
    EXPECT_TRUE(window->ViewMenu()->actions().contains(desk.show));
    desk.show->trigger();
    EXPECT_TRUE(desk.panel->isVisible());
    CheckEveryPage(QStringLiteral("fit_1024_panel_"));
}

TEST_F(WindowFitTest, OnAWideDeskThePanelDocksBesideThePages) {
    Open(kWideDesk, true);
    ASSERT_NE(desk.panel, nullptr);
    EXPECT_TRUE(desk.panel->isVisible());
    EXPECT_EQ(window->LowerTabs(), nullptr);
    ExpectOnScreen(desk.panel->ModuleLine(), "the panel's last line");
    ExpectCoversNothing();
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
