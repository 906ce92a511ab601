#include "ui/system_dlg.h"

#include "ui/strings.h"

namespace sondrix {

namespace {

// A numeric edit with its label and Set button.
struct SValueRow {
    int edit;
    int label;
    int set;
    int group;
};

constexpr std::array<SValueRow, 14> kValueRows = {{
    {CSystemDlg::kGain, IDS_CONF_GAIN, CSystemDlg::kSetGain, IDS_CONF_GROUP_SENSOR},
    {CSystemDlg::kBrightness, IDS_CONF_BRIGHTNESS, CSystemDlg::kSetBrightness,
     IDS_CONF_GROUP_SENSOR},
    {CSystemDlg::kContrast, IDS_CONF_CONTRAST, CSystemDlg::kSetContrast, IDS_CONF_GROUP_SENSOR},
    {CSystemDlg::kLfd, IDS_CONF_LFD, CSystemDlg::kSetLfd, IDS_CONF_GROUP_SENSOR},
    {CSystemDlg::kVerificationLevel, IDS_CONF_VERIFICATION, CSystemDlg::kSetVerificationLevel,
     IDS_CONF_GROUP_SECURITY},
    {CSystemDlg::kIdentificationLevel, IDS_CONF_IDENTIFICATION, CSystemDlg::kSetIdentificationLevel,
     IDS_CONF_GROUP_SECURITY},
    {CSystemDlg::kRegisterQuality, IDS_CONF_REGISTER_QUALITY, CSystemDlg::kSetRegisterQuality,
     IDS_CONF_GROUP_QUALITY},
    {CSystemDlg::kVerifyQuality, IDS_CONF_VERIFY_QUALITY, CSystemDlg::kSetVerifyQuality,
     IDS_CONF_GROUP_QUALITY},
    {CSystemDlg::kCapturePeriod, IDS_CONF_CAPTURE_PERIOD, CSystemDlg::kSetCapturePeriod,
     IDS_CONF_GROUP_TIMES},
    {CSystemDlg::kRelayTime, IDS_CONF_RELAY_TIME, CSystemDlg::kSetRelayTime, IDS_CONF_GROUP_TIMES},
    {CSystemDlg::kIdentifyTimeout, IDS_CONF_IDENTIFY_TIMEOUT, CSystemDlg::kSetIdentifyTimeout,
     IDS_CONF_GROUP_TIMES},
    {CSystemDlg::kSiteCode, IDS_CONF_SITE_CODE, CSystemDlg::kSetSiteCode, IDS_CONF_GROUP_WIEGAND},
    {CSystemDlg::kIdLength, IDS_CONF_ID_LENGTH, CSystemDlg::kSetIdLength, IDS_CONF_GROUP_USER_DATA},
    {CSystemDlg::kAdaptiveCount, IDS_CONF_ADAPTIVE_COUNT, CSystemDlg::kSetAdaptiveCount,
     IDS_CONF_GROUP_USER_DATA},
}};

struct SCheckRow {
    int id;
    int caption;
    int tooltip;
};

constexpr std::array<SCheckRow, 7> kCheckRows = {{
    {CSystemDlg::kLatent, IDS_CONF_LATENT, IDS_TIP_LATENT},
    {CSystemDlg::kAdaptiveCapture, IDS_CONF_ADAPTIVE_CAPTURE, IDS_TIP_ADAPTIVE_CAPTURE},
    {CSystemDlg::kFullRotate, IDS_CONF_FULL_ROTATE, IDS_TIP_FULL_ROTATE},
    {CSystemDlg::kRelay, IDS_CONF_RELAY, IDS_TIP_RELAY},
    {CSystemDlg::kChannel1Check, IDS_CONF_CHANNEL1_CHECK, IDS_TIP_CHANNEL1},
    {CSystemDlg::kUsb, IDS_CONF_USB, IDS_TIP_USB},
    {CSystemDlg::kLog, IDS_CONF_LOG, IDS_TIP_LOG},
}};

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
    for (int id :
         {kUsb, kChannel1, kSetChannel1, kRelayTime, kSetRelayTime, kSetProtocol, kSetSiteCode}) {
        Enable(id, false);
    }
}

}  // namespace sondrix
