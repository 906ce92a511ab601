#pragma once

#include <string>

#include "platform/dialog_model.h"
#include "platform/ui_host.h"

namespace sondrix {

// The input popup for IDs and passwords.
class CPopupIdDlg : public CDialogModel {
  public:
    static constexpr int kPrompt = 1127;
    static constexpr int kEdit = 1101;
    explicit CPopupIdDlg(IUiHost& ui);
    void OnInitDialog() override;

    std::string prompt;
    std::string input;
    size_t maxLength = 16;
    int masked = 0;

  protected:
    void OnCommand(int id) override;
    void OnEditChange(int id) override;

  private:
    IUiHost& m_ui;
};

}  // namespace sondrix
