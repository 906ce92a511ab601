// The firmware buttons of the Authentication&User page.
#include "app/sondrix_dlg.h"
#include "ui/basic_dlg.h"
#include "ui/strings_firmware.h"

namespace sondrix {

void CBasicDlg::StartFirmwareUpdate(bool backup) {
    CSondrixDlg& main = Main();
    SFileDialog request;
    request.filter = LoadString(IDS_FIRMWARE_FILTER);
    request.defaultExtension = LoadString(IDS_FIRMWARE_DEFAULT_EXTENSION);
    request.mustExist = true;
    const std::vector<std::string> chosen = main.Ui().FileDialog(request);
    if (chosen.empty()) {
        return;
    }
    // A person who closed the progress popup is asked whether to stop.
    main.firmware.Start(chosen.front(), backup, [&main] {
        return main.Ui().MessageBox(LoadString(IDS_FIRMWARE_QUIT_QUESTION), EIcon::Warning,
                                    EButtons::YesNo) != EAnswer::Yes;
    });
}

}  // namespace sondrix
