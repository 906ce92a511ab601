#include "device/registration.h"

#include <algorithm>

#include "app/sondrix_dlg.h"
#include "device/matching.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "ui/strings_users.h"

namespace sondrix {

namespace {

// CMD_REGISTER's second parameter.
constexpr uint32_t kFirstScan = 0x00;
constexpr uint32_t kFirstScanGeneratedId = 0x10;
constexpr uint32_t kSecondScanSameFinger = 1;
constexpr uint32_t kSecondScanDifferentFinger = 2;
constexpr uint32_t kSecondFingerFirstScan = 3;
constexpr uint32_t kSecondFingerSameFinger = 4;
constexpr uint32_t kSecondFingerDifferentFinger = 5;

// Step codes of CMD_REGISTER_STEP (the finger index sits above them).
constexpr uint32_t kStepFirstScan = 0;
constexpr uint32_t kStepFirstScanGeneratedId = 1;
constexpr uint32_t kStepSecondScan = 2;
constexpr uint32_t kStepStore = 4;

// Flow A on series 2 and in HLX-SB emulation: 10-byte ID fields.
bool Series2Ids(const CSondrixDlg& dlg) {
    return dlg.moduleSeries != 1 && dlg.moduleSeries != 3 &&
           (dlg.moduleSeries == 2 || dlg.emulationMode == 2);
}

// Series 4 and 5 without emulation register step by step.
bool StepRegistration(const CSondrixDlg& dlg) {
    return (dlg.moduleSeries == 4 || dlg.moduleSeries == 5) && dlg.emulationMode != 1 &&
           dlg.emulationMode != 2;
}

}  // namespace

void CRegistration::Reset() {
    step = 0;
    fingerIndex = 0;
    offerMade = 0;
    modificationCode = 0;
}

size_t CRegistration::LongestId() const {
    if (StepRegistration(m_dlg)) {
        return static_cast<size_t>(std::max(m_dlg.idLength, 1)) - 1;
    }
    return (Series2Ids(m_dlg) ? kSeries2IdField : kClassicIdField) - 1;
}

void CRegistration::Register(SRegistrationRequest wanted) {
    request = std::move(wanted);
    switch (m_dlg.moduleSeries) {
        case 2:
            StartFlowA();
            break;
        case 1:
        case 3:
            m_dlg.configuration.pendingAction = CConfiguration::kRegistration;
            m_dlg.PacketManager().SendGetSystemOption(kOptionTemplateMode);
            break;
        case 4:
        case 5:
            if (m_dlg.emulationMode == 1) {
                m_dlg.configuration.pendingAction = CConfiguration::kRegistration;
                m_dlg.PacketManager().SendGetSystemOption(kOptionTemplateMode);
            } else if (m_dlg.emulationMode == 2) {
                StartFlowA();
            } else {
                StartStep();
            }
            break;
        default:
            break;
    }
}

std::vector<uint8_t> CRegistration::IdAndPasswordField(size_t field) const {
    std::vector<uint8_t> bytes(field + kPasswordField, 0);
    if (field > 0) {
        std::copy_n(request.id.begin(), std::min(request.id.size(), field - 1), bytes.begin());
    }
    std::copy_n(request.password.begin(), std::min(request.password.size(), kPasswordField - 1),
                bytes.begin() + static_cast<std::ptrdiff_t>(field));
    return bytes;
}

void CRegistration::SendRegister(uint32_t param2, std::span<const uint8_t> data) {
    CPacketManagerWnd& link = m_dlg.PacketManager();
    CPacket& tx = link.txPacket;
    tx.command = CMD_REGISTER;
    tx.param1 = request.authority;
    tx.param2 = param2;
    tx.dataSize = static_cast<uint32_t>(std::min(data.size(), CPacket::kMaxData));
    tx.errorCode = 0;
    std::copy_n(data.begin(), tx.dataSize, tx.data);
    link.SendTxPacket();
}

void CRegistration::StartFlowA() {
    step = 1;
    const size_t field = Series2Ids(m_dlg) ? kSeries2IdField : kClassicIdField;
    if (!request.generatedId && request.id.size() >= field) {
        // The block's ID field cannot hold it with its terminating zero.
        m_dlg.Ui().MessageBox(LoadString(IDS_TOO_LONG_DATA));
        m_dlg.FailureOutcome(LoadString(IDS_TOO_LONG_DATA), EFailure::Usage);
        return;
    }
    block = IdAndPasswordField(field);
    if (m_dlg.templateMode != 2 && !m_dlg.Ask(EQuestion::FirstFinger)) {
        return;
    }
    if (request.generatedId) {
        SendRegister(kFirstScanGeneratedId, {});
    } else {
        SendRegister(kFirstScan, block);
    }
    m_dlg.ShowMessage(LoadString(IDS_PLACE_FINGER));
}

void CRegistration::StartStep() {
    offerMade = 0;
    step = 1;
    fingerIndex = 0;
    if (!request.generatedId && request.id.size() < kMinStepRegistrationId) {
        m_dlg.Ui().MessageBox(LoadString(IDS_ID_TOO_SHORT));
        m_dlg.FailureOutcome(LoadString(IDS_ID_TOO_SHORT), EFailure::Usage);
        return;
    }
    SendFirstStep();
}

void CRegistration::SendFirstStep() {
    const auto finger = static_cast<uint32_t>(fingerIndex);
    CPacketManagerWnd& link = m_dlg.PacketManager();
    if (request.generatedId && fingerIndex == 0) {
        link.SendRegisterStep(0, kStepFirstScanGeneratedId, request.authority, {});
    } else {
        const size_t field = static_cast<size_t>(std::max(m_dlg.idLength, 1));
        link.SendRegisterStep(finger, kStepFirstScan, request.authority, IdAndPasswordField(field));
    }
    m_dlg.ShowMessage(LoadString(IDS_PLACE_FINGER));
}

void CRegistration::OfferRetry() {
    offerMade = 1;
    if (!m_dlg.Ask(EQuestion::RetryRegistration)) {
        return;
    }
    step = 1;
    SendFirstStep();
}

void CRegistration::Stored() {
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Registered)
                      .Id(request.id)
                      .Text(LoadString(IDS_REGISTER_SUCCEEDED)));
    ReportString(m_dlg, IDS_REGISTER_SUCCEEDED, EIcon::Information);
}

void CRegistration::OnRegister(const CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            // With one template per user the module says when it stored the
            // user; with two the fourth scan stores it.
            const bool oneTemplate = m_dlg.templateMode == 2;
            const bool stored = oneTemplate ? packet.param2 != 0 : step >= 4;
            if (stored) {
                Stored();
                if (oneTemplate) {
                    ++step;
                }
            }
            RequestQualityCheck(m_dlg, kRegistrationQuality);
            break;
        }
        case RESULT_FAILED:
        case RESULT_DIFFERENT_FINGERPRINT:
            if (packet.param1 == RESULT_FAILED) {
                m_dlg.Fail(LoadString(IDS_REGISTER_FAILED));
            } else {
                m_dlg.ShowResultError(packet.param1);
            }
            step = kAbandonedStep;
            RequestQualityCheck(m_dlg, kRegistrationQuality);
            break;
        default:  // "Canceled!!!" among them
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CRegistration::OnRegisterStep(const CPacket& packet) {
    if (packet.param1 == RESULT_SUCCESS) {
        if (packet.param2 == 0) {
            RequestQualityCheck(m_dlg, kStepRegistrationQuality);
        } else {
            Stored();
        }
        return;
    }
    if (offerMade == 0) {
        if (packet.param1 == RESULT_FAILED) {
            m_dlg.Fail(LoadString(IDS_REGISTER_FAILED));
        } else {
            m_dlg.ShowResultError(packet.param1);
        }
        OfferRetry();
        return;
    }
    m_dlg.Fail(LoadString(IDS_REGISTER_FAILED));
    step = kAbandonedStep;
    RequestQualityCheck(m_dlg, kRegistrationQuality);
}

void CRegistration::ContinueAfterQuality(int reason) {
    CPacketManagerWnd& link = m_dlg.PacketManager();
    const bool different = request.differentFinger;
    if (reason == kRegistrationQuality) {
        if (step == 1 && m_dlg.Ask(EQuestion::LiftFinger)) {
            step = 2;
            SendRegister(different ? kSecondScanDifferentFinger : kSecondScanSameFinger, {});
            return;
        }
        // One template per user: one finger, scanned twice, and that was all.
        if (m_dlg.templateMode == 2) {
            return;
        }
        if (step == 2 && m_dlg.Ask(EQuestion::SecondFinger)) {
            step = 3;
            SendRegister(kSecondFingerFirstScan, {});
        } else if (step == 3 && m_dlg.Ask(EQuestion::LiftFinger)) {
            step = 4;
            SendRegister(different ? kSecondFingerDifferentFinger : kSecondFingerSameFinger, {});
        }
    } else if (reason == kStepRegistrationQuality) {
        if (step == 1) {
            if (m_dlg.Ask(EQuestion::LiftFinger)) {
                step = 2;
                link.SendRegisterStep(static_cast<uint32_t>(fingerIndex), kStepSecondScan,
                                      request.authority, {});
            }
            return;
        }
        if (step != 2) {
            return;
        }
        if (m_dlg.Ask(EQuestion::AnotherFinger)) {
            if (fingerIndex < kMaxFingerIndex) {
                ++fingerIndex;
                step = 1;
                link.SendRegisterStep(static_cast<uint32_t>(fingerIndex), kStepFirstScan,
                                      request.authority, {});
                return;
            }
            if (!m_dlg.Ask(EQuestion::MaxFingers)) {
                return;
            }
        }
        fingerIndex = 0;
        link.SendRegisterStep(0, kStepStore, request.authority, {});
    } else if (reason == kModificationQuality) {
        // Only a first sensor scan that the module took asks for the second.
        if (modificationCode != kFirstSensorScan && modificationCode != kSecondSensorScan) {
            return;
        }
        if (!m_dlg.Ask(EQuestion::LiftFinger)) {
            return;
        }
        modificationCode = FollowUpCode(modificationCode, modificationType);
        m_dlg.modificationKind = modificationType;
        link.SendModifyUser(modificationCode, 0, modificationId, {}, {});
    }
}

void CRegistration::SentOrRefused(bool sent) {
    if (!sent) {
        m_dlg.Ui().MessageBox(LoadString(IDS_SIZE_TOO_BIG));
        m_dlg.FailureOutcome(LoadString(IDS_SIZE_TOO_BIG), EFailure::Usage);
    }
}

void CRegistration::Modify(SModificationRequest wanted) {
    CPacketManagerWnd& link = m_dlg.PacketManager();
    modificationType = wanted.type;
    modificationId = wanted.id;
    // The packet manager lays the request's data out by this kind.
    m_dlg.modificationKind = wanted.type;
    switch (wanted.type) {
        case 0:
        case 2:
            modificationCode = wanted.type == 0 ? kModifyAuthority : kModifySecurityLevel;
            link.SendModifyUser(modificationCode, wanted.value, modificationId, {}, {});
            break;
        case 1:
            modificationCode = kModifyPassword;
            link.SendModifyUser(modificationCode, 0, modificationId, wanted.password, {});
            break;
        case 3:
        case 4:
        case 5:
        case 6:
            modificationCode = wanted.type <= 4 ? kFirstHostTemplate : kSecondHostTemplate;
            SentOrRefused(
                link.SendModifyUser(modificationCode, 0, modificationId, {}, wanted.templ));
            break;
        case 7:
        case 8:
        case 9:
        case 10:
            modificationCode = wanted.type <= 8 ? kFirstSensorScan : kSecondSensorScan;
            link.SendModifyUser(modificationCode, 0, modificationId, {}, {});
            break;
        default:
            break;
    }
}

void CRegistration::SendSecondTemplate(std::span<const uint8_t> templ) {
    modificationCode = FollowUpCode(modificationCode, modificationType);
    m_dlg.modificationKind = modificationType;
    SentOrRefused(
        m_dlg.PacketManager().SendModifyUser(modificationCode, 0, modificationId, {}, templ));
}

void CRegistration::ModificationDone(int textId) {
    SOutcome done;
    done.kind = SOutcome::EKind::Modified;
    done.id = modificationId;
    done.value = modificationCode;
    m_dlg.Outcome(std::move(done));
    m_dlg.Ui().MessageBox(LoadString(textId), EIcon::Information);
}

void CRegistration::OnModifyUser(const CPacket& packet) {
    const uint32_t code = modificationCode;
    const bool sensorScan = code >= kFirstSensorScan && code <= kSecondSensorScan + 2;
    if (packet.param1 == RESULT_FAILED) {
        m_dlg.Fail(LoadString(IDS_MODIFICATION_FAILED));
        if (sensorScan) {
            // The quality is still shown, but a failed scan asks for no second one.
            modificationCode = 0;
            RequestQualityCheck(m_dlg, kModificationQuality);
        }
        return;
    }
    if (packet.param1 != RESULT_SUCCESS) {
        m_dlg.ShowResultError(packet.param1);
        return;
    }
    switch (code) {
        case kModifyAuthority:
            ModificationDone(IDS_AUTHORITY_MODIFIED);
            break;
        case kModifyPassword:
            ModificationDone(IDS_PASSWORD_MODIFIED);
            break;
        case kModifySecurityLevel:
            ModificationDone(IDS_SECURITY_LEVEL_MODIFIED);
            break;
        case kFirstHostTemplate:
        case kSecondHostTemplate:
            m_dlg.basicDlg.SendSecondTemplate();
            break;
        case kFirstSensorScan:
        case kSecondSensorScan:
            // The first scan was taken; the quality answer asks for the second.
            RequestQualityCheck(m_dlg, kModificationQuality);
            break;
        case kFirstHostTemplate + 1:
        case kFirstHostTemplate + 2:
        case kSecondHostTemplate + 1:
        case kSecondHostTemplate + 2:
            ModificationDone(IDS_TEMPLATE_MODIFIED);
            break;
        case kFirstSensorScan + 1:
        case kFirstSensorScan + 2:
        case kSecondSensorScan + 1:
        case kSecondSensorScan + 2:
            ModificationDone(IDS_TEMPLATE_MODIFIED);
            RequestQualityCheck(m_dlg, kModificationQuality);
            break;
        default:  // an answer to no modification of ours: the common report
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

}  // namespace sondrix
