#include "win32/win32_ui_host.h"

#include <filesystem>

#include "app/desk_choices.h"
#include "platform/dialog_model.h"
#include "platform/native_file.h"
#include "platform/win32_text.h"
#include "win32/loop_pump.h"
#include "win32/popup_window.h"
#include "platform/win32_gui_api.h"

namespace sondrix {

namespace {

UINT IconFlags(EIcon icon) {
    switch (icon) {
        case EIcon::Information:
            return MB_ICONINFORMATION;
        case EIcon::Stop:
            return MB_ICONERROR;
        case EIcon::Question:
            return MB_ICONQUESTION;
        case EIcon::Warning:
            return MB_ICONWARNING;
        case EIcon::None:
            break;
    }
    return 0;
}

UINT ButtonFlags(EButtons buttons) {
    switch (buttons) {
        case EButtons::OkCancel:
            return MB_OKCANCEL;
        case EButtons::YesNo:
            return MB_YESNO;
        case EButtons::Ok:
            break;
    }
    return MB_OK;
}

EAnswer ToAnswer(int button) {
    switch (button) {
        case IDCANCEL:
            return EAnswer::Cancel;
        case IDYES:
            return EAnswer::Yes;
        case IDNO:
            return EAnswer::No;
        default:
            return EAnswer::Ok;
    }
}

// Room for the names of a multiple choice.
constexpr size_t kPathsBuffer = 64 * 1024;

}  // namespace

std::wstring Win32Filter(const std::string& filter) {
    std::wstring text = WideFromUtf8(filter);
    if (!text.empty() && text.back() != L'|') {
        text.push_back(L'|');
    }
    for (wchar_t& c : text) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    text.push_back(L'\0');
    return text;
}

std::vector<std::string> ChosenPaths(const wchar_t* buffer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* part = buffer; *part != L'\0'; part += std::wcslen(part) + 1) {
        parts.emplace_back(part);
    }
    std::vector<std::string> paths;
    if (parts.size() == 1) {
        paths.push_back(Utf8FromWide(parts[0]));
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(Utf8FromPath(std::filesystem::path(parts[0]) / parts[i]));
    }
    return paths;
}

CWin32UiHost::CWin32UiHost(CLoopPump& pump, double scale) : m_pump(pump), m_scale(scale) {}

CWin32UiHost::~CWin32UiHost() = default;

std::string CWin32UiHost::Caption(const CDialogModel& dialog) const {
    if (!dialog.Caption().empty()) {
        return dialog.Caption();
    }
    // Popups without a caption of their own carry the program's name.
    return "Sondrix";
}

EAnswer CWin32UiHost::MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                                 const std::string& caption) {
    std::wstring title = WideFromUtf8(caption);
    if (title.empty() && m_owner != nullptr) {
        wchar_t owner[256] = {};
        ::GetWindowTextW(m_owner, owner, 255);
        title = owner;
    }
    const std::wstring body = WideFromUtf8(text);
    return ToAnswer(::MessageBoxW(m_owner, body.c_str(), title.c_str(),
                                  IconFlags(icon) | ButtonFlags(buttons) | MB_APPLMODAL));
}

std::vector<std::string> CWin32UiHost::FileDialog(const SFileDialog& request) {
    const std::wstring filter = Win32Filter(request.filter);
    const std::wstring extension = WideFromUtf8(DefaultSuffix(request.defaultExtension));
    const std::string kind = FileDialogKind(request);
    // Where the program keeps such files, else where the person went last.
    std::string folder = request.folder;
    if (folder.empty() && m_store != nullptr) {
        folder = m_store->Value(desk_keys::kFolders + kind);
    }
    const std::wstring initial = WideFromUtf8(folder);
    std::vector<wchar_t> buffer(kPathsBuffer, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size() - 1);
    dialog.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (request.save) {
        dialog.Flags |= request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0;
    } else {
        dialog.Flags |= request.multiSelect ? OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST : 0;
        dialog.Flags |= request.mustExist ? OFN_FILEMUSTEXIST : 0;
    }
    const BOOL chosen = request.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (!chosen) {
        return {};
    }
    std::vector<std::string> paths = ChosenPaths(buffer.data());
    if (m_store != nullptr && !paths.empty()) {
        m_store->SetValue(desk_keys::kFolders + kind,
                          Utf8FromPath(PathFromUtf8(paths.front()).parent_path()));
    }
    return paths;
}

void CWin32UiHost::OpenUrl(const std::string& address) {
    const std::wstring url = WideFromUtf8(address);
    ::ShellExecuteW(m_owner, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int CWin32UiHost::RunModal(CDialogModel& dialog) {
    dialog.ResetEnded();
    dialog.OnInitDialog();
    return RunBox(dialog);
}

int CWin32UiHost::RunBox(CDialogModel& dialog, FontHandle font) {
    m_closed.clear();
    CPopupWindow popup(dialog, m_owner, font != nullptr ? font : m_popupFont, m_scale,
                       Caption(dialog));
    return popup.RunModal(m_pump);
}

void CWin32UiHost::ShowModeless(CDialogModel& dialog) {
    std::unique_ptr<CPopupWindow>& popup = m_modeless[&dialog];
    if (!popup) {
        popup =
            std::make_unique<CPopupWindow>(dialog, m_owner, m_popupFont, m_scale, Caption(dialog));
    }
    popup->Show();
}

void CWin32UiHost::CloseModeless(CDialogModel& dialog) {
    auto it = m_modeless.find(&dialog);
    if (it == m_modeless.end()) {
        return;
    }
    // Later: the close may come from a click inside the window itself.
    it->second->Hide();
    m_closed.push_back(std::move(it->second));
    m_modeless.erase(it);
}

CPopupWindow* CWin32UiHost::ModelessWindow(const CDialogModel& dialog) const {
    auto it = m_modeless.find(&dialog);
    return it == m_modeless.end() ? nullptr : it->second.get();
}

SScreenSize CWin32UiHost::ScreenSize() const {
    // In the pixels of 96 dpi, as the dialog's rule for small screens counts them.
    return {static_cast<int>(::GetSystemMetrics(SM_CXSCREEN) / m_scale),
            static_cast<int>(::GetSystemMetrics(SM_CYSCREEN) / m_scale)};
}

}  // namespace sondrix
