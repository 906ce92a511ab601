#include "sim/sim_configuration.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include "link/command_table.h"
#include "link/line_rates.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "sim/sim_module.h"

namespace sondrix {

namespace {

enum class EAccess {
    Tunable,   // set by number, restored by the defaults command
    Setting,   // set by number, kept by the defaults command
    ReadOnly,  // follows from other settings
    Special,   // set by number through its own rules (line speed, ID length, emulation)
};

struct SOptionRule {
    uint32_t option;
    uint32_t initial;
    uint32_t low;
    uint32_t high;
    EAccess access;
};

constexpr uint32_t kDefaultTemplates = 2;

// Every option the module has, its factory value and the values it accepts.
constexpr std::array kOptionRules = {
    SOptionRule{kOptionRelay, 0, 0, 1, EAccess::Tunable},
    SOptionRule{kOptionLog, 1, 0, 1, EAccess::Tunable},
    SOptionRule{kOptionTemplateMode, kDefaultTemplates, 0, 0, EAccess::ReadOnly},
    SOptionRule{kOptionWiegandProtocol, 0, 0, 2, EAccess::Tunable},
    SOptionRule{kOptionSiteCode, 0, 0, 0xFFFF, EAccess::Tunable},
    SOptionRule{kOptionIdentifyTimeout, 50, 10, 255, EAccess::Tunable},
    SOptionRule{kOptionRelayTime, 30, 1, 255, EAccess::Tunable},
    SOptionRule{kOptionCapturePeriod, 10, 0, 255, EAccess::Tunable},
    SOptionRule{kOptionBrightness, 45, 0, 255, EAccess::Tunable},
    SOptionRule{kOptionGain, 2, 0, 7, EAccess::Tunable},
    SOptionRule{kOptionContrast, 120, 0, 255, EAccess::Tunable},
    SOptionRule{kOptionAdaptiveCapture, 1, 0, 1, EAccess::Tunable},
    SOptionRule{kOptionVerifyLevel, 5, 1, 9, EAccess::Tunable},
    SOptionRule{kOptionIdentifyLevel, 5, 1, 9, EAccess::Tunable},
    SOptionRule{kOptionRegisterQuality, 50, 30, 100, EAccess::Tunable},
    SOptionRule{kOptionVerifyQuality, 40, 10, 100, EAccess::Tunable},
    SOptionRule{kOptionLatent, 1, 0, 1, EAccess::Tunable},
    SOptionRule{kOptionChannel1, 0, 0, 1, EAccess::Tunable},
    SOptionRule{kOptionChannel0Baud, 0, 0, 5, EAccess::Special},
    SOptionRule{kOptionChannel1Baud, 0, 0, 5, EAccess::Setting},
    SOptionRule{kOptionUserCapacity, CSimConfiguration::kTemplateSlots / kDefaultTemplates, 0, 0,
                EAccess::ReadOnly},
    SOptionRule{kOptionFullRotate, 0, 0, 1, EAccess::Tunable},
    SOptionRule{kOptionIdLength, 15, 4, 15, EAccess::Special},
    SOptionRule{kOptionAdaptiveCount, 3, 0, 255, EAccess::Tunable},
    SOptionRule{kOptionLfdLevel, 3, 0, 5, EAccess::Tunable},
    SOptionRule{kOptionLfdLevelM28, 3, 0, 5, EAccess::Tunable},
    SOptionRule{kOptionEmulationMode, kNoEmulation, 0, 0, EAccess::Special},
};

const SOptionRule* FindRule(uint32_t option) {
    const auto it = std::find_if(kOptionRules.begin(), kOptionRules.end(),
                                 [option](const SOptionRule& s) { return s.option == option; });
    return it == kOptionRules.end() ? nullptr : &*it;
}

constexpr size_t kPasswordField = 16;

}  // namespace

CSimConfiguration::CSimConfiguration(CSimModule& module) : CSimCommandGroup(module) {
    for (const SOptionRule& rule : kOptionRules) {
        // The line speed is the module's own; it is not kept as a number.
        if (rule.option != kOptionChannel0Baud) {
            m_module.Options().emplace(rule.option, rule.initial);
        }
    }
    m_saved = m_module.Options();
}

bool CSimConfiguration::Handle(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t command = request.command;
    const auto value = [this](uint32_t option) { return Value(option).value_or(0); };
    const auto answer = [&](uint32_t result, uint32_t param2 = 0) {
        m_module.Answer(out, command, result, param2);
    };
    const uint32_t lfdOption =
        m_module.Config().modelCode == kModelHlxM28 ? kOptionLfdLevelM28 : kOptionLfdLevel;
    switch (command) {
        case CMD_GET_SYSTEM_OPTION:
            OnGetSystemOption(request, out);
            break;
        case CMD_SET_SYSTEM_OPTION:
            OnSetSystemOption(request, out);
            break;
        case CMD_SET_SENSOR_OPTION:
        case CMD_SET_SECURITY_LEVEL:
            OnSetPacked(request, out);
            break;
        case CMD_GET_SENSOR_OPTION:
            answer(RESULT_SUCCESS, value(kOptionGain) << 16 | value(kOptionBrightness) << 8 |
                                       value(kOptionContrast));
            break;
        case CMD_GET_SECURITY_LEVEL:
            answer(RESULT_SUCCESS, value(kOptionVerifyLevel) << 16 | value(kOptionIdentifyLevel));
            break;
        case CMD_SET_LATENT_ADAPTIVE:
            OnSetLatentAdaptive(request, out);
            break;
        case CMD_GET_LATENT_ADAPTIVE:
            OnGetLatentAdaptive(request, out);
            break;
        case CMD_SET_LOG_OPTION:
            answer(Store(kOptionLog, request.param2));
            break;
        case CMD_GET_LOG_OPTION:
            answer(RESULT_SUCCESS, value(kOptionLog));
            break;
        case CMD_SET_CAPTURE_PERIOD:
            answer(Store(kOptionCapturePeriod, request.param2));
            break;
        case CMD_GET_LOG_OPTION_EX:
            answer(RESULT_SUCCESS, value(kOptionCapturePeriod));
            break;
        case CMD_SET_LFD_LEVEL:
            answer(Store(lfdOption, request.param2));
            break;
        case CMD_GET_LFD_LEVEL:
            answer(RESULT_SUCCESS, value(lfdOption));
            break;
        case CMD_SAVE_SYSTEM_OPTIONS:
            m_saved = m_module.Options();
            answer(RESULT_SUCCESS);
            break;
        case CMD_SET_DEFAULT_OPTIONS:
            RestoreDefaults();
            answer(RESULT_SUCCESS);
            break;
        case CMD_SET_TEMPLATE_COUNT:
            answer(SetTemplateCount(request.param1));
            break;
        case CMD_SET_EMULATION_MODE: {
            const uint32_t result = SetEmulationMode(request.param1);
            answer(result, result == RESULT_SUCCESS ? Emulation() : 0);
            break;
        }
        case CMD_SET_ID_LENGTH: {
            const uint32_t result = SetIdLength(request.param1);
            answer(result, result == RESULT_SUCCESS ? value(kOptionIdLength) : 0);
            break;
        }
        case CMD_SET_BAUD_RATE:
            // The module has one line to set this way, its first channel.
            if (request.param1 != 0 || request.param2 >= kChannelRateOfCode.size()) {
                answer(RESULT_INVALID_PARAMETER);
            } else {
                answer(RESULT_SUCCESS);
                SetLineSpeed(request.param2);
            }
            break;
        case CMD_SET_MASTER_PASSWORD:
            OnSetMasterPassword(request, out);
            break;
        case CMD_DELETE_MASTER_PASSWORD:
            m_masterPassword.clear();
            answer(RESULT_SUCCESS);
            break;
        default:
            return false;
    }
    return true;
}

uint32_t CSimConfiguration::Emulation() const {
    return m_module.Family().emulation;
}

bool CSimConfiguration::OlderModel() const {
    return m_module.Family().OlderSeries();
}

std::optional<uint32_t> CSimConfiguration::Value(uint32_t option) const {
    if (option == kOptionChannel0Baud) {
        const auto it = std::find(kChannelRateOfCode.begin(), kChannelRateOfCode.end(),
                                  m_module.Config().baudRate);
        return it == kChannelRateOfCode.end()
                   ? std::nullopt
                   : std::optional<uint32_t>(it - kChannelRateOfCode.begin());
    }
    if (option == kOptionIdLength && OlderModel() && m_module.Model()->idFieldLength > 0) {
        // The older models have IDs of a fixed length.
        return static_cast<uint32_t>(m_module.Model()->idFieldLength - 1);
    }
    const auto it = m_module.Options().find(option);
    return it == m_module.Options().end() ? std::nullopt : std::optional<uint32_t>(it->second);
}

void CSimConfiguration::OnGetSystemOption(const CPacket& request, std::vector<SSimReply>& out) {
    const std::optional<uint32_t> value = Value(request.param1);
    if (!value) {
        m_module.Answer(out, CMD_GET_SYSTEM_OPTION, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    // The answer echoes the option number and carries its value.
    uint8_t data[8];
    PutU32BE(data, request.param1);
    PutU32BE(data + 4, *value);
    m_module.Answer(out, CMD_GET_SYSTEM_OPTION, RESULT_SUCCESS, 0, data, sizeof data);
}

void CSimConfiguration::OnSetSystemOption(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t option = request.param1;
    const uint32_t value = request.param2;
    uint32_t result = RESULT_SUCCESS;
    bool newLineSpeed = false;
    switch (option) {
        case kOptionEmulationMode:
            result = SetEmulationMode(value);
            break;
        case kOptionIdLength:
            result = SetIdLength(value);
            break;
        case kOptionChannel0Baud:
            newLineSpeed = value < kChannelRateOfCode.size();
            result = newLineSpeed ? RESULT_SUCCESS : RESULT_INVALID_PARAMETER;
            break;
        default:
            result = Store(option, value);
            break;
    }
    if (result != RESULT_SUCCESS) {
        m_module.Answer(out, CMD_SET_SYSTEM_OPTION, result, 0);
        return;
    }
    uint8_t data[8];
    PutU32BE(data, option);
    PutU32BE(data + 4, value);
    m_module.Answer(out, CMD_SET_SYSTEM_OPTION, RESULT_SUCCESS, 0, data, sizeof data);
    // The answer still leaves at the old rate.
    if (newLineSpeed) {
        SetLineSpeed(value);
    }
}

bool CSimConfiguration::Accepts(uint32_t option, uint32_t value) {
    const SOptionRule* rule = FindRule(option);
    return rule && (rule->access == EAccess::Tunable || rule->access == EAccess::Setting) &&
           value >= rule->low && value <= rule->high;
}

uint32_t CSimConfiguration::Store(uint32_t option, uint32_t value) {
    if (!Accepts(option, value)) {
        return RESULT_INVALID_PARAMETER;
    }
    m_module.Options()[option] = value;
    return RESULT_SUCCESS;
}

uint32_t CSimConfiguration::SetEmulationMode(uint32_t mode) {
    if (OlderModel()) {
        return RESULT_NOT_SUPPORTED;
    }
    if (mode != kNoEmulation && mode != kEmulationSa && mode != kEmulationSb) {
        return RESULT_INVALID_PARAMETER;
    }
    if (mode == Emulation()) {
        return RESULT_SUCCESS;
    }
    // The stored users have the layout of the present mode.
    if (m_module.UserDb().Count() != 0) {
        return RESULT_DB_NOT_EMPTY;
    }
    auto& options = m_module.Options();
    // The emulated models have IDs of a fixed length; the module's own comes
    // back with its own mode.
    if (Emulation() == kNoEmulation) {
        m_nativeIdLength = options[kOptionIdLength];
    }
    options[kOptionIdLength] = mode == kEmulationSa   ? 10
                               : mode == kEmulationSb ? 9
                                                      : m_nativeIdLength;
    options[kOptionEmulationMode] = mode;
    options[kOptionTemplateMode] = kDefaultTemplates;
    options[kOptionUserCapacity] = kTemplateSlots / kDefaultTemplates;
    return RESULT_SUCCESS;
}

uint32_t CSimConfiguration::SetIdLength(uint32_t length) {
    if (OlderModel() || Emulation() != kNoEmulation) {
        return RESULT_NOT_SUPPORTED;
    }
    const SOptionRule* rule = FindRule(kOptionIdLength);
    if (length < rule->low || length > rule->high) {
        return RESULT_INVALID_PARAMETER;
    }
    if (length != Value(kOptionIdLength) && m_module.UserDb().Count() != 0) {
        return RESULT_DB_NOT_EMPTY;
    }
    m_module.Options()[kOptionIdLength] = length;
    return RESULT_SUCCESS;
}

uint32_t CSimConfiguration::SetTemplateCount(uint32_t count) {
    if (m_module.Family().SpeaksSb()) {
        return RESULT_NOT_SUPPORTED;
    }
    const bool lfd = m_module.Config().modelCode == kModelHlxM18Lfd;
    if (lfd ? count != 1 && count != 2 : count != 2 && count != 4) {
        return RESULT_INVALID_PARAMETER;
    }
    if (count != Value(kOptionTemplateMode) && m_module.UserDb().Count() != 0) {
        return RESULT_DB_NOT_EMPTY;
    }
    // The count is saved at once.
    for (auto* options : {&m_module.Options(), &m_saved}) {
        (*options)[kOptionTemplateMode] = count;
        (*options)[kOptionUserCapacity] = kTemplateSlots / count;
    }
    return RESULT_SUCCESS;
}

void CSimConfiguration::SetLineSpeed(uint32_t code) {
    m_module.Config().baudRate = kChannelRateOfCode[code];
}

void CSimConfiguration::OnSetPacked(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t packed = request.param2;
    // Sensor values are a byte each, gain in bits 16 to 23; security levels
    // sixteen bits each, verification in the high half.
    std::array<std::pair<uint32_t, uint32_t>, 3> values{};
    size_t count = 2;
    bool valid = true;
    if (request.command == CMD_SET_SENSOR_OPTION) {
        values = {{{kOptionGain, (packed >> 16) & 0xFF},
                   {kOptionBrightness, (packed >> 8) & 0xFF},
                   {kOptionContrast, packed & 0xFF}}};
        count = 3;
        valid = packed >> 24 == 0;
    } else {
        values[0] = {kOptionVerifyLevel, packed >> 16};
        values[1] = {kOptionIdentifyLevel, packed & 0xFFFF};
    }
    const std::span<const std::pair<uint32_t, uint32_t>> used(values.data(), count);
    valid = valid && std::all_of(used.begin(), used.end(),
                                 [](const auto& v) { return Accepts(v.first, v.second); });
    if (valid) {
        for (const auto& [option, value] : used) {
            Store(option, value);
        }
    }
    m_module.Answer(out, request.command, valid ? RESULT_SUCCESS : RESULT_INVALID_PARAMETER, 0);
}

void CSimConfiguration::OnSetLatentAdaptive(const CPacket& request, std::vector<SSimReply>& out) {
    uint32_t result = RESULT_INVALID_PARAMETER;
    if (request.param1 == 1) {
        result = Store(kOptionLatent, request.param2);
    } else if (request.param1 == 2) {
        result = Store(kOptionAdaptiveCapture, request.param2);
    }
    m_module.Answer(out, CMD_SET_LATENT_ADAPTIVE, result, 0);
}

void CSimConfiguration::OnGetLatentAdaptive(const CPacket& request, std::vector<SSimReply>& out) {
    if (request.param1 != 1 && request.param1 != 2) {
        m_module.Answer(out, CMD_GET_LATENT_ADAPTIVE, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const uint32_t option = request.param1 == 1 ? kOptionLatent : kOptionAdaptiveCapture;
    m_module.Answer(out, CMD_GET_LATENT_ADAPTIVE, RESULT_SUCCESS, Value(option).value_or(0));
}

void CSimConfiguration::OnSetMasterPassword(const CPacket& request, std::vector<SSimReply>& out) {
    if (request.dataSize < kPasswordField) {
        m_module.Answer(out, CMD_SET_MASTER_PASSWORD, RESULT_INVALID_DATA_SIZE, 0);
        return;
    }
    // At most fifteen characters and the terminating zero.
    std::vector<uint8_t> password =
        CSimUserDb::IdOfField(std::span<const uint8_t>(request.data, kPasswordField));
    if (password.empty() || password.size() >= kPasswordField) {
        m_module.Answer(out, CMD_SET_MASTER_PASSWORD, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    m_masterPassword = std::move(password);
    m_module.Answer(out, CMD_SET_MASTER_PASSWORD, RESULT_SUCCESS, 0);
}

void CSimConfiguration::RestoreDefaults() {
    for (const SOptionRule& rule : kOptionRules) {
        if (rule.access == EAccess::Tunable) {
            m_module.Options()[rule.option] = rule.initial;
        }
    }
}

}  // namespace sondrix
