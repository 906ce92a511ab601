#pragma once

#include <string>

#include "platform/dialog_model.h"

namespace sondrix {

// The download-option popup: what to download and in which template format.
class CPopupRadioDlg : public CDialogModel {
  public:
    static constexpr int kSelectedOnly = 1105;
    static constexpr int kAll = 1106;
    static constexpr int kDravikOld = 1107;
    static constexpr int kDravik = 1108;
    static constexpr int kIso = 1109;
    static constexpr int kAnsi = 1110;
    static constexpr int kQdxA = 1111;

    CPopupRadioDlg();
    void OnInitDialog() override;

    int downloadOption = 0;  // 0 selected items only, 1 all items
    int restriction = 0;     // 1, 2 or 3 disable some choices
    int templateFormat = 1;  // 0 Dravik Old, 1 Dravik, 2 ISO, 3 ANSI, 4 QDX-A

  protected:
    void OnCommand(int id) override;
};

}  // namespace sondrix
