#include "ui/popup_progress_dlg.h"

#include "ui/strings.h"

namespace sondrix {

CPopupProgressDlg::CPopupProgressDlg(IUiHost& ui) : CDialogModel("progress", ""), m_ui(ui) {
    AddStatic(kText, {}, {});
    AddControl(kBar, EControlKind::Progress);
    AddButton(IDCANCEL, "Cancel", {});
}

void CPopupProgressDlg::Create(CDialogModel* ownerDialog) {
    owner = ownerDialog;
    if (owner) {
        owner->EnableWindow(false);
    }
    m_exists = true;
    ResetEnded();
    OnInitDialog();
    m_ui.ShowModeless(*this);
}

void CPopupProgressDlg::OnInitDialog() {
    bar = CGradientProgressCtrl();
    bar.SetRange(0, 100);
    bar.SetPos(0);
    bar.SetStep(1);
    bar.showText = 1;
    bar.startColour = {0, 0, 255};
    bar.endColour = {0, 0, 0};
    bar.backgroundColour = {255, 255, 255};
    bar.textColour = {100, 100, 100};
    text = LoadString(IDS_PROGRESS_WARNING);
    SetText(kText, text);
    Enable(IDCANCEL, true);
    Changed(kBar);
}

void CPopupProgressDlg::Destroy() {
    if (!m_exists) {
        return;
    }
    m_exists = false;
    m_ui.CloseModeless(*this);
    if (owner) {
        owner->EnableWindow(true);
    }
}

void CPopupProgressDlg::SetCaution() {
    text = LoadString(IDS_PROGRESS_CAUTION);
    SetText(kText, text);
    Enable(IDCANCEL, false);
}

void CPopupProgressDlg::SetRange(int lower, int upper) {
    bar.SetRange(lower, upper);
    Changed(kBar);
}

void CPopupProgressDlg::SetPos(int position) {
    bar.SetPos(position);
    Changed(kBar);
}

void CPopupProgressDlg::StepIt() {
    bar.StepIt();
    Changed(kBar);
}

void CPopupProgressDlg::OnCommand(int id) {
    if (id == IDCANCEL) {
        EndDialog(IDCANCEL);
        Destroy();
    }
}

}  // namespace sondrix
