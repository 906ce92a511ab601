// A capture from the simulated module, seen in the window: the image display
// shows the module's image once it has arrived.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/sondrix_dlg.h"
#include "platform/scripted_ui_host.h"
#include "qt/image_display.h"
#include "qt/main_window.h"
#include "qt/page_view.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_test_support.h"
#include "sim/sim_loopback.h"

namespace sondrix {
namespace {

TEST(CaptureView, CapturedImageIsShownStretchedOverTheFrame) {
    test::TestApp();
    CMessageLoop loop(CMessageLoop::EClock::Real);
    CQtLoopDriver driver(loop);
    CScriptedUiHost host;
    CSimModule module({kModelHlxM18, 0x0301, 9600, 3});
    CSimPortFactory devices(loop, module);
    CSondrixDlg dialog(loop, devices, host);
    dialog.OnInitDialog();
    CMainWindow window(dialog);
    window.resize(window.sizeHint());
    window.show();

    dialog.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return host.LastBoxText() == "Connection Succeeded!!!"; }, 5000));
    dialog.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return dialog.Text(CSondrixDlg::kMessageLine).rfind("Image Quality", 0) == 0; },
        5000));
    auto* display = dynamic_cast<CImageDisplay*>(
        window.PageView(CSondrixDlg::kTabMain)->Widget(CImageDlg::kImage));
    ASSERT_NE(display, nullptr);
    const QImage shown = display->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    // The frame shows the print: dark ridges and light valleys, not the placeholder.
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            dark += qGray(shown.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, shown.width() * shown.height() / 20);
    test::SaveScreenshot(window, "main_window_captured");
}

}  // namespace
}  // namespace sondrix
