#pragma once

#include <string>

#include "platform/dialog_model.h"
#include "platform/message_loop.h"

namespace sondrix {

class CSondrixDlg;

// A tab page: a dialog model that can also receive timers, and that reaches
// the shared state, the other pages and the packet manager through the main
// dialog.
class CPageBase : public CDialogModel, public CWindow {
  public:
    CPageBase(CSondrixDlg& main, std::string name, std::string caption);

    // Brings the page back to its state without a module: when the
    // connection ends, and for some pages when a module connects or its
    // template or emulation mode changes.
    virtual void Reset() {}

  protected:
    CSondrixDlg& Main() const { return m_main; }

  private:
    CSondrixDlg& m_main;
};

}  // namespace sondrix
