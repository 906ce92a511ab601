#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace sondrix {

// A port as messages name it: the name the person chose and the device behind
// it, "COM1 (/dev/ttyUSB0)"; just "COM3" where the name is the device (Windows).
inline std::string PortDescription(const std::string& portName, const std::string& device) {
    return portName.empty() || device.empty() || portName == device
               ? (portName.empty() ? device : portName)
               : portName + " (" + device + ")";
}

// One serial line as the program needs it: open raw 8N1 without flow control
// at a given rate, blocking writes, reads of what is buffered, and a wait for
// input that Close (or Wake) ends at once.
class ISerialDevice {
  public:
    enum class EWait { Data, Woken, Timeout, Hangup };

    virtual ~ISerialDevice() = default;

    // On failure returns false and describes the reason in `error`.
    virtual bool Open(uint32_t baudRate, std::string& error) = 0;
    // Whether the last Open failed only because the driver refused the rate:
    // the port is there, and a baud-rate search goes on past that rate. Any
    // other failure (the port is gone, or in use) ends the search.
    bool RateRefused() const { return m_rateRefused; }
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Drops everything buffered in both directions.
    virtual void Purge() = 0;
    // Blocks until all bytes are written or the line fails; returns the count.
    virtual size_t Write(const uint8_t* bytes, size_t count) = 0;
    // Never blocks: returns what is buffered, at most `capacity` bytes.
    virtual size_t Read(uint8_t* buffer, size_t capacity) = 0;
    // Waits for input (timeoutMs < 0 waits for ever).
    virtual EWait WaitForInput(int timeoutMs) = 0;
    // Ends a pending WaitForInput from another thread.
    virtual void Wake() = 0;
    // The device path shown to the person ("/dev/ttyS0", "simulated module").
    virtual std::string Path() const = 0;
    // Whether the driver passes received bytes on at once instead of
    // gathering them for a few milliseconds (USB adapters).
    virtual bool LowLatency() const { return false; }

    // Devices that deliver input on their own (the in-process simulator) call
    // the handler instead of being waited for by a receive thread.
    virtual bool DeliversInputItself() const { return false; }
    virtual void SetInputHandler(std::function<void()> handler) { (void)handler; }

  protected:
    bool m_rateRefused = false;
};

// Creates the device behind a port name ("COM1".."COM8").
class ISerialDeviceFactory {
  public:
    virtual ~ISerialDeviceFactory() = default;
    virtual std::unique_ptr<ISerialDevice> Create(const std::string& portName) = 0;
};

}  // namespace sondrix
