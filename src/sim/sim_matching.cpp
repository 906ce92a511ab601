#include "sim/sim_matching.h"

#include <algorithm>
#include <array>
#include <string>

#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "sim/sim_configuration.h"
#include "sim/sim_module.h"

namespace sondrix {

namespace {

constexpr size_t kPasswordField = 16;
constexpr uint32_t kEmulationNone = 0xFF;
constexpr uint8_t kMaxFingerIndex = 9;

// CMD_REGISTER's second parameter.
constexpr uint32_t kRegisterFirst = 0x00;
constexpr uint32_t kRegisterFirstGenerated = 0x10;
constexpr uint32_t kRegisterSecondSame = 1;
constexpr uint32_t kRegisterSecondDifferent = 2;
constexpr uint32_t kRegisterOtherFinger = 3;
constexpr uint32_t kRegisterOtherSame = 4;
constexpr uint32_t kRegisterOtherDifferent = 5;

// Step codes of CMD_REGISTER_STEP, below the finger index.
constexpr uint32_t kStepFirst = 0;
constexpr uint32_t kStepFirstGenerated = 1;
constexpr uint32_t kStepSecond = 2;
constexpr uint32_t kStepStore = 4;

// Modification codes of CMD_MODIFY_USER.
constexpr uint32_t kModifyAuthority = 0x01;
constexpr uint32_t kModifyPassword = 0x02;
constexpr uint32_t kModifySecurityLevel = 0x03;
constexpr uint32_t kModifyFirstHost = 0x10;
constexpr uint32_t kModifySecondHost = 0x13;
constexpr uint32_t kModifyFirstSensor = 0x20;
constexpr uint32_t kModifySecondSensor = 0x23;

// A template modification takes two requests: the opening code, then the
// opening code + 1 (the same finger again) or + 2 (a different finger).
struct STemplateCode {
    uint32_t code;
    uint32_t opening;
};
constexpr std::array kTemplateCodes = {
    STemplateCode{kModifyFirstHost, kModifyFirstHost},
    STemplateCode{kModifyFirstHost + 1, kModifyFirstHost},
    STemplateCode{kModifyFirstHost + 2, kModifyFirstHost},
    STemplateCode{kModifySecondHost, kModifySecondHost},
    STemplateCode{kModifySecondHost + 1, kModifySecondHost},
    STemplateCode{kModifySecondHost + 2, kModifySecondHost},
    STemplateCode{kModifyFirstSensor, kModifyFirstSensor},
    STemplateCode{kModifyFirstSensor + 1, kModifyFirstSensor},
    STemplateCode{kModifyFirstSensor + 2, kModifyFirstSensor},
    STemplateCode{kModifySecondSensor, kModifySecondSensor},
    STemplateCode{kModifySecondSensor + 1, kModifySecondSensor},
    STemplateCode{kModifySecondSensor + 2, kModifySecondSensor},
};

// Master credentials of CMD_ENTER_MASTER_MODE.
constexpr uint32_t kMasterById = 0;
constexpr uint32_t kMasterByPassword = 1;
constexpr uint32_t kMasterByDevicePassword = 2;
constexpr uint32_t kMasterPlain = 3;
constexpr uint32_t kMasterByTemplate = 4;

std::span<const uint8_t> DataOf(const CPacket& request) {
    return {request.data, request.dataSize};
}

// The text of a zero-filled field at `at`, nothing when the data is too short.
std::optional<std::vector<uint8_t>> FieldAt(const CPacket& request, size_t at, size_t size) {
    if (request.dataSize < at + size) {
        return std::nullopt;
    }
    return CSimUserDb::IdOfField({request.data + at, size});
}

}  // namespace

bool CSimMatching::Handle(const CPacket& request, std::vector<SSimReply>& out) {
    switch (request.command) {
        case CMD_VERIFY:
            OnVerify(request, out);
            return true;
        case CMD_IDENTIFY:
            OnIdentify(request, out);
            return true;
        case CMD_INSTANT_MATCH:
            OnInstantMatch(request, out);
            return true;
        case CMD_GET_TEMPLATE:
            OnGetTemplate(request, out);
            return true;
        case CMD_CANCEL:
            OnCancel(out);
            return true;
        case CMD_INSTANT_VERIFY:
            OnInstantVerify(request, out);
            return true;
        case CMD_INSTANT_IDENTIFY:
            OnInstantIdentify(request, out);
            return true;
        case CMD_AUTO_ON:
            OnAutoOn(request, out);
            return true;
        case CMD_ENTER_MASTER_MODE:
            OnEnterMasterMode(request, out);
            return true;
        case CMD_LEAVE_MASTER_MODE:
            // What master mode allowed ends with it.
            m_masterMode = false;
            m_registration.reset();
            m_modification.reset();
            m_module.Answer(out, CMD_LEAVE_MASTER_MODE, RESULT_SUCCESS, 0);
            return true;
        case CMD_REGISTER:
            OnRegister(request, out);
            return true;
        case CMD_REGISTER_STEP:
            OnRegisterStep(request, out);
            return true;
        case CMD_MODIFY_USER:
            OnModifyUser(request, out);
            return true;
        default:
            return false;
    }
}

int CSimMatching::Series() const {
    const SModelInfo* model = m_module.Model();
    return model != nullptr && model->series != 0 ? model->series : 5;
}

uint32_t CSimMatching::Emulation() const {
    return m_module.Configuration().Value(kOptionEmulationMode).value_or(kEmulationNone);
}

uint32_t CSimMatching::TemplateMode() const {
    return m_module.Configuration().Value(kOptionTemplateMode).value_or(2);
}

bool CSimMatching::LegacyProtocol() const {
    return Series() <= 3 || Emulation() == 1 || Emulation() == 2;
}

size_t CSimMatching::IdFieldLength() const {
    const int series = Series();
    if (series == 1 || series == 3 || Emulation() == 1) {
        return 11;
    }
    if (series == 2 || Emulation() == 2) {
        return 10;
    }
    return m_module.Configuration().Value(kOptionIdLength).value_or(15) + 1;
}

size_t CSimMatching::TemplateSize() const {
    return Series() == 2 || Emulation() == 2 ? 400 : 404;
}

bool CSimMatching::Has(const SSimUser& user, const SFinger& finger) const {
    return std::ranges::find(user.fingers, finger) != user.fingers.end();
}

uint8_t CSimMatching::FingerSlot(const SSimUser& user, const SFinger& finger) {
    return static_cast<uint8_t>(std::ranges::find(user.fingers, finger) - user.fingers.begin());
}

std::vector<uint8_t> CSimMatching::IdAnswer(const SSimUser& user, size_t field,
                                            std::optional<uint8_t> index) const {
    std::vector<uint8_t> data(field + (index ? 1 : 0), 0);
    std::copy_n(user.id.begin(), std::min(user.id.size(), field - 1), data.begin());
    if (index) {
        data[field] = *index;
    }
    return data;
}

void CSimMatching::OnVerify(const CPacket& request, std::vector<SSimReply>& out) {
    const size_t field = IdFieldLength();
    const bool byPassword = request.param1 == 1;
    if (request.param1 > 1) {
        m_module.Answer(out, CMD_VERIFY, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const auto id = FieldAt(request, 0, field);
    const auto secret = byPassword ? FieldAt(request, field, kPasswordField)
                                   : std::optional<std::vector<uint8_t>>{};
    if (!id || (byPassword && !secret)) {
        m_module.Answer(out, CMD_VERIFY, RESULT_INVALID_DATA_SIZE, 0);
        return;
    }
    SSimUser* user = m_module.UserDb().Find(*id);
    if (user == nullptr) {
        m_module.Answer(out, CMD_VERIFY, RESULT_INVALID_ID, 0);
        return;
    }
    if (byPassword) {
        const bool matches = !user->password.empty() && user->password == *secret;
        m_module.Answer(out, CMD_VERIFY, matches ? RESULT_SUCCESS : RESULT_FAILED, 0);
        return;
    }
    const FingerOnSensor finger = m_module.ScanFinger(CMD_VERIFY, out);
    if (!finger) {
        return;
    }
    if (Has(*user, *finger)) {
        m_module.Answer(out, CMD_VERIFY, RESULT_SUCCESS, FingerSlot(*user, *finger));
    } else {
        m_module.Answer(out, CMD_VERIFY, RESULT_FAILED, 0);
    }
}

void CSimMatching::OnIdentify(const CPacket& /*request*/, std::vector<SSimReply>& out) {
    const FingerOnSensor finger = m_module.ScanFinger(CMD_IDENTIFY, out);
    if (!finger) {
        return;
    }
    const SSimUser* user = m_module.UserDb().FindByFinger(*finger);
    if (user == nullptr) {
        m_module.Answer(out, CMD_IDENTIFY, RESULT_FAILED, 0);
        return;
    }
    const std::vector<uint8_t> data = IdAnswer(*user, IdFieldLength(), FingerSlot(*user, *finger));
    m_module.Answer(out, CMD_IDENTIFY, RESULT_SUCCESS, 0, data.data(),
                    static_cast<uint32_t>(data.size()));
}

void CSimMatching::OnInstantMatch(const CPacket& request, std::vector<SSimReply>& out) {
    // The module tells the template's format from its bytes; the selector
    // only has to be one it knows.
    if (request.param1 >= kTemplateFormatCount) {
        m_module.Answer(out, CMD_INSTANT_MATCH, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const std::optional<SFinger> given = FingerOfTemplate(DataOf(request));
    if (!given) {
        m_module.Answer(out, CMD_INSTANT_MATCH, RESULT_INVALID_DATA, 0);
        return;
    }
    const FingerOnSensor finger = m_module.ScanFinger(CMD_INSTANT_MATCH, out);
    if (finger) {
        m_module.Answer(out, CMD_INSTANT_MATCH, *finger == *given ? RESULT_SUCCESS : RESULT_FAILED,
                        0);
    }
}

void CSimMatching::OnGetTemplate(const CPacket& request, std::vector<SSimReply>& out) {
    if (request.param1 >= kTemplateFormatCount) {
        m_module.Answer(out, CMD_GET_TEMPLATE, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const FingerOnSensor finger = m_module.ScanFinger(CMD_GET_TEMPLATE, out);
    if (!finger) {
        return;
    }
    const std::vector<uint8_t> bytes =
        MakeTemplate(*finger, TemplateSize(), static_cast<uint8_t>(request.param1));
    m_module.Answer(out, CMD_GET_TEMPLATE, RESULT_SUCCESS, 0, bytes.data(),
                    static_cast<uint32_t>(bytes.size()));
}

void CSimMatching::OnCancel(std::vector<SSimReply>& out) {
    // Busy: a sequence waits for its next request, or the host left an
    // image transfer half done.
    const auto& requests = m_module.Requests();
    const bool capturing =
        requests.size() >= 2 && (requests[requests.size() - 2].command == CMD_CAPTURE_IMAGE ||
                                 requests[requests.size() - 2].command == CMD_CAPTURE_COLOR_IMAGE);
    const bool busy = m_registration.has_value() || m_modification.has_value() || capturing ||
                      m_module.HoldingAnswer();
    m_registration.reset();
    m_modification.reset();
    m_module.Answer(out, CMD_CANCEL, busy ? RESULT_SUCCESS : RESULT_IDLE, 0);
}

void CSimMatching::OnInstantVerify(const CPacket& request, std::vector<SSimReply>& out) {
    const size_t field = IdFieldLength();
    const auto id = FieldAt(request, 0, field);
    if (!id) {
        m_module.Answer(out, CMD_INSTANT_VERIFY, RESULT_INVALID_DATA_SIZE, 0);
        return;
    }
    const SSimUser* user = m_module.UserDb().Find(*id);
    if (user == nullptr) {
        m_module.Answer(out, CMD_INSTANT_VERIFY, RESULT_INVALID_ID, 0);
        return;
    }
    const std::optional<SFinger> given = FingerOfTemplate(DataOf(request).subspan(field));
    if (!given) {
        m_module.Answer(out, CMD_INSTANT_VERIFY, RESULT_INVALID_DATA, 0);
    } else if (Has(*user, *given)) {
        m_module.Answer(out, CMD_INSTANT_VERIFY, RESULT_SUCCESS, FingerSlot(*user, *given));
    } else {
        m_module.Answer(out, CMD_INSTANT_VERIFY, RESULT_FAILED, 0);
    }
}

void CSimMatching::OnInstantIdentify(const CPacket& request, std::vector<SSimReply>& out) {
    const std::optional<SFinger> given = FingerOfTemplate(DataOf(request));
    if (!given) {
        m_module.Answer(out, CMD_INSTANT_IDENTIFY, RESULT_INVALID_DATA, 0);
        return;
    }
    const SSimUser* user = m_module.UserDb().FindByFinger(*given);
    if (user == nullptr) {
        m_module.Answer(out, CMD_INSTANT_IDENTIFY, RESULT_FAILED, 0);
        return;
    }
    // The older protocol answers with its 11-byte ID field, series 2 too.
    const size_t field = LegacyProtocol() ? 11 : IdFieldLength();
    const std::vector<uint8_t> data = IdAnswer(*user, field, FingerSlot(*user, *given));
    m_module.Answer(out, CMD_INSTANT_IDENTIFY, RESULT_SUCCESS, 0, data.data(),
                    static_cast<uint32_t>(data.size()));
}

void CSimMatching::OnAutoOn(const CPacket& request, std::vector<SSimReply>& out) {
    if (request.param1 > 1) {
        m_module.Answer(out, CMD_AUTO_ON, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    m_autoOn = request.param1 == 1;
    m_module.Answer(out, CMD_AUTO_ON, RESULT_SUCCESS, 0);
}

void CSimMatching::OnFingerPlaced(std::vector<SSimReply>& out) {
    if (!m_autoOn || !m_module.Finger()) {
        return;
    }
    const FingerOnSensor finger = m_module.ScanFinger(CMD_AUTO_IDENTIFY_RESULT, out);
    if (!finger) {
        return;
    }
    if (m_autoOnSendsTemplate) {
        const std::vector<uint8_t> bytes = MakeTemplate(*finger, TemplateSize(), kTemplateDravik);
        m_module.Answer(out, CMD_AUTO_IDENTIFY_RESULT, RESULT_SUCCESS, 0, bytes.data(),
                        static_cast<uint32_t>(bytes.size()));
        return;
    }
    const SSimUser* user = m_module.UserDb().FindByFinger(*finger);
    if (user == nullptr) {
        m_module.Answer(out, CMD_AUTO_IDENTIFY_RESULT, RESULT_FAILED, 0);
        return;
    }
    // The index travels in param2; newer modules add their timing.
    const bool legacy = LegacyProtocol();
    const std::vector<uint8_t> data = IdAnswer(*user, legacy ? 11 : 16, std::nullopt);
    m_module.Answer(out, CMD_AUTO_IDENTIFY_RESULT, RESULT_SUCCESS, FingerSlot(*user, *finger),
                    data.data(), static_cast<uint32_t>(data.size()), legacy ? 0 : m_autoOnTiming);
}

void CSimMatching::OnEnterMasterMode(const CPacket& request, std::vector<SSimReply>& out) {
    CSimUserDb& users = m_module.UserDb();
    const std::vector<uint8_t>& devicePassword = m_module.Configuration().MasterPassword();
    const bool anyMaster =
        !devicePassword.empty() ||
        std::ranges::any_of(users.Users(), [](const SSimUser& u) { return u.authority != 0; });
    const auto answer = [&](bool granted) {
        m_masterMode = m_masterMode || granted;
        m_module.Answer(out, CMD_ENTER_MASTER_MODE, granted ? RESULT_SUCCESS : RESULT_FAILED, 0);
    };
    if (request.param1 == kMasterPlain) {
        if (anyMaster) {
            m_module.Answer(out, CMD_ENTER_MASTER_MODE, RESULT_FAILED, 3);  // a credential, please
        } else {
            answer(true);
        }
        return;
    }
    const size_t field = IdFieldLength();
    if (request.param1 == kMasterByDevicePassword) {
        const auto secret = FieldAt(request, 0, kPasswordField);
        answer(secret && !devicePassword.empty() && *secret == devicePassword);
        return;
    }
    if (request.param1 != kMasterById && request.param1 != kMasterByPassword &&
        request.param1 != kMasterByTemplate) {
        m_module.Answer(out, CMD_ENTER_MASTER_MODE, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const auto id = FieldAt(request, 0, field);
    const SSimUser* master = id ? users.Find(*id) : nullptr;
    if (master == nullptr || master->authority == 0) {
        answer(false);
        return;
    }
    if (request.param1 == kMasterByPassword) {
        const auto secret = FieldAt(request, field, kPasswordField);
        answer(secret && !master->password.empty() && *secret == master->password);
    } else if (request.param1 == kMasterByTemplate) {
        const std::optional<SFinger> given = FingerOfTemplate(DataOf(request).subspan(field));
        answer(given && Has(*master, *given));
    } else if (const FingerOnSensor finger = m_module.ScanFinger(CMD_ENTER_MASTER_MODE, out)) {
        answer(Has(*master, *finger));
    }
}

uint32_t CSimMatching::BeginRegistration(std::span<const uint8_t> field, size_t idField,
                                         uint8_t authority) {
    if (!m_masterMode) {
        return RESULT_NOT_MASTER_MODE;
    }
    CSimUserDb& users = m_module.UserDb();
    const std::optional<uint32_t> capacity = m_module.Configuration().Value(kOptionUserCapacity);
    if (capacity && users.Count() >= *capacity) {
        return RESULT_DB_FULL;
    }
    SRegistration registration;
    if (field.empty()) {
        // The lowest number no user has taken.
        for (uint32_t n = 1;; ++n) {
            const std::string text = std::to_string(n);
            if (users.Find(std::vector<uint8_t>(text.begin(), text.end())) == nullptr) {
                registration.user.id.assign(text.begin(), text.end());
                break;
            }
        }
    } else {
        if (field.size() < idField + kPasswordField) {
            return RESULT_INVALID_DATA_SIZE;
        }
        registration.user.id = CSimUserDb::IdOfField(field.first(idField));
        registration.user.password = CSimUserDb::IdOfField(field.subspan(idField, kPasswordField));
        if (registration.user.id.empty()) {
            return RESULT_INVALID_ID;
        }
        if (users.Find(registration.user.id) != nullptr) {
            return RESULT_USED_ID;
        }
    }
    if (authority > 1) {
        return RESULT_INVALID_PARAMETER;
    }
    registration.user.authority = authority;
    m_registration = std::move(registration);
    return RESULT_SUCCESS;
}

void CSimMatching::StoreRegistration(uint32_t command, std::vector<SSimReply>& out) {
    SSimUser user = std::move(m_registration->user);
    for (const auto& [index, finger] : m_registration->fingers) {
        user.fingers.push_back(finger);
    }
    m_registration.reset();
    user.registered = m_module.ModuleTime();
    const auto count = static_cast<uint32_t>(user.fingers.size());
    m_module.UserDb().Add(std::move(user));
    m_module.Answer(out, command, RESULT_SUCCESS, count);
}

void CSimMatching::OnRegister(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t stage = request.param2;
    if (stage == kRegisterFirst || stage == kRegisterFirstGenerated) {
        const size_t field = Series() == 2 || Emulation() == 2 ? 10 : 11;
        const uint32_t result = BeginRegistration(
            stage == kRegisterFirst ? DataOf(request) : std::span<const uint8_t>{}, field,
            static_cast<uint8_t>(request.param1));
        if (result != RESULT_SUCCESS) {
            m_module.Answer(out, CMD_REGISTER, result, 0);
            return;
        }
    } else {
        // A later scan belongs to the registration that waits for it.
        const int expected = stage <= kRegisterSecondDifferent ? 1
                             : stage == kRegisterOtherFinger   ? 2
                                                               : 3;
        const bool twoFingers = TemplateMode() != 2;
        if (!m_registration || m_registration->scans != expected ||
            stage > kRegisterOtherDifferent || (!twoFingers && expected != 1)) {
            m_module.Answer(out, CMD_REGISTER, RESULT_INVALID_PARAMETER, 0);
            return;
        }
    }
    const FingerOnSensor finger = m_module.ScanFinger(CMD_REGISTER, out);
    if (!finger) {
        m_registration.reset();
        return;
    }
    SRegistration& registration = *m_registration;
    const bool confirming = stage == kRegisterSecondSame || stage == kRegisterSecondDifferent ||
                            stage == kRegisterOtherSame || stage == kRegisterOtherDifferent;
    if (!confirming) {
        registration.firstScan = *finger;
        ++registration.scans;
        m_module.Answer(out, CMD_REGISTER, RESULT_SUCCESS, 0);
        return;
    }
    const bool sameRequired = stage == kRegisterSecondSame || stage == kRegisterOtherSame;
    if (sameRequired && *finger != *registration.firstScan) {
        m_registration.reset();
        m_module.Answer(out, CMD_REGISTER, RESULT_DIFFERENT_FINGERPRINT, 0);
        return;
    }
    const auto index = static_cast<uint8_t>(registration.fingers.size());
    registration.fingers[index] = *registration.firstScan;
    ++registration.scans;
    // With two templates a user keeps one finger; with four, two.
    if (TemplateMode() == 2 || registration.fingers.size() == 2) {
        StoreRegistration(CMD_REGISTER, out);
    } else {
        m_module.Answer(out, CMD_REGISTER, RESULT_SUCCESS, 0);
    }
}

void CSimMatching::OnRegisterStep(const CPacket& request, std::vector<SSimReply>& out) {
    const auto index = static_cast<uint8_t>(request.param2 >> 4);
    const uint32_t code = request.param2 & 0x0F;
    if (!m_masterMode) {
        m_module.Answer(out, CMD_REGISTER_STEP, RESULT_NOT_MASTER_MODE, 0);
        return;
    }
    if (index > kMaxFingerIndex) {
        m_module.Answer(out, CMD_REGISTER_STEP, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    if (code == kStepStore) {
        if (!m_registration || m_registration->fingers.empty()) {
            m_registration.reset();
            m_module.Answer(out, CMD_REGISTER_STEP, RESULT_FAILED, 0);
            return;
        }
        StoreRegistration(CMD_REGISTER_STEP, out);
        return;
    }
    if (code == kStepFirstGenerated || (code == kStepFirst && request.dataSize != 0)) {
        const size_t field = IdFieldLength();
        const std::span<const uint8_t> data =
            code == kStepFirst ? DataOf(request) : std::span<const uint8_t>{};
        const auto id = code == kStepFirst ? FieldAt(request, 0, field) : std::nullopt;
        // The same account again (after a failed scan) goes on where it was.
        const bool resume = m_registration && id && (id->empty() || *id == m_registration->user.id);
        if (!resume) {
            const uint32_t result =
                BeginRegistration(data, field, static_cast<uint8_t>(request.param1));
            if (result != RESULT_SUCCESS) {
                m_module.Answer(out, CMD_REGISTER_STEP, result, 0);
                return;
            }
        }
    } else if (code == kStepFirst || code == kStepSecond) {
        const bool waiting =
            m_registration && (code == kStepFirst ||
                               (m_registration->firstScan && m_registration->scanFinger == index));
        if (!waiting) {
            m_module.Answer(out, CMD_REGISTER_STEP, RESULT_INVALID_PARAMETER, 0);
            return;
        }
    } else {
        m_module.Answer(out, CMD_REGISTER_STEP, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    // A failed scan keeps the account open: the host may go on with it.
    const FingerOnSensor finger = m_module.ScanFinger(CMD_REGISTER_STEP, out);
    if (!finger) {
        return;
    }
    SRegistration& registration = *m_registration;
    if (code != kStepSecond) {
        registration.firstScan = *finger;
        registration.scanFinger = index;
        m_module.Answer(out, CMD_REGISTER_STEP, RESULT_SUCCESS, 0);
        return;
    }
    const SFinger first = *registration.firstScan;
    registration.firstScan.reset();
    if (*finger != first) {
        m_module.Answer(out, CMD_REGISTER_STEP, RESULT_DIFFERENT_FINGERPRINT, 0);
        return;
    }
    registration.fingers[index] = first;
    m_module.Answer(out, CMD_REGISTER_STEP, RESULT_SUCCESS, 0);
}

void CSimMatching::OnModifyUser(const CPacket& request, std::vector<SSimReply>& out) {
    if (!m_masterMode) {
        m_module.Answer(out, CMD_MODIFY_USER, RESULT_NOT_MASTER_MODE, 0);
        return;
    }
    const size_t field = IdFieldLength();
    const auto id = FieldAt(request, 0, field);
    if (!id) {
        m_module.Answer(out, CMD_MODIFY_USER, RESULT_INVALID_DATA_SIZE, 0);
        return;
    }
    SSimUser* user = m_module.UserDb().Find(*id);
    if (user == nullptr) {
        m_module.Answer(out, CMD_MODIFY_USER, RESULT_INVALID_ID, 0);
        return;
    }
    uint32_t result = RESULT_SUCCESS;
    switch (request.param1) {
        case kModifyAuthority:
            if (request.param2 > 1) {
                result = RESULT_INVALID_PARAMETER;
            } else {
                user->authority = static_cast<uint8_t>(request.param2);
            }
            break;
        case kModifyPassword:
            if (const auto secret = FieldAt(request, field, kPasswordField)) {
                user->password = *secret;
            } else {
                result = RESULT_INVALID_DATA_SIZE;
            }
            break;
        case kModifySecurityLevel:
            if (request.param2 < 1 || request.param2 > 9) {
                result = RESULT_INVALID_PARAMETER;
            } else {
                user->securityLevel = static_cast<uint8_t>(request.param2);
            }
            break;
        default:
            OnModifyTemplate(request, *user, out);
            return;
    }
    m_module.Answer(out, CMD_MODIFY_USER, result, 0);
}

void CSimMatching::OnModifyTemplate(const CPacket& request, SSimUser& user,
                                    std::vector<SSimReply>& out) {
    const uint32_t code = request.param1;
    const auto answer = [&](uint32_t result) { m_module.Answer(out, CMD_MODIFY_USER, result, 0); };
    const auto known = std::ranges::find_if(
        kTemplateCodes, [code](const STemplateCode& entry) { return entry.code == code; });
    if (known == kTemplateCodes.end()) {
        answer(RESULT_INVALID_PARAMETER);
        return;
    }
    const uint32_t opening = known->opening;
    const bool firstOfTwo = code == opening;
    const size_t slot = opening == kModifySecondHost || opening == kModifySecondSensor ? 1 : 0;
    if (slot == 1 && TemplateMode() == 2) {
        answer(RESULT_WRONG_TEMPLATE_MODE);
        return;
    }
    if (!firstOfTwo &&
        (!m_modification || m_modification->code != opening || m_modification->id != user.id)) {
        answer(RESULT_INVALID_PARAMETER);
        return;
    }
    // The finger: from the host's template or from the sensor.
    std::optional<SFinger> finger;
    if (opening == kModifyFirstHost || opening == kModifySecondHost) {
        finger = FingerOfTemplate(DataOf(request).subspan(IdFieldLength()));
        if (!finger) {
            answer(RESULT_INVALID_DATA);
            return;
        }
    } else {
        finger = m_module.ScanFinger(CMD_MODIFY_USER, out);
        if (!finger) {
            m_modification.reset();
            return;
        }
    }
    if (firstOfTwo) {
        m_modification = SModification{code, user.id, *finger};
        answer(RESULT_SUCCESS);
        return;
    }
    const SFinger first = m_modification->finger;
    m_modification.reset();
    const bool sameRequired = code == opening + 1;
    if (sameRequired && *finger != first) {
        answer(RESULT_DIFFERENT_FINGERPRINT);
        return;
    }
    if (slot < user.fingers.size()) {
        user.fingers[slot] = first;
    } else {
        user.fingers.push_back(first);
    }
    answer(RESULT_SUCCESS);
}

}  // namespace sondrix
