#pragma once

#include <string>

#include "platform/serial_device.h"
#include "platform/uucp_lock.h"

namespace sondrix {

// A serial device on Linux termios. Any rate is set through termios2 with
// BOTHER, which is how 14400 bps (no B14400 constant) is reached. The line
// is held three ways, each of which keeps other tools out: the UUCP lock file
// (minicom), flock on the open line (Debian's picocom; root too) and
// TIOCEXCL (every other open by an ordinary user), cleared again on close.
// USB adapters are asked for low-latency mode.
class CTermiosSerial final : public ISerialDevice {
  public:
    // `portName` ("COM3"), when given, names the port in messages beside the path.
    explicit CTermiosSerial(std::string path, std::string portName = {});
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
    bool LowLatency() const override { return m_lowLatency; }

    // Reads the line speed currently set on an open descriptor (0 on failure).
    static uint32_t LineSpeed(int fd);
    // Sets raw 8N1 without flow control at the given speed on a descriptor.
    static bool ConfigureRaw(int fd, uint32_t baudRate);

  private:
    // "COM3 (/dev/ttyUSB0)", or the path alone.
    std::string Who() const;
    // Why opening failed with `error`, with the help that fits it.
    std::string DescribeOpenError(int error) const;
    // "COM3 (/dev/ttyUSB0) is in use by picocom (pid 1234)"
    std::string InUseBy(const SPortHolder& holder) const;
    bool Fail(int fd, std::string& error, std::string reason);

    std::string m_path;
    std::string m_portName;
    CUucpLock m_lock;
    bool m_lowLatency = false;
    int m_fd = -1;
    int m_wakeFd = -1;
};

}  // namespace sondrix
