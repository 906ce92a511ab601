#include "platform/win32_serial.h"

#include <algorithm>

#include "platform/port_map.h"
#include "platform/system_serial.h"
#include "platform/win32_api.h"
#include "platform/win32_text.h"

namespace sondrix {

namespace {

constexpr DWORD kDriverBuffer = 8192;
// The longest a read that waits for the first byte stays pending before it is
// issued again: one wake-up a minute on an idle line.
constexpr DWORD kWaitSliceMs = 60000;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// Errors with which reads and waits fail once a USB adapter is pulled.
bool MeansGone(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_BAD_COMMAND ||
           error == ERROR_OPERATION_ABORTED || error == ERROR_DEVICE_NOT_CONNECTED ||
           error == ERROR_DEVICE_REMOVED;
}

std::string DescribeOpenError(const std::string& name, DWORD error) {
    std::string text = name + ": " + SystemErrorText(error);
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        text += " (the port is in use by another program)";
    } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        text += " (no such port on this computer)";
    }
    return text;
}

}  // namespace

struct CWin32Serial::SState {
    HANDLE port = INVALID_HANDLE_VALUE;
    OVERLAPPED readBlock{};
    OVERLAPPED writeBlock{};
    // The read that waits for the first byte of a burst: its block and byte
    // are written by the system until it ends, so they live with the port.
    OVERLAPPED waitBlock{};
    uint8_t firstByte = 0;
    bool waitPending = false;
    // The first byte arrived and is not yet handed out by Read.
    bool holding = false;
    bool gone = false;
    // Auto-reset: one Wake ends one wait.
    HANDLE wake = nullptr;

    ~SState() {
        for (HANDLE event : {readBlock.hEvent, writeBlock.hEvent, waitBlock.hEvent, wake}) {
            if (event != nullptr) {
                ::CloseHandle(event);
            }
        }
    }
};

CWin32Serial::CWin32Serial(std::string name, std::string portName)
    : m_name(std::move(name)), m_portName(std::move(portName)) {}

std::string CWin32Serial::Who() const {
    return PortDescription(m_portName, m_name);
}

CWin32Serial::~CWin32Serial() {
    Close();
}

std::string CWin32Serial::DeviceName(const std::string& name) {
    // Only COM1..COM9 have names without the prefix; "\\.\" reaches every port.
    return CPortMap::IsComName(name) ? "\\\\.\\" + CPortMap::ComName(name) : name;
}

bool CWin32Serial::Open(uint32_t baudRate, std::string& error) {
    Close();
    m_rateRefused = false;
    auto state = std::make_unique<SState>();
    for (HANDLE* event :
         {&state->readBlock.hEvent, &state->writeBlock.hEvent, &state->waitBlock.hEvent}) {
        *event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    state->wake = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!state->readBlock.hEvent || !state->writeBlock.hEvent || !state->waitBlock.hEvent ||
        !state->wake) {
        error = Who() + ": cannot create an event: " + SystemErrorText(::GetLastError());
        return false;
    }
    // Exclusive (no sharing), as a serial port can only have one user anyway.
    state->port =
        ::CreateFileW(WideFromUtf8(DeviceName(m_name)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                      nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (state->port == INVALID_HANDLE_VALUE) {
        error = DescribeOpenError(Who(), ::GetLastError());
        return false;
    }
    const auto fail = [&](const char* what) {
        error = Who() + ": " + what + ": " + SystemErrorText(::GetLastError());
        ::CloseHandle(state->port);
        return false;
    };
    // Raise RTS; a port without modem lines (a virtual one) refuses, which is fine.
    if (!::EscapeCommFunction(state->port, SETRTS) && ::GetLastError() != ERROR_NOT_SUPPORTED &&
        ::GetLastError() != ERROR_INVALID_PARAMETER && ::GetLastError() != ERROR_INVALID_FUNCTION) {
        return fail("cannot raise RTS");
    }
    // A read returns at once with the bytes the driver holds; with none it
    // waits for the first byte (at most kWaitSliceMs). Writes never time out.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = kWaitSliceMs;
    if (!::SetupComm(state->port, kDriverBuffer, kDriverBuffer) ||
        !::PurgeComm(state->port, kPurgeAll) || !::SetCommTimeouts(state->port, &timeouts)) {
        return fail("cannot set up the port");
    }
    // Line settings the driver cannot report (Wine's for a rate it has no
    // name for) start from the usual defaults; the fields below are all set.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(state->port, &dcb)) {
        dcb = DCB{};
        dcb.DCBlength = sizeof dcb;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
    }
    dcb.BaudRate = baudRate;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    // No flow control of any kind; RTS stays raised, DTR as the driver had it.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    // XON/XOFF characters stay as the driver has them: it refuses equal ones,
    // and with XON/XOFF off they mean nothing.
    dcb.XonLim = 0;
    dcb.XoffLim = 0;
    if (!::SetCommState(state->port, &dcb)) {
        m_rateRefused = true;
        const std::string what = "cannot set " + std::to_string(baudRate) + " bps 8N1";
        return fail(what.c_str());
    }
    m_state = std::move(state);
    return true;
}

bool CWin32Serial::IsOpen() const {
    return m_state != nullptr;
}

void CWin32Serial::CancelWait() {
    if (!m_state->waitPending) {
        return;
    }
    // The read was started by the receive thread: cancel it by its block.
    ::CancelIoEx(m_state->port, &m_state->waitBlock);
    DWORD unused = 0;
    ::GetOverlappedResult(m_state->port, &m_state->waitBlock, &unused, TRUE);
    m_state->waitPending = false;
}

void CWin32Serial::Close() {
    if (!m_state) {
        return;
    }
    CancelWait();
    ::PurgeComm(m_state->port, kPurgeAll);
    ::CloseHandle(m_state->port);
    m_state.reset();
}

void CWin32Serial::Purge() {
    if (m_state) {
        ::PurgeComm(m_state->port, kPurgeAll);
    }
}

void CWin32Serial::NoteFailure(unsigned long error) {
    DWORD errors = 0;
    ::ClearCommError(m_state->port, &errors, nullptr);
    if (MeansGone(error)) {
        m_state->gone = true;
    }
}

size_t CWin32Serial::Write(const uint8_t* bytes, size_t count) {
    if (!m_state || m_state->gone) {
        return 0;
    }
    size_t written = 0;
    while (written < count) {
        OVERLAPPED& block = m_state->writeBlock;
        ::ResetEvent(block.hEvent);
        const DWORD part = static_cast<DWORD>(std::min<size_t>(count - written, 1u << 20));
        DWORD done = 0;
        if (!::WriteFile(m_state->port, bytes + written, part, &done, &block)) {
            if (::GetLastError() != ERROR_IO_PENDING ||
                !::GetOverlappedResult(m_state->port, &block, &done, TRUE)) {
                NoteFailure(::GetLastError());
                break;
            }
        }
        if (done == 0) {
            break;
        }
        written += done;
    }
    return written;
}

size_t CWin32Serial::Read(uint8_t* buffer, size_t capacity) {
    if (!m_state || m_state->gone || capacity == 0) {
        return 0;
    }
    size_t held = 0;
    if (m_state->holding) {
        buffer[0] = m_state->firstByte;
        m_state->holding = false;
        held = 1;
    }
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(m_state->port, &errors, &status)) {
        NoteFailure(::GetLastError());
        return held;
    }
    if (status.cbInQue == 0 || held == capacity) {
        return held;
    }
    // Never more than the driver holds, so that the read does not wait.
    OVERLAPPED& block = m_state->readBlock;
    ::ResetEvent(block.hEvent);
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(capacity - held, status.cbInQue));
    DWORD got = 0;
    if (!::ReadFile(m_state->port, buffer + held, wanted, &got, &block)) {
        if (::GetLastError() != ERROR_IO_PENDING ||
            !::GetOverlappedResult(m_state->port, &block, &got, TRUE)) {
            NoteFailure(::GetLastError());
            return held;
        }
    }
    return held + got;
}

ISerialDevice::EWait CWin32Serial::WaitForInput(int timeoutMs) {
    if (!m_state || m_state->gone) {
        return EWait::Hangup;
    }
    for (;;) {
        if (m_state->holding) {
            return EWait::Data;
        }
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(m_state->port, &errors, &status)) {
            NoteFailure(::GetLastError());
            return EWait::Hangup;
        }
        if (status.cbInQue > 0) {
            return EWait::Data;
        }
        // A one-byte read that ends when the first byte arrives. Unlike
        // WaitCommEvent it needs no modem status, which virtual ports (and
        // Wine's ports on a pseudo-terminal) cannot give.
        if (!m_state->waitPending) {
            ::ResetEvent(m_state->waitBlock.hEvent);
            DWORD got = 0;
            if (::ReadFile(m_state->port, &m_state->firstByte, 1, &got, &m_state->waitBlock)) {
                m_state->holding = got == 1;
                continue;
            }
            const DWORD error = ::GetLastError();
            if (error != ERROR_IO_PENDING) {
                NoteFailure(error);
                // Waiting again would fail the same way and spin.
                return EWait::Hangup;
            }
            m_state->waitPending = true;
        }
        const HANDLE events[2] = {m_state->waitBlock.hEvent, m_state->wake};
        const DWORD woken = ::WaitForMultipleObjects(
            2, events, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
        if (woken == WAIT_OBJECT_0 + 1) {
            return EWait::Woken;
        }
        if (woken == WAIT_TIMEOUT) {
            return EWait::Timeout;
        }
        if (woken != WAIT_OBJECT_0) {
            return EWait::Hangup;
        }
        m_state->waitPending = false;
        DWORD got = 0;
        if (!::GetOverlappedResult(m_state->port, &m_state->waitBlock, &got, FALSE)) {
            NoteFailure(::GetLastError());
            return EWait::Hangup;
        }
        m_state->holding = got == 1;
    }
}

void CWin32Serial::Wake() {
    if (m_state) {
        ::SetEvent(m_state->wake);
    }
}

std::unique_ptr<ISerialDevice> CreateSystemSerialDevice(const std::string& path,
                                                        const std::string& portName) {
    return std::make_unique<CWin32Serial>(path, portName);
}

// Windows names its ports itself.
std::string DefaultSerialDevicePath(int portNumber) {
    return "COM" + std::to_string(portNumber);
}

const SSystemWords& SystemWords() {
    static const SSystemWords words{
        "any COM port of this computer (COM3, com12), COMn=PORT,\n"
        "                        or auto for the first USB serial adapter (default COM1)\n",
        "%APPDATA%\\Wireshark\\plugins", "the process list (Task Manager)", false};
    return words;
}

std::string SystemDevicePath(const std::string& name) {
    return CPortMap::ComName(name);
}

}  // namespace sondrix
