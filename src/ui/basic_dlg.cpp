#include "ui/basic_dlg.h"

#include <algorithm>

#include "app/sondrix_dlg.h"
#include "files/template_file.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "platform/native_file.h"
#include "ui/strings_users.h"

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

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

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
    m_beforeAutoOn.fill(true);
}

void CBasicDlg::Reset() {
    SelectRadio(kVerificationRadios, kFpVerification);
    SelectRadio(kFormatRadios, kFormatDravik);
    SelectRadio(kMasterMethodRadios, kFpMatching);
    SelectRadio(kAuthorityRadios, kUser);
    SetCheck(kAutoGenerateId, false);
    SetCheck(kDifferentFinger, false);
    authority = 0;
    for (int id : kMasterControls) {
        Enable(id, false);
    }
    SetSelection(kModificationType, 0);
    modificationType = 0;
    for (int id : {kFormatQdxA, kFormatIso, kFormatAnsi, kAutoOn, kInstantMatchingMethod,
                   kInstantMatching, kInstantVerification, kInstantIdentification}) {
        Enable(id, true);
    }
    SetText(kEnterMaster, LoadString(IDS_ENTER_MASTER_MODE_LOWER));
    SetText(kAutoOn, LoadString(IDS_AUTH_AUTO_ON_ENABLE));
    for (int id : {kRegistrationId, kPassword, kDeletionId, kModificationId}) {
        SetText(id, {});
    }
    registrationId.clear();
    password.clear();
    deletionId.clear();
    modificationId.clear();
    series2 = 0;
    ApplyEditLimits();
    Main().registration.Reset();
    m_beforeAutoOn.fill(true);
}

void CBasicDlg::SelectRadio(std::span<const int> group, int id) {
    for (int radio : group) {
        SetCheck(radio, radio == id);
    }
}

void CBasicDlg::OnCommand(int id) {
    CSondrixDlg& main = Main();
    CPacketManagerWnd& link = main.PacketManager();
    switch (id) {
        case kVerification:
            Verification();
            break;
        case kFpVerification:
        case kPwVerification:
            SelectRadio(kVerificationRadios, id);
            break;
        case kIdentification:
            main.ShowMessage(LoadString(IDS_PLACE_FINGER));
            link.SendCommand(CMD_IDENTIFY, 1);
            break;
        case kGetTemplate:
            GetTemplate();
            break;
        case kFormatDravik:
        case kFormatQdxA:
        case kFormatIso:
        case kFormatAnsi:
            SelectRadio(kFormatRadios, id);
            break;
        case kAutoOn:
            link.SendCommand(CMD_AUTO_ON, main.autoOnMode == 0 ? 1 : 0);
            break;
        case kEnterMaster:
            if (main.masterMode == 1) {
                link.SendCommand(CMD_LEAVE_MASTER_MODE);
            } else {
                // An entry of this page: the answer asks here for credentials.
                main.imageDlg.masterEntry = 0;
                link.SendCommand(CMD_ENTER_MASTER_MODE, 3);
            }
            break;
        case kFpMatching:
        case kPwMatching:
        case kInstantMatchingMethod:
        case kDevicePassword:
            SelectRadio(kMasterMethodRadios, id);
            break;
        case kInstantMatching:
            InstantMatching();
            break;
        case kInstantVerification:
            InstantVerification();
            break;
        case kInstantIdentification:
            InstantIdentification();
            break;
        case kFirmwareUpdate:
            StartFirmwareUpdate(false);
            break;
        case kBackupUpdate:
            StartFirmwareUpdate(true);
            break;
        case kStatus:
            link.SendGetStatus();
            break;
        case kCancel:
            link.SendCommand(CMD_CANCEL);
            break;
        case kModify:
            StartModification();
            break;
        case kAutoGenerateId: {
            const bool typed = !IsChecked(kAutoGenerateId);
            Enable(kRegistrationId, typed);
            Enable(kPassword, typed);
            break;
        }
        case kUser:
        case kMaster:
            SelectRadio(kAuthorityRadios, id);
            authority = id == kMaster ? 1 : 0;
            break;
        case kRegister:
            StartRegistration();
            break;
        case kDelete:
            DeleteUsers(false);
            break;
        case kDeleteAll:
            DeleteUsers(true);
            break;
        default:
            break;
    }
}

void CBasicDlg::OnEditChange(int id) {
    if (id == kRegistrationId || id == kDeletionId || id == kModificationId) {
        CheckIdEdit(id);
    } else if (id == kPassword) {
        CheckPasswordEdit();
    }
}

void CBasicDlg::OnSelChange(int id) {
    if (id == kModificationType) {
        CheckModificationType();
    }
}

void CBasicDlg::CheckIdEdit(int id) {
    std::string text = Text(id);
    // The ID field keeps one byte for the terminating zero.
    const size_t field = static_cast<size_t>(std::max(Main().idLength, 1));
    if (text.size() >= field) {
        SetText(id, {});
        Main().Ui().MessageBox(LoadString(IDS_TOO_LONG_DATA));
        text.clear();
    } else if (!AllDigits(text)) {
        // Checked whole, so that pasted text cannot slip a letter in.
        SetText(id, {});
        text.clear();
    }
    const bool master = Main().masterMode == 1 && Main().autoOnMode == 0;
    if (id == kRegistrationId) {
        registrationId = text;
    } else if (id == kDeletionId) {
        deletionId = text;
        Enable(kDelete, master && !text.empty());
    } else {
        modificationId = text;
        Enable(kModify, master && !text.empty());
    }
}

void CBasicDlg::CheckPasswordEdit() {
    const std::string text = Text(kPassword);
    if (text.size() >= CRegistration::kPasswordField) {
        SetText(kPassword, {});
        Main().Ui().MessageBox(LoadString(IDS_TOO_LONG_DATA));
    } else if (!AllDigits(text)) {
        SetText(kPassword, {});
        Main().Ui().MessageBox(LoadString(IDS_NUMERAL_ONLY));
    }
    password = Text(kPassword);
}

void CBasicDlg::ApplyEditLimits() {
    const size_t idLimit = series2 != 0 ? kSeries2IdLimit : kEditLimit;
    for (int id : {kRegistrationId, kDeletionId, kModificationId}) {
        SetLimit(id, idLimit);
    }
    SetLimit(kPassword, series2 != 0 ? kSeries2PasswordLimit : kEditLimit);
}

void CBasicDlg::CheckModificationType() {
    const CSondrixDlg& main = Main();
    const int index = Selection(kModificationType);
    const bool emulation = main.emulationMode == 1 || main.emulationMode == 2;
    const bool newSeries = main.moduleSeries == 4 || main.moduleSeries == 5;
    std::string refusal;
    if (emulation || newSeries) {
        // These modules change templates only through records.
        if (index >= 3) {
            refusal = LoadString(IDS_NOT_SUPPORTED_FUNCTION);
        }
    } else if (main.moduleSeries == 2 && (index == 3 || index == 4)) {
        refusal = LoadString(IDS_NOT_SUPPORTED_FUNCTION);
    } else if (main.templateMode == 2 && (index == 5 || index == 6 || index == 9 || index == 10)) {
        // One template per user: there is no second finger to change.
        refusal = FormatUserString(IDS_TEMPLATE_MODE_REFUSED, 2);
    }
    if (!refusal.empty()) {
        Main().Ui().MessageBox(refusal, EIcon::Stop);
        SetSelection(kModificationType, 0);
    }
    modificationType = std::max(Selection(kModificationType), 0);
}

bool CBasicDlg::AskText(int prompt, bool masked, size_t maxLength, std::string& text) {
    CSondrixDlg& main = Main();
    CPopupIdDlg& popup = main.popupId;
    popup.prompt = LoadString(prompt);
    popup.masked = masked ? 1 : 0;
    popup.maxLength = maxLength;
    if (main.Ui().RunModal(popup) != IDOK) {
        return false;
    }
    text = popup.input;
    return true;
}

bool CBasicDlg::AskId(std::string& id) {
    const size_t field = static_cast<size_t>(std::max(Main().idLength, 1));
    return AskText(IDS_MAIN_PROMPT_ID, false, field - 1, id);
}

bool CBasicDlg::AskPassword(std::string& text) {
    return AskText(IDS_MAIN_PROMPT_PASSWORD, true, CRegistration::kPasswordField - 1, text);
}

bool CBasicDlg::AskNumber(int prompt, uint32_t& value) {
    std::string text;
    if (!AskText(prompt, false, 1, text)) {
        return false;
    }
    if (text.empty() || !AllDigits(text)) {
        Main().Ui().MessageBox(LoadString(IDS_NUMERAL_ONLY));
        return false;
    }
    value = static_cast<uint32_t>(std::stoul(text));
    return true;
}

bool CBasicDlg::OpenTemplateFile(bool allFiles, std::vector<uint8_t>& bytes) {
    CSondrixDlg& main = Main();
    SFileDialog request;
    request.filter = LoadString(allFiles ? IDS_MIN_FILTER_ALL : IDS_MIN_FILTER);
    request.defaultExtension = LoadString(IDS_MIN_EXTENSION);
    request.mustExist = true;
    const std::vector<std::string> chosen = main.Ui().FileDialog(request);
    if (chosen.empty()) {
        return false;
    }
    switch (LoadTemplateFile(PathFromUtf8(chosen.front()), bytes)) {
        case EFileStatus::Ok:
            if (!bytes.empty()) {
                return true;
            }
            // An empty file holds no template the module could match.
            main.Ui().MessageBox(LoadString(IDS_EMPTY_TEMPLATE_FILE), EIcon::Stop);
            return false;
        case EFileStatus::TooBig:
            main.Ui().MessageBox(LoadString(IDS_SIZE_TOO_BIG));
            return false;
        case EFileStatus::NotFound:
            main.Ui().MessageBox(LoadString(IDS_FILE_NOT_EXISTED), EIcon::Stop);
            return false;
        default:
            main.Ui().MessageBox(LoadString(IDS_INVALID_FILE), EIcon::Stop);
            return false;
    }
}

void CBasicDlg::SentOrRefused(bool sent) {
    if (!sent) {
        Main().Ui().MessageBox(LoadString(IDS_SIZE_TOO_BIG));
    }
}

void CBasicDlg::Verification() {
    CSondrixDlg& main = Main();
    std::string id;
    if (!AskId(id)) {
        return;
    }
    if (IsChecked(kFpVerification)) {
        main.ShowMessage(LoadString(IDS_PLACE_FINGER));
        main.PacketManager().SendVerify(false, id, {});
        return;
    }
    main.ShowMessage(LoadString(IDS_MAIN_PROMPT_PASSWORD));
    std::string secret;
    if (AskPassword(secret)) {
        main.PacketManager().SendVerify(true, id, secret);
    }
}

void CBasicDlg::GetTemplate() {
    CSondrixDlg& main = Main();
    main.popupMsg.message = LoadString(IDS_PLACE_FINGER);
    if (main.Ui().RunModal(main.popupMsg) != IDOK) {
        return;
    }
    const auto format = std::find_if(kFormatRadios.begin(), kFormatRadios.end(),
                                     [this](int radio) { return IsChecked(radio); });
    const auto selector =
        format == kFormatRadios.end() ? 0 : static_cast<uint32_t>(format - kFormatRadios.begin());
    main.PacketManager().SendGetTemplate(selector);
}

void CBasicDlg::InstantMatching() {
    CSondrixDlg& main = Main();
    std::vector<uint8_t> bytes;
    if (!OpenTemplateFile(false, bytes)) {
        return;
    }
    uint32_t selector = 0;
    if (main.moduleSeries == 2 || main.emulationMode == 2) {
        // These modules are told the file's template format.
        main.popupRadio.restriction = 1;
        if (main.Ui().RunModal(main.popupRadio) != IDOK) {
            return;
        }
        switch (main.popupRadio.templateFormat) {
            case 4:
                selector = 1;  // QDX-A
                break;
            case 2:
            case 3:
                selector = static_cast<uint32_t>(main.popupRadio.templateFormat);
                break;
            default:
                selector = 0;
                break;
        }
    }
    SentOrRefused(main.PacketManager().SendInstantMatch(bytes, selector));
}

void CBasicDlg::InstantVerification() {
    std::string id;
    std::vector<uint8_t> bytes;
    if (!AskId(id) || !OpenTemplateFile(false, bytes)) {
        return;
    }
    // The ID field goes in front of the template: both must fit one packet.
    SentOrRefused(Main().PacketManager().SendInstantVerify(id, bytes));
}

void CBasicDlg::InstantIdentification() {
    std::vector<uint8_t> bytes;
    if (OpenTemplateFile(false, bytes)) {
        SentOrRefused(Main().PacketManager().SendInstantIdentify(bytes));
    }
}

void CBasicDlg::DeleteUsers(bool all) {
    CSondrixDlg& main = Main();
    if (main.Ui().MessageBox(LoadString(IDS_SURE_TO_DELETE), EIcon::Question, EButtons::YesNo) !=
        EAnswer::Yes) {
        return;
    }
    // Not a deletion of the DataBase tab's rows.
    main.dbDlg.dbDeletion = 0;
    if (all) {
        main.PacketManager().SendCommand(CMD_DELETE_ALL, 0);
    } else {
        main.PacketManager().SendDeleteUser(deletionId);
    }
}

void CBasicDlg::SetAutoOnControls(bool enable) {
    CSondrixDlg& main = Main();
    SetText(kAutoOn, LoadString(enable ? IDS_AUTH_AUTO_ON_ENABLE : IDS_AUTH_AUTO_ON_DISABLE));
    // An HLX-SB module matches host templates while it identifies by itself.
    const bool keepInstant = main.emulationMode == 2;
    for (size_t i = 0; i < kAutoOnControls.size(); ++i) {
        const int id = kAutoOnControls[i];
        if (keepInstant && (id == kInstantVerification || id == kInstantIdentification)) {
            continue;
        }
        if (enable) {
            Enable(id, m_beforeAutoOn[i]);
        } else {
            m_beforeAutoOn[i] = IsEnabled(id);
            Enable(id, false);
        }
    }
    if (enable) {
        // Their edits may have changed meanwhile.
        const bool master = main.masterMode == 1;
        Enable(kDelete, master && !deletionId.empty());
        Enable(kModify, master && !modificationId.empty());
    }
}

void CBasicDlg::SetMasterControls(bool master) {
    SetText(kEnterMaster,
            LoadString(master ? IDS_LEAVE_MASTER_MODE_LOWER : IDS_ENTER_MASTER_MODE_LOWER));
    if (!master) {
        for (int id : kMasterControls) {
            Enable(id, false);
        }
        return;
    }
    ApplyEditLimits();
    const bool typed = !IsChecked(kAutoGenerateId);
    Enable(kRegistrationId, typed);
    Enable(kPassword, typed);
    for (int id : {kAutoGenerateId, kMaster, kUser, kRegister, kModificationId, kModificationType,
                   kDeletionId, kDeleteAll}) {
        Enable(id, true);
    }
    // Only the older protocol lets the second scan be another finger.
    Enable(kDifferentFinger, LegacyLayout(Main()));
    Enable(kDelete, !deletionId.empty());
    Enable(kModify, !modificationId.empty());
}

void CBasicDlg::SendMasterCredential() {
    CPacketManagerWnd& link = Main().PacketManager();
    std::string id;
    std::string secret;
    if (IsChecked(kFpMatching)) {
        if (AskId(id)) {
            link.SendEnterMasterMode(0, id, {}, {});
        }
    } else if (IsChecked(kPwMatching)) {
        if (AskId(id) && AskPassword(secret)) {
            link.SendEnterMasterMode(1, id, secret, {});
        }
    } else if (IsChecked(kDevicePassword)) {
        if (AskPassword(secret)) {
            link.SendEnterMasterMode(2, {}, secret, {});
        }
    } else if (IsChecked(kInstantMatchingMethod)) {
        std::vector<uint8_t> bytes;
        if (AskId(id) && OpenTemplateFile(false, bytes)) {
            SentOrRefused(link.SendEnterMasterMode(4, id, {}, bytes));
        }
    }
}

void CBasicDlg::OnOutcome(const SOutcome& outcome) {
    if (outcome.kind == SOutcome::EKind::Registered) {
        SetText(kRegistrationId, {});
        SetText(kPassword, {});
        registrationId.clear();
        password.clear();
    } else if (outcome.kind == SOutcome::EKind::Modified) {
        SetText(kModificationId, {});
        modificationId.clear();
        Enable(kModify, false);
    }
}

void CBasicDlg::ReadTemplateModeFor(int action) {
    Main().configuration.pendingAction = action;
    Main().PacketManager().SendGetSystemOption(kOptionTemplateMode);
}

void CBasicDlg::StartRegistration() {
    SRegistrationRequest request;
    request.id = registrationId;
    request.password = password;
    request.authority = static_cast<uint32_t>(authority);
    request.generatedId = IsChecked(kAutoGenerateId);
    request.differentFinger = IsChecked(kDifferentFinger);
    Main().registration.Register(std::move(request));
}

void CBasicDlg::StartModification() {
    const CSondrixDlg& main = Main();
    const bool series = main.moduleSeries == 2 || main.moduleSeries == 4 || main.moduleSeries == 5;
    if (series && main.emulationMode != 1) {
        StartModificationFlow();
    } else {
        ReadTemplateModeFor(CConfiguration::kModification);
    }
}

void CBasicDlg::StartModificationFlow() {
    SModificationRequest request;
    request.type = modificationType;
    request.id = modificationId;
    switch (modificationType) {
        case 0:
        case 2:
            if (!AskNumber(modificationType == 0 ? IDS_INPUT_AUTHORITY : IDS_INPUT_SECURITY_LEVEL,
                           request.value)) {
                return;
            }
            break;
        case 1:
            if (!AskText(IDS_INPUT_NEW_PASSWORD, true, CRegistration::kPasswordField - 1,
                         request.password)) {
                return;
            }
            break;
        case 3:
        case 4:
        case 5:
        case 6:
            if (!OpenTemplateFile(false, request.templ)) {
                return;
            }
            break;
        case 7:
        case 8:
        case 9:
        case 10:
            if (!Main().Ask(EQuestion::PlaceFinger)) {
                return;
            }
            break;
        default:
            return;
    }
    Main().registration.Modify(std::move(request));
}

void CBasicDlg::SendSecondTemplate() {
    std::vector<uint8_t> bytes;
    if (OpenTemplateFile(true, bytes)) {
        Main().registration.SendSecondTemplate(bytes);
    }
}

}  // namespace sondrix
