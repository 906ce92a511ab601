#include "ui/popup_id_dlg.h"

#include "ui/strings.h"

namespace sondrix {

CPopupIdDlg::CPopupIdDlg(IUiHost& ui) : CDialogModel("input", ""), m_ui(ui) {
    AddStatic(kPrompt, {}, {});
    AddEdit(kEdit, {}, {}, 16).password = true;
    AddButton(IDOK, "OK", {});
    AddButton(IDCANCEL, "Cancel", {});
}

void CPopupIdDlg::OnInitDialog() {
    input.clear();
    SetPassword(kEdit, masked != 0);
    SetText(kPrompt, prompt);
    SetText(kEdit, {});
}

void CPopupIdDlg::OnEditChange(int id) {
    if (id != kEdit || Text(kEdit).size() <= maxLength) {
        return;
    }
    SetText(kEdit, {});
    m_ui.MessageBox(LoadString(IDS_TOO_LONG_DATA), EIcon::Stop);
    SetText(kEdit, {});
}

void CPopupIdDlg::OnCommand(int id) {
    if (id == IDOK) {
        input = Text(kEdit);
        EndDialog(IDOK);
    } else if (id == IDCANCEL) {
        EndDialog(IDCANCEL);
    }
}

}  // namespace sondrix
