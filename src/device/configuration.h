#pragma once

#include "device/command_handler.h"
#include "platform/ui_host.h"

namespace sondrix {

class CConfiguration : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    // Why the next answer for option 3 (template mode) arrives.
    enum EPendingAction { kNoAction = 0, kRegistration = 1, kModification = 2, kReadAll = 4 };
    int pendingAction = kNoAction;
    // The latent/adaptive read of the older modules asks twice: 0 latent, 1 adaptive.
    int latentStep = 0;
    // The older-module read has reached its generic part.
    int shortChain = 0;

    // Series 2 or HLX-SB emulation: the modules with the fixed-purpose option commands.
    bool OlderModule() const;
    // Series 4 or 5 without emulation.
    bool PlainNewModule() const;

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

  private:
    // The text in the message line and in a box.
    void Report(int textId, EIcon icon);
    // A step of the older-module read: true on success; a failure shows
    // `failureText` (result 2) or the common error report and ends the read.
    bool ReadStep(const CPacket& packet, int failureText);
    // A read that ends early leaves nothing half-set.
    void EndRead();
    // The read goes on after the option just received.
    void Continue(uint32_t option, uint32_t value);
    void AfterTemplateMode(uint32_t value);
    void AfterEmulationMode(uint32_t value);
    // The first sensor value: the fixed-purpose command on older modules.
    void AskSensorOptions();
    void Fill();
    void SetIdFieldLength(uint32_t length);
    void StoreEmulationMode(uint32_t mode);
    void ApplyEmulationMode(uint32_t mode);
};

}  // namespace sondrix
