#include "win32/page_window.h"

#include "platform/dialog_model.h"
#include "platform/win32_text.h"
#include "platform/win32_gui_api.h"

namespace sondrix {

namespace {

constexpr const wchar_t* kPageClass = L"SondrixPage";

::LRESULT CALLBACK PageProc(::HWND window, UINT message, ::WPARAM wparam, ::LPARAM lparam) {
    auto* page = reinterpret_cast<CPageWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    ::LRESULT result = 0;
    if (page != nullptr && page->OnMessage(message, wparam, lparam, result)) {
        return result;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

void RegisterPageClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = PageProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kPageClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

CPageWindow::CPageWindow(CDialogModel& model, WinHandle parent, FontHandle font, double scale) {
    RegisterPageClass();
    m_window = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"",
                                 WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_binder = std::make_unique<CControlBinder>(model, m_window, font, scale);
    // In the model's order, which is the order the Tab key takes.
    for (int id : model.ControlIds()) {
        m_binder->Create(id);
    }
    m_binder->SetWindowToEnable(m_window);
    m_binder->OnVisibilityChange([this] { Arrange(); });
    m_binder->Refresh(0);
    Arrange();
    m_size = m_layout.natural;
}

CPageWindow::~CPageWindow() {
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    m_binder.reset();
    ::DestroyWindow(m_window);
}

WinHandle CPageWindow::GroupBox(const std::string& caption) const {
    auto it = m_groups.find(caption);
    return it == m_groups.end() ? nullptr : it->second;
}

void CPageWindow::Place(const SLayoutRect& rect) {
    m_size = {rect.width, rect.height};
    ::MoveWindow(m_window, rect.x, rect.y, rect.width, rect.height, TRUE);
    Arrange();
}

void CPageWindow::Arrange() {
    m_layout = LayOutPage(m_binder->Model(), *m_binder, m_size);
    for (auto& [caption, box] : m_groups) {
        ::ShowWindow(box, SW_HIDE);
    }
    for (const SPlacedGroup& group : m_layout.groups) {
        if (group.caption.empty()) {
            continue;
        }
        WinHandle& box = m_groups[group.caption];
        if (box == nullptr) {
            const std::wstring caption = WideFromUtf8(group.caption);
            box = ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(), WS_CHILD | BS_GROUPBOX, 0, 0, 0,
                                    0, m_window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
            ::SendMessageW(box, WM_SETFONT, reinterpret_cast<::WPARAM>(m_binder->Font()), FALSE);
            // Behind the controls it frames.
            ::SetWindowPos(box, reinterpret_cast<::HWND>(1) /* HWND_BOTTOM */, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        ::MoveWindow(box, group.rect.x, group.rect.y, group.rect.width, group.rect.height, FALSE);
        ::ShowWindow(box, SW_SHOWNA);
    }
    const CDialogModel& model = m_binder->Model();
    for (const SPlacedControl& placed : m_layout.controls) {
        ::HWND window = m_binder->Window(placed.id);
        if (window == nullptr) {
            continue;
        }
        int height = placed.rect.height;
        if (model.Control(placed.id).kind == EControlKind::Combo) {
            // A combo box is as high as its font makes it; the rest is its
            // open list.
            height += m_binder->Scaled(200);
        }
        ::MoveWindow(window, placed.rect.x, placed.rect.y, placed.rect.width, height, FALSE);
        if (::HWND label = m_binder->Label(placed.id); label != nullptr && placed.hasLabel) {
            ::MoveWindow(label, placed.label.x, placed.label.y, placed.label.width,
                         placed.label.height, FALSE);
        }
    }
    ::InvalidateRect(m_window, nullptr, TRUE);
}

bool CPageWindow::OnMessage(unsigned int message, unsigned long long wparam, long long lparam,
                            long long& result) {
    switch (message) {
        case WM_COMMAND:
            return m_binder->OnCommand(wparam, lparam);
        case WM_NOTIFY:
            return m_binder->OnNotify(lparam, result);
        case WM_ERASEBKGND: {
            // The dialog face, whatever window the page sits in.
            RECT client;
            ::GetClientRect(m_window, &client);
            ::FillRect(reinterpret_cast<HDC>(wparam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
            result = 1;
            return true;
        }
        case WM_CTLCOLORSTATIC:
            return m_binder->OnControlColour(reinterpret_cast<HDC>(wparam),
                                             reinterpret_cast<::HWND>(lparam), result);
        default:
            return false;
    }
}

}  // namespace sondrix
