#pragma once

#include <array>
#include <functional>
#include <memory>

#include "ui/page_layout.h"
#include "win32/win32_handles.h"

namespace sondrix {

class CControlBinder;
class CDialogObserver;
class CPageWindow;
class CPopupWindow;
class CSimPanelDlg;
class CSondrixDlg;
class CWin32UiHost;
class IDeskStore;

// The main window: the header picture, the six tab pages and the packet
// tracer (sharing the height through a splitter), the message line and
// "Pkt Clear", the File, View and Help menus, and with --simulate the
// panel of the simulated module beside it. A tab the person picks goes to
// the main dialog, whose guards decide which tab is shown. The window must
// not outlive the dialog.
class CMainWindow {
  public:
    // Menu commands (and their accelerators).
    static constexpr int kSaveTrace = 40001;
    static constexpr int kQuit = 40002;
    static constexpr int kShowPanel = 40010;
    static constexpr int kShowTracer = 40011;
    static constexpr int kAbout = 40020;

    CMainWindow(CSondrixDlg& dialog, CWin32UiHost& host, double scale);
    ~CMainWindow();
    CMainWindow(const CMainWindow&) = delete;
    CMainWindow& operator=(const CMainWindow&) = delete;

    WinHandle Handle() const { return m_window; }
    void* Accelerators() const { return m_accelerators; }
    FontHandle PopupFont() const { return m_popupFont; }
    CPageWindow* Page(int tab) const;
    WinHandle Control(int id) const;  // the main dialog's own controls
    CPageWindow* SimPanel() const { return m_panelPage.get(); }
    WinHandle SimPanelWindow() const { return m_panel; }

    // With --simulate: the panel that plays the module, and its View entry.
    void AddSimPanel(CSimPanelDlg& panel);
    // Sizes the window for a screen whose free area is `available`, frame
    // included: the compact window in the corner of a small screen, else the
    // natural size as far as it fits, without the header picture when the
    // screen is too short for it. The pages get the height they need and the
    // tracer the rest. With the panel: beside the window when both fit,
    // else hidden until the View menu shows it at the screen's right edge.
    void FitToScreen(const SLayoutRect& available);
    // Puts back the place, size and splitter kept by an earlier run, where
    // they still fit the screen.
    void Restore(const IDeskStore& store);
    void Keep(IDeskStore& store) const;
    // Called before the window closes, still as the person left it.
    void OnClosing(std::function<void()> closing) { m_closing = std::move(closing); }
    // Called when the system reports a device coming or going.
    void OnDevicesChanged(std::function<void()> changed) { m_devicesChanged = std::move(changed); }

    void Show();
    void ShowAboutBox();
    void ShowTracer(bool shown);
    void ShowPanel(bool shown);
    int TracerHeight() const { return m_tracerHeight; }
    // The tracer's heading and `rows` rows.
    int TracerRowsHeight(int rows) const;

    long long OnMessage(unsigned int message, unsigned long long wparam, long long lparam,
                        bool& handled);

  private:
    void MakeMenus();
    void MakeTabIcons();
    void ShowCurrentPage();
    // The client area's parts, top to bottom, for its present size.
    void Arrange();
    SWindowParts Parts() const;
    SLayoutRect WindowRectFor(SLayoutSize client) const;
    int Scaled(double length) const;
    bool OnSplitter(unsigned int message, long long lparam);

    CSondrixDlg& m_dialog;
    CWin32UiHost& m_host;
    double m_scale;
    WinHandle m_window = nullptr;
    FontHandle m_font = nullptr;
    FontHandle m_popupFont = nullptr;
    void* m_accelerators = nullptr;
    void* m_tabIcons = nullptr;
    HMENU__* m_viewMenu = nullptr;
    std::unique_ptr<CControlBinder> m_binder;
    std::array<std::unique_ptr<CPageWindow>, 6> m_pages;
    std::unique_ptr<CDialogObserver> m_tabWatch;
    bool m_headerShown = true;
    bool m_tracerShown = true;
    int m_tracerHeight = 0;
    int m_splitterTop = 0;  // where the handle is now
    int m_dragFrom = -1;    // the pointer's y when a drag of the handle began
    int m_dragHeight = 0;
    WinHandle m_panel = nullptr;
    std::unique_ptr<CPageWindow> m_panelPage;
    bool m_panelBeside = false;
    SLayoutRect m_available;
    std::function<void()> m_closing;
    std::function<void()> m_devicesChanged;
};

}  // namespace sondrix
