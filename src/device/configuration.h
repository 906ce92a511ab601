#pragma once

#include "device/command_handler.h"

namespace sondrix {

class CConfiguration : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    void OnPlainSet(CPacket& packet);
    void OnGetSensorOption(CPacket& packet);
    void OnGetSecurityLevel(CPacket& packet);
    void OnGetLatentAdaptive(CPacket& packet);
    void OnGetLogOption(CPacket& packet);
    void OnGetLogOptionEx(CPacket& packet);
    void OnGetLfdLevel(CPacket& packet);
    void OnSetSystemOption(CPacket& packet);
    void OnGetSystemOption(CPacket& packet);
    void OnSaveSystemOptions(CPacket& packet);
    void OnSetTemplateCount(CPacket& packet);
    void OnSetDefaultOptions(CPacket& packet);
    void OnSetEmulationMode(CPacket& packet);
    void OnSetIdLength(CPacket& packet);

  protected:
    bool Route(CPacket& packet) override;
};

}  // namespace sondrix
