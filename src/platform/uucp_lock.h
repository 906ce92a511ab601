#pragma once

#include <sys/types.h>

#include <string>

namespace sondrix {

// The lock file other Linux serial tools (minicom, picocom, Qt's serial
// port) agree on: "LCK..<device name>" in /run/lock (or /var/lock) holding
// the owner's PID as ten ASCII characters and a newline. A lock whose owner
// is gone is stale and taken over. SONDRIX_LOCK_DIR names another folder.
class CUucpLock {
  public:
    enum class EResult {
        Taken,       // the lock is ours
        NoFolder,    // lock files cannot be written here; go on without one
        HeldByOther  // another live process holds the device
    };

    CUucpLock() = default;
    ~CUucpLock() { Release(); }
    CUucpLock(const CUucpLock&) = delete;
    CUucpLock& operator=(const CUucpLock&) = delete;

    // Locks the device at `devicePath` (a /dev/serial link locks the device
    // it names). HeldByOther fills HolderPid and HolderName.
    EResult Acquire(const std::string& devicePath);
    void Release();

    bool Held() const { return !m_file.empty(); }
    const std::string& File() const { return m_file; }
    pid_t HolderPid() const { return m_holderPid; }
    // The holder's command name, empty when it cannot be read.
    const std::string& HolderName() const { return m_holderName; }

    // The folder lock files go into: $SONDRIX_LOCK_DIR, else the first of
    // /run/lock and /var/lock that exists.
    static std::string LockFolder();
    // The device name the lock file is named after ("ttyUSB0").
    static std::string DeviceName(const std::string& devicePath);

  private:
    std::string m_file;
    pid_t m_holderPid = 0;
    std::string m_holderName;
};

}  // namespace sondrix
