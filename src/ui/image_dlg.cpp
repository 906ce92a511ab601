#include "ui/image_dlg.h"

#include <algorithm>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/model_table.h"
#include "ui/strings.h"

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
    }
}

void CImageDlg::Connect() {
    CSondrixDlg& main = Main();
    if (autoSearchCount == 0) {
        main.portName = "COM" + std::to_string(Selection(kPort) + 1);
        main.baudRate = kBaudRates[static_cast<size_t>(std::max(0, Selection(kBaudRate)))];
    }
    CCommPort& port = main.PacketManager().port;
    if (main.portOpen == 0) {
        if (port.Open(main.portName, main.baudRate, 0)) {
            main.portOpen = 1;
        } else {
            // Beyond the port name, say which device it was and why it failed.
            main.Ui().MessageBox(
                LoadString(IDS_CANNOT_OPEN_PORT) + main.portName + " (" + port.LastError() + ")",
                EIcon::Stop);
        }
    }
    if (main.portOpen == 1) {
        main.PacketManager().SendCommand(CMD_CONNECT);
        SetTimer(kConnectTimer, 500);
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
    if (autoSearchCount >= 7) {
        autoSearchCount = 0;
        main.Ui().MessageBox(LoadString(IDS_CONNECTION_FAILED));
        return;
    }
    main.baudRate = kBaudRates[static_cast<size_t>(tried)];
    Connect();
}

void CImageDlg::ShowConnected(uint32_t userCount) {
    CSondrixDlg& main = Main();
    autoSearchCount = 0;
    main.moduleConnected = 1;
    SetText(kUserCounts, std::to_string(userCount));
    SetText(kInfoBaudRate, std::to_string(main.baudRate));
    SetText(kInfoPort, main.portName);
    EnableCommandButtons(true);
    Enable(kPort, false);
    Enable(kBaudRate, false);
    Enable(kUserRegister, false);
    Enable(kDelete, false);
    SetText(kConnect, LoadString(IDS_MAIN_DISCONNECT));
    SetText(kEnterMaster, LoadString(IDS_ENTER_MASTER));
    const auto row = std::find(kBaudRates.begin(), kBaudRates.end(), main.baudRate);
    if (row != kBaudRates.end()) {
        SetSelection(kBaudRate, static_cast<int>(row - kBaudRates.begin()));
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
    EnableCommandButtons(false);
    Enable(kPort, true);
    Enable(kBaudRate, true);
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
    main.masterMode = 0;
    main.emulationMode = 255;
    main.moduleConnected = 0;
    main.portOpen = 0;
    main.PacketManager().port.Close();
    main.PacketManager().ResetParser();
    Loop().Sleep(200);
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
        if (main.firmwareVersion == kStaleImageFirmware) {
            main.repeatCapture = 1;
        }
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
