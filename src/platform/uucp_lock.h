#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/port_holder.h"

namespace sondrix {

// The lock file other Linux serial tools (minicom, Qt's serial port)
// agree on: "LCK..<name>" in /run/lock (or /var/lock) holding the owner's
// PID as ten ASCII characters and a newline. A lock whose owner is gone
// (ended, or a zombie not yet reaped) is stale. SONDRIX_LOCK_DIR names
// another folder.
//
// Tools name the lock of one device differently: after the device node
// ("ttyUSB0", "pts_0" for /dev/pts/0), after the path they were given with
// "/dev/" left out and '/' turned into '_' (minicom: "serial_by-id_usb-..."),
// or after its last part ("0"). A lock under any of those names keeps us
// out; ours is written under the node's name.
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

    // Locks the device at `devicePath`. HeldByOther fills Holder().
    EResult Acquire(const std::string& devicePath);
    void Release();

    bool Held() const { return !m_file.empty(); }
    const std::string& File() const { return m_file; }
    const SPortHolder& Holder() const { return m_holder; }

    // The folder lock files go into: $SONDRIX_LOCK_DIR, else the first of
    // /run/lock and /var/lock that exists.
    static std::string LockFolder();
    // The names a lock of the device may have, the node's name (ours) first.
    static std::vector<std::string> LockNames(const std::string& devicePath);

  private:
    std::string m_file;
    SPortHolder m_holder;
};

}  // namespace sondrix
