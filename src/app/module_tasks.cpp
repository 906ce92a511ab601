// CModule: images, matching, users and the module's clock.
#include <algorithm>

#include "app/module.h"
#include "app/module_internal.h"
#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "ui/user_dlg.h"

namespace sondrix {

namespace {

using EKind = SOutcome::EKind;

// The password field holds 15 digits and a terminating zero.
constexpr size_t kLongestPassword = CRegistration::kPasswordField - 1;

void NeedPasswordFits(const std::string& password) {
    if (password.empty() || password.size() > kLongestPassword) {
        throw CModuleError(EFailure::Usage, "a password is 1 to 15 digits");
    }
}

}  // namespace

SImage CModule::Capture() {
    NeedConnection();
    Begin();
    Prompt(EQuestion::PlaceFinger);
    m_dlg->imageDlg.StartCapture();
    Await(
        "capturing",
        [&] {
            return m_outcomes->Find(EKind::Quality) != nullptr ||
                   m_outcomes->Find(EKind::QualityFailed) != nullptr;
        },
        "blocks");
    Settle();
    const CImageDlg& page = m_dlg->imageDlg;
    SImage image;
    image.width = page.imageWidth;
    image.height = page.imageHeight;
    const size_t size = std::min(page.imageBuffer.size(), static_cast<size_t>(image.width) *
                                                              static_cast<size_t>(image.height));
    image.pixels.assign(page.imageBuffer.begin(),
                        page.imageBuffer.begin() + static_cast<std::ptrdiff_t>(size));
    if (const SOutcome* quality = m_outcomes->Find(EKind::Quality)) {
        image.quality = static_cast<int32_t>(quality->value);
    }
    return image;
}

SMatch CModule::AwaitMatch(const std::string& what, int64_t sentMs) {
    Await(what, [&] {
        return m_outcomes->Find(EKind::Matched) != nullptr ||
               m_outcomes->Find(EKind::NotMatched) != nullptr;
    });
    const bool matched = m_outcomes->Find(EKind::Matched) != nullptr;
    const EKind kind = matched ? EKind::Matched : EKind::NotMatched;
    const SOutcome& outcome = *m_outcomes->Find(kind);
    SMatch match;
    match.matched = matched;
    match.id = outcome.id;
    match.index = static_cast<int32_t>(outcome.index);
    match.text = outcome.text;
    match.timeMs = m_outcomes->TimeOf(kind) - sentMs;
    // The image quality of the scan follows, matched or not.
    Await(what, [&] {
        return m_outcomes->Find(EKind::Quality) != nullptr ||
               m_outcomes->Find(EKind::QualityFailed) != nullptr;
    });
    if (const SOutcome* quality = m_outcomes->Find(EKind::Quality)) {
        match.quality = static_cast<int32_t>(quality->value);
    }
    Settle();
    return match;
}

SMatch CModule::Verify(const std::string& id, const std::optional<std::string>& password) {
    NeedConnection();
    NeedIdFits(id, LongestId());
    if (password) {
        NeedPasswordFits(*password);
    }
    Begin();
    if (!password) {
        Prompt(EQuestion::PlaceFinger);
    }
    const int64_t sent = m_loop.NowMs();
    m_dlg->PacketManager().SendVerify(password.has_value(), id, password.value_or(std::string()));
    return AwaitMatch("verifying " + id, sent);
}

SMatch CModule::Identify() {
    NeedConnection();
    Begin();
    Prompt(EQuestion::PlaceFinger);
    const int64_t sent = m_loop.NowMs();
    m_dlg->PacketManager().SendCommand(CMD_IDENTIFY, 1);
    return AwaitMatch("identifying", sent);
}

void CModule::ReadTemplateMode() {
    // The older layouts read it before records, lists and registrations.
    const int series = m_dlg->moduleSeries;
    if ((series == 4 || series == 5) && m_dlg->emulationMode != 1) {
        return;
    }
    if (series == 2 || m_dlg->emulationMode == 2) {
        return;
    }
    Begin();
    m_dlg->configuration.pendingAction = CConfiguration::kNoAction;
    m_dlg->PacketManager().SendGetSystemOption(kOptionTemplateMode);
    Await("reading the template mode", [&] {
        const SOutcome* option = m_outcomes->Find(EKind::Option);
        return option != nullptr && option->index == kOptionTemplateMode;
    });
    Settle();
}

std::pair<int, int> CModule::EnrolFingers() {
    NeedConnection();
    const int series = m_dlg->moduleSeries;
    if ((series == 4 || series == 5) && m_dlg->emulationMode != 1 && m_dlg->emulationMode != 2) {
        return {1, CRegistration::kMaxFingerIndex + 1};
    }
    ReadTemplateMode();
    // Flow A: one finger scanned twice, or with another template mode two.
    const int fingers = m_dlg->templateMode == 2 ? 1 : 2;
    return {fingers, fingers};
}

SEnrolled CModule::Enroll(const SEnrolment& enrolment) {
    NeedConnection();
    NeedIdFits(enrolment.id, m_dlg->registration.LongestId());
    if (!enrolment.password.empty()) {
        NeedPasswordFits(enrolment.password);
    }
    const auto [fewest, most] = EnrolFingers();
    const int wanted = enrolment.fingers == 0 ? fewest : enrolment.fingers;
    if (wanted < fewest || wanted > most) {
        Throw(EFailure::Usage,
              "this module registers " +
                  (fewest == most ? std::to_string(fewest)
                                  : std::to_string(fewest) + " to " + std::to_string(most)) +
                  " finger" + (most == 1 ? "" : "s") + " a user, not " + std::to_string(wanted));
    }
    const bool steps = most > 2;
    if (steps && enrolment.id.size() < CRegistration::kMinStepRegistrationId) {
        Throw(EFailure::Usage,
              "the ID " + enrolment.id + " is too short for this module: " + "it takes IDs of " +
                  std::to_string(CRegistration::kMinStepRegistrationId) + " digits or more");
    }
    EnterMaster();
    Begin();
    int fingers = 1;
    m_answers = [&](EQuestion question) {
        switch (question) {
            case EQuestion::AnotherFinger:
                if (fingers >= wanted) {
                    return false;
                }
                ++fingers;
                break;
            case EQuestion::SecondFinger:
                ++fingers;
                break;
            case EQuestion::RetryRegistration:
                if (!enrolment.retry || !enrolment.retry()) {
                    return false;
                }
                break;
            default:
                break;
        }
        Prompt(question);
        return true;
    };
    SRegistrationRequest request;
    request.id = enrolment.id;
    request.password = enrolment.password;
    request.authority = enrolment.master ? 1 : 0;
    Prompt(EQuestion::PlaceFinger);
    m_dlg->registration.Register(request);
    try {
        Await("enrolling " + enrolment.id,
              [&] { return m_outcomes->Find(EKind::Registered) != nullptr; });
        Settle();
    } catch (...) {
        m_answers = {};
        throw;
    }
    m_answers = {};
    return {enrolment.id, fingers, m_outcomes->Find(EKind::Registered)->text};
}

std::vector<SUser> CModule::Users() {
    EnterMaster();
    ReadTemplateMode();
    Begin();
    m_dlg->dbDlg.listPurpose = CDbDlg::kShowList;
    m_dlg->PacketManager().SendGetUserList(0, 0);
    Await("reading the user list", [&] { return m_outcomes->Find(EKind::UserList) != nullptr; });
    Settle();
    const SOutcome& list = *m_outcomes->Find(EKind::UserList);
    std::vector<SUser> users;
    for (size_t i = 0; i < list.ids.size(); ++i) {
        users.push_back({list.ids[i], i < list.masters.size() && list.masters[i] != 0});
    }
    return users;
}

namespace {

// The users of `ids`, as the module lists them; an ID it does not hold is a failure.
std::vector<SUser> Listed(const std::vector<SUser>& users, const std::vector<std::string>& ids) {
    std::vector<SUser> found;
    for (const std::string& id : ids) {
        const auto user =
            std::find_if(users.begin(), users.end(), [&](const SUser& u) { return u.id == id; });
        if (user == users.end()) {
            throw CModuleError(EFailure::Module, "the module holds no user " + id);
        }
        found.push_back(*user);
    }
    return found;
}

}  // namespace

SDeletion CModule::Delete(const std::vector<std::string>& ids) {
    NeedConnection();
    for (const std::string& id : ids) {
        NeedIdFits(id, LongestId());
    }
    Listed(Users(), ids);
    for (const std::string& id : ids) {
        Begin();
        // A deletion of its own, not a step of the DataBase tab's run.
        m_dlg->dbDlg.dbDeletion = 0;
        m_dlg->PacketManager().SendDeleteUser(id);
        Await("deleting " + id, [&] { return m_outcomes->Find(EKind::Deleted) != nullptr; });
        Settle();
    }
    return {m_outcomes->users, m_outcomes->Find(EKind::Deleted)->text};
}

SDeletion CModule::DeleteAll() {
    EnterMaster();
    Begin();
    m_dlg->dbDlg.dbDeletion = 0;
    m_dlg->PacketManager().SendCommand(CMD_DELETE_ALL, 0);
    Await("deleting every user", [&] { return m_outcomes->Find(EKind::Deleted) != nullptr; });
    Settle();
    return {m_outcomes->users, m_outcomes->Find(EKind::Deleted)->text};
}

std::vector<SUser> CModule::SetMaster(const std::vector<std::string>& ids, bool master) {
    NeedConnection();
    for (const std::string& id : ids) {
        NeedIdFits(id, LongestId());
    }
    for (const SUser& user : Listed(Users(), ids)) {
        if (user.master == master) {
            continue;  // it already has that authority
        }
        Begin();
        m_dlg->dbDlg.rowsToChange = 0;
        m_dlg->dbDlg.setOrReset = master ? 1 : 0;
        m_dlg->PacketManager().SendSetMasterAuthority(master ? 1 : 0, user.id);
        Await("changing the authority of " + user.id,
              [&] { return m_outcomes->Find(EKind::Authority) != nullptr; });
        Settle();
    }
    return Listed(Users(), ids);
}

std::string CModule::TimeError(int year, int month, int day, int hour, int minute, int second) {
    return CUserDlg::ManualTimeError({year, month, day, hour, minute, second});
}

std::array<uint8_t, 7> CModule::Time() {
    NeedConnection();
    Begin();
    m_dlg->PacketManager().SendCommand(CMD_GET_TIME);
    Await("reading the time", [&] { return m_outcomes->Find(EKind::Time) != nullptr; });
    Settle();
    std::array<uint8_t, 7> bcd{};
    const std::vector<uint8_t>& bytes = m_outcomes->Find(EKind::Time)->bytes;
    std::copy_n(bytes.begin(), std::min(bytes.size(), bcd.size()), bcd.begin());
    return bcd;
}

void CModule::SetTime(const std::array<uint8_t, 7>& bcd) {
    NeedConnection();
    Begin();
    std::array<uint8_t, 8> sent{};  // the eighth byte stays 0
    std::copy(bcd.begin(), bcd.end(), sent.begin());
    m_dlg->PacketManager().SendSetTime(sent);
    Await("setting the time", [&] { return m_outcomes->Find(EKind::TimeSet) != nullptr; });
    Settle();
}

STracedPacket CModule::SendRaw(uint32_t command, uint32_t param1, uint32_t param2,
                               uint32_t errorCode, const std::vector<uint8_t>& data) {
    NeedConnection();
    if (data.size() > CPacket::kMaxData) {
        Throw(EFailure::Usage, "a packet carries at most 65536 bytes of data");
    }
    Begin();
    CPacketManagerWnd& manager = m_dlg->PacketManager();
    CPacket& packet = manager.txPacket;
    packet.command = command;
    packet.param1 = param1;
    packet.param2 = param2;
    packet.errorCode = errorCode;
    packet.dataSize = static_cast<uint32_t>(data.size());
    std::copy(data.begin(), data.end(), packet.data);
    // Whatever comes back first is the answer; no handler acts on it.
    m_dlg->pendingRawResponse = 1;
    m_firstAnswer.reset();
    m_wantFirstAnswer = true;
    manager.SendTxPacket();
    try {
        Await("waiting for the answer", [&] { return m_firstAnswer.has_value(); });
    } catch (...) {
        m_wantFirstAnswer = false;
        throw;
    }
    m_wantFirstAnswer = false;
    Settle();
    return *m_firstAnswer;
}

uint32_t CModule::CancelModule() {
    NeedConnection();
    Begin();
    m_dlg->PacketManager().SendCommand(CMD_CANCEL);
    Await("cancelling", [&] { return m_outcomes->Find(EKind::CancelAnswered) != nullptr; });
    Settle();
    const SOutcome& answer = *m_outcomes->Find(EKind::CancelAnswered);
    // Cancelled, or nothing was running: both leave the module idle.
    if (answer.result != RESULT_SUCCESS && answer.result != RESULT_IDLE) {
        Throw(EFailure::Module, answer.text + " (cancelling, module on " + Where() + ")",
              answer.result);
    }
    return answer.result;
}

}  // namespace sondrix
