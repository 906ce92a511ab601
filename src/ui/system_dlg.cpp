#include "ui/system_dlg.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "ui/strings_configuration.h"

namespace sondrix {

namespace {

// A numeric edit with its label, its Set button and the page value it shows.
struct SValueRow {
    int edit;
    int label;
    int set;
    int group;
    int32_t CSystemDlg::*value;
};

constexpr std::array<SValueRow, 14> kValueRows = {{
    {CSystemDlg::kGain, IDS_CONF_GAIN, CSystemDlg::kSetGain, IDS_CONF_GROUP_SENSOR,
     &CSystemDlg::gain},
    {CSystemDlg::kBrightness, IDS_CONF_BRIGHTNESS, CSystemDlg::kSetBrightness,
     IDS_CONF_GROUP_SENSOR, &CSystemDlg::brightness},
    {CSystemDlg::kContrast, IDS_CONF_CONTRAST, CSystemDlg::kSetContrast, IDS_CONF_GROUP_SENSOR,
     &CSystemDlg::contrast},
    {CSystemDlg::kLfd, IDS_CONF_LFD, CSystemDlg::kSetLfd, IDS_CONF_GROUP_SENSOR,
     &CSystemDlg::lfdLevel},
    {CSystemDlg::kVerificationLevel, IDS_CONF_VERIFICATION, CSystemDlg::kSetVerificationLevel,
     IDS_CONF_GROUP_SECURITY, &CSystemDlg::verificationLevel},
    {CSystemDlg::kIdentificationLevel, IDS_CONF_IDENTIFICATION, CSystemDlg::kSetIdentificationLevel,
     IDS_CONF_GROUP_SECURITY, &CSystemDlg::identificationLevel},
    {CSystemDlg::kRegisterQuality, IDS_CONF_REGISTER_QUALITY, CSystemDlg::kSetRegisterQuality,
     IDS_CONF_GROUP_QUALITY, &CSystemDlg::registerQuality},
    {CSystemDlg::kVerifyQuality, IDS_CONF_VERIFY_QUALITY, CSystemDlg::kSetVerifyQuality,
     IDS_CONF_GROUP_QUALITY, &CSystemDlg::verifyQuality},
    {CSystemDlg::kCapturePeriod, IDS_CONF_CAPTURE_PERIOD, CSystemDlg::kSetCapturePeriod,
     IDS_CONF_GROUP_TIMES, &CSystemDlg::capturePeriod},
    {CSystemDlg::kRelayTime, IDS_CONF_RELAY_TIME, CSystemDlg::kSetRelayTime, IDS_CONF_GROUP_TIMES,
     &CSystemDlg::relayTime},
    {CSystemDlg::kIdentifyTimeout, IDS_CONF_IDENTIFY_TIMEOUT, CSystemDlg::kSetIdentifyTimeout,
     IDS_CONF_GROUP_TIMES, &CSystemDlg::identifyTimeout},
    {CSystemDlg::kSiteCode, IDS_CONF_SITE_CODE, CSystemDlg::kSetSiteCode, IDS_CONF_GROUP_WIEGAND,
     &CSystemDlg::siteCode},
    {CSystemDlg::kIdLength, IDS_CONF_ID_LENGTH, CSystemDlg::kSetIdLength, IDS_CONF_GROUP_USER_DATA,
     &CSystemDlg::idLength},
    {CSystemDlg::kAdaptiveCount, IDS_CONF_ADAPTIVE_COUNT, CSystemDlg::kSetAdaptiveCount,
     IDS_CONF_GROUP_USER_DATA, &CSystemDlg::adaptiveCount},
}};

struct SCheckRow {
    int id;
    int caption;
    int tooltip;
    int CSystemDlg::*value;
};

constexpr std::array<SCheckRow, 7> kCheckRows = {{
    {CSystemDlg::kLatent, IDS_CONF_LATENT, IDS_TIP_LATENT, &CSystemDlg::latent},
    {CSystemDlg::kAdaptiveCapture, IDS_CONF_ADAPTIVE_CAPTURE, IDS_TIP_ADAPTIVE_CAPTURE,
     &CSystemDlg::adaptiveCapture},
    {CSystemDlg::kFullRotate, IDS_CONF_FULL_ROTATE, IDS_TIP_FULL_ROTATE, &CSystemDlg::fullRotate},
    {CSystemDlg::kRelay, IDS_CONF_RELAY, IDS_TIP_RELAY, &CSystemDlg::relay},
    {CSystemDlg::kChannel1Check, IDS_CONF_CHANNEL1_CHECK, IDS_TIP_CHANNEL1, &CSystemDlg::channel1},
    {CSystemDlg::kUsb, IDS_CONF_USB, IDS_TIP_USB, &CSystemDlg::usb},
    {CSystemDlg::kLog, IDS_CONF_LOG, IDS_TIP_LOG, &CSystemDlg::log},
}};

// A list and the row it shows.
struct SListField {
    int id;
    int CSystemDlg::*row;
};

constexpr std::array<SListField, 5> kListFields = {{
    {CSystemDlg::kProtocol, &CSystemDlg::protocolRow},
    {CSystemDlg::kChannel0, &CSystemDlg::channel0Row},
    {CSystemDlg::kChannel1, &CSystemDlg::channel1Row},
    {CSystemDlg::kTemplateCount, &CSystemDlg::templateCountRow},
    {CSystemDlg::kEmulationMode, &CSystemDlg::emulationRow},
}};

// Controls that start disabled, until a module says what it offers.
constexpr std::array kDisabledAtStart = {
    CSystemDlg::kUsb,         CSystemDlg::kChannel1,     CSystemDlg::kSetChannel1,
    CSystemDlg::kRelayTime,   CSystemDlg::kSetRelayTime, CSystemDlg::kSetProtocol,
    CSystemDlg::kSetSiteCode,
};

// Controls a cleared page offers until the next read tells otherwise.
constexpr std::array kEnabledByClear = {
    CSystemDlg::kGetSystemInfo,    CSystemDlg::kSaveSystemInfo,
    CSystemDlg::kIdentifyTimeout,  CSystemDlg::kSetIdentifyTimeout,
    CSystemDlg::kProtocol,         CSystemDlg::kSetProtocol,
    CSystemDlg::kSiteCode,         CSystemDlg::kSetSiteCode,
    CSystemDlg::kChannel0,         CSystemDlg::kSetChannel0,
    CSystemDlg::kIdLength,         CSystemDlg::kSetIdLength,
    CSystemDlg::kAdaptiveCount,    CSystemDlg::kSetAdaptiveCount,
    CSystemDlg::kTemplateCount,    CSystemDlg::kSetTemplateCount,
    CSystemDlg::kLatent,           CSystemDlg::kAdaptiveCapture,
    CSystemDlg::kFullRotate,       CSystemDlg::kRelay,
    CSystemDlg::kChannel1Check,    CSystemDlg::kEmulationMode,
    CSystemDlg::kSetEmulationMode,
};

constexpr uint32_t kEmulationNone = 0xFF;
constexpr int32_t kByteMax = 0xFF;
constexpr int32_t kHalfWordMax = 0xFFFF;

// A decimal number, optionally negative, that fits 32 bits.
bool ParseNumber(const std::string& text, int32_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    int32_t parsed = 0;
    const auto [end, ec] = std::from_chars(first, last, parsed, 10);
    if (ec != std::errc() || end != last || first == last) {
        return false;
    }
    value = parsed;
    return true;
}

const SValueRow* FindValueRow(int edit) {
    const auto it = std::find_if(kValueRows.begin(), kValueRows.end(),
                                 [edit](const SValueRow& row) { return row.edit == edit; });
    return it == kValueRows.end() ? nullptr : &*it;
}

std::vector<std::string> Texts(std::initializer_list<int> ids) {
    std::vector<std::string> texts;
    for (int id : ids) {
        texts.push_back(LoadString(id));
    }
    return texts;
}

}  // namespace

CSystemDlg::CSystemDlg(CSondrixDlg& main) : CPageBase(main, "configuration", "Configuration") {
    const std::string set = LoadString(IDS_SET);
    for (const SValueRow& row : kValueRows) {
        const std::string group = LoadString(row.group);
        AddEdit(row.edit, LoadString(row.label), group).text = "0";
        AddButton(row.set, set, group);
    }

    const std::string wiegand = LoadString(IDS_CONF_GROUP_WIEGAND);
    const std::string serial = LoadString(IDS_CONF_GROUP_SERIAL);
    const std::string userOption = LoadString(IDS_CONF_GROUP_USER_DATA);
    AddCombo(kProtocol, LoadString(IDS_CONF_PROTOCOL), wiegand,
             Texts({IDS_PROTOCOL_NOT_USED, IDS_PROTOCOL_26BIT, IDS_PROTOCOL_34BIT}));
    AddButton(kSetProtocol, set, wiegand);
    // Channel lists run from the fastest rate down (string ids 438 to 433).
    const std::initializer_list<int> channelRates = {IDS_BAUD_115200, IDS_BAUD_57600,
                                                     IDS_BAUD_38400,  IDS_BAUD_19200,
                                                     IDS_BAUD_14400,  IDS_BAUD_9600};
    AddCombo(kChannel0, LoadString(IDS_CONF_CHANNEL0), serial, Texts(channelRates));
    AddButton(kSetChannel0, set, serial);
    AddCombo(kChannel1, LoadString(IDS_CONF_CHANNEL1), serial, Texts(channelRates));
    AddButton(kSetChannel1, set, serial);
    AddCombo(kTemplateCount, LoadString(IDS_CONF_TEMPLATE_COUNT), userOption,
             Texts({IDS_TEMPLATES_2}));
    AddButton(kSetTemplateCount, set, userOption);
    AddCombo(kEmulationMode, LoadString(IDS_CONF_EMULATION_MODE), userOption,
             Texts({IDS_EMULATION_NOT_USED, IDS_EMULATION_SA, IDS_EMULATION_SB}));
    AddButton(kSetEmulationMode, set, userOption);
    AddStatic(kUserCapacity, LoadString(IDS_CONF_USER_CAPACITY), userOption);

    const std::string function = LoadString(IDS_CONF_GROUP_FUNCTION);
    for (const SCheckRow& row : kCheckRows) {
        AddCheck(row.id, LoadString(row.caption), function, LoadString(row.tooltip));
    }

    const std::string password = LoadString(IDS_CONF_GROUP_PASSWORD);
    AddEdit(kNewPassword, LoadString(IDS_CONF_NEW_PASSWORD), password, kPasswordLimit).password =
        true;
    AddEdit(kConfirmPassword, LoadString(IDS_CONF_CONFIRM_PASSWORD), password, kPasswordLimit)
        .password = true;
    AddButton(kSetPassword, LoadString(IDS_CONF_SET_PASSWORD), password);
    AddButton(kDeletePassword, LoadString(IDS_CONF_DELETE_PASSWORD), password);

    const std::string system = LoadString(IDS_CONF_GROUP_SYSTEM);
    AddButton(kGetSystemInfo, LoadString(IDS_CONF_GET_SYSTEM_INFO), system,
              LoadString(IDS_TIP_GET_SYSTEM_INFO));
    AddButton(kSaveSystemInfo, LoadString(IDS_CONF_SAVE_SYSTEM_INFO), system,
              LoadString(IDS_TIP_SAVE_SYSTEM_INFO));
    AddButton(kSetDefault, LoadString(IDS_CONF_SET_DEFAULT), system,
              LoadString(IDS_TIP_SET_DEFAULT));

    AddButton(kStatus, LoadString(IDS_STATUS), {});
    AddButton(kCancel, LoadString(IDS_CANCEL), {});

    // Page creation: USB, channel 1, relay time and the Wiegand Set buttons
    // start disabled; the connection enables what the module has.
    for (int id : kDisabledAtStart) {
        Enable(id, false);
    }
}

uint32_t CSystemDlg::BaudCodeOfRow(int row) {
    return row == 4 ? 5 : row == 5 ? 4 : static_cast<uint32_t>(row);
}

int CSystemDlg::RowOfBaudCode(uint32_t code) {
    return code > 5 ? -1 : static_cast<int>(BaudCodeOfRow(static_cast<int>(code)));
}

uint32_t CSystemDlg::LfdOption() const {
    return Main().modelCode == kModelHlxM28 ? kOptionLfdLevelM28 : kOptionLfdLevel;
}

void CSystemDlg::StoreOption(uint32_t option, uint32_t value) {
    if (option < kOptionSlots) {
        optionBlock[option] = value;
        optionHeld.set(option);
    }
}

uint32_t CSystemDlg::Option(uint32_t option) const {
    return option < kOptionSlots ? optionBlock[option] : 0;
}

void CSystemDlg::UpdateControls() {
    for (const SValueRow& field : kValueRows) {
        SetText(field.edit, std::to_string(this->*field.value));
    }
    for (const SCheckRow& field : kCheckRows) {
        SetCheck(field.id, this->*field.value != 0);
    }
    for (const SListField& field : kListFields) {
        SetSelection(field.id, this->*field.row);
    }
    SetText(kNewPassword, newPassword);
    SetText(kConfirmPassword, confirmPassword);
    SetText(kUserCapacity, userCapacity);
}

bool CSystemDlg::TakeValues(std::initializer_list<int> needed) {
    bool complete = true;
    for (const SValueRow& field : kValueRows) {
        if (!ParseNumber(Text(field.edit), this->*field.value) &&
            std::find(needed.begin(), needed.end(), field.edit) != needed.end()) {
            complete = false;
        }
    }
    for (const SCheckRow& field : kCheckRows) {
        this->*field.value = IsChecked(field.id) ? 1 : 0;
    }
    for (const SListField& field : kListFields) {
        this->*field.row = std::max(0, Selection(field.id));
    }
    newPassword = Text(kNewPassword);
    confirmPassword = Text(kConfirmPassword);
    if (!complete) {
        Main().Ui().MessageBox(LoadString(IDS_CFG_NUMERAL_ONLY));
    }
    return complete;
}

bool CSystemDlg::InRange(int32_t value, int32_t low, int32_t high, int textId) {
    if (value >= low && value <= high) {
        return true;
    }
    char text[128];
    std::snprintf(text, sizeof text, LoadString(textId).c_str(), low, high);
    Main().Ui().MessageBox(text, EIcon::Information);
    return false;
}

void CSystemDlg::Send(uint32_t command, uint32_t param1, uint32_t param2) {
    Main().PacketManager().SendCommand(command, param1, param2);
}

void CSystemDlg::SetOption(uint32_t option, int32_t value) {
    Main().configuration.SendOption(option, static_cast<uint32_t>(value));
}

void CSystemDlg::OnTabSelected() {
    newPassword.clear();
    confirmPassword.clear();
    SetText(kNewPassword, {});
    SetText(kConfirmPassword, {});
    // Not while the button is off: after a line-speed change the module no
    // longer hears this rate.
    if (IsEnabled(kGetSystemInfo)) {
        GetSystemInfo();
    }
}

void CSystemDlg::OnEditChange(int id) {
    if (id == kSiteCode) {
        TakeValues();
        return;
    }
    const SValueRow* row = FindValueRow(id);
    if (row == nullptr) {
        return;
    }
    const std::string text = Text(id);
    if (!text.empty() && (text.back() < '0' || text.back() > '9')) {
        Main().Ui().MessageBox(LoadString(IDS_CFG_NUMERAL_ONLY));
        // Only this box goes back to its value; what was typed elsewhere stays.
        SetText(id, std::to_string(this->*row->value));
    }
}

void CSystemDlg::OnCommand(int id) {
    switch (id) {
        case kLatent:
        case kAdaptiveCapture:
        case kFullRotate:
        case kRelay:
        case kChannel1Check:
        case kLog:
            OnCheck(id);
            break;
        case kUsb:
            TakeValues();
            break;
        case kSetPassword:
            SetPassword();
            break;
        case kDeletePassword:
            DeletePassword();
            break;
        case kGetSystemInfo:
            GetSystemInfo();
            break;
        case kSaveSystemInfo:
            SaveSystemInfo();
            break;
        case kSetDefault:
            SetDefault();
            break;
        case kStatus:
            Main().PacketManager().SendGetStatus();
            break;
        case kCancel:
            Send(CMD_CANCEL);
            break;
        default:
            OnSetValue(id);
            break;
    }
}

void CSystemDlg::SetSensorOption(int edit, uint32_t option) {
    if (!Main().configuration.OlderModule()) {
        if (TakeValues({edit})) {
            SetOption(option, this->*FindValueRow(edit)->value);
        }
        return;
    }
    // One command carries all three values, a byte each.
    if (TakeValues({kGain, kBrightness, kContrast}) && InRange(gain, 0, kByteMax, IDS_CFG_RANGE) &&
        InRange(brightness, 0, kByteMax, IDS_CFG_RANGE) &&
        InRange(contrast, 0, kByteMax, IDS_CFG_RANGE)) {
        Send(CMD_SET_SENSOR_OPTION, 0,
             CConfiguration::SensorWord(static_cast<uint32_t>(gain),
                                        static_cast<uint32_t>(brightness),
                                        static_cast<uint32_t>(contrast)));
    }
}

void CSystemDlg::SetSecurityLevel(int edit, uint32_t option) {
    if (!Main().configuration.OlderModule()) {
        if (TakeValues({edit})) {
            SetOption(option, this->*FindValueRow(edit)->value);
        }
        return;
    }
    // One command carries both levels, sixteen bits each.
    if (TakeValues({kVerificationLevel, kIdentificationLevel}) &&
        InRange(verificationLevel, 0, kHalfWordMax, IDS_CFG_RANGE) &&
        InRange(identificationLevel, 0, kHalfWordMax, IDS_CFG_RANGE)) {
        Send(CMD_SET_SECURITY_LEVEL, 0,
             CConfiguration::SecurityWord(static_cast<uint32_t>(verificationLevel),
                                          static_cast<uint32_t>(identificationLevel)));
    }
}

void CSystemDlg::OnSetValue(int id) {
    switch (id) {
        case kSetGain:
            SetSensorOption(kGain, kOptionGain);
            break;
        case kSetBrightness:
            SetSensorOption(kBrightness, kOptionBrightness);
            break;
        case kSetContrast:
            SetSensorOption(kContrast, kOptionContrast);
            break;
        case kSetVerificationLevel:
            SetSecurityLevel(kVerificationLevel, kOptionVerifyLevel);
            break;
        case kSetIdentificationLevel:
            SetSecurityLevel(kIdentificationLevel, kOptionIdentifyLevel);
            break;
        case kSetRegisterQuality:
            if (TakeValues({kRegisterQuality}) &&
                InRange(registerQuality, 30, 100, IDS_CFG_RANGE)) {
                SetOption(kOptionRegisterQuality, registerQuality);
            }
            break;
        case kSetVerifyQuality:
            if (TakeValues({kVerifyQuality}) && InRange(verifyQuality, 10, 100, IDS_CFG_RANGE)) {
                SetOption(kOptionVerifyQuality, verifyQuality);
            }
            break;
        case kSetCapturePeriod:
            if (!TakeValues({kCapturePeriod})) {
                break;
            }
            if (capturePeriod < 0) {
                Main().Ui().MessageBox(ResultText(RESULT_INVALID_PARAMETER), EIcon::Stop);
            } else {
                SetOption(kOptionCapturePeriod, capturePeriod);
            }
            break;
        case kSetRelayTime:
            if (TakeValues({kRelayTime})) {
                SetOption(kOptionRelayTime, relayTime);
            }
            break;
        case kSetIdentifyTimeout:
            if (TakeValues({kIdentifyTimeout}) &&
                InRange(identifyTimeout, 10, 255, IDS_CFG_RANGE_TIMEOUT)) {
                SetOption(kOptionIdentifyTimeout, identifyTimeout);
            }
            break;
        case kSetProtocol:
            TakeValues();
            SetOption(kOptionWiegandProtocol, protocolRow);
            break;
        case kSetSiteCode:
            if (TakeValues({kSiteCode})) {
                SetOption(kOptionSiteCode, siteCode);
            }
            break;
        case kSetChannel0:
        case kSetChannel1:
            SetBaudRate(id == kSetChannel0 ? kChannel0 : kChannel1);
            break;
        case kSetTemplateCount:
            SetTemplateCount();
            break;
        case kSetIdLength:
            if (TakeValues({kIdLength})) {
                SetOption(kOptionIdLength, idLength);
            }
            break;
        case kSetAdaptiveCount:
            if (TakeValues({kAdaptiveCount})) {
                SetOption(kOptionAdaptiveCount, adaptiveCount);
            }
            break;
        case kSetLfd:
            if (TakeValues({kLfd})) {
                SetOption(LfdOption(), lfdLevel);
            }
            break;
        case kSetEmulationMode:
            TakeValues();
            SetOption(kOptionEmulationMode,
                      emulationRow == 0 ? static_cast<int32_t>(kEmulationNone) : emulationRow);
            break;
        default:
            break;
    }
}

void CSystemDlg::OnCheck(int id) {
    TakeValues();
    switch (id) {
        case kLatent:
            SetOption(kOptionLatent, latent);
            break;
        case kAdaptiveCapture:
            SetOption(kOptionAdaptiveCapture, adaptiveCapture);
            break;
        case kFullRotate:
            SetOption(kOptionFullRotate, fullRotate);
            break;
        case kRelay:
            Enable(kRelayTime, relay != 0);
            Enable(kSetRelayTime, relay != 0);
            SetOption(kOptionRelay, relay);
            break;
        case kChannel1Check:
            Enable(kChannel1, channel1 != 0);
            Enable(kSetChannel1, channel1 != 0);
            SetOption(kOptionChannel1, channel1);
            break;
        case kLog:
            SetOption(kOptionLog, log);
            break;
        default:
            break;
    }
}

void CSystemDlg::SetBaudRate(int channelList) {
    TakeValues();
    if (channelList == kChannel0) {
        SetOption(kOptionChannel0Baud, static_cast<int32_t>(BaudCodeOfRow(channel0Row)));
    } else {
        SetOption(kOptionChannel1Baud, static_cast<int32_t>(BaudCodeOfRow(channel1Row)));
    }
    // The module answers at the new rate only after a new connection.
    Enable(kGetSystemInfo, false);
    Enable(kSaveSystemInfo, false);
}

void CSystemDlg::SetTemplateCount() {
    TakeValues();
    const bool lfd = Main().modelCode == kModelHlxM18Lfd;
    const uint32_t count = templateCountRow == 0 ? (lfd ? 1 : 2) : (lfd ? 2 : 4);
    Main().configuration.SendTemplateCount(count);
}

void CSystemDlg::SetPassword() {
    TakeValues();
    int refusal = 0;
    if (newPassword.empty() || confirmPassword.empty()) {
        refusal = IDS_CFG_PASSWORD_BOTH_BOXES;
    } else if (newPassword != confirmPassword) {
        refusal = IDS_CFG_PASSWORDS_DIFFER;
    } else if (newPassword.size() >= kPasswordLimit) {
        // The 16-byte field keeps its terminating zero.
        refusal = IDS_TOO_LONG_DATA;
    }
    if (refusal != 0) {
        Main().Ui().MessageBox(LoadString(refusal), EIcon::Stop);
        return;
    }
    Main().PacketManager().SendSetMasterPassword(newPassword);
}

void CSystemDlg::DeletePassword() {
    if (Main().Ui().MessageBox(LoadString(IDS_CFG_DELETE_PASSWORD_QUESTION), EIcon::Question,
                               EButtons::YesNo) == EAnswer::Yes) {
        Send(CMD_DELETE_MASTER_PASSWORD);
    }
}

void CSystemDlg::GetSystemInfo() {
    Main().transferBusy = 1;
    Main().PacketManager().SendGetSystemOption(LfdOption());
}

void CSystemDlg::SaveSystemInfo() {
    if (Main().Ui().MessageBox(LoadString(IDS_CFG_SAVE_QUESTION), EIcon::Question,
                               EButtons::YesNo) == EAnswer::Yes) {
        Send(CMD_SAVE_SYSTEM_OPTIONS);
    }
}

void CSystemDlg::SetDefault() {
    Main().transferBusy = 1;
    Send(CMD_SET_DEFAULT_OPTIONS);
}

void CSystemDlg::ClearPage() {
    for (const SValueRow& field : kValueRows) {
        this->*field.value = 0;
    }
    idLength = 4;
    newPassword.clear();
    confirmPassword.clear();
    for (const SCheckRow& field : kCheckRows) {
        this->*field.value = 0;
    }
    for (const SListField& field : kListFields) {
        this->*field.row = 0;
    }
    for (int id : kEnabledByClear) {
        Enable(id, true);
    }
    UpdateControls();
}

void CSystemDlg::Reset() {
    optionRefresh = 0;
    defaultsPending = 0;
    templateCountRefreshPending = 0;
    optionBlock.fill(0);
    optionHeld.reset();
    userCapacity.clear();
    // The next module offers its own template counts.
    SetItems(kTemplateCount, {LoadString(IDS_TEMPLATES_2)});
    ClearPage();
    for (int id : kDisabledAtStart) {
        Enable(id, false);
    }
}

void CSystemDlg::SelectTemplateRow(uint32_t templates) {
    const std::vector<std::string>& rows = Control(kTemplateCount).items;
    const auto it = std::find(rows.begin(), rows.end(), std::to_string(templates));
    if (it != rows.end()) {
        templateCountRow = static_cast<int>(it - rows.begin());
    }
}

void CSystemDlg::ShowTemplateCount(uint32_t templates) {
    SelectTemplateRow(templates);
    userCapacity = std::to_string(static_cast<int32_t>(Option(kOptionUserCapacity)));
    UpdateControls();
}

void CSystemDlg::FillPage(bool shortChain) {
    CSondrixDlg& main = Main();
    const auto value = [this](uint32_t option) { return static_cast<int32_t>(Option(option)); };
    const auto flag = [this](uint32_t option) { return Option(option) != 0 ? 1 : 0; };
    gain = value(kOptionGain);
    brightness = value(kOptionBrightness);
    contrast = value(kOptionContrast);
    verificationLevel = value(kOptionVerifyLevel);
    identificationLevel = value(kOptionIdentifyLevel);
    registerQuality = value(kOptionRegisterQuality);
    verifyQuality = value(kOptionVerifyQuality);
    capturePeriod = value(kOptionCapturePeriod);
    identifyTimeout = value(kOptionIdentifyTimeout);
    latent = flag(kOptionLatent);
    adaptiveCapture = flag(kOptionAdaptiveCapture);
    fullRotate = flag(kOptionFullRotate);
    log = flag(kOptionLog);
    const uint32_t mode = main.emulationMode;
    emulationRow = mode == 1 || mode == 2 ? static_cast<int>(mode) : 0;
    if (shortChain) {
        relayTime = 0;
        siteCode = 0;
        userCapacity.clear();
        templateCountRow = 0;
        if (mode == 2 && RowOfBaudCode(Option(kOptionChannel1Baud)) >= 0) {
            channel1Row = RowOfBaudCode(Option(kOptionChannel1Baud));
        }
    } else {
        const bool plainNew = main.configuration.PlainNewModule();
        const bool newSeries = main.moduleSeries == 4 || main.moduleSeries == 5;
        relayTime = value(kOptionRelayTime);
        siteCode = value(kOptionSiteCode);
        lfdLevel = value(LfdOption());
        relay = flag(kOptionRelay);
        channel1 = flag(kOptionChannel1);
        idLength = plainNew ? value(kOptionIdLength) : 4;
        adaptiveCount = plainNew ? value(kOptionAdaptiveCount) : 0;
        for (auto [option, row] : {std::pair{kOptionChannel0Baud, &channel0Row},
                                   std::pair{kOptionChannel1Baud, &channel1Row}}) {
            if (RowOfBaudCode(Option(option)) >= 0) {
                *row = RowOfBaudCode(Option(option));
            }
        }
        if (Option(kOptionWiegandProtocol) <= 2) {
            protocolRow = value(kOptionWiegandProtocol);
        }
        SelectTemplateRow(Option(kOptionTemplateMode));
        // Series 4 and 5 report no capacity unless they are asked for it.
        userCapacity = optionHeld.test(kOptionUserCapacity)
                           ? std::to_string(value(kOptionUserCapacity))
                           : std::string();
        const bool relayTimes = relay != 0 || plainNew;
        Enable(kRelayTime, relayTimes);
        Enable(kSetRelayTime, relayTimes);
        const bool secondChannel = channel1 != 0 || newSeries;
        Enable(kChannel1, secondChannel);
        Enable(kSetChannel1, secondChannel);
    }
    if (!main.popupMsg.Ended()) {
        main.popupMsg.EndDialog(IDOK);
    }
    main.transferBusy = 0;
    UpdateControls();
}

}  // namespace sondrix
