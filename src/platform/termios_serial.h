#pragma once

#include <string>

#include "platform/serial_device.h"

namespace sondrix {

// A serial device on Linux termios. Any rate is set through termios2 with
// BOTHER, which is how 14400 bps (no B14400 constant) is reached.
class CTermiosSerial final : public ISerialDevice {
  public:
    explicit CTermiosSerial(std::string path);
    ~CTermiosSerial() override;

    bool Open(uint32_t baudRate, std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return m_fd >= 0; }
    void Purge() override;
    size_t Write(const uint8_t* bytes, size_t count) override;
    size_t Read(uint8_t* buffer, size_t capacity) override;
    EWait WaitForInput(int timeoutMs) override;
    void Wake() override;
    std::string Path() const override { return m_path; }

    // Reads the line speed currently set on an open descriptor (0 on failure).
    static uint32_t LineSpeed(int fd);
    // Sets raw 8N1 without flow control at the given speed on a descriptor.
    static bool ConfigureRaw(int fd, uint32_t baudRate);

  private:
    std::string m_path;
    int m_fd = -1;
    int m_wakeFd = -1;
};

}  // namespace sondrix
