#pragma once

#include "platform/dialog_model.h"

namespace sondrix {

class CSondrixDlg;

// "Save trace...": a small popup that asks whether the raw line (every chunk
// read from or written to the port, as far as the window kept it) goes into
// the trace with the packets, then the file dialog, then the files.
class CTraceSaveDlg : public CDialogModel {
  public:
    static constexpr int kRawLine = 1501;

    explicit CTraceSaveDlg(CSondrixDlg& dlg);
    // The whole action, from the popup to the message saying where it went.
    void Run();
    void OnInitDialog() override;

    // The choice, kept for the next save.
    bool withRawLine = false;

  protected:
    void OnCommand(int id) override;

  private:
    CSondrixDlg& m_dlg;
};

}  // namespace sondrix
