#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

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

bool ProcessAlive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

std::string CommandName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
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

std::string CUucpLock::DeviceName(const std::string& devicePath) {
    std::string path = devicePath;
    // udev's stable names are links to the node ("../../ttyUSB0"); the lock
    // goes by the node's name, as every other tool sees only that.
    if (path.starts_with("/dev/serial/")) {
        char target[4096];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n > 0) {
            path.assign(target, static_cast<size_t>(n));
        }
    }
    return path.substr(path.rfind('/') + 1);
}

CUucpLock::EResult CUucpLock::Acquire(const std::string& devicePath) {
    Release();
    m_holderPid = 0;
    m_holderName.clear();
    const std::string folder = LockFolder();
    if (folder.empty()) {
        return EResult::NoFolder;
    }
    const std::string file = folder + "/LCK.." + DeviceName(devicePath);
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
        if (ProcessAlive(holder)) {
            m_holderPid = holder;
            m_holderName = CommandName(holder);
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
