#pragma once

#include <cstdint>
#include <string>

#include "device/command_handler.h"

namespace sondrix {

// The text of a status the module reports with CMD_GET_STATUS.
const std::string& ModuleStatusText(uint32_t status);

class CSystemManagement : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    void OnGetStatus(CPacket& packet);
    void OnCaptureImage(CPacket& packet);
    void OnCaptureColorImage(CPacket& packet);
    void OnFirmwareData(CPacket& packet);
    void OnBackupFirmwareData(CPacket& packet);
    void OnSetTime(CPacket& packet);
    void OnGetTime(CPacket& packet);
    void OnGpioTest(CPacket& packet);
    void OnGetImageQuality(CPacket& packet);
    void OnSetGpioConfig(CPacket& packet);

    // Why the next image-quality answer arrives (3: a Main tab capture).
    int32_t qualityCheckReason = 0;
    int32_t lastImageQuality = 0;

  protected:
    bool Route(CPacket& packet) override;

  private:
    // An image answer dropped unseen (continuous capture stopped) or turned
    // into "Canceled!!!" (Cancel pressed): true when it was.
    bool DropImageAnswer();
    void ShowImageProgress(uint32_t block, uint32_t lastBlock);
};

}  // namespace sondrix
