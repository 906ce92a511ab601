// CDBManagement: the answers of custom data and the event log.
#include <algorithm>
#include <span>

#include "app/sondrix_dlg.h"
#include "device/db_management.h"
#include "link/result_codes.h"
#include "ui/strings_extra.h"

namespace sondrix {

namespace {

// The texts of a command that only reports its outcome: result 1 and 2 have
// their own, every other result goes to the common error report.
struct SReplyTexts {
    int succeeded;
    int failed;
    EIcon failedIcon;
};

void Report(CSondrixDlg& dlg, const CPacket& packet, const SReplyTexts& outcome) {
    if (packet.param1 == RESULT_SUCCESS) {
        dlg.Outcome(SOutcome(SOutcome::EKind::Done));
        dlg.Report(LoadString(outcome.succeeded), EIcon::Information);
    } else if (packet.param1 == RESULT_FAILED) {
        dlg.Report(LoadString(outcome.failed), outcome.failedIcon);
        dlg.FailureOutcome(LoadString(outcome.failed), EFailure::Module);
    } else {
        dlg.ShowResultError(packet.param1);
    }
}

}  // namespace

void CDBManagement::OnReadCustomData(CPacket& packet) {
    if (packet.param1 == RESULT_FAILED) {
        m_dlg.Report(LoadString(IDS_EXTRA_READ_CUSTOM_FAILED), EIcon::Information);
        return;
    }
    if (!Succeeded(packet)) {
        return;
    }
    // param2 says how many bytes were read; only those that arrived are shown.
    m_dlg.userDlg.ShowCustomData(packet.data, std::min(packet.param2, packet.dataSize));
}

void CDBManagement::OnWriteCustomData(CPacket& packet) {
    Report(m_dlg, packet,
           {IDS_EXTRA_WRITE_CUSTOM_SUCCEEDED, IDS_EXTRA_WRITE_CUSTOM_FAILED, EIcon::Stop});
}

void CDBManagement::OnDeleteCustomData(CPacket& packet) {
    Report(m_dlg, packet,
           {IDS_EXTRA_DELETE_CUSTOM_SUCCEEDED, IDS_EXTRA_DELETE_CUSTOM_FAILED, EIcon::Stop});
}

void CDBManagement::OnGetLogData(CPacket& packet) {
    m_dlg.logDownload.OnGetLogData(packet);
}

void CDBManagement::OnDeleteLogData(CPacket& packet) {
    Report(m_dlg, packet, {IDS_EXTRA_LOG_DELETED, IDS_EXTRA_DELETE_LOG_FAILED, EIcon::Stop});
}

}  // namespace sondrix
