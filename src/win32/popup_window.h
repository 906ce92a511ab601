#pragma once

#include <memory>
#include <string>

#include "win32/page_window.h"
#include "win32/win32_handles.h"

namespace sondrix {

class CDialogModel;
class CLoopPump;

// A dialog window showing a model (a popup, or the About page as the About
// box) over its owner. Closing it from the title bar or with Escape is the
// person pressing the model's Cancel; Return presses its OK. Run modally it
// ends when the model ends; shown modeless it stays until its owner closes
// it.
class CPopupWindow {
  public:
    CPopupWindow(CDialogModel& model, WinHandle owner, FontHandle font, double scale,
                 const std::string& caption);
    ~CPopupWindow();
    CPopupWindow(const CPopupWindow&) = delete;
    CPopupWindow& operator=(const CPopupWindow&) = delete;

    WinHandle Handle() const { return m_window; }
    CPageWindow& Page() { return *m_page; }
    // Centred over the owner, in front, with the keyboard.
    void Show();
    void Hide();
    // Runs with the owner disabled until the model ends (its result) or the
    // window is closed (IDCANCEL).
    int RunModal(CLoopPump& pump);

    long long OnMessage(unsigned int message, unsigned long long wparam, long long lparam,
                        bool& handled);

  private:
    void Cancel();

    CDialogModel& m_model;
    WinHandle m_owner;
    WinHandle m_window = nullptr;
    std::unique_ptr<CPageWindow> m_page;
    bool m_modal = false;
    bool m_closed = false;
};

}  // namespace sondrix
