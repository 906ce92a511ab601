#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace sondrix {

// A serial port of Windows ("COM3", "COM12" or a full "\\.\" device name),
// opened for overlapped I/O. The receive side waits on an overlapped read
// that ends with the first byte of a burst, together with a wake-up event: an
// idle line costs no CPU, data wakes the thread at once, and Close ends the
// wait at once.
class CWin32Serial final : public ISerialDevice {
  public:
    // `portName` is the name the person chose, for messages, when it differs.
    explicit CWin32Serial(std::string name, std::string portName = {});
    ~CWin32Serial() override;

    bool Open(uint32_t baudRate, std::string& error) override;
    void Close() override;
    bool IsOpen() const override;
    void Purge() override;
    size_t Write(const uint8_t* bytes, size_t count) override;
    size_t Read(uint8_t* buffer, size_t capacity) override;
    EWait WaitForInput(int timeoutMs) override;
    void Wake() override;
    std::string Path() const override { return m_name; }

    // "COM12" -> "\\.\COM12"; any other name is taken as it is.
    static std::string DeviceName(const std::string& name);

  private:
    struct SState;

    // Ends a pending first-byte read and waits until the system lets go of it.
    void CancelWait();
    // Clears the port's error state; a failure that means the device is no
    // longer there (adapter pulled) marks the line as gone.
    void NoteFailure(unsigned long error);

    // "COM3", or "COM1 (\\.\CNCA0)" when the chosen name stands for another device.
    std::string Who() const;

    std::string m_name;
    std::string m_portName;
    // The handles, events and overlapped blocks of the open port.
    std::unique_ptr<SState> m_state;
};

}  // namespace sondrix
