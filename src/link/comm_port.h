#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "link/comm_queue.h"
#include "link/raw_line_log.h"
#include "platform/message_loop.h"
#include "platform/serial_device.h"

namespace sondrix {

// The serial port: opens and configures the device behind a port name,
// writes synchronously on the caller's thread, and runs the receive thread
// that moves every received byte into the ring and posts one
// WM_COMM_RECEIVE per burst to the notify window.
class CCommPort {
  public:
    static constexpr size_t kChunk = 2048;

    CCommPort(CMessageLoop& loop, ISerialDeviceFactory& devices);
    ~CCommPort();
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    void SetNotifyWindow(HWND window) { m_notifyWindow = window; }
    // Where every chunk read or written goes as it crossed the line (set
    // once, before the port is opened; the log is thread-safe).
    void SetRawLog(CRawLineLog* log) { m_rawLog = log; }

    // True when the port is open, configured and receiving.
    bool Open(const std::string& name, uint32_t baudRate, uint16_t number);
    void Close();
    // Blocks until written; returns the count written (0 on a closed port,
    // and on a port that only listens).
    size_t Write(size_t count, const uint8_t* bytes);
    // A port that only listens never writes, whatever the program sends.
    void SetListenOnly(bool listenOnly) { m_listenOnly = listenOnly; }
    // Reads what the device holds, at most kChunk bytes (receive side only).
    size_t ReadChunk(uint8_t* chunk);

    // Why the last Open failed (device path and the system's reason).
    const std::string& LastError() const { return m_lastError; }
    // Whether the last Open failed only because the driver refused the rate.
    bool RateRefused() const { return m_rateRefused; }
    // Device path of the open (or last tried) port.
    const std::string& DevicePath() const { return m_devicePath; }
    // Whether the open device passes received bytes on without delay.
    bool LowLatency() const { return handle && handle->LowLatency(); }

    std::string portName;
    std::atomic<int> connected{0};
    uint16_t portNumber = 0;
    CCommQueue m_QueueRead;
    std::atomic<int> writeInProgress{0};

  private:
    void ThreadWatchComm();
    // Drains the device into the ring and posts one notification.
    void ReceiveBurst();

    CMessageLoop& m_loop;
    ISerialDeviceFactory& m_devices;
    HWND m_notifyWindow = kNoWindow;
    CRawLineLog* m_rawLog = nullptr;
    std::unique_ptr<ISerialDevice> handle;
    std::thread threadHandle;
    std::string m_lastError;
    bool m_rateRefused = false;
    std::string m_devicePath;
    std::atomic<bool> m_listenOnly{false};
};

}  // namespace sondrix
