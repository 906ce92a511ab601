#pragma once

#include <map>
#include <memory>
#include <string>

#include "ui/page_layout.h"
#include "win32/control_binder.h"
#include "win32/win32_handles.h"

namespace sondrix {

class CDialogModel;

// Shows any page or popup model in a child window: its controls in group
// boxes where the shared page layout puts them, bound to the model. The
// window must not outlive its model.
class CPageWindow {
  public:
    CPageWindow(CDialogModel& model, WinHandle parent, FontHandle font, double scale);
    ~CPageWindow();
    CPageWindow(const CPageWindow&) = delete;
    CPageWindow& operator=(const CPageWindow&) = delete;

    WinHandle Handle() const { return m_window; }
    CControlBinder& Binder() { return *m_binder; }
    WinHandle Control(int id) const { return m_binder->Window(id); }
    WinHandle GroupBox(const std::string& caption) const;
    // The size that shows every control.
    SLayoutSize Natural() const { return m_layout.natural; }
    const SPageLayout& Layout() const { return m_layout; }
    // Places the page and lays its controls out over its size.
    void Place(const SLayoutRect& rect);

    // The page window's messages from its controls.
    bool OnMessage(unsigned int message, unsigned long long wparam, long long lparam,
                   long long& result);

  private:
    void Arrange();

    WinHandle m_window = nullptr;
    std::unique_ptr<CControlBinder> m_binder;
    std::map<std::string, WinHandle> m_groups;
    SPageLayout m_layout;
    SLayoutSize m_size;
};

}  // namespace sondrix
