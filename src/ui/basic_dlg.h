#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/page_base.h"

namespace sondrix {

// The Authentication&User tab (dialog 129): matching, templates, Auto-On,
// master mode, firmware update and the user registration, modification and
// deletion controls.
class CBasicDlg : public CPageBase {
  public:
    // Controls.
    static constexpr int kVerification = 1005;
    static constexpr int kFpVerification = 1057;  // radio
    static constexpr int kPwVerification = 1058;  // radio
    static constexpr int kIdentification = 1006;
    static constexpr int kGetTemplate = 1010;
    static constexpr int kFormatDravik = 1024;  // radios, selectors 0 to 3
    static constexpr int kFormatQdxA = 1031;
    static constexpr int kFormatIso = 1025;
    static constexpr int kFormatAnsi = 1026;
    static constexpr int kAutoOn = 1011;  // "Auto-On Enable" / "Auto-On Disable"
    static constexpr int kEnterMaster = 1021;
    static constexpr int kFpMatching = 1027;  // radios: master authentication method
    static constexpr int kPwMatching = 1028;
    static constexpr int kInstantMatchingMethod = 1029;
    static constexpr int kDevicePassword = 1030;
    static constexpr int kInstantMatching = 1007;
    static constexpr int kInstantVerification = 1008;
    static constexpr int kInstantIdentification = 1009;
    static constexpr int kFirmwareUpdate = 1020;
    static constexpr int kBackupUpdate = 1165;  // created hidden and disabled
    static constexpr int kStatus = 1022;
    static constexpr int kCancel = 1023;
    static constexpr int kModificationType = 1130;
    static constexpr int kModificationId = 1132;
    static constexpr int kModify = 1131;
    static constexpr int kRegistrationId = 1137;
    static constexpr int kPassword = 1138;
    static constexpr int kAutoGenerateId = 1139;
    static constexpr int kDifferentFinger = 1140;
    static constexpr int kUser = 1141;    // radio, authority 0
    static constexpr int kMaster = 1142;  // radio, authority 1
    static constexpr int kRegister = 1136;
    static constexpr int kDeletionId = 1133;
    static constexpr int kDelete = 1134;
    static constexpr int kDeleteAll = 1135;

    // Radio groups; the first of each is selected at creation and reset.
    static constexpr std::array<int, 2> kVerificationRadios = {kFpVerification, kPwVerification};
    // In selector order: Dravik 0, QDX-A 1, ISO 2, ANSI 3.
    static constexpr std::array<int, 4> kFormatRadios = {kFormatDravik, kFormatQdxA, kFormatIso,
                                                         kFormatAnsi};
    static constexpr std::array<int, 4> kMasterMethodRadios = {
        kFpMatching, kPwMatching, kInstantMatchingMethod, kDevicePassword};
    static constexpr std::array<int, 2> kAuthorityRadios = {kUser, kMaster};

    // Disabled until master mode is entered.
    static constexpr std::array<int, 13> kMasterControls = {
        kRegistrationId, kPassword, kAutoGenerateId,   kDifferentFinger, kUser,
        kMaster,         kRegister, kModificationType, kModificationId,  kModify,
        kDeletionId,     kDelete,   kDeleteAll};

    static constexpr size_t kModificationTypes = 11;
    // Edit limits: normal, and with the series-2 flag set.
    static constexpr size_t kEditLimit = 16;
    static constexpr size_t kSeries2IdLimit = 10;
    static constexpr size_t kSeries2PasswordLimit = 15;

    // The Auto-On button's set: disabled while the module identifies on its own.
    static constexpr std::array<int, 12> kAutoOnControls = {kVerification,
                                                            kIdentification,
                                                            kGetTemplate,
                                                            kFirmwareUpdate,
                                                            kEnterMaster,
                                                            kInstantMatching,
                                                            kRegister,
                                                            kDelete,
                                                            kDeleteAll,
                                                            kModify,
                                                            kInstantVerification,
                                                            kInstantIdentification};

    static constexpr size_t kPasswordField = 16;  // 15 digits and a terminating zero
    static constexpr size_t kMinStepRegistrationId = 4;
    static constexpr int kMaxFingerIndex = 9;
    static constexpr int kAbandonedStep = 100;

    // Quality-check reasons of the sequences of this page.
    static constexpr int kRegistrationQuality = 1;
    static constexpr int kModificationQuality = 8;
    static constexpr int kStepRegistrationQuality = 9;

    // Modification codes of CMD_MODIFY_USER. A template change takes two
    // requests: the first code, then that code + 1 when the same finger is
    // given again or + 2 for a different finger.
    static constexpr uint32_t kModifyAuthority = 0x01;
    static constexpr uint32_t kModifyPassword = 0x02;
    static constexpr uint32_t kModifySecurityLevel = 0x03;
    static constexpr uint32_t kFirstHostTemplate = 0x10;
    static constexpr uint32_t kSecondHostTemplate = 0x13;
    static constexpr uint32_t kFirstSensorScan = 0x20;
    static constexpr uint32_t kSecondSensorScan = 0x23;
    // The second request's code for `first` and a modification type: the
    // odd types keep the finger, the even ones take a different one.
    static constexpr uint32_t FollowUpCode(uint32_t first, int type) {
        return first + (type % 2 == 1 ? 1 : 2);
    }

    explicit CBasicDlg(CSondrixDlg& main);

    // Every control back to its state without a module: when the connection
    // ends and after the module's template mode changed.
    void Reset() override;

    // "Firmware Update" (false) and the hidden "Backup Update" (true): choose
    // a file and send it to the module chunk by chunk.
    void StartFirmwareUpdate(bool backup);
    // Carries a registration, modification or further-finger sequence on
    // after the image-quality answer for `reason` (1, 8 or 9).
    void ContinueAfterQuality(int reason);
    // Register button and the Main tab's User Register: the flow the module uses.
    void StartRegistration();
    // The flows that wait for the template mode on some modules.
    void StartRegistrationFlowA();
    void StartModificationFlow();

    // The answers of the module drive these.
    // Auto-On switched off (true) or on (false): the caption and the controls
    // that wait while the module identifies by itself.
    void SetAutoOnControls(bool enable);
    // Master mode entered or left: the caption and the registration,
    // modification and deletion controls.
    void SetMasterControls(bool master);
    // The module wants a master credential: asks for the one the method
    // radios choose and sends it.
    void SendMasterCredential();
    // A host-template modification had its first template accepted: asks for
    // the second and sends it.
    void SendSecondTemplate();
    // A step registration failed for the first time in its run: offers to go
    // on with the same account.
    void OfferContinuousRegistration();
    // Empties the registration ID and password after a stored user.
    void ClearRegistrationFields();

    // Asks for a .min file and reads it; false (with the message) when the
    // person cancelled or the file cannot serve as a template. `allFiles`
    // offers "All files" beside the .min filter.
    bool OpenTemplateFile(bool allFiles, std::vector<uint8_t>& bytes);
    // The ID and password popups; false when cancelled.
    bool AskId(std::string& id);
    bool AskPassword(std::string& secret);

    // Page state.
    int authority = 0;         // 0 user, 1 master; param1 of registration requests
    int modificationType = 0;  // selected entry of the modification combo
    int series2 = 0;           // set for series 2 modules; limits the edits
    std::string registrationId;
    std::string password;
    std::string deletionId;
    std::string modificationId;
    std::string firmwarePath;  // the file chosen for a firmware update
    // Registration and modification sequences.
    int registrationStep = 0;  // 1 to 4 while running; 100 abandoned
    int fingerIndex = 0;       // 0 to 9 in a step registration
    uint32_t modificationCode = 0;
    std::vector<uint8_t> registrationBlock;  // ID field + password field of CMD_REGISTER
    int continuousOfferMade = 0;             // the continuous-registration question was asked

  protected:
    void OnCommand(int id) override;
    void OnEditChange(int id) override;
    void OnSelChange(int id) override;

  private:
    void SelectRadio(std::span<const int> group, int id);
    void Verification();
    void GetTemplate();
    void InstantMatching();
    void InstantVerification();
    void InstantIdentification();
    void DeleteUsers(bool all);
    void CheckIdEdit(int id);
    void CheckPasswordEdit();
    void CheckModificationType();
    void ApplyEditLimits();
    void StartModification();
    // Asks the module for its template mode; the configuration handler
    // starts `action` when it arrives.
    void ReadTemplateModeFor(int action);
    void StartStepRegistration();
    // The first request of a step registration for the current finger.
    void SendFirstStep();
    void SendRegister(uint32_t param2, std::span<const uint8_t> block);
    // Shows "Size is too big" when a request did not fit one packet.
    void SentOrRefused(bool sent);
    // The ID of `field` bytes followed by the 16-byte password field, both
    // zero-filled behind their text.
    std::vector<uint8_t> IdAndPasswordField(size_t field) const;
    // Asks for a decimal number; false when cancelled or not a number.
    bool AskNumber(int prompt, uint32_t& value);
    bool AskText(int prompt, bool masked, size_t maxLength, std::string& text);

    // Enabled states that Auto-On took away, given back when it stops.
    std::array<bool, kAutoOnControls.size()> m_beforeAutoOn{};
};

}  // namespace sondrix
