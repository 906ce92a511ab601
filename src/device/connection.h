#pragma once

#include "device/command_handler.h"

namespace sondrix {

class CConnection : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    void OnConnect(CPacket& packet);
    void OnSetBaudRate(CPacket& packet);
    void OnGetSystemInfo(CPacket& packet);
    void OnGetModuleType(CPacket& packet);

  protected:
    bool Route(CPacket& packet) override;
};

}  // namespace sondrix
