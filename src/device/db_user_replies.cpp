// CDBManagement: the answers of master mode, registration and modification.
#include "app/sondrix_dlg.h"
#include "device/db_management.h"
#include "link/result_codes.h"
#include "ui/strings_users.h"

namespace sondrix {

void CDBManagement::OnEnterMasterMode(CPacket& packet) {
    CImageDlg& mainTab = m_dlg.imageDlg;
    if (packet.param1 == RESULT_SUCCESS) {
        m_dlg.masterMode = 1;
        m_dlg.Outcome(SOutcome(SOutcome::EKind::MasterMode).Value(1));
        m_dlg.basicDlg.SetMasterControls(true);
        mainTab.SetText(CImageDlg::kEnterMaster, LoadString(IDS_LEAVE_MASTER));
        mainTab.EnableCommandButtons(true);
        m_dlg.ShowMessage(LoadString(IDS_ENTER_MASTER_SUCCEEDED));
        return;
    }
    if (packet.param2 == 3) {
        // The module wants a master credential: only this page asks for one.
        m_dlg.Outcome(SOutcome(SOutcome::EKind::CredentialWanted));
        const bool fromMainTab = mainTab.masterEntry != 0;
        mainTab.masterEntry = 0;
        if (fromMainTab) {
            ReportString(m_dlg, IDS_MASTER_INFO_REGISTERED, EIcon::Information);
        } else {
            m_dlg.basicDlg.SendMasterCredential();
        }
        return;
    }
    if (packet.param1 == RESULT_FAILED) {
        m_dlg.Fail(LoadString(IDS_ENTER_MASTER_FAILED));
    } else {
        m_dlg.ShowResultError(packet.param1);
    }
}

void CDBManagement::OnLeaveMasterMode(CPacket& packet) {
    if (packet.param1 == RESULT_SUCCESS) {
        m_dlg.masterMode = 0;
        m_dlg.Outcome(SOutcome(SOutcome::EKind::MasterMode).Value(0));
        m_dlg.basicDlg.SetMasterControls(false);
        CImageDlg& mainTab = m_dlg.imageDlg;
        mainTab.SetText(CImageDlg::kEnterMaster, LoadString(IDS_ENTER_MASTER));
        for (int id : CImageDlg::kMasterButtons) {
            mainTab.Enable(id, false);
        }
        m_dlg.ShowMessage(LoadString(IDS_LEAVE_MASTER_SUCCEEDED));
    } else if (packet.param1 == RESULT_FAILED) {
        m_dlg.Fail(LoadString(IDS_LEAVE_MASTER_FAILED));
    } else {
        m_dlg.ShowResultError(packet.param1);
    }
}

void CDBManagement::OnRegister(CPacket& packet) {
    m_dlg.registration.OnRegister(packet);
}

void CDBManagement::OnRegisterStep(CPacket& packet) {
    m_dlg.registration.OnRegisterStep(packet);
}

void CDBManagement::OnModifyUser(CPacket& packet) {
    m_dlg.registration.OnModifyUser(packet);
}

}  // namespace sondrix
