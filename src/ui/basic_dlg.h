#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/module_outcome.h"
#include "ui/page_base.h"

namespace sondrix {

// The Authentication&User tab (dialog 129): matching, templates, Auto-On,
// master mode, firmware update and the user registration, modification and
// deletion controls.
class CBasicDlg : public CPageBase, public IOutcomeObserver {
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

    explicit CBasicDlg(CSondrixDlg& main);

    // Every control back to its state without a module: when the connection
    // ends and after the module's template mode changed.
    void Reset() override;

    // "Firmware Update" (false) and the hidden "Backup Update" (true): choose
    // a file and send it to the module chunk by chunk.
    void StartFirmwareUpdate(bool backup);
    // Register button and the Main tab's User Register: the registration
    // sequence for the ID, password and choices of the page.
    void StartRegistration();
    // A modification asks for what it changes (a number, a password, a
    // template file or a scan) once the template mode allows it, then sends it.
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

    // A stored user empties the registration fields; a finished modification
    // uses up its ID.
    void OnOutcome(const SOutcome& outcome) override;

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
    // Shows "Size is too big" when a request did not fit one packet.
    void SentOrRefused(bool sent);
    // Asks for a decimal number; false when cancelled or not a number.
    bool AskNumber(int prompt, uint32_t& value);
    bool AskText(int prompt, bool masked, size_t maxLength, std::string& text);

    // Enabled states that Auto-On took away, given back when it stops.
    std::array<bool, kAutoOnControls.size()> m_beforeAutoOn{};
};

}  // namespace sondrix
