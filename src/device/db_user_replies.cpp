// CDBManagement: the answers of master mode, registration and modification.
#include "app/sondrix_dlg.h"
#include "device/db_management.h"
#include "link/result_codes.h"
#include "ui/strings_users.h"

namespace sondrix {

namespace {

// A finished modification: the ID is used up and the text says what changed.
void ModificationDone(CSondrixDlg& dlg, int textId) {
    CBasicDlg& page = dlg.basicDlg;
    page.SetText(CBasicDlg::kModificationId, {});
    page.modificationId.clear();
    page.Enable(CBasicDlg::kModify, false);
    dlg.Ui().MessageBox(LoadString(textId), EIcon::Information);
}

}  // namespace

void CDBManagement::OnEnterMasterMode(CPacket& packet) {
    CImageDlg& mainTab = m_dlg.imageDlg;
    if (packet.param1 == RESULT_SUCCESS) {
        m_dlg.masterMode = 1;
        m_dlg.basicDlg.SetMasterControls(true);
        mainTab.SetText(CImageDlg::kEnterMaster, LoadString(IDS_LEAVE_MASTER));
        mainTab.EnableCommandButtons(true);
        m_dlg.ShowMessage(LoadString(IDS_ENTER_MASTER_SUCCEEDED));
        return;
    }
    if (packet.param2 == 3) {
        // The module wants a master credential: only this page asks for one.
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
        ReportString(m_dlg, IDS_ENTER_MASTER_FAILED, EIcon::Stop);
    } else {
        m_dlg.ShowResultError(packet.param1);
    }
}

void CDBManagement::OnLeaveMasterMode(CPacket& packet) {
    if (packet.param1 == RESULT_SUCCESS) {
        m_dlg.masterMode = 0;
        m_dlg.basicDlg.SetMasterControls(false);
        CImageDlg& mainTab = m_dlg.imageDlg;
        mainTab.SetText(CImageDlg::kEnterMaster, LoadString(IDS_ENTER_MASTER));
        for (int id : CImageDlg::kMasterButtons) {
            mainTab.Enable(id, false);
        }
        m_dlg.ShowMessage(LoadString(IDS_LEAVE_MASTER_SUCCEEDED));
    } else if (packet.param1 == RESULT_FAILED) {
        ReportString(m_dlg, IDS_LEAVE_MASTER_FAILED, EIcon::Stop);
    } else {
        m_dlg.ShowResultError(packet.param1);
    }
}

void CDBManagement::OnRegister(CPacket& packet) {
    CBasicDlg& page = m_dlg.basicDlg;
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            // With one template per user the module says when it stored the
            // user; with two the fourth scan stores it.
            const bool oneTemplate = m_dlg.templateMode == 2;
            const bool stored = oneTemplate ? packet.param2 != 0 : page.registrationStep >= 4;
            if (stored) {
                page.ClearRegistrationFields();
                ReportString(m_dlg, IDS_REGISTER_SUCCEEDED, EIcon::Information);
                if (oneTemplate) {
                    ++page.registrationStep;
                }
            }
            RequestQualityCheck(m_dlg, CBasicDlg::kRegistrationQuality);
            break;
        }
        case RESULT_FAILED:
        case RESULT_DIFFERENT_FINGERPRINT:
            if (packet.param1 == RESULT_FAILED) {
                ReportString(m_dlg, IDS_REGISTER_FAILED, EIcon::Stop);
            } else {
                m_dlg.ShowResultError(packet.param1);
            }
            page.registrationStep = CBasicDlg::kAbandonedStep;
            RequestQualityCheck(m_dlg, CBasicDlg::kRegistrationQuality);
            break;
        default:  // "Canceled!!!" among them
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CDBManagement::OnRegisterStep(CPacket& packet) {
    CBasicDlg& page = m_dlg.basicDlg;
    if (packet.param1 == RESULT_SUCCESS) {
        if (packet.param2 == 0) {
            RequestQualityCheck(m_dlg, CBasicDlg::kStepRegistrationQuality);
        } else {
            page.ClearRegistrationFields();
            ReportString(m_dlg, IDS_REGISTER_SUCCEEDED, EIcon::Information);
        }
        return;
    }
    if (page.continuousOfferMade == 0) {
        if (packet.param1 == RESULT_FAILED) {
            ReportString(m_dlg, IDS_REGISTER_FAILED, EIcon::Stop);
        } else {
            m_dlg.ShowResultError(packet.param1);
        }
        page.OfferContinuousRegistration();
        return;
    }
    ReportString(m_dlg, IDS_REGISTER_FAILED, EIcon::Stop);
    page.registrationStep = CBasicDlg::kAbandonedStep;
    RequestQualityCheck(m_dlg, CBasicDlg::kRegistrationQuality);
}

void CDBManagement::OnModifyUser(CPacket& packet) {
    CBasicDlg& page = m_dlg.basicDlg;
    const uint32_t code = page.modificationCode;
    const bool sensorScan =
        code >= CBasicDlg::kFirstSensorScan && code <= CBasicDlg::kSecondSensorScan + 2;
    if (packet.param1 == RESULT_FAILED) {
        ReportString(m_dlg, IDS_MODIFICATION_FAILED, EIcon::Stop);
        if (sensorScan) {
            // The quality is still shown, but a failed scan asks for no second one.
            page.modificationCode = 0;
            RequestQualityCheck(m_dlg, CBasicDlg::kModificationQuality);
        }
        return;
    }
    if (packet.param1 != RESULT_SUCCESS) {
        m_dlg.ShowResultError(packet.param1);
        return;
    }
    switch (code) {
        case CBasicDlg::kModifyAuthority:
            ModificationDone(m_dlg, IDS_AUTHORITY_MODIFIED);
            break;
        case CBasicDlg::kModifyPassword:
            ModificationDone(m_dlg, IDS_PASSWORD_MODIFIED);
            break;
        case CBasicDlg::kModifySecurityLevel:
            ModificationDone(m_dlg, IDS_SECURITY_LEVEL_MODIFIED);
            break;
        case CBasicDlg::kFirstHostTemplate:
        case CBasicDlg::kSecondHostTemplate:
            page.SendSecondTemplate();
            break;
        case CBasicDlg::kFirstSensorScan:
        case CBasicDlg::kSecondSensorScan:
            // The first scan was taken; the quality answer asks for the second.
            RequestQualityCheck(m_dlg, CBasicDlg::kModificationQuality);
            break;
        case CBasicDlg::kFirstHostTemplate + 1:
        case CBasicDlg::kFirstHostTemplate + 2:
        case CBasicDlg::kSecondHostTemplate + 1:
        case CBasicDlg::kSecondHostTemplate + 2:
            ModificationDone(m_dlg, IDS_TEMPLATE_MODIFIED);
            break;
        case CBasicDlg::kFirstSensorScan + 1:
        case CBasicDlg::kFirstSensorScan + 2:
        case CBasicDlg::kSecondSensorScan + 1:
        case CBasicDlg::kSecondSensorScan + 2:
            ModificationDone(m_dlg, IDS_TEMPLATE_MODIFIED);
            RequestQualityCheck(m_dlg, CBasicDlg::kModificationQuality);
            break;
        default:  // an answer to no modification of ours: the common report
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

}  // namespace sondrix
