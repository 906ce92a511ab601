#include "win32/control_binder.h"

#include <algorithm>
#include <cmath>

#include "app/about_tab_page.h"
#include "app/sondrix_dlg.h"
#include "platform/win32_text.h"
#include "ui/main_tab_page.h"
#include "ui/popup_progress_dlg.h"
#include "win32/list_control.h"
#include "win32/pictures.h"
#include "platform/win32_gui_api.h"

namespace sondrix {

namespace {

constexpr const wchar_t* kPictureClass = L"SondrixPicture";
// Tooltips wrap at this width (at 96 dpi), as the program's tips always did.
constexpr int kTooltipWidth = 300;
constexpr int kComboCharacters = 14;
constexpr int kEditCharacters = 17;
constexpr int kValueCharacters = 10;
constexpr int kWrapCharacters = 40;
// The drop-down part of a combo box: the rows it shows when opened.
constexpr int kDropRows = 12;

using Painter = std::function<void(DcHandle, const SLayoutRect&)>;

::LRESULT CALLBACK PictureProc(::HWND window, UINT message, ::WPARAM wparam, ::LPARAM lparam) {
    auto* painter = reinterpret_cast<Painter*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCDESTROY:
            delete painter;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT client;
            ::GetClientRect(window, &client);
            // Through a back buffer, so that the bands never flicker.
            HDC memory = ::CreateCompatibleDC(dc);
            HBITMAP surface = ::CreateCompatibleBitmap(dc, std::max(1L, client.right),
                                                       std::max(1L, client.bottom));
            HGDIOBJ old = ::SelectObject(memory, surface);
            ::SelectObject(memory, reinterpret_cast<HGDIOBJ>(
                                       ::SendMessageW(::GetParent(window), WM_GETFONT, 0, 0)));
            ::FillRect(memory, &client, ::GetSysColorBrush(COLOR_BTNFACE));
            if (painter != nullptr && *painter) {
                (*painter)(memory, {0, 0, client.right, client.bottom});
            }
            ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, old);
            ::DeleteObject(surface);
            ::DeleteDC(memory);
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_LBUTTONDBLCLK:
            ::SendMessageW(::GetParent(window), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(window), STN_DBLCLK),
                           reinterpret_cast<::LPARAM>(window));
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

HFONT MakeFont(const wchar_t* face, int pixels, int weight) {
    LOGFONTW font{};
    font.lfHeight = -pixels;
    font.lfWeight = weight;
    font.lfQuality = CLEARTYPE_QUALITY;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

HMENU IdMenu(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

}  // namespace

void RegisterPictureClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = PictureProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kPictureClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

WinHandle CreatePicture(WinHandle parent, int id, bool sunken, Painter painter) {
    RegisterPictureClass();
    ::HWND window = ::CreateWindowExW(sunken ? WS_EX_CLIENTEDGE : 0, kPictureClass, L"",
                                      WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, IdMenu(id),
                                      ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(new Painter(std::move(painter))));
    return window;
}

CControlBinder::CControlBinder(CDialogModel& model, WinHandle parent, FontHandle font, double scale)
    : m_model(model), m_parent(parent), m_font(font), m_scale(scale) {
    m_tooltips = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                                   0, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_tooltips, TTM_SETMAXTIPWIDTH, 0, Scaled(kTooltipWidth));
    m_watch = std::make_unique<CDialogObserver>(model, [this](int id) { Refresh(id); });
}

CControlBinder::~CControlBinder() {
    *m_alive = false;
    m_watch.reset();
    m_bindings.clear();
    if (m_tooltips != nullptr) {
        ::DestroyWindow(m_tooltips);
    }
    if (m_versionFont != nullptr) {
        ::DeleteObject(m_versionFont);
    }
}

int CControlBinder::Scaled(double length) const {
    return static_cast<int>(std::lround(length * m_scale));
}

SLayoutSize CControlBinder::TextSize(const std::string& text, FontHandle font) const {
    HDC dc = ::GetDC(m_parent);
    HGDIOBJ old = ::SelectObject(dc, font != nullptr ? font : m_font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const std::wstring wide = WideFromUtf8(text);
    SIZE size{0, metrics.tmHeight};
    if (!wide.empty()) {
        ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_parent, dc);
    return {size.cx, std::max<int>(size.cy, metrics.tmHeight)};
}

bool CControlBinder::Stretches(const CDialogModel& model, const SControl& control) const {
    // The About picture is drawn to its size, as it always was.
    return !(control.id == CAboutDlg::kPicture && dynamic_cast<const CAboutDlg*>(&model));
}

SLayoutSize CControlBinder::LabelSize(const std::string& text) const {
    return TextSize(text);
}

SLayoutMargins CControlBinder::GroupFrame(const std::string& caption) const {
    const int line = TextSize(caption).height;
    return {Scaled(kLayoutBoxMargin), line + Scaled(kLayoutRowSpacing), Scaled(kLayoutBoxMargin),
            Scaled(kLayoutBoxMargin)};
}

SLayoutSize CControlBinder::ControlSize(const CDialogModel& model, const SControl& control) const {
    const SLayoutSize line = TextSize(control.text);
    const int average = TextSize("x").width;
    const int digit = TextSize("0").width;
    switch (control.kind) {
        case EControlKind::Button:
            return {std::max(line.width + Scaled(20), Scaled(80)), line.height + Scaled(10)};
        case EControlKind::CheckBox:
        case EControlKind::Radio:
            return {line.width + Scaled(22), std::max(line.height, Scaled(13)) + Scaled(4)};
        case EControlKind::Edit: {
            // A field for a few characters needs no more room than they take;
            // a long one scrolls in the width of 17.
            const int characters =
                control.limit == 0
                    ? kEditCharacters
                    : std::clamp<int>(static_cast<int>(control.limit), 10, kEditCharacters);
            return {digit * characters + Scaled(16), line.height + Scaled(8)};
        }
        case EControlKind::Combo: {
            // Sized for a short choice, not the longest: one long row would
            // widen a whole column of the page. The open list shows all.
            return {average * kComboCharacters + ::GetSystemMetrics(SM_CXVSCROLL) + Scaled(12),
                    line.height + Scaled(8)};
        }
        case EControlKind::Static: {
            if (!control.label.empty()) {
                return {std::max(line.width, average * kValueCharacters) + Scaled(8),
                        line.height + Scaled(6)};
            }
            if (control.id == CAboutDlg::kVersionLine &&
                dynamic_cast<const CAboutDlg*>(&model) != nullptr) {
                return TextSize(control.text, m_versionFont);
            }
            // Wide enough that a sentence wraps into a line or two, not a column.
            const int width = average * kWrapCharacters;
            HDC dc = ::GetDC(m_parent);
            HGDIOBJ old = ::SelectObject(dc, m_font);
            const std::wstring text = WideFromUtf8(control.text);
            RECT box{0, 0, width, 0};
            ::DrawTextW(dc, text.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            ::SelectObject(dc, old);
            ::ReleaseDC(m_parent, dc);
            return {width, std::max<int>(box.bottom, line.height)};
        }
        case EControlKind::List: {
            if (const CListControl* list = List(control.id)) {
                return list->NaturalSize();
            }
            return {Scaled(200), Scaled(120)};
        }
        case EControlKind::Picture:
            if (control.id == CImageDlg::kImage && dynamic_cast<const CImageDlg*>(&model)) {
                return {Scaled(268) + 4, Scaled(330) + 4};
            }
            if (control.id == CAboutDlg::kPicture && dynamic_cast<const CAboutDlg*>(&model)) {
                return {Scaled(520), Scaled(190)};
            }
            return {Scaled(96), Scaled(96)};
        case EControlKind::Progress:
            return {Scaled(320), line.height + Scaled(10)};
        case EControlKind::Tabs:
            return {Scaled(400), line.height + Scaled(12)};
    }
    return {Scaled(80), line.height};
}

std::function<void(DcHandle, const SLayoutRect&)> CControlBinder::PainterFor(
    const SControl& control) {
    CDialogModel* model = &m_model;
    if (auto* page = dynamic_cast<CImageDlg*>(model); page && control.id == CImageDlg::kImage) {
        return [page](DcHandle dc, const SLayoutRect& area) {
            const bool present =
                page->imagePresent == 1 &&
                page->imageBuffer.size() >=
                    static_cast<size_t>(page->imageWidth) * static_cast<size_t>(page->imageHeight);
            PaintFingerprintImage(dc, area, present ? page->imageBuffer.data() : nullptr,
                                  page->imageWidth, page->imageHeight);
        };
    }
    if (dynamic_cast<CAboutDlg*>(model) != nullptr && control.id == CAboutDlg::kPicture) {
        return [](DcHandle dc, const SLayoutRect& area) { PaintAboutPicture(dc, area); };
    }
    if (auto* main = dynamic_cast<CSondrixDlg*>(model);
        main && control.id == CSondrixDlg::kHeader) {
        const std::wstring product = WideFromUtf8(main->Caption());
        return [product](DcHandle dc, const SLayoutRect& area) { PaintHeader(dc, area, product); };
    }
    if (auto* popup = dynamic_cast<CPopupProgressDlg*>(model);
        popup && control.id == CPopupProgressDlg::kBar) {
        return [popup](DcHandle dc, const SLayoutRect& area) {
            PaintGradientBar(dc, area, popup->bar);
        };
    }
    return {};
}

WinHandle CControlBinder::Create(int id) {
    const SControl& control = m_model.Control(id);
    SBinding& binding = m_bindings[id];
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    auto make = [&](DWORD extended, const wchar_t* windowClass, DWORD style) {
        return ::CreateWindowExW(extended, windowClass, L"", child | style, 0, 0, 0, 0, m_parent,
                                 IdMenu(id), instance, nullptr);
    };
    ::HWND window = nullptr;
    switch (control.kind) {
        case EControlKind::Button:
            window = make(0, WC_BUTTONW,
                          WS_TABSTOP | (id == IDOK && control.group.empty() ? BS_DEFPUSHBUTTON
                                                                            : BS_PUSHBUTTON));
            break;
        case EControlKind::CheckBox:
            // The model decides whether it is checked.
            window = make(0, WC_BUTTONW, WS_TABSTOP | BS_CHECKBOX);
            break;
        case EControlKind::Radio:
            window = make(0, WC_BUTTONW, WS_TABSTOP | BS_RADIOBUTTON);
            break;
        case EControlKind::Edit:
            window = make(WS_EX_CLIENTEDGE, WC_EDITW,
                          WS_TABSTOP | ES_AUTOHSCROLL | (control.password ? ES_PASSWORD : 0));
            break;
        case EControlKind::Static:
            if (!control.label.empty()) {
                // A value beside its caption, sunken as a read-only field.
                window = make(WS_EX_STATICEDGE, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE);
            } else {
                window = make(0, WC_STATICW, SS_LEFT | SS_NOPREFIX);
                if (id == CAboutDlg::kVersionLine && dynamic_cast<CAboutDlg*>(&m_model)) {
                    // The version line as it always looked: Calibri, 25 pixels, brown.
                    if (m_versionFont == nullptr) {
                        m_versionFont = MakeFont(L"Calibri", Scaled(25), FW_NORMAL);
                    }
                    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<::WPARAM>(m_versionFont),
                                   FALSE);
                }
            }
            break;
        case EControlKind::Combo:
            window = make(0, WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
            break;
        case EControlKind::List:
            binding.list = std::make_unique<CListControl>(m_model.List(id),
                                                          dynamic_cast<CSondrixDlg*>(&m_model)
                                                              ? CListControl::EStyle::Tracer
                                                              : CListControl::EStyle::Report,
                                                          m_parent, id, m_font, m_scale);
            window = binding.list->Handle();
            break;
        case EControlKind::Picture:
        case EControlKind::Progress: {
            const bool sunken =
                control.kind == EControlKind::Picture &&
                !(dynamic_cast<CSondrixDlg*>(&m_model) && id == CSondrixDlg::kHeader);
            window = CreatePicture(m_parent, id, sunken, PainterFor(control));
            break;
        }
        case EControlKind::Tabs:
            window = make(0, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPCHILDREN);
            break;
    }
    if (window == nullptr) {
        return nullptr;
    }
    if (::SendMessageW(window, WM_GETFONT, 0, 0) == 0) {
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<::WPARAM>(m_font), FALSE);
    }
    binding.window = window;
    const bool labelled =
        !control.label.empty() &&
        (PlacementOf(control) == EPlacement::Field || PlacementOf(control) == EPlacement::Wide ||
         control.kind == EControlKind::Button || control.kind == EControlKind::CheckBox ||
         control.kind == EControlKind::Radio);
    if (labelled) {
        binding.label = make(0, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE);
        ::SetWindowLongPtrW(binding.label, GWLP_ID, 0);
        ::SendMessageW(binding.label, WM_SETFONT, reinterpret_cast<::WPARAM>(m_font), FALSE);
        const std::wstring text = WideFromUtf8(control.label);
        ::SetWindowTextW(binding.label, text.c_str());
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_parent;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<::LPARAM>(&tool));
    if (control.kind == EControlKind::Combo) {
        // The drop-down's own height comes from the font; what the window is
        // given is the height of the open list.
        ::SendMessageW(window, CB_SETMINVISIBLE, kDropRows, 0);
    }
    Apply(control, binding);
    return window;
}

WinHandle CControlBinder::Window(int id) const {
    auto it = m_bindings.find(id);
    return it == m_bindings.end() ? nullptr : it->second.window;
}

WinHandle CControlBinder::Label(int id) const {
    auto it = m_bindings.find(id);
    return it == m_bindings.end() ? nullptr : it->second.label;
}

CListControl* CControlBinder::List(int id) const {
    auto it = m_bindings.find(id);
    return it == m_bindings.end() ? nullptr : it->second.list.get();
}

void CControlBinder::Refresh(int id) {
    bool moved = false;
    auto apply = [&](int boundId, SBinding& binding) {
        const SControl& control = m_model.Control(boundId);
        moved = moved || control.visible != binding.visible;
        Apply(control, binding);
    };
    if (id == 0) {
        if (m_enableWindow != nullptr) {
            ::EnableWindow(m_enableWindow, m_model.IsWindowEnabled() ? TRUE : FALSE);
        }
        for (auto& [boundId, binding] : m_bindings) {
            apply(boundId, binding);
        }
    } else if (auto it = m_bindings.find(id); it != m_bindings.end()) {
        apply(id, it->second);
    }
    if (moved && m_relayout) {
        m_relayout();
    }
}

void CControlBinder::Apply(const SControl& control, SBinding& binding) {
    ::HWND window = binding.window;
    if (window == nullptr) {
        return;
    }
    ++m_applying;
    binding.visible = control.visible;
    ::ShowWindow(window, control.visible ? SW_SHOWNA : SW_HIDE);
    ::EnableWindow(window, control.enabled ? TRUE : FALSE);
    if (binding.label != nullptr) {
        ::ShowWindow(binding.label, control.visible ? SW_SHOWNA : SW_HIDE);
        ::EnableWindow(binding.label, control.enabled ? TRUE : FALSE);
    }
    const std::wstring text = WideFromUtf8(control.text);
    auto setText = [window, &text] {
        const int length = ::GetWindowTextLengthW(window);
        std::wstring shown(static_cast<size_t>(length) + 1, L'\0');
        ::GetWindowTextW(window, shown.data(), length + 1);
        shown.resize(static_cast<size_t>(length));
        if (shown != text) {
            ::SetWindowTextW(window, text.c_str());
        }
    };
    switch (control.kind) {
        case EControlKind::Button:
            setText();
            break;
        case EControlKind::CheckBox:
        case EControlKind::Radio:
            setText();
            ::SendMessageW(window, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case EControlKind::Edit: {
            setText();
            ::SendMessageW(window, EM_SETLIMITTEXT, control.limit == 0 ? 0 : control.limit, 0);
            // The system's own dot of a password field.
            const ::WPARAM mask = control.password ? 0x25CF : 0;
            if (static_cast<::WPARAM>(::SendMessageW(window, EM_GETPASSWORDCHAR, 0, 0)) != mask) {
                ::SendMessageW(window, EM_SETPASSWORDCHAR, mask, 0);
                ::InvalidateRect(window, nullptr, TRUE);
            }
            ::SendMessageW(window, EM_SETREADONLY, control.readOnly ? TRUE : FALSE, 0);
            break;
        }
        case EControlKind::Static:
            setText();
            break;
        case EControlKind::Combo:
            if (binding.items != control.items) {
                ::SendMessageW(window, CB_RESETCONTENT, 0, 0);
                for (const std::string& item : control.items) {
                    const std::wstring row = WideFromUtf8(item);
                    ::SendMessageW(window, CB_ADDSTRING, 0,
                                   reinterpret_cast<::LPARAM>(row.c_str()));
                }
                binding.items = control.items;
            }
            ::SendMessageW(window, CB_SETCURSEL, static_cast<::WPARAM>(control.selection), 0);
            break;
        case EControlKind::Tabs: {
            const int count = static_cast<int>(::SendMessageW(window, TCM_GETITEMCOUNT, 0, 0));
            for (size_t i = 0; i < control.items.size(); ++i) {
                std::wstring caption = WideFromUtf8(control.items[i]);
                TCITEMW item{};
                item.mask = TCIF_TEXT | TCIF_IMAGE;
                item.pszText = caption.data();
                item.iImage = static_cast<int>(i);
                const auto at = static_cast<::WPARAM>(i);
                if (static_cast<int>(i) < count) {
                    ::SendMessageW(window, TCM_SETITEMW, at, reinterpret_cast<::LPARAM>(&item));
                } else {
                    ::SendMessageW(window, TCM_INSERTITEMW, at, reinterpret_cast<::LPARAM>(&item));
                }
            }
            if (control.selection >= 0) {
                ::SendMessageW(window, TCM_SETCURSEL, static_cast<::WPARAM>(control.selection), 0);
            }
            break;
        }
        case EControlKind::List:
        case EControlKind::Picture:
        case EControlKind::Progress:
            // They draw from their own data.
            ::InvalidateRect(window, nullptr, FALSE);
            break;
    }
    --m_applying;
}

template <class Action>
void CControlBinder::Forward(int id, Action action) {
    if (m_applying != 0) {
        return;
    }
    // The action may close the window that owns this binder.
    const std::shared_ptr<bool> alive = m_alive;
    action();
    if (*alive) {
        Refresh(id);
    }
}

void CControlBinder::Click(int id) {
    Forward(id, [this, id] { m_model.Click(id); });
}

bool CControlBinder::OnCommand(unsigned long long wparam, long long lparam) {
    const int id = LOWORD(wparam);
    const int code = HIWORD(wparam);
    auto it = m_bindings.find(id);
    if (lparam == 0 || it == m_bindings.end() ||
        it->second.window != reinterpret_cast<::HWND>(lparam)) {
        return false;
    }
    switch (m_model.Control(id).kind) {
        case EControlKind::Button:
        case EControlKind::CheckBox:
        case EControlKind::Radio:
            if (code == BN_CLICKED) {
                Click(id);
            }
            return true;
        case EControlKind::Edit:
            if (code == EN_CHANGE) {
                ::HWND window = it->second.window;
                const int length = ::GetWindowTextLengthW(window);
                std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
                ::GetWindowTextW(window, typed.data(), length + 1);
                typed.resize(static_cast<size_t>(length));
                Forward(id, [this, id, &typed] { m_model.Type(id, Utf8FromWide(typed)); });
            }
            return true;
        case EControlKind::Combo:
            if (code == CBN_SELCHANGE) {
                const int index =
                    static_cast<int>(::SendMessageW(it->second.window, CB_GETCURSEL, 0, 0));
                Forward(id, [this, id, index] { m_model.Select(id, index); });
            }
            return true;
        case EControlKind::Picture:
        case EControlKind::Progress:
            if (code == STN_DBLCLK) {
                Click(id);
            }
            return true;
        default:
            return false;
    }
}

bool CControlBinder::OnNotify(long long lparam, long long& result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header->code == TTN_GETDISPINFOW && header->hwndFrom == m_tooltips) {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lparam);
        const int id = ::GetDlgCtrlID(reinterpret_cast<::HWND>(header->idFrom));
        static std::wstring text;
        text = m_model.Has(id) ? WideFromUtf8(m_model.Control(id).tooltip) : std::wstring();
        tip->lpszText = text.data();
        result = 0;
        return true;
    }
    const int id = static_cast<int>(header->idFrom);
    auto it = m_bindings.find(id);
    if (it == m_bindings.end() || it->second.window != header->hwndFrom) {
        return false;
    }
    if (it->second.list) {
        return it->second.list->OnNotify(header, result);
    }
    if (m_model.Control(id).kind == EControlKind::Tabs && header->code == TCN_SELCHANGE) {
        // The model's guards decide which tab is shown; the refresh reads
        // its answer back.
        const int index = static_cast<int>(::SendMessageW(it->second.window, TCM_GETCURSEL, 0, 0));
        Forward(id, [this, id, index] { m_model.Select(id, index); });
        result = 0;
        return true;
    }
    return false;
}

bool CControlBinder::OnControlColour(DcHandle dc, WinHandle control, long long& result) {
    const int id = ::GetDlgCtrlID(control);
    if (id == CAboutDlg::kVersionLine && dynamic_cast<CAboutDlg*>(&m_model) != nullptr &&
        Window(id) == control) {
        ::SetTextColor(dc, RGB(100, 50, 50));
        ::SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LONG_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    return false;
}

}  // namespace sondrix
