#include "sim/sim_desk_ports.h"

namespace sondrix {

CSimDeskPorts::CSimDeskPorts(CMessageLoop& loop, CSimModule& module, ISerialDeviceFactory& others)
    : m_module(module), m_simulated(loop, module, kSimulatedPort), m_others(others) {}

std::unique_ptr<ISerialDevice> CSimDeskPorts::Create(const std::string& portName) {
    if (portName != kSimulatedPort) {
        return m_others.Create(portName);
    }
    // Only what the person chose: a line speed the module took from the
    // program's own command stays.
    if (m_nextModel) {
        m_module.Config().modelCode = *m_nextModel;
        m_nextModel.reset();
    }
    if (m_nextBaud) {
        m_module.Config().baudRate = *m_nextBaud;
        m_nextBaud.reset();
    }
    return m_simulated.Create(portName);
}

}  // namespace sondrix
