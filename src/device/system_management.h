#pragma once

#include "device/command_handler.h"

namespace sondrix {

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

  protected:
    bool Route(CPacket& packet) override;
};

}  // namespace sondrix
