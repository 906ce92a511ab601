#pragma once

#include <array>
#include <cstdint>
#include <ctime>

#include "device/command_handler.h"

namespace sondrix {

class CConnection : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    void OnConnect(CPacket& packet);
    void OnSetBaudRate(CPacket& packet);
    void OnGetSystemInfo(CPacket& packet);
    void OnGetModuleType(CPacket& packet);

    // Sets the module clock to the computer's local time.
    void SendClock();

  protected:
    bool Route(CPacket& packet) override;

  private:
    // The controls a module offers, chosen by series and emulation mode once
    // its firmware is known: series 1 and 3 (and HLX-SA emulation), series 4
    // and 5, series 2 (and HLX-SB emulation).
    void ApplyClassicControls();
    void ApplyNewModuleControls();
    void ApplyEmulationControls();
};

// Packed-BCD clock bytes: century, year, month, day, hour, minute, second, 0.
std::array<uint8_t, 8> EncodeBcdTime(const std::tm& time);

}  // namespace sondrix
