// The firmware buttons of the Authentication&User page.
#include <filesystem>
#include <system_error>

#include "app/sondrix_dlg.h"
#include "device/firmware_transfer.h"
#include "platform/native_file.h"
#include "ui/basic_dlg.h"
#include "ui/strings_firmware.h"

namespace sondrix {

namespace {

// param2 of a chunk carries the last chunk's index in 8 bits: 256 chunks at most.
constexpr uintmax_t kMaxFirmwareSize = uintmax_t{CPacketManagerWnd::kFirmwareChunk} * 256;

}  // namespace

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
    firmwarePath = chosen.front();

    // A file the chunk numbering cannot describe is refused before anything goes out.
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(PathFromUtf8(firmwarePath), error);
    const int refusal = error                     ? IDS_FIRMWARE_READ_FAILED
                        : size == 0               ? IDS_FIRMWARE_EMPTY
                        : size > kMaxFirmwareSize ? IDS_FIRMWARE_TOO_LARGE
                                                  : 0;
    if (refusal != 0) {
        main.ShowMessage(LoadString(refusal));
        main.Ui().MessageBox(LoadString(refusal), EIcon::Stop);
        return;
    }

    CPacketManagerWnd& manager = main.PacketManager();
    manager.firmwareSize = static_cast<uint32_t>(size);
    manager.lastChunk = (manager.firmwareSize - 1) / CPacketManagerWnd::kFirmwareChunk;
    main.popupProgress.Create(&main);
    main.popupProgress.SetRange(0, static_cast<int>(manager.lastChunk) + 1);
    main.popupProgress.SetPos(0);
    main.transferBusy = 1;
    SendFirmwareTransferChunk(main, backup, 0);
}

}  // namespace sondrix
