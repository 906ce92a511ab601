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

    // Sends a new value of `option` the way the connected module takes it:
    // the older modules set some options with commands of their own, and
    // their sensor values and security levels only together (the others as
    // last read). The template count and the emulation mode are read back.
    void SendOption(uint32_t option, uint32_t value);
    void SendTemplateCount(uint32_t count);
    // The older modules' combined values.
    static uint32_t SensorWord(uint32_t gain, uint32_t brightness, uint32_t contrast);
    static uint32_t SecurityWord(uint32_t verification, uint32_t identification);

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
    // The text in the message line and in a box (a stop box is a failure).
    void Report(int textId, EIcon icon);
    // An option value read, for the page and for every outcome observer.
    void Store(uint32_t option, uint32_t value);
    // The module took a new value of `option` (0 where the answer does not say).
    void SetAnswered(uint32_t option, uint32_t value);
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
