#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/serial_device.h"
#include "sim/sim_loopback.h"

namespace sondrix {

// The ports of `sondrix --simulate`: COM1 is a simulated module inside the
// process, on the program's own message loop, so that what the module sends
// unasked (Auto-On results) reaches the program; every other port is the
// device `others` gives. A new model or line speed for the module waits for
// the next connection, as nobody swaps a module under an open line.
class CSimDeskPorts final : public ISerialDeviceFactory {
  public:
    static constexpr const char* kSimulatedPort = "COM1";

    CSimDeskPorts(CMessageLoop& loop, CSimModule& module, ISerialDeviceFactory& others);

    std::unique_ptr<ISerialDevice> Create(const std::string& portName) override;

    CSimModule& Module() { return m_module; }
    // Whether the module's answers take the time their bytes need on the
    // line (as a module on a bench does) or come at once.
    void SetPacing(bool pacing) { m_simulated.SetPacing(pacing); }
    // The model and line speed the module has when COM1 is next opened: the
    // person's choice, else what it has now (which the program itself may
    // change, e.g. the line speed by an option).
    uint16_t NextModel() const { return m_nextModel.value_or(m_module.Config().modelCode); }
    uint32_t NextBaudRate() const { return m_nextBaud.value_or(m_module.Config().baudRate); }
    void SetNextModel(uint16_t modelCode) { m_nextModel = modelCode; }
    void SetNextBaudRate(uint32_t baudRate) { m_nextBaud = baudRate; }

  private:
    CSimModule& m_module;
    CSimPortFactory m_simulated;
    ISerialDeviceFactory& m_others;
    std::optional<uint16_t> m_nextModel;
    std::optional<uint32_t> m_nextBaud;
};

}  // namespace sondrix
