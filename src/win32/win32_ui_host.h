#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/ui_host.h"
#include "win32/win32_handles.h"

namespace sondrix {

class CLoopPump;
class CPopupWindow;
class IDeskStore;

// The person's side of the program on a Windows desktop: the system's
// message boxes (same icons and buttons), its open and save dialogs (same
// filters), the web browser, and the popups as dialog windows over the main
// window (modal, or modeless as the progress popup).
class CWin32UiHost : public IUiHost {
  public:
    CWin32UiHost(CLoopPump& pump, double scale);
    ~CWin32UiHost() override;

    // Boxes and popups open over this window (the main window); its title
    // is the caption of a box without one.
    void SetOwner(WinHandle owner) { m_owner = owner; }
    // File dialogs open in the folder the same kind of dialog showed last,
    // kept here between runs (may be null).
    void SetStore(IDeskStore* store) { m_store = store; }
    // Popups use a larger font than the window, as they always did.
    void SetPopupFont(FontHandle font) { m_popupFont = font; }

    EAnswer MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                       const std::string& caption) override;
    using IUiHost::MessageBox;
    std::vector<std::string> FileDialog(const SFileDialog& request) override;
    void OpenUrl(const std::string& address) override;
    int RunModal(CDialogModel& dialog) override;
    void ShowModeless(CDialogModel& dialog) override;
    void CloseModeless(CDialogModel& dialog) override;
    SScreenSize ScreenSize() const override;

    // The open modeless window of a popup, or null.
    CPopupWindow* ModelessWindow(const CDialogModel& dialog) const;
    // Shows `dialog` modally over the owner (the About box).
    int RunBox(CDialogModel& dialog, FontHandle font = nullptr);

  private:
    std::string Caption(const CDialogModel& dialog) const;

    CLoopPump& m_pump;
    double m_scale;
    WinHandle m_owner = nullptr;
    IDeskStore* m_store = nullptr;
    FontHandle m_popupFont = nullptr;
    std::map<const CDialogModel*, std::unique_ptr<CPopupWindow>> m_modeless;
    // Closed popups go when nothing of theirs can still be running.
    std::vector<std::unique_ptr<CPopupWindow>> m_closed;
};

// The file-type list of a file dialog in the system's form: "Text|*.a;*.b|"
// becomes "Text\0*.a;*.b\0\0".
std::wstring Win32Filter(const std::string& filter);
// The paths an open dialog returns in its buffer: one path, or a folder
// followed by names (a multiple choice).
std::vector<std::string> ChosenPaths(const wchar_t* buffer);

}  // namespace sondrix
