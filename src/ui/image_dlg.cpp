#include "ui/image_dlg.h"

#include <algorithm>

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

}  // namespace sondrix
