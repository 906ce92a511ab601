#include "win32/main_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/desk_choices.h"
#include "app/sondrix_dlg.h"
#include "platform/win32_text.h"
#include "sim/sim_panel_dlg.h"
#include "ui/strings.h"
#include "win32/control_binder.h"
#include "win32/list_control.h"
#include "win32/page_window.h"
#include "win32/pictures.h"
#include "platform/win32_gui_api.h"
#include "win32/win32_ui_host.h"

namespace sondrix {

namespace {

constexpr const wchar_t* kMainClass = L"SondrixMain";
constexpr const wchar_t* kPanelClass = L"SondrixPanel";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExtendedStyle = WS_EX_CONTROLPARENT;
constexpr DWORD kPanelStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPanelExtendedStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
// At 96 dpi: the margins, the spacing between rows, the splitter's handle,
// the header picture's height, the compact window of small screens.
constexpr int kMargin = 6;
constexpr int kHandle = 6;
constexpr int kHeaderHeight = 56;
constexpr int kHeaderWidth = 600;
constexpr SLayoutSize kCompactSize{615, 570};
constexpr SLayoutSize kMinimumSize{600, 480};
constexpr int kPagesMinimum = 60;
// The tracer never gets smaller than its heading and this many rows, and
// asks for this many.
constexpr int kTracerMinimumRows = 3;
constexpr int kTracerRows = 6;
// GUID_DEVINTERFACE_COMPORT: the device interface of every COM port.
constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

::LRESULT CALLBACK MainProc(::HWND window, UINT message, ::WPARAM wparam, ::LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* main = reinterpret_cast<CMainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (main != nullptr) {
        bool handled = false;
        const ::LRESULT result = main->OnMessage(message, wparam, lparam, handled);
        if (handled) {
            return result;
        }
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

// The panel's own window: closing it hides it, as its View entry does.
::LRESULT CALLBACK PanelProc(::HWND window, UINT message, ::WPARAM wparam, ::LPARAM lparam) {
    if (message == WM_CLOSE) {
        ::SendMessageW(::GetWindow(window, GW_OWNER), WM_COMMAND, CMainWindow::kShowPanel, 0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

void RegisterClasses() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = MainProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        windowClass.hIcon = ::LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
        windowClass.lpszClassName = kMainClass;
        ::RegisterClassExW(&windowClass);
        windowClass.lpfnWndProc = PanelProc;
        windowClass.hIcon = nullptr;
        windowClass.lpszClassName = kPanelClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

HFONT MessageFont(int points, int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (points > 0) {
        metrics.lfMessageFont.lfHeight = -::MulDiv(points, dpi, 72);
    }
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace

CMainWindow::CMainWindow(CSondrixDlg& dialog, CWin32UiHost& host, double scale)
    : m_dialog(dialog), m_host(host), m_scale(scale) {
    RegisterClasses();
    const int dpi = static_cast<int>(std::lround(96 * scale));
    m_font = MessageFont(0, dpi);
    // Popups use a 14-point font, as they always did.
    m_popupFont = MessageFont(14, dpi);
    const std::wstring title = WideFromUtf8(dialog.Caption());
    m_window = ::CreateWindowExW(kExtendedStyle, kMainClass, title.c_str(), kStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, Scaled(800), Scaled(600), nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), this);
    MakeMenus();
    m_binder = std::make_unique<CControlBinder>(dialog, m_window, m_font, scale);
    m_binder->SetWindowToEnable(m_window);
    for (int id : {CSondrixDlg::kHeader, CSondrixDlg::kTabs, CSondrixDlg::kTracer,
                   CSondrixDlg::kMessageLine, CSondrixDlg::kPktClear}) {
        m_binder->Create(id);
    }
    ::HWND tabs = m_binder->Window(CSondrixDlg::kTabs);
    ::SetWindowLongPtrW(tabs, GWL_EXSTYLE,
                        ::GetWindowLongPtrW(tabs, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    MakeTabIcons();
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        m_pages[static_cast<size_t>(tab)] =
            std::make_unique<CPageWindow>(dialog.Page(tab), tabs, m_font, scale);
    }
    m_binder->Refresh(0);
    m_tabWatch = std::make_unique<CDialogObserver>(dialog, [this](int id) {
        if (id == 0 || id == CSondrixDlg::kTabs) {
            ShowCurrentPage();
        }
    });
    ShowCurrentPage();
    m_tracerHeight = TracerRowsHeight(kTracerRows);
    // Ports coming and going: the system tells every top-level window.
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kComPortInterface;
    ::RegisterDeviceNotificationW(m_window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ::GetMonitorInfoW(::MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &screen);
    FitToScreen({screen.rcWork.left, screen.rcWork.top, screen.rcWork.right - screen.rcWork.left,
                 screen.rcWork.bottom - screen.rcWork.top});
}

CMainWindow::~CMainWindow() {
    m_tabWatch.reset();
    m_panelPage.reset();
    if (m_panel != nullptr) {
        ::DestroyWindow(m_panel);
    }
    for (auto& page : m_pages) {
        page.reset();
    }
    m_binder.reset();
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    ::DestroyWindow(m_window);
    ::DestroyAcceleratorTable(static_cast<HACCEL>(m_accelerators));
    ImageList_Destroy(static_cast<HIMAGELIST>(m_tabIcons));
    ::DeleteObject(m_font);
    ::DeleteObject(m_popupFont);
}

int CMainWindow::Scaled(double length) const {
    return static_cast<int>(std::lround(length * m_scale));
}

CPageWindow* CMainWindow::Page(int tab) const {
    if (tab < 0 || tab >= CSondrixDlg::kTabCount) {
        return nullptr;
    }
    return m_pages[static_cast<size_t>(tab)].get();
}

WinHandle CMainWindow::Control(int id) const {
    return m_binder->Window(id);
}

void CMainWindow::MakeMenus() {
    HMENU bar = ::CreateMenu();
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, kSaveTrace, L"&Save trace...\tCtrl+S");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, kQuit, L"&Quit\tCtrl+Q");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    m_viewMenu = ::CreatePopupMenu();
    ::AppendMenuW(m_viewMenu, MF_STRING | MF_CHECKED, kShowTracer, L"Packet &tracer");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_viewMenu), L"&View");
    HMENU help = ::CreatePopupMenu();
    const std::wstring about = WideFromUtf8(LoadString(IDS_ABOUT_MENU));
    ::AppendMenuW(help, MF_STRING, kAbout, about.c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    ::SetMenu(m_window, bar);
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'S', kSaveTrace}, {FCONTROL | FVIRTKEY, 'Q', kQuit}};
    m_accelerators = ::CreateAcceleratorTableW(keys, 2);
}

void CMainWindow::MakeTabIcons() {
    // Drawn for the window's DPI: a 200 % screen gets sharp ridges, not a
    // blown-up 16-pixel picture.
    const int size = Scaled(16);
    const COLORREF mask = RGB(255, 0, 255);
    HIMAGELIST icons = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 6, 0);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        PaintTabIcon(dc, tab, size, mask);
        ::SelectObject(dc, old);
        ImageList_AddMasked(icons, bitmap, mask);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    m_tabIcons = icons;
    ::SendMessageW(m_binder->Window(CSondrixDlg::kTabs), TCM_SETIMAGELIST, 0,
                   reinterpret_cast<::LPARAM>(icons));
}

void CMainWindow::ShowCurrentPage() {
    const int current = m_dialog.Selection(CSondrixDlg::kTabs);
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        ::ShowWindow(m_pages[static_cast<size_t>(tab)]->Handle(),
                     tab == current ? SW_SHOWNA : SW_HIDE);
    }
}

int CMainWindow::TracerRowsHeight(int rows) const {
    return m_binder->List(CSondrixDlg::kTracer)->RowsHeight(rows);
}

SWindowParts CMainWindow::Parts() const {
    SWindowParts parts;
    const int margin = Scaled(kMargin);
    parts.header = Scaled(kHeaderHeight) + margin;
    const SLayoutSize button =
        m_binder->ControlSize(m_dialog, m_dialog.Control(CSondrixDlg::kPktClear));
    const int bottomRow = std::max(button.height, m_binder->TextSize("0").height + Scaled(8));
    parts.chrome = margin + Scaled(kHandle) + margin + bottomRow + margin;
    SLayoutSize pages;
    for (const auto& page : m_pages) {
        pages.width = std::max(pages.width, page->Natural().width);
        pages.height = std::max(pages.height, page->Natural().height);
    }
    RECT tab{0, 0, pages.width, pages.height};
    ::SendMessageW(m_binder->Window(CSondrixDlg::kTabs), TCM_ADJUSTRECT, TRUE,
                   reinterpret_cast<::LPARAM>(&tab));
    parts.pages = {tab.right - tab.left + 2 * margin, tab.bottom - tab.top};
    parts.tracer = TracerRowsHeight(kTracerRows);
    parts.tracerMinimum = TracerRowsHeight(kTracerMinimumRows);
    parts.width =
        std::max(Scaled(kHeaderWidth), m_binder->List(CSondrixDlg::kTracer)->NaturalSize().width) +
        2 * margin;
    return parts;
}

SLayoutRect CMainWindow::WindowRectFor(SLayoutSize client) const {
    RECT frame{0, 0, client.width, client.height};
    ::AdjustWindowRectEx(&frame, kStyle, TRUE, kExtendedStyle);
    return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

void CMainWindow::FitToScreen(const SLayoutRect& available) {
    m_available = available;
    const SLayoutRect frame = WindowRectFor({0, 0});
    const SLayoutSize room{available.width - frame.width, available.height - frame.height};
    const SWindowParts parts = Parts();
    const SWindowFit fit = FitWindow(parts, room, m_dialog.smallScreen != 0,
                                     {Scaled(kCompactSize.width), Scaled(kCompactSize.height)});
    m_headerShown = fit.showHeader;
    m_tracerHeight = fit.tracer;
    const SLayoutRect outer = WindowRectFor(fit.window);
    int x = available.x + (available.width - outer.width) / 2;
    int y = available.y + (available.height - outer.height) / 2;
    if (m_dialog.smallScreen != 0) {
        x = available.x;
        y = available.y;
    }
    // With the panel beside it, the two share the width.
    m_panelBeside = false;
    if (m_panel != nullptr) {
        RECT panel{};
        ::GetWindowRect(m_panel, &panel);
        const int panelWidth = panel.right - panel.left;
        m_panelBeside = outer.width + panelWidth <= available.width;
        if (m_panelBeside) {
            x = std::max(available.x,
                         available.x + (available.width - outer.width - panelWidth) / 2);
            ::SetWindowPos(m_panel, nullptr, x + outer.width, y, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ::SetWindowPos(m_window, nullptr, x, y, outer.width, outer.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    Arrange();
}

void CMainWindow::Arrange() {
    RECT client;
    ::GetClientRect(m_window, &client);
    const int width = client.right;
    const int height = client.bottom;
    const int margin = Scaled(kMargin);
    const int handle = Scaled(kHandle);
    int y = margin;
    ::HWND header = m_binder->Window(CSondrixDlg::kHeader);
    const bool headerShown = m_headerShown && m_dialog.IsVisible(CSondrixDlg::kHeader);
    ::ShowWindow(header, headerShown ? SW_SHOWNA : SW_HIDE);
    if (headerShown) {
        ::MoveWindow(header, margin, y, width - 2 * margin, Scaled(kHeaderHeight), TRUE);
        y += Scaled(kHeaderHeight) + margin;
    }
    ::HWND line = m_binder->Window(CSondrixDlg::kMessageLine);
    ::HWND clear = m_binder->Window(CSondrixDlg::kPktClear);
    const SLayoutSize button =
        m_binder->ControlSize(m_dialog, m_dialog.Control(CSondrixDlg::kPktClear));
    const int row = std::max(button.height, m_binder->TextSize("0").height + Scaled(8));
    const int bottom = height - margin - row;
    ::MoveWindow(line, margin, bottom, width - 3 * margin - button.width, row, TRUE);
    ::MoveWindow(clear, width - margin - button.width, bottom, button.width, row, TRUE);

    const int total = bottom - margin - y;
    int pages = total;
    ::HWND tracer = m_binder->Window(CSondrixDlg::kTracer);
    if (m_tracerShown) {
        const int most = std::max(0, total - handle - Scaled(kPagesMinimum));
        m_tracerHeight =
            std::clamp(m_tracerHeight, std::min(TracerRowsHeight(kTracerMinimumRows), most), most);
        pages = total - handle - m_tracerHeight;
        ::MoveWindow(tracer, margin, y + pages + handle, width - 2 * margin, m_tracerHeight, TRUE);
    }
    ::ShowWindow(tracer, m_tracerShown ? SW_SHOWNA : SW_HIDE);
    m_splitterTop = y + pages;
    ::HWND tabs = m_binder->Window(CSondrixDlg::kTabs);
    ::MoveWindow(tabs, margin, y, width - 2 * margin, pages, TRUE);
    RECT display{0, 0, width - 2 * margin, pages};
    ::SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<::LPARAM>(&display));
    for (auto& page : m_pages) {
        page->Place({display.left, display.top, display.right - display.left,
                     display.bottom - display.top});
    }
}

void CMainWindow::AddSimPanel(CSimPanelDlg& panel) {
    const std::wstring title = WideFromUtf8(panel.Caption());
    m_panel = ::CreateWindowExW(kPanelExtendedStyle, kPanelClass, title.c_str(), kPanelStyle, 0, 0,
                                100, 100, m_window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    m_panelPage = std::make_unique<CPageWindow>(panel, m_panel, m_font, m_scale);
    const SLayoutSize size = m_panelPage->Natural();
    m_panelPage->Place({0, 0, size.width, size.height});
    ::ShowWindow(m_panelPage->Handle(), SW_SHOWNA);
    RECT frame{0, 0, size.width, size.height};
    ::AdjustWindowRectEx(&frame, kPanelStyle, FALSE, kPanelExtendedStyle);
    ::SetWindowPos(m_panel, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InsertMenuW(m_viewMenu, 0, MF_BYPOSITION | MF_STRING, kShowPanel, L"&Simulated module");
    FitToScreen(m_available);
}

void CMainWindow::Show() {
    ::ShowWindow(m_window, SW_SHOW);
    ::UpdateWindow(m_window);
    // Beside the window when both fit; on a small screen it waits for the
    // View menu.
    if (m_panel != nullptr) {
        ShowPanel(m_panelBeside);
    }
}

void CMainWindow::ShowPanel(bool shown) {
    if (m_panel == nullptr) {
        return;
    }
    if (shown && !m_panelBeside) {
        // Over the window at the right edge of the screen: the pages keep
        // their width.
        RECT panel{};
        ::GetWindowRect(m_panel, &panel);
        ::SetWindowPos(m_panel, nullptr, m_available.Right() - (panel.right - panel.left),
                       m_available.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(m_panel, shown ? SW_SHOWNA : SW_HIDE);
    ::CheckMenuItem(m_viewMenu, kShowPanel, shown ? MF_CHECKED : MF_UNCHECKED);
}

void CMainWindow::ShowTracer(bool shown) {
    m_tracerShown = shown;
    ::CheckMenuItem(m_viewMenu, kShowTracer, shown ? MF_CHECKED : MF_UNCHECKED);
    Arrange();
}

void CMainWindow::ShowAboutBox() {
    const CAboutDlg::CAboutBox aboutBox(m_dialog.aboutDlg);
    m_host.RunBox(m_dialog.Page(CSondrixDlg::kTabAbout), m_font);
}

void CMainWindow::Restore(const IDeskStore& store) {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int maximised = 0;
    const std::string geometry = store.Value(desk_keys::kGeometry);
    if (std::sscanf(geometry.c_str(), "%d,%d,%d,%d,%d", &x, &y, &width, &height, &maximised) == 5) {
        // Only where it still fits the screen and shows the window whole.
        const SLayoutRect frame =
            WindowRectFor({Scaled(kMinimumSize.width), Scaled(kMinimumSize.height)});
        if (width >= frame.width && height >= frame.height && x >= m_available.x &&
            y >= m_available.y && x + width <= m_available.Right() &&
            y + height <= m_available.Bottom()) {
            ::SetWindowPos(m_window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
            if (maximised != 0) {
                ::ShowWindow(m_window, SW_MAXIMIZE);
            }
        }
    }
    const std::string splitter = store.Value(desk_keys::kSplitter);
    if (std::sscanf(splitter.c_str(), "%d", &height) == 1 && height > 0) {
        m_tracerHeight = height;
    }
    Arrange();
}

void CMainWindow::Keep(IDeskStore& store) const {
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    ::GetWindowPlacement(m_window, &place);
    const RECT& r = place.rcNormalPosition;
    char geometry[96];
    std::snprintf(geometry, sizeof geometry, "%ld,%ld,%ld,%ld,%d", r.left, r.top, r.right - r.left,
                  r.bottom - r.top, place.showCmd == SW_SHOWMAXIMIZED ? 1 : 0);
    store.SetValue(desk_keys::kGeometry, geometry);
    store.SetValue(desk_keys::kSplitter, std::to_string(m_tracerHeight));
}

bool CMainWindow::OnSplitter(unsigned int message, long long lparam) {
    const int pointer = GET_Y_LPARAM(lparam);
    const bool over =
        m_tracerShown && pointer >= m_splitterTop && pointer < m_splitterTop + Scaled(kHandle);
    switch (message) {
        case WM_LBUTTONDOWN:
            if (over) {
                ::SetCapture(m_window);
                m_dragFrom = pointer;
                m_dragHeight = m_tracerHeight;
                return true;
            }
            return false;
        case WM_MOUSEMOVE:
            if (m_dragFrom >= 0) {
                // The tracer keeps its minimum: Arrange holds it there.
                m_tracerHeight = m_dragHeight - (pointer - m_dragFrom);
                Arrange();
                return true;
            }
            return false;
        case WM_LBUTTONUP:
            if (m_dragFrom >= 0) {
                m_dragFrom = -1;
                ::ReleaseCapture();
                return true;
            }
            return false;
        default:
            return false;
    }
}

long long CMainWindow::OnMessage(unsigned int message, unsigned long long wparam, long long lparam,
                                 bool& handled) {
    handled = true;
    ::LRESULT result = 0;
    switch (message) {
        case WM_COMMAND:
            if (lparam == 0) {
                switch (LOWORD(wparam)) {
                    case kSaveTrace:
                        m_dialog.traceSaveDlg.Run();
                        return 0;
                    case kQuit:
                        ::PostMessageW(m_window, WM_CLOSE, 0, 0);
                        return 0;
                    case kShowTracer:
                        ShowTracer(!m_tracerShown);
                        return 0;
                    case kShowPanel:
                        ShowPanel(m_panel != nullptr && !::IsWindowVisible(m_panel));
                        return 0;
                    case kAbout:
                        ShowAboutBox();
                        return 0;
                    default:
                        // Return and Escape do nothing in the main window.
                        return 0;
                }
            }
            if (m_binder->OnCommand(wparam, lparam)) {
                return 0;
            }
            break;
        case WM_NOTIFY:
            if (m_binder->OnNotify(lparam, result)) {
                return result;
            }
            break;
        case WM_SIZE:
            if (m_binder) {
                Arrange();
            }
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
            const SLayoutRect frame =
                WindowRectFor({Scaled(kMinimumSize.width), Scaled(kMinimumSize.height)});
            limits->ptMinTrackSize = {frame.width, frame.height};
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT) {
                POINT at;
                ::GetCursorPos(&at);
                ::ScreenToClient(m_window, &at);
                if (m_tracerShown && at.y >= m_splitterTop &&
                    at.y < m_splitterTop + Scaled(kHandle)) {
                    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
                    return TRUE;
                }
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            if (OnSplitter(message, lparam)) {
                return 0;
            }
            break;
        case WM_DEVICECHANGE:
            if ((wparam == DBT_DEVICEARRIVAL || wparam == DBT_DEVICEREMOVECOMPLETE) &&
                m_devicesChanged) {
                m_devicesChanged();
            }
            return TRUE;
        case WM_DPICHANGED: {
            // Where the system suggests on the other screen.
            const auto* suggested = reinterpret_cast<const RECT*>(lparam);
            ::SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            if (m_binder->OnControlColour(reinterpret_cast<HDC>(wparam),
                                          reinterpret_cast<::HWND>(lparam), result)) {
                return result;
            }
            break;
        case WM_CLOSE:
            if (m_closing) {
                m_closing();
            }
            ::ShowWindow(m_window, SW_HIDE);
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    handled = false;
    return 0;
}

}  // namespace sondrix
