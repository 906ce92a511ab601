#include "link/comm_port.h"

#include "link/command_table.h"

namespace sondrix {

CCommPort::CCommPort(CMessageLoop& loop, ISerialDeviceFactory& devices)
    : m_loop(loop), m_devices(devices) {}

CCommPort::~CCommPort() {
    Close();
}

bool CCommPort::Open(const std::string& name, uint32_t baudRate, uint16_t number) {
    writeInProgress = 0;
    connected = 0;
    portNumber = number;
    portName = name;
    m_lastError.clear();
    m_rateRefused = false;
    handle = m_devices.Create(name);
    if (!handle) {
        m_devicePath.clear();
        m_lastError = "no device is mapped to " + name;
        return false;
    }
    m_devicePath = handle->Path();
    if (!handle->Open(baudRate, m_lastError)) {
        m_rateRefused = handle->RateRefused();
        handle.reset();
        return false;
    }
    handle->Purge();
    connected = 1;
    if (handle->DeliversInputItself()) {
        handle->SetInputHandler([this] { ReceiveBurst(); });
        return true;
    }
    try {
        threadHandle = std::thread(&CCommPort::ThreadWatchComm, this);
    } catch (const std::system_error& e) {
        connected = 0;
        handle->Close();
        handle.reset();
        m_lastError = std::string("cannot start the receive thread: ") + e.what();
        return false;
    }
    return true;
}

void CCommPort::Close() {
    if (connected == 0 && !threadHandle.joinable()) {
        return;
    }
    connected = 0;
    if (handle) {
        handle->SetInputHandler(nullptr);
        handle->Wake();
    }
    if (threadHandle.joinable()) {
        threadHandle.join();
    }
    if (handle) {
        handle->Purge();
        handle->Close();
        handle.reset();
    }
}

size_t CCommPort::Write(size_t count, const uint8_t* bytes) {
    if (connected == 0 || !handle || m_listenOnly) {
        return 0;
    }
    // Logged before it goes: a module that answers at once (the in-process
    // simulator does, inside the write) must not appear to answer first.
    if (m_rawLog != nullptr) {
        m_rawLog->Add(0, bytes, count);
    }
    writeInProgress = 1;
    const size_t written = handle->Write(bytes, count);
    writeInProgress = 0;
    return written;
}

size_t CCommPort::ReadChunk(uint8_t* chunk) {
    return handle ? handle->Read(chunk, kChunk) : 0;
}

void CCommPort::ReceiveBurst() {
    uint8_t chunk[kChunk];
    bool received = false;
    for (size_t n = ReadChunk(chunk); n > 0; n = ReadChunk(chunk)) {
        received = true;
        if (m_rawLog != nullptr) {
            m_rawLog->Add(1, chunk, n);
        }
        if (!m_QueueRead.PushChunk(chunk, static_cast<uint32_t>(n))) {
            m_loop.Post(m_notifyWindow, WM_QUEUE_FULL, portNumber, 0);
        }
    }
    if (received) {
        m_loop.Post(m_notifyWindow, WM_COMM_RECEIVE, portNumber, 0);
    }
}

void CCommPort::ThreadWatchComm() {
    while (connected == 1) {
        switch (handle->WaitForInput(-1)) {
            case ISerialDevice::EWait::Data:
                ReceiveBurst();
                break;
            case ISerialDevice::EWait::Woken:
            case ISerialDevice::EWait::Timeout:
                break;
            case ISerialDevice::EWait::Hangup:
                // Without a device there is nothing to wait for; waiting again
                // would spin. Tell the UI thread and end.
                if (connected == 1) {
                    m_loop.Post(m_notifyWindow, WM_PORT_LOST, portNumber, 0);
                }
                return;
        }
    }
}

}  // namespace sondrix
