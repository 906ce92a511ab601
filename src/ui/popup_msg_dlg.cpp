#include "ui/popup_msg_dlg.h"

#include "ui/strings.h"

namespace sondrix {

CPopupMsgDlg::CPopupMsgDlg() : CDialogModel("message", "") {
    AddStatic(kText, {}, {});
    AddButton(IDOK, "OK", {});
}

void CPopupMsgDlg::OnInitDialog() {
    SetText(kText, message);
}

void CPopupMsgDlg::OnCommand(int id) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
    }
}

}  // namespace sondrix
