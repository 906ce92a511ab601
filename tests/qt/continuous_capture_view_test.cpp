// Continuous capture from a module that answers at once keeps the program's
// queue from ever running empty; the window must still take input, paint
// and show the counters advancing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "app/sondrix_dlg.h"
#include "platform/scripted_ui_host.h"
#include "qt/main_window.h"
#include "qt/page_view.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_test_support.h"
#include "qt/simulated_desk.h"
#include "sim/sim_loopback.h"

namespace sondrix {
namespace {

// A click as the window system delivers it: press and release, posted.
void PostClick(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                        Qt::LeftButton, Qt::LeftButton, {}));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                        Qt::LeftButton, Qt::NoButton, {}));
}

TEST(ContinuousCaptureView, WindowAnswersCaptureEndWhileAnInstantModuleKeepsTheQueueFull) {
    test::TestApp();
    CMessageLoop loop(CMessageLoop::EClock::Real);
    CQtLoopDriver driver(loop);
    CScriptedUiHost host;
    CSimModule module({kModelHlxM18, 0x0301, 115200, 0});
    CSimPortFactory devices(loop, module);  // no pacing: every answer comes at once
    CSondrixDlg dialog(loop, devices, host);
    dialog.OnInitDialog();
    CMainWindow window(dialog);
    window.resize(window.sizeHint());
    window.show();

    dialog.imageDlg.Select(CImageDlg::kBaudRate, 5);
    dialog.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return host.LastBoxText() == "Connection Succeeded!!!"; }, 5000));

    CPageView* page = window.PageView(CSondrixDlg::kTabMain);
    auto* button = qobject_cast<QAbstractButton*>(page->Widget(CImageDlg::kContinuous));
    auto* succeeded = qobject_cast<QLabel*>(page->Widget(CImageDlg::kSucceededCount));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(succeeded, nullptr);
    PostClick(button);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.continuousCapture == 1; }, 2000));
    EXPECT_EQ(button->text(), "Capture End");

    // The counter the window shows goes up while the run goes on.
    ASSERT_TRUE(QTest::qWaitFor([&] { return succeeded->text().trimmed().toInt() >= 3; }, 10000))
        << "shown: " << succeeded->text().toStdString();
    test::SaveScreenshot(window, "main_window_continuous_capture");

    QElapsedTimer clock;
    qint64 handledMs = -1;
    QObject::connect(button, &QAbstractButton::clicked, [&] { handledMs = clock.elapsed(); });
    clock.start();
    PostClick(button);
    ASSERT_TRUE(QTest::qWaitFor([&] { return handledMs >= 0; }, 5000));
    EXPECT_LT(handledMs, 200) << "the click waited behind the module's answers";
    EXPECT_EQ(dialog.continuousCapture, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->text() == "Capture Start"; }, 2000));
}

// The person starts a continuous capture with Space on its button and ends
// it with Space again: the focus stays on the button meanwhile, though the
// page disables every other button (and, for a moment, this one).
TEST(ContinuousCaptureView, SpaceStartsAndEndsTheRunOnTheButtonPressed) {
    test::TestApp();
    test::SSimulatedDesk desk;
    desk.dlg.OnInitDialog();
    desk.dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
    desk.dlg.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(desk.loop.RunUntil([&] { return desk.dlg.moduleConnected == 1; }, 10000));
    CMainWindow window(desk.dlg);
    window.resize(window.sizeHint());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QWidget* button = window.PageView(CSondrixDlg::kTabMain)->Widget(CImageDlg::kContinuous);
    ASSERT_NE(button, nullptr);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    ASSERT_EQ(desk.dlg.continuousCapture, 1);
    EXPECT_EQ(QApplication::focusWidget(), button);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(desk.dlg.continuousCapture, 0);
    EXPECT_EQ(desk.dlg.moduleConnected, 1);
    EXPECT_TRUE(desk.ui.Boxes().empty()) << desk.ui.LastBoxText();
}

}  // namespace
}  // namespace sondrix
