// A file system that fills up or goes read-only, for a program run with this
// library in LD_PRELOAD, without root or a mount: the files under
// SONDRIX_FAULT_DIR take SONDRIX_FAULT_ROOM bytes in all (a write beyond
// writes what fits, then fails with ENOSPC), and with SONDRIX_FAULT_READONLY=1
// every change there fails with EROFS. Everything else passes untouched.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

template <typename F>
F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

const char* Folder() {
    const char* folder = std::getenv("SONDRIX_FAULT_DIR");
    return folder != nullptr && *folder != '\0' ? folder : nullptr;
}

bool Inside(const std::string& path) {
    const char* folder = Folder();
    if (folder == nullptr) {
        return false;
    }
    const size_t length = std::strlen(folder);
    return path.compare(0, length, folder) == 0 && (path.size() == length || path[length] == '/');
}

// Relative paths are taken from the working folder, as the system does.
bool PathInside(int base, const char* path) {
    if (path == nullptr) {
        return false;
    }
    if (path[0] == '/') {
        return Inside(path);
    }
    char buffer[4096];
    const std::string link =
        base == AT_FDCWD ? "/proc/self/cwd" : "/proc/self/fd/" + std::to_string(base);
    const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer - 1);
    return length > 0 && Inside(std::string(buffer, static_cast<size_t>(length)) + "/" + path);
}

bool FileInside(int fd) {
    char buffer[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer - 1);
    return length > 0 && Inside(std::string(buffer, static_cast<size_t>(length)));
}

bool ReadOnly() {
    const char* flag = std::getenv("SONDRIX_FAULT_READONLY");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

// What is left of the room; negative when there is no limit.
std::atomic<int64_t>& Room() {
    static std::atomic<int64_t> room = [] {
        const char* text = std::getenv("SONDRIX_FAULT_ROOM");
        return text != nullptr && *text != '\0' ? std::strtoll(text, nullptr, 10) : int64_t{-1};
    }();
    return room;
}

bool Refused(int error) {
    errno = error;
    return true;
}

bool OpenRefused(int base, const char* path, int flags) {
    const bool changes = (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
    return changes && ReadOnly() && PathInside(base, path) && Refused(EROFS);
}

int ModeOf(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(arguments, int) : 0;
}

// open() and open64() are openat() in the working folder.
int OpenThrough(int base, const char* path, int flags, int mode) {
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    return OpenRefused(base, path, flags) ? -1 : next(base, path, flags, mode);
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenThrough(AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenThrough(AT_FDCWD, path, flags, mode);
}

int openat(int base, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenThrough(base, path, flags, mode);
}

ssize_t write(int fd, const void* bytes, size_t count) {
    static const auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
    std::atomic<int64_t>& room = Room();
    if (fd <= STDERR_FILENO || room.load() < 0 || count == 0 || !FileInside(fd)) {
        return next(fd, bytes, count);
    }
    int64_t left = room.load();
    int64_t taken = 0;
    do {
        taken = std::min<int64_t>(left, static_cast<int64_t>(count));
    } while (!room.compare_exchange_weak(left, left - taken));
    if (taken == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = next(fd, bytes, static_cast<size_t>(taken));
    if (written < taken) {
        room += taken - std::max<ssize_t>(written, 0);
    }
    return written;
}

int mkdir(const char* path, mode_t mode) {
    if (ReadOnly() && PathInside(AT_FDCWD, path) && Refused(EROFS)) {
        return -1;
    }
    return Next<int (*)(const char*, mode_t)>("mkdir")(path, mode);
}

int rename(const char* from, const char* to) {
    if (ReadOnly() && (PathInside(AT_FDCWD, from) || PathInside(AT_FDCWD, to)) && Refused(EROFS)) {
        return -1;
    }
    return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

int unlink(const char* path) {
    if (ReadOnly() && PathInside(AT_FDCWD, path) && Refused(EROFS)) {
        return -1;
    }
    return Next<int (*)(const char*)>("unlink")(path);
}

}  // extern "C"
