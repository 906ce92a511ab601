#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

#include "platform/native_file.h"
#include "platform/process_info.h"
#include "platform/uucp_lock.h"

namespace sondrix {

namespace {

// The PID in a lock file: ten characters, maybe padded with spaces; some old
// tools wrote it as a binary int, which we read as well.
pid_t ReadLockPid(const std::string& file) {
    char text[32] = {};
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n == static_cast<ssize_t>(sizeof(int))) {
        int binary = 0;
        std::memcpy(&binary, text, sizeof binary);
        return binary;
    }
    if (n <= 0) {
        return 0;
    }
    return static_cast<pid_t>(std::strtol(text, nullptr, 10));
}

bool Alive(pid_t pid) {
    return pid > 0 && ProcessRunning(static_cast<unsigned long>(pid));
}

// The part of a path below its last "/dev/" ("pts/3"), empty when it has none.
std::string BelowDev(const std::string& path) {
    const size_t dev = path.rfind("/dev/");
    return dev == std::string::npos ? std::string() : path.substr(dev + 5);
}

// The device node behind `path`, whatever links lead there, as a path below
// /dev: the kernel's own name for it ("ttyUSB0"); else (pseudo-terminals,
// which sysfs does not list, and devices faked for tests) where the links
// lead into a /dev, past udev's own links in /dev/serial ("pts/3").
std::string NodeBelowDev(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode)) {
        std::ifstream uevent("/sys/dev/char/" + std::to_string(::major(info.st_rdev)) + ":" +
                             std::to_string(::minor(info.st_rdev)) + "/uevent");
        constexpr std::string_view kName = "DEVNAME=";
        for (std::string line; std::getline(uevent, line);) {
            if (line.starts_with(kName)) {
                return line.substr(kName.size());
            }
        }
    }
    std::string node = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        const std::string below = BelowDev(node);
        if (!below.empty() && !below.starts_with("serial/")) {
            return below;
        }
        const std::string next = FollowLinks(std::filesystem::path(node), 1).string();
        if (next == node) {
            break;
        }
        node = next;
    }
    return node;
}

// A path as minicom names its lock: "/dev/" left out, '/' turned into '_'.
std::string PathLockName(std::string path) {
    constexpr std::string_view kDev = "/dev/";
    if (path.starts_with(kDev)) {
        path.erase(0, kDev.size());
    }
    std::replace(path.begin(), path.end(), '/', '_');
    return path;
}

}  // namespace

std::string CUucpLock::LockFolder() {
    if (const char* folder = std::getenv("SONDRIX_LOCK_DIR"); folder != nullptr && *folder) {
        return folder;
    }
    struct stat info {};
    for (const char* folder : {"/run/lock", "/var/lock"}) {
        if (::stat(folder, &info) == 0 && S_ISDIR(info.st_mode)) {
            return folder;
        }
    }
    return {};
}

std::vector<std::string> CUucpLock::LockNames(const std::string& devicePath) {
    const std::string node = NodeBelowDev(devicePath);
    std::vector<std::string> names;
    for (const std::string& name :
         {PathLockName(node), PathLockName(devicePath), node.substr(node.rfind('/') + 1),
          devicePath.substr(devicePath.rfind('/') + 1)}) {
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    return names;
}

CUucpLock::EResult CUucpLock::Acquire(const std::string& devicePath) {
    Release();
    m_holder = {};
    const std::string folder = LockFolder();
    if (folder.empty()) {
        return EResult::NoFolder;
    }
    const std::vector<std::string> names = LockNames(devicePath);
    for (const std::string& name : names) {
        const pid_t holder = ReadLockPid(folder + "/LCK.." + name);
        if (Alive(holder)) {
            m_holder = PortHolder(holder);
            return EResult::HeldByOther;
        }
    }
    const std::string file = folder + "/LCK.." + names.front();
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    // Two rounds: a stale lock found in the first is removed, then retaken.
    for (int round = 0; round < 2; ++round) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const bool written = ::write(fd, text, 11) == 11;
            ::close(fd);
            if (!written) {
                ::unlink(file.c_str());
                return EResult::NoFolder;
            }
            m_file = file;
            return EResult::Taken;
        }
        if (errno != EEXIST) {
            return EResult::NoFolder;
        }
        const pid_t holder = ReadLockPid(file);
        if (Alive(holder)) {
            m_holder = PortHolder(holder);
            return EResult::HeldByOther;
        }
        if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
            return EResult::NoFolder;
        }
    }
    return EResult::NoFolder;
}

void CUucpLock::Release() {
    if (!m_file.empty()) {
        ::unlink(m_file.c_str());
        m_file.clear();
    }
}

}  // namespace sondrix
