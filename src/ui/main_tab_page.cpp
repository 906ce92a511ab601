#include "ui/main_tab_page.h"

#include <algorithm>
#include <filesystem>

#include "app/sondrix_dlg.h"
#include "imaging/byte_writer.h"
#include "link/command_table.h"
#include "link/model_table.h"
#include "link/option_numbers.h"
#include "platform/native_file.h"
#include "platform/replacing_file.h"
#include "ui/strings.h"
#include "ui/strings_users.h"

namespace sondrix {

CImageDlg::CImageDlg(CSondrixDlg& main)
    : CPageBase(main, "main", "Main"), imageBuffer(kImageBufferSize, 0) {
    const std::string getImage = LoadString(IDS_MAIN_GROUP_GET_IMAGE);
    const std::string continuous = LoadString(IDS_MAIN_GROUP_CONTINUOUS);
    const std::string commands = LoadString(IDS_MAIN_GROUP_COMMANDS);
    const std::string information = LoadString(IDS_MAIN_GROUP_MODULE_INFO);
    const std::string connect = LoadString(IDS_MAIN_GROUP_CONNECT);
    const std::string quickMenu = LoadString(IDS_MAIN_GROUP_QUICK_MENU);

    AddControl(kImage, EControlKind::Picture).group = getImage;
    AddButton(kCapture, LoadString(IDS_MAIN_CAPTURE), getImage, LoadString(IDS_TIP_CAPTURE));
    AddButton(kOpen, LoadString(IDS_MAIN_OPEN), getImage, LoadString(IDS_TIP_OPEN_RAW));
    AddButton(kSave, LoadString(IDS_MAIN_SAVE), getImage, LoadString(IDS_TIP_SAVE_RAW));
    AddButton(kColor, LoadString(IDS_MAIN_COLOR), getImage);

    AddButton(kContinuous, LoadString(IDS_CAPTURE_START), continuous,
              LoadString(IDS_TIP_CAPTURE_CONTINUOUS));
    AddStatic(kSucceededCount, LoadString(IDS_MAIN_SUCCEEDED), continuous, "0");
    AddStatic(kFailedCount, LoadString(IDS_MAIN_FAILED), continuous, "0");

    AddButton(kConnect, LoadString(IDS_MAIN_CONNECT), commands, LoadString(IDS_TIP_CONNECT));
    AddButton(kStatus, LoadString(IDS_STATUS), commands, LoadString(IDS_TIP_STATUS));
    AddButton(kCancel, LoadString(IDS_CANCEL), commands, LoadString(IDS_TIP_CANCEL));
    AddButton(kTtl, LoadString(IDS_MAIN_TTL), commands);

    AddCombo(kBaudRate, LoadString(IDS_MAIN_BAUD_RATE), connect,
             {LoadString(IDS_BAUD_9600), LoadString(IDS_BAUD_14400), LoadString(IDS_BAUD_19200),
              LoadString(IDS_BAUD_38400), LoadString(IDS_BAUD_57600), LoadString(IDS_BAUD_115200)});
    AddCombo(kPort, LoadString(IDS_LABEL_PORT), connect,
             {LoadString(IDS_PORT_COM1), LoadString(IDS_PORT_COM2), LoadString(IDS_PORT_COM3),
              LoadString(IDS_PORT_COM4), LoadString(IDS_PORT_COM5), LoadString(IDS_PORT_COM6),
              LoadString(IDS_PORT_COM7), LoadString(IDS_PORT_COM8)});
    AddStatic(kSearchRate, {}, connect);

    AddButton(kFpVerify, LoadString(IDS_MAIN_FP_VERIFY), quickMenu, LoadString(IDS_TIP_VERIFY));
    AddButton(kPwVerify, LoadString(IDS_MAIN_PW_VERIFY), quickMenu, LoadString(IDS_TIP_VERIFY));
    AddButton(kIdentify, LoadString(IDS_MAIN_IDENTIFY), quickMenu, LoadString(IDS_TIP_IDENTIFY));
    AddButton(kEnterMaster, LoadString(IDS_ENTER_MASTER), quickMenu,
              LoadString(IDS_TIP_ENTER_MASTER));
    AddButton(kUserRegister, LoadString(IDS_MAIN_USER_REGISTER), quickMenu,
              LoadString(IDS_TIP_REGISTER));
    AddButton(kDelete, LoadString(IDS_DELETE), quickMenu, LoadString(IDS_TIP_DELETE_USER));

    AddStatic(kDeviceName, LoadString(IDS_MAIN_DEVICE_NAME), information);
    AddStatic(kFwVersion, LoadString(IDS_MAIN_FW_VERSION), information);
    AddStatic(kInfoPort, LoadString(IDS_MAIN_INFO_PORT), information);
    AddStatic(kInfoBaudRate, LoadString(IDS_MAIN_INFO_BAUD_RATE), information);
    AddStatic(kUserCounts, LoadString(IDS_MAIN_USER_COUNTS), information);
    AddStatic(kInfoStatus, LoadString(IDS_MAIN_INFO_STATUS), information);

    // Page creation: nothing but Connect works before a connection.
    for (int id : kCommandButtons) {
        Enable(id, false);
    }
    for (int id : kMasterButtons) {
        Enable(id, false);
    }
    for (int id : {kColor, kTtl}) {
        Enable(id, false);
        Show(id, false);
    }

    std::fill_n(imageBuffer.begin(), kClearedBytes, uint8_t{0xFF});
    for (size_t i = 0; i < greyPalette.size(); ++i) {
        const auto grey = static_cast<uint8_t>(i);
        greyPalette[i] = SRgb{grey, grey, grey};
    }
}

void CImageDlg::OnCommand(int id) {
    CSondrixDlg& main = Main();
    if (id == kCapture) {
        std::fill_n(imageBuffer.begin(), kClearedBytes, 0xFF);
        CaptureProcedure();
    } else if (id == kOpen) {
        OpenImageFile();
    } else if (id == kSave) {
        SaveImageFile();
    } else if (id == kStatus) {
        main.PacketManager().SendGetStatus();
    } else if (id == kCancel) {
        main.cancelPending = 1;
        main.PacketManager().abortReceive = 1;
        main.PacketManager().SendCommand(CMD_CANCEL);
    } else if (id == kConnect) {
        if (Main().moduleConnected == 0) {
            Connect();
        } else {
            Disconnect();
        }
    } else if (id == kContinuous) {
        ToggleContinuousCapture();
    } else if (id == kColor) {
        ColourCapture();
    } else if (id == kFpVerify || id == kPwVerify) {
        QuickVerify(id == kPwVerify);
    } else if (id == kIdentify) {
        QuickIdentify();
    } else if (id == kEnterMaster) {
        QuickEnterMaster();
    } else if (id == kUserRegister) {
        QuickRegister();
    } else if (id == kDelete) {
        QuickDelete();
    }
}

void CImageDlg::ToggleContinuousCapture() {
    CSondrixDlg& main = Main();
    if (main.continuousCapture == 0) {
        EnableCommandButtons(false);
        Enable(kContinuous, true);
        SetText(kContinuous, LoadString(IDS_CAPTURE_END));
        main.continuousCapture = 1;
        discardNextImage = 0;
        CaptureProcedure();
        return;
    }
    EnableCommandButtons(true);
    SetText(kContinuous, LoadString(IDS_CAPTURE_START));
    main.continuousCapture = 0;
    // The capture under way still answers: its image is dropped unseen.
    discardNextImage = 1;
    main.transferBusy = 0;
}

void CImageDlg::ContinueCapture(bool succeeded) {
    if (succeeded) {
        ++succeededCount;
        SetText(kSucceededCount, std::to_string(succeededCount));
        const size_t pixels = static_cast<size_t>(imageWidth) * imageHeight;
        std::fill_n(imageBuffer.begin(), std::min(pixels, imageBuffer.size()), uint8_t{0xFF});
        Changed(kImage);
    } else {
        ++failedCount;
        SetText(kFailedCount, std::to_string(failedCount));
    }
    CaptureProcedure();
}

void CImageDlg::ColourCapture() {
    CSondrixDlg& main = Main();
    std::fill_n(imageBuffer.begin(), kColourCleared, uint8_t{0xFF});
    main.popupMsg.message = LoadString(IDS_PLACE_FINGER);
    if (main.Ui().RunModal(main.popupMsg) != IDOK) {
        return;
    }
    main.cancelPending = 0;
    main.PacketManager().SendCaptureColorImage(0);
}

void CImageDlg::StoreColourChunk(size_t offset, const uint8_t* bytes, size_t count) {
    if (offset < kColourBytes) {
        std::copy_n(bytes, std::min(count, kColourBytes - offset),
                    imageBuffer.begin() + static_cast<std::ptrdiff_t>(offset));
    }
}

bool CImageDlg::WriteColourImage() {
    // A 24-bit bottom-up bitmap whose rows need no padding (960 bytes each):
    // the module sends the pixel rows in file order.
    std::array<uint8_t, 54> header{};
    CByteWriter out(header.data(), header.size());
    out.U16LE(0x4D42);  // "BM"
    out.U32LE(static_cast<uint32_t>(header.size() + kColourBytes));
    out.U32LE(0);
    out.U32LE(static_cast<uint32_t>(header.size()));
    out.U32LE(40);
    out.U32LE(kColourWidth);
    out.U32LE(kColourHeight);
    out.U16LE(1);
    out.U16LE(24);
    // Beside the records when those go to the user's folder, else in the working folder.
    const SWritableFolder& place = Main().writableFolder;
    const std::filesystem::path path =
        place.perUser ? place.folder / kColourFile : std::filesystem::path(kColourFile);
    std::string reason;
    bool written = Main().PrepareFolder(place.folder, reason);
    if (written) {
        CReplacingFile file(path);
        written = file.Open() && file.Write(header) &&
                  file.Write({imageBuffer.data(), kColourBytes}) && file.Commit();
        if (!written) {
            reason = file.Error();
        }
    }
    if (!written) {
        Main().Ui().MessageBox(
            LoadString(IDS_COLOR_IMAGE_NOT_STORED) + Utf8FromPath(path) + " (" + reason + ")",
            EIcon::Stop);
    }
    return written;
}

bool CImageDlg::AskText(EStringId prompt, size_t maxLength, bool masked, std::string& text) {
    CSondrixDlg& main = Main();
    main.popupId.prompt = LoadString(prompt);
    main.popupId.maxLength = maxLength;
    main.popupId.masked = masked ? 1 : 0;
    if (main.Ui().RunModal(main.popupId) != IDOK) {
        return false;
    }
    text = main.popupId.input;
    return true;
}

void CImageDlg::QuickVerify(bool withPassword) {
    CSondrixDlg& main = Main();
    // Each field keeps its terminating zero.
    std::string id;
    std::string password;
    if (!AskText(IDS_MAIN_PROMPT_ID, static_cast<size_t>(main.idLength - 1), false, id)) {
        return;
    }
    if (withPassword && !AskText(IDS_MAIN_PROMPT_PASSWORD,
                                 static_cast<size_t>(main.passwordLength - 1), true, password)) {
        return;
    }
    if (!withPassword) {
        main.ShowMessage(LoadString(IDS_PLACE_FINGER));
    }
    main.PacketManager().SendVerify(withPassword, id, password);
}

void CImageDlg::QuickIdentify() {
    Main().ShowMessage(LoadString(IDS_PLACE_FINGER));
    Main().PacketManager().SendCommand(CMD_IDENTIFY, 1, 0);
}

void CImageDlg::QuickEnterMaster() {
    CSondrixDlg& main = Main();
    CBasicDlg& auth = main.basicDlg;
    auth.SetCheck(CBasicDlg::kFpMatching, true);
    for (int id :
         {CBasicDlg::kPwMatching, CBasicDlg::kInstantMatchingMethod, CBasicDlg::kDevicePassword}) {
        auth.SetCheck(id, false);
    }
    if (main.masterMode == 1) {
        main.PacketManager().SendCommand(CMD_LEAVE_MASTER_MODE);
        return;
    }
    masterEntry = 1;
    main.PacketManager().SendCommand(CMD_ENTER_MASTER_MODE, 3, 0);
}

void CImageDlg::QuickRegister() {
    CSondrixDlg& main = Main();
    CBasicDlg& auth = main.basicDlg;
    auth.SetCheck(CBasicDlg::kAutoGenerateId, true);
    auth.SetCheck(CBasicDlg::kDifferentFinger, false);
    auth.SetCheck(CBasicDlg::kUser, true);
    auth.SetCheck(CBasicDlg::kMaster, false);
    auth.authority = 0;
    const SModuleFamily family = main.Family();
    if (family.SpeaksSb() || family.NewSeries()) {
        auth.StartRegistration();
    } else if (family.SpeaksSa()) {
        // Those modules register by their template mode: read it first.
        main.configuration.pendingAction = CConfiguration::kRegistration;
        main.PacketManager().SendGetSystemOption(kOptionTemplateMode);
    }
}

void CImageDlg::QuickDelete() {
    CSondrixDlg& main = Main();
    std::string id;
    if (!AskText(IDS_MAIN_PROMPT_ID, static_cast<size_t>(main.idLength - 1), false, id)) {
        return;
    }
    // The answer is this tab's, not a step of the DataBase tab's deletion run.
    main.dbDlg.dbDeletion = 0;
    main.PacketManager().SendDeleteUser(id);
}

void CImageDlg::Connect() {
    if (autoSearchCount != 0) {
        Attempt();  // a search under way goes on at its rate
        return;
    }
    ConnectTo(SelectedPortName(),
              kLineRates[static_cast<size_t>(std::max(0, Selection(kBaudRate)))]);
}

void CImageDlg::ConnectTo(const std::string& portName, uint32_t firstRate) {
    CSondrixDlg& main = Main();
    autoSearchCount = 0;
    main.portName = portName;
    main.baudRate = firstRate;
    Attempt();
}

void CImageDlg::AbandonConnect() {
    CSondrixDlg& main = Main();
    KillTimer(kConnectTimer);
    autoSearchCount = 0;
    SetText(kSearchRate, {});
    main.portOpen = 0;
    main.PacketManager().port.Close();
}

void CImageDlg::Attempt() {
    CSondrixDlg& main = Main();
    CCommPort& port = main.PacketManager().port;
    if (main.portOpen == 0) {
        if (port.Open(main.portName, main.baudRate, 0)) {
            main.portOpen = 1;
        } else if (autoSearchCount != 0 && port.RateRefused()) {
            // The port opened at the chosen rate, so it is there: a driver that
            // refuses this rate (14400 is not a standard rate everywhere) only
            // takes this rate out of the search.
            SetTimer(kConnectTimer, kConnectWaitMs);
            return;
        } else {
            // A port that went away or that another program took meanwhile
            // ends the search: no module could answer there.
            autoSearchCount = 0;
            // Beyond the port name, say which device it was and why it failed
            // (the device's own reason may begin with the port name already).
            const std::string& reason = port.LastError();
            const std::string text =
                LoadString(IDS_CANNOT_OPEN_PORT) + (reason.starts_with(main.portName + " ")
                                                        ? reason
                                                        : main.portName + " (" + reason + ")");
            main.Ui().MessageBox(text, EIcon::Stop);
            main.FailureOutcome(text, EFailure::Port);
        }
    }
    if (main.portOpen == 1) {
        main.PacketManager().SendCommand(CMD_CONNECT);
        SetTimer(kConnectTimer, kConnectWaitMs);
        SetText(kSearchRate, FormatUserString(IDS_MAIN_TRYING_RATE, main.baudRate,
                                              autoSearchCount + 1, kConnectAttempts));
    } else {
        SetText(kSearchRate, {});
    }
}

void CImageDlg::OnTimer(uint32_t id) {
    if (id != kConnectTimer) {
        return;
    }
    CSondrixDlg& main = Main();
    KillTimer(kConnectTimer);
    main.moduleConnected = 0;
    main.portOpen = 0;
    main.PacketManager().port.Close();
    Loop().Sleep(200);
    // The chosen rate first, then every rate from the slowest up.
    const int tried = autoSearchCount++;
    if (autoSearchCount >= kConnectAttempts) {
        autoSearchCount = 0;
        SetText(kSearchRate, {});
        main.Ui().MessageBox(LoadString(IDS_CONNECTION_FAILED));
        main.FailureOutcome(LoadString(IDS_CONNECTION_FAILED), EFailure::NoModule);
        return;
    }
    main.baudRate = kLineRates[static_cast<size_t>(tried)];
    Attempt();
}

void CImageDlg::ShowConnected(uint32_t userCount) {
    CSondrixDlg& main = Main();
    autoSearchCount = 0;
    SetText(kSearchRate, {});
    main.moduleConnected = 1;
    SetText(kUserCounts, std::to_string(userCount));
    SetText(kInfoBaudRate, std::to_string(main.baudRate));
    SetText(kInfoPort, main.portName);
    ShowPortTooltip();
    EnableCommandButtons(true);
    Enable(kPort, false);
    Enable(kBaudRate, false);
    Enable(kUserRegister, false);
    Enable(kDelete, false);
    SetText(kConnect, LoadString(IDS_MAIN_DISCONNECT));
    SetText(kEnterMaster, LoadString(IDS_ENTER_MASTER));
    main.dbDlg.Reset();
    const auto row = std::find(kLineRates.begin(), kLineRates.end(), main.baudRate);
    if (row != kLineRates.end()) {
        SetSelection(kBaudRate, static_cast<int>(row - kLineRates.begin()));
    }
}

void CImageDlg::Disconnect() {
    CSondrixDlg& main = Main();
    if (main.continuousCapture == 1 || main.autoOnMode == 1) {
        const std::string text = LoadString(main.continuousCapture == 1 ? IDS_DISCONNECT_CONTINUOUS
                                                                        : IDS_DISCONNECT_AUTO_ON);
        main.ShowMessage(text);
        main.Ui().MessageBox(text);
        return;
    }
    KillTimer(kConnectTimer);
    SetText(kSearchRate, {});
    EnableCommandButtons(false);
    Enable(kPort, true);
    Enable(kBaudRate, true);
    for (CPageBase* page :
         {static_cast<CPageBase*>(&main.basicDlg), static_cast<CPageBase*>(&main.systemDlg),
          static_cast<CPageBase*>(&main.dbDlg), static_cast<CPageBase*>(&main.userDlg)}) {
        page->Reset();
    }
    std::fill(imageBuffer.begin(), imageBuffer.end(), 0xFF);
    imagePresent = 0;
    for (int id : {kDeviceName, kFwVersion, kInfoPort, kInfoBaudRate, kUserCounts, kInfoStatus}) {
        SetText(id, {});
    }
    succeededCount = 0;
    failedCount = 0;
    SetText(kSucceededCount, "0");
    SetText(kFailedCount, "0");
    SetText(kConnect, LoadString(IDS_MAIN_CONNECT));
    // A transfer still under way ends with the line.
    main.transferBusy = 0;
    main.masterMode = 0;
    main.emulationMode = kNoEmulation;
    main.moduleConnected = 0;
    main.portOpen = 0;
    main.PacketManager().port.Close();
    main.PacketManager().ResetParser();
    // An entry kept for the open line goes if its device has gone meanwhile.
    ShowPortChoices();
    Loop().Sleep(200);
}

void CImageDlg::SetPortChoices(std::vector<SPortChoice> choices) {
    m_discoveredChoices = std::move(choices);
    ShowPortChoices();
}

void CImageDlg::ShowPortChoices() {
    const std::string chosen = SelectedPortName();
    std::vector<SPortChoice> shown = m_discoveredChoices;
    const auto named = [&](const SPortChoice& c) { return c.portName == chosen; };
    const auto current = std::find_if(m_shownChoices.begin(), m_shownChoices.end(), named);
    if (Main().portOpen == 1 && current != m_shownChoices.end() &&
        std::none_of(shown.begin(), shown.end(), named)) {
        shown.push_back(*current);
    }
    m_shownChoices = std::move(shown);
    std::vector<std::string> items = Control(kPort).items;
    items.resize(CPortMap::kPortCount);
    for (const SPortChoice& choice : m_shownChoices) {
        items.push_back(choice.label);
    }
    SetItems(kPort, std::move(items));
    int selection = std::max(0, CPortMap::PortNumber(chosen) - 1);
    const auto found = std::find_if(m_shownChoices.begin(), m_shownChoices.end(), named);
    if (found != m_shownChoices.end()) {
        selection = CPortMap::kPortCount + static_cast<int>(found - m_shownChoices.begin());
    }
    SetSelection(kPort, selection);
    ShowPortTooltip();
}

std::string CImageDlg::SelectedPortName() const {
    const int selection = std::max(0, Selection(kPort));
    if (selection < CPortMap::kPortCount) {
        return "COM" + std::to_string(selection + 1);
    }
    const size_t index = static_cast<size_t>(selection - CPortMap::kPortCount);
    return index < m_shownChoices.size() ? m_shownChoices[index].portName : std::string();
}

std::string CImageDlg::SelectedByIdPath() const {
    const int selection = Selection(kPort) - CPortMap::kPortCount;
    return selection >= 0 && static_cast<size_t>(selection) < m_shownChoices.size()
               ? m_shownChoices[static_cast<size_t>(selection)].byId
               : std::string();
}

bool CImageDlg::SelectByIdPath(const std::string& byId) {
    for (size_t i = 0; i < m_shownChoices.size() && !byId.empty(); ++i) {
        if (m_shownChoices[i].byId == byId) {
            SetSelection(kPort, CPortMap::kPortCount + static_cast<int>(i));
            ShowPortTooltip();
            return true;
        }
    }
    return false;
}

void CImageDlg::SetPortNotes(std::string notes) {
    m_portNotes = std::move(notes);
    ShowPortTooltip();
}

void CImageDlg::OnSelChange(int id) {
    if (id == kPort) {
        ShowPortTooltip();
    }
}

void CImageDlg::ShowPortTooltip() {
    std::string tooltip = m_portNotes;
    const int selection = Selection(kPort) - CPortMap::kPortCount;
    if (selection >= 0 && static_cast<size_t>(selection) < m_shownChoices.size()) {
        const SPortChoice& choice = m_shownChoices[static_cast<size_t>(selection)];
        tooltip += (tooltip.empty() ? "" : "\n") + choice.portName + ": " + choice.detail;
    }
    const CSondrixDlg& main = Main();
    if (main.moduleConnected == 1 && main.portName == SelectedPortName()) {
        tooltip += (tooltip.empty() ? "" : "\n") + std::string("Low latency: ") +
                   (Main().PacketManager().port.LowLatency() ? "on" : "off");
    }
    SetTooltip(kPort, std::move(tooltip));
}

void CImageDlg::CaptureProcedure() {
    CSondrixDlg& main = Main();
    main.transferBusy = 1;
    if (main.continuousCapture == 1) {
        main.ShowMessage(LoadString(IDS_PLACE_FINGER));
    } else {
        main.popupMsg.message = LoadString(IDS_PLACE_FINGER);
        if (main.Ui().RunModal(main.popupMsg) != IDOK) {
            main.transferBusy = 0;
            return;
        }
    }
    StartCapture();
}

void CImageDlg::StartCapture() {
    CSondrixDlg& main = Main();
    main.transferBusy = 1;
    if (main.continuousCapture == 0 && main.firmwareVersion == kStaleImageFirmware) {
        main.repeatCapture = 1;
    }
    main.cancelPending = 0;
    main.PacketManager().SendCaptureImage(0);
}

void CImageDlg::StoreImageChunk(size_t offset, const uint8_t* bytes, size_t count) {
    const size_t limit =
        std::min(imageBuffer.size(), static_cast<size_t>(imageWidth) * imageHeight);
    if (offset < limit) {
        std::copy_n(bytes, std::min(count, limit - offset),
                    imageBuffer.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    imagePresent = 1;
    Changed(kImage);
}

void CImageDlg::EnableCommandButtons(bool enable) {
    for (int id : kCommandButtons) {
        Enable(id, enable);
    }
    for (int id : kMasterButtons) {
        Enable(id, enable && Main().masterMode == 1);
    }
}

bool CImageDlg::SelectImageSize(uint32_t modelCode) {
    const SModelInfo* model = FindModelByCode(modelCode);
    if (!model || model->imageWidth == 0) {
        Main().Ui().MessageBox(LoadString(IDS_FILE_SIZE_NOT_SUPPORTED), EIcon::Information);
        return false;
    }
    imageWidth = model->imageWidth;
    imageHeight = model->imageHeight;
    if (model->idFieldLength != 0) {
        Main().idLength = model->idFieldLength;
    }
    return true;
}

}  // namespace sondrix
