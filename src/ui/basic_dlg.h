#pragma once

#include <array>
#include <cstdint>
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

    explicit CBasicDlg(CSondrixDlg& main);

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
};

}  // namespace sondrix
