// CDBManagement: the answers of the master password commands, which the
// Configuration tab sends.
#include "app/sondrix_dlg.h"
#include "device/db_management.h"
#include "link/result_codes.h"
#include "ui/strings_configuration.h"

namespace sondrix {

namespace {

// Result 1 and 2 have texts of their own; any other result goes to the
// common error report.
void ReportPasswordOutcome(CSondrixDlg& dlg, const CPacket& packet, int succeeded, int failed) {
    if (packet.param1 != RESULT_SUCCESS && packet.param1 != RESULT_FAILED) {
        dlg.ShowResultError(packet.param1);
        return;
    }
    const bool success = packet.param1 == RESULT_SUCCESS;
    const std::string& text = LoadString(success ? succeeded : failed);
    dlg.ShowMessage(text);
    dlg.Ui().MessageBox(text, success ? EIcon::Information : EIcon::Stop);
}

}  // namespace

void CDBManagement::OnSetMasterPassword(CPacket& packet) {
    CSystemDlg& page = m_dlg.systemDlg;
    if (packet.param1 == RESULT_SUCCESS) {
        page.newPassword.clear();
        page.confirmPassword.clear();
        page.SetText(CSystemDlg::kNewPassword, {});
        page.SetText(CSystemDlg::kConfirmPassword, {});
    }
    ReportPasswordOutcome(m_dlg, packet, IDS_CFG_SET_PASSWORD_SUCCEEDED,
                          IDS_CFG_SET_PASSWORD_FAILED);
}

void CDBManagement::OnDeleteMasterPassword(CPacket& packet) {
    ReportPasswordOutcome(m_dlg, packet, IDS_CFG_DELETE_PASSWORD_SUCCEEDED,
                          IDS_CFG_DELETE_PASSWORD_FAILED);
}

}  // namespace sondrix
