#include "ui/basic_dlg.h"

#include "ui/strings.h"

namespace sondrix {

namespace {

constexpr std::array<int, CBasicDlg::kModificationTypes> kModificationTexts = {
    IDS_MODIFY_AUTHORITY,
    IDS_MODIFY_PASSWORD,
    IDS_MODIFY_SECURITY_LEVEL,
    IDS_MODIFY_1ST_SAME_HOST,
    IDS_MODIFY_1ST_DIFFERENT_HOST,
    IDS_MODIFY_2ND_SAME_HOST,
    IDS_MODIFY_2ND_DIFFERENT_HOST,
    IDS_MODIFY_1ST_SAME_SENSOR,
    IDS_MODIFY_1ST_DIFFERENT_SENSOR,
    IDS_MODIFY_2ND_SAME_SENSOR,
    IDS_MODIFY_2ND_DIFFERENT_SENSOR};

}  // namespace

CBasicDlg::CBasicDlg(CSondrixDlg& main) : CPageBase(main, "auth", "Authentication&User") {
    const std::string matching = LoadString(IDS_AUTH_GROUP_MATCHING);
    const std::string getTemplate = LoadString(IDS_AUTH_GROUP_GET_TEMPLATE);
    const std::string autoOn = LoadString(IDS_AUTH_GROUP_AUTO_ON);
    const std::string firmware = LoadString(IDS_AUTH_GROUP_FIRMWARE);
    const std::string master = LoadString(IDS_AUTH_GROUP_MASTER);
    const std::string instant = LoadString(IDS_AUTH_GROUP_INSTANT);
    const std::string modification = LoadString(IDS_AUTH_GROUP_MODIFICATION);
    const std::string registration = LoadString(IDS_AUTH_GROUP_REGISTRATION);
    const std::string deletion = LoadString(IDS_AUTH_GROUP_DELETION);

    AddButton(kVerification, LoadString(IDS_AUTH_VERIFICATION), matching,
              LoadString(IDS_TIP_VERIFY));
    AddRadio(kFpVerification, LoadString(IDS_AUTH_FP_VERIFICATION), matching);
    AddRadio(kPwVerification, LoadString(IDS_AUTH_PW_VERIFICATION), matching);
    AddButton(kIdentification, LoadString(IDS_AUTH_IDENTIFICATION), matching,
              LoadString(IDS_TIP_IDENTIFY));

    AddButton(kGetTemplate, LoadString(IDS_AUTH_GET_TEMPLATE), getTemplate,
              LoadString(IDS_TIP_GET_TEMPLATE));
    AddRadio(kFormatDravik, LoadString(IDS_FORMAT_DRAVIK), getTemplate);
    AddRadio(kFormatQdxA, LoadString(IDS_FORMAT_QDXA), getTemplate);
    AddRadio(kFormatIso, LoadString(IDS_FORMAT_ISO), getTemplate);
    AddRadio(kFormatAnsi, LoadString(IDS_FORMAT_ANSI), getTemplate);

    AddButton(kAutoOn, LoadString(IDS_AUTH_AUTO_ON_ENABLE), autoOn, LoadString(IDS_TIP_AUTO_ON));

    AddButton(kFirmwareUpdate, LoadString(IDS_AUTH_FIRMWARE_UPDATE), firmware,
              LoadString(IDS_TIP_FIRMWARE_UPDATE));
    AddButton(kBackupUpdate, LoadString(IDS_AUTH_BACKUP_UPDATE), firmware);

    AddButton(kEnterMaster, LoadString(IDS_AUTH_ENTER_MASTER_MODE), master,
              LoadString(IDS_TIP_ENTER_MASTER));
    AddRadio(kFpMatching, LoadString(IDS_AUTH_FP_MATCHING), master);
    AddRadio(kPwMatching, LoadString(IDS_AUTH_PW_MATCHING), master);
    AddRadio(kInstantMatchingMethod, LoadString(IDS_AUTH_INSTANT_MATCHING), master);
    AddRadio(kDevicePassword, LoadString(IDS_AUTH_DEVICE_PASSWORD), master);

    AddButton(kInstantMatching, LoadString(IDS_AUTH_INSTANT_MATCHING), instant,
              LoadString(IDS_TIP_INSTANT_MATCHING));
    AddButton(kInstantVerification, LoadString(IDS_AUTH_INSTANT_VERIFICATION), instant,
              LoadString(IDS_TIP_INSTANT_VERIFICATION));
    AddButton(kInstantIdentification, LoadString(IDS_AUTH_INSTANT_IDENTIFICATION), instant,
              LoadString(IDS_TIP_INSTANT_IDENTIFICATION));

    std::vector<std::string> types;
    for (int text : kModificationTexts) {
        types.push_back(LoadString(text));
    }
    AddCombo(kModificationType, LoadString(IDS_AUTH_TYPE_OF_MODIFICATION), modification,
             std::move(types));
    AddEdit(kModificationId, LoadString(IDS_LABEL_ID), modification, kEditLimit);
    AddButton(kModify, LoadString(IDS_AUTH_MODIFY), modification, LoadString(IDS_TIP_MODIFY));

    AddEdit(kRegistrationId, LoadString(IDS_LABEL_ID), registration, kEditLimit);
    AddEdit(kPassword, LoadString(IDS_AUTH_LABEL_PW), registration, kEditLimit).password = true;
    AddCheck(kAutoGenerateId, LoadString(IDS_AUTH_AUTO_GENERATE_ID), registration,
             LoadString(IDS_TIP_AUTO_GENERATE_ID));
    AddCheck(kDifferentFinger, LoadString(IDS_AUTH_DIFFERENT_FINGER), registration,
             LoadString(IDS_TIP_DIFFERENT_FINGER));
    AddRadio(kUser, LoadString(IDS_AUTH_USER), registration).label =
        LoadString(IDS_AUTH_LABEL_AUTHORITY);
    AddRadio(kMaster, LoadString(IDS_AUTH_MASTER), registration);
    AddButton(kRegister, LoadString(IDS_AUTH_REGISTER), registration, LoadString(IDS_TIP_REGISTER));

    AddEdit(kDeletionId, LoadString(IDS_LABEL_ID), deletion, kEditLimit);
    AddButton(kDelete, LoadString(IDS_DELETE), deletion, LoadString(IDS_TIP_DELETE_USER));
    AddButton(kDeleteAll, LoadString(IDS_DELETE_ALL), deletion,
              LoadString(IDS_TIP_DELETE_ALL_USERS));

    AddButton(kStatus, LoadString(IDS_STATUS), {}, LoadString(IDS_TIP_STATUS));
    AddButton(kCancel, LoadString(IDS_CANCEL), {}, LoadString(IDS_TIP_CANCEL));

    // The state of a page that was just created or reset (the combo starts at entry 0).
    for (int id : {kFpVerification, kFormatDravik, kFpMatching, kUser}) {
        SetCheck(id, true);
    }
    for (int id : kMasterControls) {
        Enable(id, false);
    }
    Enable(kBackupUpdate, false);
    Show(kBackupUpdate, false);
}

void CBasicDlg::ContinueAfterQuality(int /*reason*/) {}

void CBasicDlg::StartRegistration() {}

void CBasicDlg::StartRegistrationFlowA() {}

void CBasicDlg::StartModificationFlow() {}

}  // namespace sondrix
