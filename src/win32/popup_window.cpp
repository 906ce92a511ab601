#include "win32/popup_window.h"

#include <algorithm>

#include "platform/dialog_model.h"
#include "platform/win32_text.h"
#include "win32/loop_pump.h"
#include "platform/win32_gui_api.h"

namespace sondrix {

namespace {

constexpr const wchar_t* kPopupClass = L"SondrixPopup";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

::LRESULT CALLBACK PopupProc(::HWND window, UINT message, ::WPARAM wparam, ::LPARAM lparam) {
    auto* popup = reinterpret_cast<CPopupWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (popup != nullptr) {
        bool handled = false;
        const ::LRESULT result = popup->OnMessage(message, wparam, lparam, handled);
        if (handled) {
            return result;
        }
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

void RegisterPopupClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = PopupProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kPopupClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

CPopupWindow::CPopupWindow(CDialogModel& model, WinHandle owner, FontHandle font, double scale,
                           const std::string& caption)
    : m_model(model), m_owner(owner) {
    RegisterPopupClass();
    const std::wstring title = WideFromUtf8(caption);
    m_window = ::CreateWindowExW(kExtendedStyle, kPopupClass, title.c_str(), kStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 100, 100, owner, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_page = std::make_unique<CPageWindow>(model, m_window, font, scale);
    const SLayoutSize size = m_page->Natural();
    m_page->Place({0, 0, size.width, size.height});
    ::ShowWindow(m_page->Handle(), SW_SHOWNA);
    RECT frame{0, 0, size.width, size.height};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExtendedStyle);
    ::SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CPopupWindow::~CPopupWindow() {
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    m_page.reset();
    ::DestroyWindow(m_window);
}

void CPopupWindow::Show() {
    RECT owner{};
    RECT own{};
    if (m_owner != nullptr && ::GetWindowRect(m_owner, &owner)) {
        ::GetWindowRect(m_window, &own);
        const int width = own.right - own.left;
        const int height = own.bottom - own.top;
        int x = (owner.left + owner.right - width) / 2;
        int y = (owner.top + owner.bottom - height) / 2;
        // On the screen whatever the owner's place.
        MONITORINFO screen{};
        screen.cbSize = sizeof screen;
        if (::GetMonitorInfoW(::MonitorFromWindow(m_owner, MONITOR_DEFAULTTONEAREST), &screen)) {
            x = std::max<int>(screen.rcWork.left, std::min<int>(x, screen.rcWork.right - width));
            y = std::max<int>(screen.rcWork.top, std::min<int>(y, screen.rcWork.bottom - height));
        }
        ::SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
    if (::HWND ok = m_page->Control(IDOK); ok != nullptr && ::IsWindowEnabled(ok)) {
        ::SetFocus(ok);
    } else {
        ::SetFocus(::GetNextDlgTabItem(m_page->Handle(), nullptr, FALSE));
    }
}

void CPopupWindow::Hide() {
    ::ShowWindow(m_window, SW_HIDE);
}

int CPopupWindow::RunModal(CLoopPump& pump) {
    if (m_model.Ended()) {
        return m_model.Result();
    }
    m_modal = true;
    m_closed = false;
    const bool ownerEnabled = m_owner != nullptr && ::IsWindowEnabled(m_owner);
    if (ownerEnabled) {
        ::EnableWindow(m_owner, FALSE);
    }
    Show();
    pump.RunUntil([this] { return m_closed || m_model.Ended(); });
    // The owner takes the keyboard back before this window goes.
    if (ownerEnabled) {
        ::EnableWindow(m_owner, TRUE);
    }
    Hide();
    if (m_owner != nullptr) {
        ::SetActiveWindow(m_owner);
    }
    m_modal = false;
    return m_model.Ended() ? m_model.Result() : IDCANCEL;
}

void CPopupWindow::Cancel() {
    if (m_model.Has(IDCANCEL)) {
        m_page->Binder().Click(IDCANCEL);
    }
    // A modal dialog closes whatever the model made of the Cancel; a
    // modeless one waits for its owner.
    if (m_modal) {
        m_closed = true;
    }
}

long long CPopupWindow::OnMessage(unsigned int message, unsigned long long wparam, long long lparam,
                                  bool& handled) {
    handled = true;
    switch (message) {
        case WM_CLOSE:
            Cancel();
            return 0;
        case WM_COMMAND:
            // Return and Escape, as the dialog manager reports them.
            if (LOWORD(wparam) == IDCANCEL) {
                Cancel();
                return 0;
            }
            if (LOWORD(wparam) == IDOK && m_model.Has(IDOK)) {
                m_page->Binder().Click(IDOK);
                return 0;
            }
            break;
        case DM_GETDEFID:
            return m_model.Has(IDOK) ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
        default:
            break;
    }
    (void)lparam;
    handled = false;
    return 0;
}

}  // namespace sondrix
