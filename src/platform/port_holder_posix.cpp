#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <sstream>

#include "platform/port_holder.h"
#include "platform/process_info.h"

namespace sondrix {

std::string SPortHolder::Text() const {
    return (name.empty() ? std::string("another program") : name) + " (pid " + std::to_string(pid) +
           ")";
}

SPortHolder PortHolder(pid_t pid) {
    SPortHolder holder{pid, {}};
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::getline(comm, holder.name);
    return holder;
}

std::optional<SPortHolder> FindLockHolder(const std::string& path) {
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0) {
        return std::nullopt;
    }
    // "1: FLOCK  ADVISORY  WRITE 1234 00:19:3 0 EOF": the file is the
    // major:minor (hexadecimal) of its file system and its inode number. A
    // line with "->" is a process waiting for the lock, not holding it.
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, type, mode, access, file;
        long pid = 0;
        if (!(fields >> number >> type) || type == "->" ||
            !(fields >> mode >> access >> pid >> file)) {
            continue;
        }
        unsigned major = 0;
        unsigned minor = 0;
        unsigned long long inode = 0;
        char colon1 = 0;
        char colon2 = 0;
        std::istringstream id(file);
        if (!(id >> std::hex >> major >> colon1 >> minor >> colon2 >> std::dec >> inode) ||
            colon1 != ':' || colon2 != ':') {
            continue;
        }
        if (major == ::major(device.st_dev) && minor == ::minor(device.st_dev) &&
            inode == device.st_ino && pid > 0 && ProcessRunning(static_cast<unsigned long>(pid))) {
            return PortHolder(static_cast<pid_t>(pid));
        }
    }
    return std::nullopt;
}

}  // namespace sondrix
