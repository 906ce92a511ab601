#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "platform/serial_device.h"
#include "sim/sim_module.h"

namespace sondrix {

// Time a byte count needs on the line at a rate (10 bits a byte: start,
// eight data bits, stop), in microseconds.
inline uint64_t WireTimeUs(uint64_t bytes, uint32_t baudRate) {
    return baudRate == 0 ? 0 : bytes * 10 * 1000000 / baudRate;
}

// Connects the program's serial port to a simulated module inside the
// process, on the program's own message loop: answers arrive through loop
// timers, so tests on the virtual clock are fully deterministic. A host whose
// line speed differs from the module's is heard as noise: nothing is answered.
class CSimLoopbackDevice final : public ISerialDevice, private CWindow {
  public:
    CSimLoopbackDevice(CMessageLoop& loop, CSimModule& module);
    ~CSimLoopbackDevice() override;

    bool Open(uint32_t baudRate, std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    void Purge() override { m_input.clear(); }
    size_t Write(const uint8_t* bytes, size_t count) override;
    size_t Read(uint8_t* buffer, size_t capacity) override;
    EWait WaitForInput(int) override { return EWait::Woken; }
    void Wake() override {}
    std::string Path() const override { return "simulated module"; }
    bool DeliversInputItself() const override { return true; }
    void SetInputHandler(std::function<void()> handler) override { m_handler = std::move(handler); }

    // When set, answers take the time their bytes need on the wire.
    void SetPacing(bool pacing) { m_pacing = pacing; }
    uint32_t HostBaudRate() const { return m_hostBaud; }

  private:
    struct SPending {
        int64_t dueMs;
        std::vector<uint8_t> bytes;
    };
    void OnTimer(uint32_t id) override;
    void ArmTimer();
    // Queues an answer due `ready` ms (plus its own delay and wire time),
    // never before the answers already queued; returns when it is due.
    int64_t Queue(SSimReply reply, int64_t ready);

    CSimModule& m_module;
    bool m_open = false;
    bool m_pacing = false;
    uint32_t m_hostBaud = 0;
    std::deque<uint8_t> m_input;
    std::vector<SPending> m_pending;
    std::function<void()> m_handler;
};

// Puts a simulated module behind one port name ("COM1"); other names have no device.
class CSimPortFactory final : public ISerialDeviceFactory {
  public:
    CSimPortFactory(CMessageLoop& loop, CSimModule& module, std::string portName = "COM1")
        : m_loop(loop), m_module(module), m_portName(std::move(portName)) {}

    std::unique_ptr<ISerialDevice> Create(const std::string& portName) override;
    void SetPacing(bool pacing) { m_pacing = pacing; }
    // The device handed out last (tests inspect the host's line speed).
    CSimLoopbackDevice* LastDevice() const { return m_last; }

  private:
    CMessageLoop& m_loop;
    CSimModule& m_module;
    std::string m_portName;
    bool m_pacing = false;
    CSimLoopbackDevice* m_last = nullptr;
};

}  // namespace sondrix
