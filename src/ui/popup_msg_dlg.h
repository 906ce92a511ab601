#pragma once

#include <string>

#include "platform/dialog_model.h"

namespace sondrix {

// The message popup: a two-line text and OK.
class CPopupMsgDlg : public CDialogModel {
  public:
    static constexpr int kText = 1126;
    CPopupMsgDlg();
    void OnInitDialog() override;
    std::string message;

  protected:
    void OnCommand(int id) override;
};

}  // namespace sondrix
