#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace sondrix {

// The process that keeps a serial device to itself.
struct SPortHolder {
    pid_t pid = 0;
    std::string name;  // its command name ("picocom"), empty when it cannot be read

    // "picocom (pid 1234)"
    std::string Text() const;
};

// The process `pid` as a holder, with its command name.
SPortHolder PortHolder(pid_t pid);

// The running process that holds a lock on the device at `path` with flock
// (as Debian's picocom and Sondrix do) or fcntl, as /proc/locks lists it;
// nullopt when there is none, or it cannot be told.
std::optional<SPortHolder> FindLockHolder(const std::string& path);

}  // namespace sondrix
