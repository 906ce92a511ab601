#include "device/configuration.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <span>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "ui/strings_configuration.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CConfiguration>;

// What the read of all options does after an option arrived.
enum class EStep {
    Ask,              // ask for the option `next`
    SensorOptions,    // the first sensor value, by module
    AfterSiteCode,    // series 1 has no full-rotate option
    AfterAdaptive,    // series 4 and 5 go on with their ID length, the others with the capacity
    IdLength,         // the ID field length, then emulation or adaptive count
    UserCapacity,     // then the template mode
    TemplateMode,     // by pending action
    EmulationMode,    // the end of the connection chain or of the read
    ShortFullRotate,  // the older modules' read ends here or with channel 1
    Fill,
};

struct SChainStep {
    uint32_t option;
    EStep step;
    uint32_t next = 0;
};

constexpr std::array kFullChain = {
    SChainStep{kOptionLfdLevel, EStep::SensorOptions},
    SChainStep{kOptionLfdLevelM28, EStep::SensorOptions},
    SChainStep{kOptionBrightness, EStep::Ask, kOptionContrast},
    SChainStep{kOptionContrast, EStep::Ask, kOptionVerifyLevel},
    SChainStep{kOptionVerifyLevel, EStep::Ask, kOptionIdentifyLevel},
    SChainStep{kOptionIdentifyLevel, EStep::Ask, kOptionRegisterQuality},
    SChainStep{kOptionRegisterQuality, EStep::Ask, kOptionVerifyQuality},
    SChainStep{kOptionVerifyQuality, EStep::Ask, kOptionCapturePeriod},
    SChainStep{kOptionCapturePeriod, EStep::Ask, kOptionRelayTime},
    SChainStep{kOptionRelayTime, EStep::Ask, kOptionIdentifyTimeout},
    SChainStep{kOptionIdentifyTimeout, EStep::Ask, kOptionLog},
    SChainStep{kOptionLog, EStep::Ask, kOptionChannel0Baud},
    SChainStep{kOptionChannel0Baud, EStep::Ask, kOptionChannel1Baud},
    SChainStep{kOptionChannel1Baud, EStep::Ask, kOptionWiegandProtocol},
    SChainStep{kOptionWiegandProtocol, EStep::Ask, kOptionSiteCode},
    SChainStep{kOptionSiteCode, EStep::AfterSiteCode},
    SChainStep{kOptionFullRotate, EStep::Ask, kOptionGain},
    SChainStep{kOptionGain, EStep::Ask, kOptionAdaptiveCapture},
    SChainStep{kOptionAdaptiveCapture, EStep::AfterAdaptive},
    SChainStep{kOptionIdLength, EStep::IdLength},
    SChainStep{kOptionAdaptiveCount, EStep::Ask, kOptionLatent},
    SChainStep{kOptionLatent, EStep::Ask, kOptionEmulationMode},
    SChainStep{kOptionRelay, EStep::Ask, kOptionChannel1},
    SChainStep{kOptionChannel1, EStep::Ask, kOptionLatent},
    SChainStep{kOptionUserCapacity, EStep::UserCapacity},
    SChainStep{kOptionTemplateMode, EStep::TemplateMode},
    SChainStep{kOptionEmulationMode, EStep::EmulationMode},
};

// The older modules read their sensor, security, latent, log and period
// values with the fixed-purpose commands; only these come by number.
constexpr std::array kShortChain = {
    SChainStep{kOptionRegisterQuality, EStep::Ask, kOptionVerifyQuality},
    SChainStep{kOptionVerifyQuality, EStep::Ask, kOptionIdentifyTimeout},
    SChainStep{kOptionIdentifyTimeout, EStep::Ask, kOptionFullRotate},
    SChainStep{kOptionFullRotate, EStep::ShortFullRotate},
    SChainStep{kOptionChannel1Baud, EStep::Fill},
};

const SChainStep* FindStep(std::span<const SChainStep> chain, uint32_t option) {
    const auto it = std::find_if(chain.begin(), chain.end(),
                                 [option](const SChainStep& s) { return s.option == option; });
    return it == chain.end() ? nullptr : &*it;
}

// Options whose set answer is the plain success text.
constexpr std::array kPlainSetOptions = {
    kOptionRelay,
    kOptionLog,
    kOptionWiegandProtocol,
    kOptionSiteCode,
    kOptionIdentifyTimeout,
    kOptionRelayTime,
    kOptionCapturePeriod,
    kOptionBrightness,
    kOptionGain,
    kOptionContrast,
    kOptionAdaptiveCapture,
    kOptionVerifyLevel,
    kOptionIdentifyLevel,
    kOptionRegisterQuality,
    kOptionVerifyQuality,
    kOptionLatent,
    kOptionChannel1,
    kOptionFullRotate,
    kOptionAdaptiveCount,
    kOptionLfdLevel,
    kOptionLfdLevelM28,
};

// An ID field is a byte count inside a packet; a longer ID length than this
// can only come from a corrupt answer.
constexpr uint32_t kLongestId = 255;

constexpr uint32_t kEmulationNone = 0xFF;

}  // namespace

bool CConfiguration::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_SET_SENSOR_OPTION, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_SECURITY_LEVEL, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_LATENT_ADAPTIVE, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_LOG_OPTION, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_CAPTURE_PERIOD, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_LFD_LEVEL, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_GET_SENSOR_OPTION, &CConfiguration::OnGetSensorOption},
        SRouteOf{CMD_GET_SECURITY_LEVEL, &CConfiguration::OnGetSecurityLevel},
        SRouteOf{CMD_GET_LATENT_ADAPTIVE, &CConfiguration::OnGetLatentAdaptive},
        SRouteOf{CMD_GET_LOG_OPTION, &CConfiguration::OnGetLogOption},
        SRouteOf{CMD_GET_LOG_OPTION_EX, &CConfiguration::OnGetLogOptionEx},
        SRouteOf{CMD_GET_LFD_LEVEL, &CConfiguration::OnGetLfdLevel},
        SRouteOf{CMD_SET_SYSTEM_OPTION, &CConfiguration::OnSetSystemOption},
        SRouteOf{CMD_GET_SYSTEM_OPTION, &CConfiguration::OnGetSystemOption},
        SRouteOf{CMD_SAVE_SYSTEM_OPTIONS, &CConfiguration::OnSaveSystemOptions},
        SRouteOf{CMD_SET_TEMPLATE_COUNT, &CConfiguration::OnSetTemplateCount},
        SRouteOf{CMD_SET_DEFAULT_OPTIONS, &CConfiguration::OnSetDefaultOptions},
        SRouteOf{CMD_SET_EMULATION_MODE, &CConfiguration::OnSetEmulationMode},
        SRouteOf{CMD_SET_ID_LENGTH, &CConfiguration::OnSetIdLength},
    };
    return Dispatch<CConfiguration>(*this, kRoutes, packet);
}

bool CConfiguration::OlderModule() const {
    return m_dlg.moduleSeries == 2 || m_dlg.emulationMode == 2;
}

bool CConfiguration::PlainNewModule() const {
    return (m_dlg.moduleSeries == 4 || m_dlg.moduleSeries == 5) &&
           m_dlg.emulationMode == kEmulationNone;
}

void CConfiguration::Report(int textId, EIcon icon) {
    if (icon == EIcon::Stop) {
        m_dlg.Fail(LoadString(textId));
    } else {
        m_dlg.Report(LoadString(textId), icon);
    }
}

void CConfiguration::Store(uint32_t option, uint32_t value) {
    m_dlg.systemDlg.StoreOption(option, value);
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Option).Index(option).Value(value));
}

void CConfiguration::SetAnswered(uint32_t option, uint32_t value) {
    m_dlg.Outcome(SOutcome(SOutcome::EKind::OptionSet).Index(option).Value(value));
}

void CConfiguration::EndRead() {
    latentStep = 0;
    shortChain = 0;
    m_dlg.transferBusy = 0;
}

bool CConfiguration::ReadStep(const CPacket& packet, int failureText) {
    if (packet.param1 == RESULT_SUCCESS) {
        return true;
    }
    if (packet.param1 == RESULT_FAILED) {
        Report(failureText, EIcon::Stop);
    } else {
        m_dlg.ShowResultError(packet.param1);
    }
    EndRead();
    return false;
}

uint32_t CConfiguration::SensorWord(uint32_t gain, uint32_t brightness, uint32_t contrast) {
    return (gain & 0xFF) << 16 | (brightness & 0xFF) << 8 | (contrast & 0xFF);
}

uint32_t CConfiguration::SecurityWord(uint32_t verification, uint32_t identification) {
    return (verification & 0xFFFF) << 16 | (identification & 0xFFFF);
}

void CConfiguration::SendOption(uint32_t option, uint32_t value) {
    CPacketManagerWnd& link = m_dlg.PacketManager();
    const CSystemDlg& page = m_dlg.systemDlg;
    const bool older = OlderModule();
    // The value being set, the others as the module last said.
    const auto held = [&](uint32_t other) { return other == option ? value : page.Option(other); };
    switch (option) {
        case kOptionGain:
        case kOptionBrightness:
        case kOptionContrast:
            if (older) {
                link.SendCommand(
                    CMD_SET_SENSOR_OPTION, 0,
                    SensorWord(held(kOptionGain), held(kOptionBrightness), held(kOptionContrast)));
                return;
            }
            break;
        case kOptionVerifyLevel:
        case kOptionIdentifyLevel:
            if (older) {
                link.SendCommand(
                    CMD_SET_SECURITY_LEVEL, 0,
                    SecurityWord(held(kOptionVerifyLevel), held(kOptionIdentifyLevel)));
                return;
            }
            break;
        case kOptionCapturePeriod:
        case kOptionLog:
        case kOptionLfdLevel:
        case kOptionLfdLevelM28:
            if (older) {
                const uint32_t command = option == kOptionCapturePeriod ? CMD_SET_CAPTURE_PERIOD
                                         : option == kOptionLog         ? CMD_SET_LOG_OPTION
                                                                        : CMD_SET_LFD_LEVEL;
                link.SendCommand(command, 0, value);
                return;
            }
            break;
        case kOptionLatent:
        case kOptionAdaptiveCapture:
            if (older) {
                link.SendCommand(CMD_SET_LATENT_ADAPTIVE, option == kOptionLatent ? 1 : 2, value);
                return;
            }
            break;
        case kOptionChannel1Baud:
            if (m_dlg.moduleSeries == 2) {
                link.SendCommand(CMD_SET_BAUD_RATE, 0, value);
                return;
            }
            break;
        case kOptionIdLength:
            link.SendCommand(CMD_SET_ID_LENGTH, value, 0);
            return;
        case kOptionEmulationMode:
            m_dlg.systemDlg.optionRefresh = 1;
            link.SendCommand(CMD_SET_EMULATION_MODE, value);
            return;
        default:
            break;
    }
    link.SendSetSystemOption(option, value);
}

void CConfiguration::SendTemplateCount(uint32_t count) {
    m_dlg.systemDlg.templateCountRefreshPending = 1;
    m_dlg.PacketManager().SendCommand(CMD_SET_TEMPLATE_COUNT, count);
}

void CConfiguration::OnPlainSet(CPacket& packet) {
    if (Succeeded(packet)) {
        SetAnswered(0, packet.param2);
        Report(IDS_CFG_SET_SUCCEEDED, EIcon::Information);
    }
}

void CConfiguration::OnGetSensorOption(CPacket& packet) {
    if (!ReadStep(packet, IDS_CFG_GET_SENSOR_FAILED)) {
        return;
    }
    Store(kOptionGain, (packet.param2 >> 16) & 0xFF);
    Store(kOptionBrightness, (packet.param2 >> 8) & 0xFF);
    Store(kOptionContrast, packet.param2 & 0xFF);
    m_dlg.PacketManager().SendCommand(CMD_GET_SECURITY_LEVEL);
}

void CConfiguration::OnGetSecurityLevel(CPacket& packet) {
    if (!ReadStep(packet, IDS_CFG_GET_SECURITY_FAILED)) {
        return;
    }
    Store(kOptionVerifyLevel, packet.param2 >> 16);
    Store(kOptionIdentifyLevel, packet.param2 & 0xFFFF);
    latentStep = 0;
    m_dlg.PacketManager().SendCommand(CMD_GET_LATENT_ADAPTIVE, 1);
}

void CConfiguration::OnGetLatentAdaptive(CPacket& packet) {
    if (!ReadStep(packet, IDS_CFG_GET_LATENT_FAILED)) {
        return;
    }
    if (latentStep == 0) {
        Store(kOptionLatent, packet.param2);
        latentStep = 1;
        m_dlg.PacketManager().SendCommand(CMD_GET_LATENT_ADAPTIVE, 2);
    } else {
        Store(kOptionAdaptiveCapture, packet.param2);
        latentStep = 0;
        m_dlg.PacketManager().SendCommand(CMD_GET_LOG_OPTION);
    }
}

void CConfiguration::OnGetLogOption(CPacket& packet) {
    if (!ReadStep(packet, IDS_CFG_GET_LOG_FAILED)) {
        return;
    }
    Store(kOptionLog, packet.param2);
    m_dlg.PacketManager().SendCommand(CMD_GET_LOG_OPTION_EX);
}

void CConfiguration::OnGetLogOptionEx(CPacket& packet) {
    if (!ReadStep(packet, IDS_CFG_GET_LOG_FAILED)) {
        return;
    }
    Store(kOptionCapturePeriod, packet.param2);
    shortChain = 1;
    m_dlg.PacketManager().SendGetSystemOption(kOptionRegisterQuality);
}

void CConfiguration::OnGetLfdLevel(CPacket& packet) {
    if (!ReadStep(packet, IDS_CFG_GET_SECURITY_FAILED)) {
        return;
    }
    Store(m_dlg.systemDlg.LfdOption(), packet.param2 & 0xFFFF);
    latentStep = 0;
    m_dlg.transferBusy = 1;
    AskSensorOptions();
}

void CConfiguration::AskSensorOptions() {
    if (OlderModule()) {
        m_dlg.PacketManager().SendGetSensorOption();
    } else {
        m_dlg.PacketManager().SendGetSystemOption(kOptionBrightness);
    }
}

void CConfiguration::OnGetSystemOption(CPacket& packet) {
    if (!Succeeded(packet)) {
        EndRead();
        return;
    }
    if (packet.dataSize < 8) {
        // A success without the option and its value: nothing to go on with.
        m_dlg.ShowResultError(RESULT_INVALID_DATA_SIZE);
        EndRead();
        return;
    }
    const uint32_t option = GetU32BE(packet.data);
    const uint32_t value = GetU32BE(packet.data + 4);
    Store(option, value);
    Continue(option, value);
}

void CConfiguration::Continue(uint32_t option, uint32_t value) {
    const SChainStep* step = shortChain == 1 ? FindStep(kShortChain, option) : nullptr;
    if (step == nullptr) {
        step = FindStep(kFullChain, option);
    }
    if (step == nullptr) {
        return;  // an option no read asks for ends nothing and starts nothing
    }
    CPacketManagerWnd& link = m_dlg.PacketManager();
    switch (step->step) {
        case EStep::Ask:
            link.SendGetSystemOption(step->next);
            break;
        case EStep::SensorOptions:
            AskSensorOptions();
            break;
        case EStep::AfterSiteCode:
            link.SendGetSystemOption(m_dlg.moduleSeries == 1 ? kOptionGain : kOptionFullRotate);
            break;
        case EStep::AfterAdaptive:
            link.SendGetSystemOption(PlainNewModule() ? kOptionIdLength : kOptionUserCapacity);
            break;
        case EStep::IdLength:
            SetIdFieldLength(value);
            link.SendGetSystemOption(m_dlg.imageDlg.newModule == 1 ? kOptionEmulationMode
                                                                   : kOptionAdaptiveCount);
            break;
        case EStep::UserCapacity:
            pendingAction = kReadAll;
            link.SendGetSystemOption(kOptionTemplateMode);
            break;
        case EStep::TemplateMode:
            AfterTemplateMode(value);
            break;
        case EStep::EmulationMode:
            AfterEmulationMode(value);
            break;
        case EStep::ShortFullRotate:
            if (m_dlg.systemDlg.defaultsPending == 1) {
                m_dlg.systemDlg.defaultsPending = 0;
                Report(IDS_CFG_GET_DEFAULTS_SUCCEEDED, EIcon::Information);
            }
            if (m_dlg.emulationMode == 2) {
                link.SendGetSystemOption(kOptionChannel1Baud);
            } else {
                Fill();
            }
            break;
        case EStep::Fill:
            Fill();
            break;
    }
}

void CConfiguration::AfterTemplateMode(uint32_t value) {
    m_dlg.templateMode = static_cast<int>(value);
    const int action = pendingAction;
    pendingAction = kNoAction;
    CSystemDlg& page = m_dlg.systemDlg;
    switch (action) {
        case kRegistration:
            m_dlg.registration.StartFlowA();
            break;
        case kModification:
            m_dlg.basicDlg.StartModificationFlow();
            break;
        case kReadAll:
            if (page.templateCountRefreshPending == 1) {
                page.templateCountRefreshPending = 0;
                page.ShowTemplateCount(value);
            } else {
                Fill();
            }
            break;
        default:
            Fill();
            break;
    }
}

void CConfiguration::AfterEmulationMode(uint32_t value) {
    CImageDlg& main = m_dlg.imageDlg;
    StoreEmulationMode(value);
    if (main.newModule == 1) {
        // The connection chain: the control sets depend on the mode just read.
        main.newModule = 0;
        m_dlg.PacketManager().SendGetSystemInfo();
    } else if (m_dlg.modelCode == kModelHlxM18Lfd) {
        m_dlg.PacketManager().SendGetSystemOption(kOptionUserCapacity);
    } else {
        Fill();
    }
}

void CConfiguration::StoreEmulationMode(uint32_t mode) {
    if (mode == kEmulationNone || mode == 1 || mode == 2) {
        m_dlg.emulationMode = mode;
    }
}

void CConfiguration::SetIdFieldLength(uint32_t length) {
    if (length <= kLongestId) {
        m_dlg.idLength = static_cast<int>(length) + 1;
    }
}

void CConfiguration::Fill() {
    m_dlg.systemDlg.FillPage(shortChain == 1);
    shortChain = 0;
    m_dlg.Outcome(SOutcome(SOutcome::EKind::OptionsRead));
}

void CConfiguration::OnSetSystemOption(CPacket& packet) {
    if (packet.param1 == RESULT_NOT_SUPPORTED) {
        Report(IDS_NOT_SUPPORTED_FUNCTION, EIcon::Information);
        m_dlg.FailureOutcome(LoadString(IDS_NOT_SUPPORTED_FUNCTION), EFailure::Module);
        return;
    }
    if (packet.param1 == RESULT_DB_NOT_EMPTY) {
        m_dlg.ShowResultError(packet.param1);
        if (m_dlg.systemDlg.optionRefresh == 1) {
            m_dlg.systemDlg.optionRefresh = 0;
            m_dlg.PacketManager().SendGetSystemOption(kOptionBrightness);
        }
        return;
    }
    if (!Succeeded(packet)) {
        return;
    }
    if (packet.dataSize < 8) {
        SetAnswered(0, 0);
        Report(IDS_CFG_UNKNOWN_PARAMETER, EIcon::Information);
        return;
    }
    const uint32_t option = GetU32BE(packet.data);
    const uint32_t value = GetU32BE(packet.data + 4);
    SetAnswered(option, value);
    if (std::find(kPlainSetOptions.begin(), kPlainSetOptions.end(), option) !=
        kPlainSetOptions.end()) {
        Report(IDS_CFG_SET_SUCCEEDED, EIcon::Information);
    } else if (option == kOptionChannel0Baud || option == kOptionChannel1Baud) {
        Report(IDS_BAUD_RECONNECT, EIcon::Information);
    } else if (option == kOptionIdLength) {
        SetIdFieldLength(value);
        Report(IDS_CFG_SET_SUCCEEDED, EIcon::Information);
    } else if (option == kOptionEmulationMode) {
        Report(IDS_CFG_SET_SUCCEEDED, EIcon::Information);
        m_dlg.PacketManager().SendGetSystemInfo();
    } else {
        Report(IDS_CFG_UNKNOWN_PARAMETER, EIcon::Information);
    }
}

void CConfiguration::OnSaveSystemOptions(CPacket& packet) {
    if (packet.param1 == RESULT_FAILED) {
        Report(IDS_CFG_SAVE_FAILED, EIcon::Stop);
    } else if (Succeeded(packet)) {
        Report(IDS_CFG_SAVED, EIcon::Information);
    }
}

void CConfiguration::OnSetTemplateCount(CPacket& packet) {
    if (packet.param1 != RESULT_SUCCESS) {
        // No read-back follows: the next read must fill the page.
        m_dlg.systemDlg.templateCountRefreshPending = 0;
    }
    if (packet.param1 == RESULT_FAILED) {
        Report(IDS_CFG_TEMPLATE_COUNT_FAILED, EIcon::Stop);
    } else if (Succeeded(packet)) {
        SetAnswered(kOptionTemplateMode, packet.param1);
        Report(IDS_CFG_TEMPLATE_COUNT_SUCCEEDED, EIcon::Information);
        m_dlg.PacketManager().SendGetSystemOption(kOptionUserCapacity);
    }
}

void CConfiguration::OnSetDefaultOptions(CPacket& packet) {
    if (packet.param1 != RESULT_SUCCESS) {
        EndRead();
    }
    if (packet.param1 == RESULT_FAILED) {
        Report(IDS_CFG_DEFAULTS_FAILED, EIcon::Stop);
        return;
    }
    if (!Succeeded(packet)) {
        return;
    }
    if (OlderModule()) {
        // The older modules' read confirms the defaults when it ends.
        m_dlg.systemDlg.defaultsPending = 1;
        m_dlg.PacketManager().SendGetSensorOption();
    } else {
        Report(IDS_CFG_DEFAULTS_SUCCEEDED, EIcon::Information);
        m_dlg.PacketManager().SendGetSystemOption(kOptionBrightness);
    }
}

void CConfiguration::OnSetEmulationMode(CPacket& packet) {
    if (packet.param1 == RESULT_SUCCESS) {
        SetAnswered(kOptionEmulationMode, packet.param2);
        Report(IDS_CFG_SET_SUCCEEDED, EIcon::Information);
        ApplyEmulationMode(packet.param2);
        m_dlg.PacketManager().SendGetSystemInfo();
        return;
    }
    m_dlg.ShowResultError(packet.param1);
    if (packet.param1 == RESULT_DB_NOT_EMPTY) {
        // The module keeps its mode: read everything again as it stands.
        m_dlg.PacketManager().SendGetSystemInfo();
    } else {
        // Nothing follows that would consume the refresh.
        m_dlg.systemDlg.optionRefresh = 0;
    }
}

void CConfiguration::ApplyEmulationMode(uint32_t mode) {
    StoreEmulationMode(mode);
    m_dlg.templateMode = 2;
    m_dlg.systemDlg.ClearPage();
    // The pages' own reset operations.
    for (CPageBase* page :
         std::initializer_list<CPageBase*>{&m_dlg.basicDlg, &m_dlg.dbDlg, &m_dlg.userDlg}) {
        page->Reset();
    }
    m_dlg.systemDlg.optionRefresh = 1;
    // The module keeps the host's master authority across the change.
    CBasicDlg& auth = m_dlg.basicDlg;
    CImageDlg& main = m_dlg.imageDlg;
    auth.SetText(CBasicDlg::kEnterMaster, LoadString(IDS_LEAVE_MASTER_MODE_LOWER));
    main.SetText(CImageDlg::kEnterMaster, LoadString(IDS_LEAVE_MASTER));
    for (int id : CBasicDlg::kMasterControls) {
        auth.Enable(id, true);
    }
    for (int id : CImageDlg::kMasterButtons) {
        main.Enable(id, true);
    }
    auth.Enable(CBasicDlg::kDifferentFinger, !PlainNewModule());
}

void CConfiguration::OnSetIdLength(CPacket& packet) {
    if (Succeeded(packet)) {
        SetIdFieldLength(packet.param2);
        SetAnswered(kOptionIdLength, packet.param2);
        Report(IDS_CFG_SET_SUCCEEDED, EIcon::Information);
    }
}

}  // namespace sondrix
