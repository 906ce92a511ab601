#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "ui/page_base.h"

namespace sondrix {

// The Configuration tab (dialog 130): the module's options, each with its
// "Set" button, the master password and the whole-option actions.
class CSystemDlg : public CPageBase {
  public:
    // Numeric edits and their Set buttons.
    static constexpr int kGain = 1049;
    static constexpr int kSetGain = 1052;
    static constexpr int kBrightness = 1050;
    static constexpr int kSetBrightness = 1053;
    static constexpr int kContrast = 1051;
    static constexpr int kSetContrast = 1054;
    static constexpr int kLfd = 1067;
    static constexpr int kSetLfd = 1068;
    static constexpr int kVerificationLevel = 1055;
    static constexpr int kSetVerificationLevel = 1057;
    static constexpr int kIdentificationLevel = 1056;
    static constexpr int kSetIdentificationLevel = 1058;
    static constexpr int kRegisterQuality = 1059;
    static constexpr int kSetRegisterQuality = 1061;
    static constexpr int kVerifyQuality = 1060;
    static constexpr int kSetVerifyQuality = 1062;
    static constexpr int kCapturePeriod = 1063;
    static constexpr int kSetCapturePeriod = 1064;
    static constexpr int kRelayTime = 1080;
    static constexpr int kSetRelayTime = 1081;
    static constexpr int kIdentifyTimeout = 1071;
    static constexpr int kSetIdentifyTimeout = 1072;
    static constexpr int kSiteCode = 1075;
    static constexpr int kSetSiteCode = 1076;  // Wiegand; created disabled
    static constexpr int kIdLength = 1079;
    static constexpr int kSetIdLength = 1094;
    static constexpr int kAdaptiveCount = 1073;
    static constexpr int kSetAdaptiveCount = 1099;
    // Lists and their Set buttons.
    static constexpr int kProtocol = 1077;
    static constexpr int kSetProtocol = 1074;  // Wiegand; created disabled
    static constexpr int kChannel0 = 1086;
    static constexpr int kSetChannel0 = 1085;
    static constexpr int kChannel1 = 1088;
    static constexpr int kSetChannel1 = 1087;
    static constexpr int kTemplateCount = 1092;
    static constexpr int kSetTemplateCount = 1091;
    static constexpr int kEmulationMode = 1090;
    static constexpr int kSetEmulationMode = 1098;
    static constexpr int kUserCapacity = 1084;  // static text
    // "Function Option" check boxes.
    static constexpr int kLatent = 1065;
    static constexpr int kAdaptiveCapture = 1066;
    static constexpr int kFullRotate = 1069;
    static constexpr int kRelay = 1078;
    static constexpr int kChannel1Check = 1082;
    static constexpr int kUsb = 1089;
    static constexpr int kLog = 1093;
    // Master password.
    static constexpr int kNewPassword = 1100;
    static constexpr int kConfirmPassword = 1101;
    static constexpr int kSetPassword = 1102;
    static constexpr int kDeletePassword = 1104;
    // Whole-option actions and the shared buttons.
    static constexpr int kGetSystemInfo = 1095;
    static constexpr int kSaveSystemInfo = 1096;
    static constexpr int kSetDefault = 1097;
    static constexpr int kStatus = 1106;
    static constexpr int kCancel = 1105;

    static constexpr size_t kPasswordLimit = 16;

    // Options the option block holds, by number.
    static constexpr size_t kOptionSlots = 256;

    explicit CSystemDlg(CSondrixDlg& main);

    // The person chose the Configuration tab: the password boxes are emptied
    // and all options are read.
    void OnTabSelected();
    // Without a module: values, option block and flags as at the start.
    void Reset() override;
    // After an emulation-mode change: every value back to its start, the
    // option controls enabled, until the read that follows fills the page.
    void ClearPage();
    // The end of a read chain: the page shows the option block. The short
    // form is the read of the older modules, which holds fewer options.
    void FillPage(bool shortChain);
    // The read-back after a template-count change: the count and the user
    // capacity only.
    void ShowTemplateCount(uint32_t templates);

    // "Get System Info": reads every option the module has into the page.
    void GetSystemInfo();

    void StoreOption(uint32_t option, uint32_t value);
    uint32_t Option(uint32_t option) const;
    // The LFD level's option number: 0x55 on HLX-M28, 0x54 on the others.
    uint32_t LfdOption() const;
    // Page values into the controls.
    void UpdateControls();

    // Rows of the channel lists run from the fastest rate down, while the
    // module numbers 9600 bps 4 and 14400 bps 5.
    static uint32_t BaudCodeOfRow(int row);
    static int RowOfBaudCode(uint32_t code);  // -1: no such code

    // Page values, each tied to a control.
    int32_t gain = 0;
    int32_t brightness = 0;
    int32_t contrast = 0;
    int32_t verificationLevel = 0;
    int32_t identificationLevel = 0;
    int32_t lfdLevel = 0;
    int32_t registerQuality = 0;
    int32_t verifyQuality = 0;
    int32_t capturePeriod = 0;
    int32_t relayTime = 0;
    int32_t identifyTimeout = 0;
    int32_t siteCode = 0;
    int32_t idLength = 0;
    int32_t adaptiveCount = 0;
    std::string newPassword;
    std::string confirmPassword;
    std::string userCapacity;
    int latent = 0;
    int adaptiveCapture = 0;
    int fullRotate = 0;
    int relay = 0;
    int channel1 = 0;
    int usb = 0;
    int log = 0;
    int protocolRow = 0;
    int channel0Row = 0;
    int channel1Row = 0;
    int templateCountRow = 0;
    int emulationRow = 0;
    // Page flags.
    int optionRefresh = 0;    // set by the emulation-mode Set; read by the connection chain
    int defaultsPending = 0;  // a defaults reply on an older module is being read back
    int templateCountRefreshPending = 0;
    // Option block: the value of each option number the read chain stored,
    // and which numbers it holds.
    std::array<uint32_t, kOptionSlots> optionBlock{};
    std::bitset<kOptionSlots> optionHeld;

  protected:
    void OnCommand(int id) override;
    void OnEditChange(int id) override;

  private:
    // Controls into page values. False, with a message, when one of `needed`
    // holds no number; the other values are taken all the same.
    bool TakeValues(std::initializer_list<int> needed = {});
    // The range message when `value` lies outside low..high.
    bool InRange(int32_t value, int32_t low, int32_t high, int textId);
    void SetOption(uint32_t option, int32_t value);
    void Send(uint32_t command, uint32_t param1 = 0, uint32_t param2 = 0);
    void OnSetValue(int id);
    void OnCheck(int id);
    // Older modules set the sensor values, and the two security levels,
    // together in one command.
    void SetSensorOption(int edit, uint32_t option);
    void SetSecurityLevel(int edit, uint32_t option);
    void SetBaudRate(int channelList);
    void SetTemplateCount();
    void SetPassword();
    void DeletePassword();
    void SaveSystemInfo();
    void SetDefault();
    void SelectTemplateRow(uint32_t templates);
};

}  // namespace sondrix
