#pragma once

#include "device/command_handler.h"

namespace sondrix {

class CMatching : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    void OnVerify(CPacket& packet);
    void OnIdentify(CPacket& packet);
    void OnInstantMatch(CPacket& packet);
    void OnGetTemplate(CPacket& packet);
    void OnCancel(CPacket& packet);
    void OnInstantVerify(CPacket& packet);
    void OnInstantIdentify(CPacket& packet);
    void OnAutoOn(CPacket& packet);
    void OnAutoIdentifyResult(CPacket& packet);

  protected:
    bool Route(CPacket& packet) override;
};

}  // namespace sondrix
