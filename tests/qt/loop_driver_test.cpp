// The Qt event loop drives the program's message loop: posts from any
// thread, window timers, and both while a modal box runs its own loop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <ctime>
#include <thread>

#include "platform/message_loop.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_test_support.h"
#include "qt/qt_ui_host.h"

namespace sondrix {
namespace {

constexpr uint32_t kPing = WM_USER + 7;

class CCountingWindow : public CWindow {
  public:
    using CWindow::CWindow;
    LRESULT WindowProc(uint32_t message, WPARAM, LPARAM) override {
        if (message == kPing) {
            ++pings;
            pingedUnderBox = QApplication::activeModalWidget() != nullptr;
        }
        return 0;
    }
    void OnTimer(uint32_t) override { ++ticks; }
    int pings = 0;
    int ticks = 0;
    bool pingedUnderBox = false;
};

class LoopDriverTest : public ::testing::Test {
  protected:
    LoopDriverTest() { test::TestApp(); }
    CMessageLoop loop{CMessageLoop::EClock::Real};
    CCountingWindow window{loop};
    CQtLoopDriver driver{loop};
};

TEST_F(LoopDriverTest, PostFromAnotherThreadIsDeliveredOnTheQtLoop) {
    std::thread poster([this] {
        for (int i = 0; i < 50; ++i) {
            window.PostMessage(kPing);
        }
    });
    poster.join();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.pings == 50; }, 2000));
}

TEST_F(LoopDriverTest, MessagesPostedBeforeTheDriverExistedAreDelivered) {
    CMessageLoop early(CMessageLoop::EClock::Real);
    CCountingWindow target(early);
    target.PostMessage(kPing);
    CQtLoopDriver lateDriver(early);
    EXPECT_TRUE(QTest::qWaitFor([&] { return target.pings == 1; }, 2000));
}

TEST_F(LoopDriverTest, WindowTimersTickOnTheQtLoopUntilKilled) {
    window.SetTimer(1, 40);
    QTest::qWait(400);
    // Ten at most; a busy machine may drop a few, as late window timers do.
    EXPECT_GE(window.ticks, 5);
    EXPECT_LE(window.ticks, 10);
    window.KillTimer(1);
    const int ticks = window.ticks;
    QTest::qWait(120);
    EXPECT_EQ(window.ticks, ticks);
}

TEST_F(LoopDriverTest, ReArmingATimerMovesItsDeadline) {
    window.SetTimer(1, 500);
    QTest::qWait(20);
    window.SetTimer(1, 30);
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.ticks >= 1; }, 200));
}

TEST_F(LoopDriverTest, AnIdleLoopSleeps) {
    window.SetTimer(1, 100);
    const std::clock_t before = std::clock();
    QTest::qWait(400);
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC;
    EXPECT_GE(window.ticks, 3);
    // Polling would burn the whole wait; sleeping costs next to nothing.
    EXPECT_LT(cpuMs, 100.0);
}

TEST_F(LoopDriverTest, PostsAndTimersKeepFlowingWhileAModalBoxIsOpen) {
    CQtUiHost host;
    window.SetTimer(1, 20);
    test::WhenModalOpens([this](QWidget* box) {
        std::thread([this] { window.PostMessage(kPing); }).join();
        const int ticks = window.ticks;
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return window.pings == 1 && window.ticks > ticks; }, 2000));
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    host.MessageBox("Waiting", EIcon::Information);
    EXPECT_EQ(window.pings, 1);
    EXPECT_TRUE(window.pingedUnderBox);
}

}  // namespace
}  // namespace sondrix
