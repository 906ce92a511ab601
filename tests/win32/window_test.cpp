// The Win32 window under Wine, on the desk the test's prefix gives it (a
// 1366 x 768 screen at 96 dpi, or its 200 % twin at 192 dpi): every page is
// made and shown when its tab is clicked, and every control a page shows,
// the message line, "Pkt Clear" and the tracer lie on the screen; Connect
// reaches the simulated module; continuous capture runs while a module that
// answers at once keeps the queue full, and "Capture End" is handled at
// once. The pictures go to SONDRIX_SCREENSHOT_DIR.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/sondrix_dlg.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_desk_ports.h"
#include "sim/sim_loopback.h"
#include "sim/sim_module.h"
#include "sim/sim_panel_dlg.h"
#include "win32/control_binder.h"
#include "win32/loop_pump.h"
#include "win32/main_window.h"
#include "win32/page_window.h"
#include "win32/screenshot.h"
#include "win32/win32_front_end.h"
#include "platform/win32_gui_api.h"
#include "win32/win32_ui_host.h"

namespace sondrix {
namespace {

const char* const kPageNames[] = {"main",     "authentication_user", "configuration",
                                  "database", "extra_functions",     "about"};

RECT ScreenRect(::HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// A click as the window system delivers it: press and release, posted.
void PostClick(::HWND window, POINT at) {
    const ::LPARAM where = MAKELPARAM(at.x, at.y);
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageW(window, WM_LBUTTONUP, 0, where);
}

void PostClick(::HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    PostClick(window, {client.right / 2, client.bottom / 2});
}

class Win32WindowTest : public ::testing::Test {
  protected:
    Win32WindowTest() : scale(PrepareWindows()), pump(loop), host(pump, scale) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    }

    // Runs the window for up to `ms`, until `done` holds.
    bool RunUntil(const std::function<bool()>& done, int ms) {
        pump.RunUntil(done, ms);
        return done();
    }
    void Settle() {
        RunUntil([] { return false; }, 300);
    }
    static std::string Text(::HWND window) {
        wchar_t text[256] = {};
        ::GetWindowTextW(window, text, 255);
        return std::string(text, text + std::wcslen(text));
    }
    void Shot(::HWND window, const std::string& name) {
        if (const char* folder = std::getenv("SONDRIX_SCREENSHOT_DIR")) {
            const std::string dpi = scale > 1.5 ? "_200" : "";
            EXPECT_TRUE(
                SaveScreenshot(window, std::string(folder) + "/win32_" + name + dpi + ".bmp"));
        }
    }

    double scale;
    RECT workArea{};
    CMessageLoop loop{CMessageLoop::EClock::Real};
    CLoopPump pump;
    CWin32UiHost host;
    CScriptedUiHost ui;
};

// The desk the prefix was made for: a test on another desk proves nothing.
TEST_F(Win32WindowTest, TheDeskIsTheOneAsked) {
    const char* screen = std::getenv("SONDRIX_EXPECT_SCREEN");
    const char* dpi = std::getenv("SONDRIX_EXPECT_DPI");
    ASSERT_NE(screen, nullptr) << "SONDRIX_EXPECT_SCREEN (WxH) not set";
    ASSERT_NE(dpi, nullptr) << "SONDRIX_EXPECT_DPI not set";
    const std::string size = std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + "x" +
                             std::to_string(::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(size, screen);
    EXPECT_EQ(static_cast<int>(scale * 96 + 0.5), std::atoi(dpi));
}

TEST_F(Win32WindowTest, EveryPageIsShownAndFitsTheScreen) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 3});
    CPortMap realPorts;
    CSimDeskPorts ports(loop, module, realPorts);
    ui.SetScreenSize(host.ScreenSize());
    CSondrixDlg dlg(loop, ports, ui);
    dlg.OnInitDialog();
    // Every tab opens.
    dlg.moduleConnected = 1;
    dlg.masterMode = 1;
    CMainWindow window(dlg, host, scale);
    CSimPanelDlg panel(loop, ports);
    window.AddSimPanel(panel);
    window.Show();
    Settle();
    const RECT frame = ScreenRect(window.Handle());
    EXPECT_TRUE(Inside(frame, workArea))
        << "the window " << Describe(frame) << " on " << Describe(workArea);

    ::HWND tabs = window.Control(CSondrixDlg::kTabs);
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        SCOPED_TRACE(kPageNames[tab]);
        RECT item{};
        ::SendMessageW(tabs, TCM_GETITEMRECT, static_cast<::WPARAM>(tab),
                       reinterpret_cast<::LPARAM>(&item));
        PostClick(tabs, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        ASSERT_TRUE(RunUntil([&] { return dlg.CurrentTab() == tab; }, 2000));
        Settle();
        CPageWindow* page = window.Page(tab);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(::IsWindowVisible(page->Handle()));
        for (int other = 0; other < CSondrixDlg::kTabCount; ++other) {
            if (other != tab) {
                EXPECT_FALSE(::IsWindowVisible(window.Page(other)->Handle()));
            }
        }
        // Every control the page shows, down to its last, is in view: the
        // page needs no scrolling.
        const RECT pageRect = ScreenRect(page->Handle());
        const CDialogModel& model = dlg.Page(tab);
        int shown = 0;
        for (int id : model.ControlIds()) {
            ::HWND control = page->Control(id);
            if (!model.IsVisible(id)) {
                EXPECT_FALSE(::IsWindowVisible(control)) << "control " << id;
                continue;
            }
            ++shown;
            EXPECT_TRUE(::IsWindowVisible(control)) << "control " << id;
            RECT rect = ScreenRect(control);
            if (model.Control(id).kind == EControlKind::Combo) {
                // Its window holds the open list too.
                COMBOBOXINFO info{};
                info.cbSize = sizeof info;
                ::GetComboBoxInfo(control, &info);
                rect.bottom = rect.top + (info.rcItem.bottom + info.rcItem.top);
            }
            EXPECT_TRUE(Inside(rect, pageRect) && Inside(rect, workArea))
                << "control " << id << " at " << Describe(rect) << ", page " << Describe(pageRect);
        }
        EXPECT_GT(shown, 0);
        for (int id : {CSondrixDlg::kMessageLine, CSondrixDlg::kPktClear, CSondrixDlg::kTracer}) {
            EXPECT_TRUE(::IsWindowVisible(window.Control(id))) << id;
            EXPECT_TRUE(Inside(ScreenRect(window.Control(id)), workArea)) << id;
        }
        Shot(window.Handle(), kPageNames[tab]);
    }
    // The tracer keeps rows of its own under the pages.
    RECT tracer = ScreenRect(window.Control(CSondrixDlg::kTracer));
    EXPECT_GE(tracer.bottom - tracer.top, window.TracerRowsHeight(3));
    // The panel of the simulated module is on the screen when the View menu shows it.
    window.ShowPanel(true);
    Settle();
    EXPECT_TRUE(::IsWindowVisible(window.SimPanelWindow()));
    EXPECT_TRUE(Inside(ScreenRect(window.SimPanelWindow()), workArea))
        << Describe(ScreenRect(window.SimPanelWindow()));
    Shot(window.SimPanelWindow(), "panel");
}

TEST_F(Win32WindowTest, ConnectReachesTheModuleAndCaptureEndIsHandledAtOnce) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 0});
    CSimPortFactory devices(loop, module);  // no pacing: every answer comes at once
    ui.SetScreenSize(host.ScreenSize());
    CSondrixDlg dlg(loop, devices, ui);
    dlg.OnInitDialog();
    CMainWindow window(dlg, host, scale);
    window.Show();
    Settle();
    CPageWindow& page = *window.Page(CSondrixDlg::kTabMain);
    ::SendMessageW(page.Control(CImageDlg::kBaudRate), CB_SETCURSEL, 5, 0);
    ::SendMessageW(page.Handle(), WM_COMMAND, MAKEWPARAM(CImageDlg::kBaudRate, CBN_SELCHANGE),
                   reinterpret_cast<::LPARAM>(page.Control(CImageDlg::kBaudRate)));
    ASSERT_EQ(dlg.imageDlg.Selection(CImageDlg::kBaudRate), 5);
    PostClick(page.Control(CImageDlg::kConnect));
    ASSERT_TRUE(RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000))
        << "last box: " << ui.LastBoxText();
    EXPECT_EQ(Text(page.Control(CImageDlg::kConnect)), "Disconnect");

    // One capture: the image is drawn over the whole frame.
    PostClick(page.Control(CImageDlg::kCapture));
    ASSERT_TRUE(RunUntil([&] { return dlg.transferBusy == 1; }, 2000));
    ASSERT_TRUE(RunUntil([&] { return dlg.transferBusy == 0; }, 20000));
    EXPECT_EQ(dlg.imageDlg.imagePresent, 1);
    Settle();
    Shot(window.Handle(), "capture");

    ::HWND button = page.Control(CImageDlg::kContinuous);
    ::HWND succeeded = page.Control(CImageDlg::kSucceededCount);
    PostClick(button);
    ASSERT_TRUE(RunUntil([&] { return dlg.continuousCapture == 1; }, 2000));
    Settle();
    EXPECT_EQ(Text(button), "Capture End");
    // The counter the window shows goes up while the run goes on.
    ASSERT_TRUE(RunUntil([&] { return std::atoi(Text(succeeded).c_str()) >= 3; }, 20000))
        << "shown: " << Text(succeeded);
    Shot(window.Handle(), "continuous_capture");

    const auto clicked = std::chrono::steady_clock::now();
    PostClick(button);
    ASSERT_TRUE(RunUntil([&] { return dlg.continuousCapture == 0; }, 5000));
    const auto handledMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - clicked)
                               .count();
    EXPECT_LT(handledMs, 200) << "the click waited behind the module's answers";
    ASSERT_TRUE(RunUntil([&] { return Text(button) == "Capture Start"; }, 5000));
}

}  // namespace
}  // namespace sondrix
