#pragma once

#include "device/command_handler.h"

namespace sondrix {

class CConfiguration : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    // Why the next answer for option 3 (template mode) arrives.
    enum EPendingAction { kNoAction = 0, kRegistration = 1, kModification = 2, kReadAll = 4 };
    int pendingAction = kNoAction;

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
