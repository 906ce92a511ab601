#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/native_file.h"

namespace sondrix {

namespace {

CNativeFile::EError ErrorOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return CNativeFile::EError::NotFound;
        case EEXIST:
            return CNativeFile::EError::Exists;
        default:
            return CNativeFile::EError::Other;
    }
}

int Fd(intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

std::string LastSystemErrorText() {
    return std::strerror(errno);
}

std::filesystem::path FollowLinks(const CFilePath& start, int hops) {
    std::filesystem::path path = start.Path();
    // readlink alone, which fails on what is no link: a library that fakes
    // /dev for tests (umockdev) answers it, where the checks of
    // std::filesystem would miss its links.
    for (int hop = 0; hop < hops; ++hop) {
        char target[4096];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) == sizeof target) {
            break;
        }
        const std::filesystem::path next(std::string(target, static_cast<size_t>(n)));
        path = (next.is_absolute() ? next : path.parent_path() / next).lexically_normal();
    }
    return path;
}

bool CNativeFile::Open(const CFilePath& path, EMode mode) {
    Close();
    int flags = O_CLOEXEC;
    switch (mode) {
        case EMode::Read:
            // Non-blocking so that a FIFO given in place of a file cannot hang the open.
            flags |= O_RDONLY | O_NOCTTY | O_NONBLOCK;
            break;
        case EMode::CreateNew:
            flags |= O_WRONLY | O_CREAT | O_EXCL;
            break;
        case EMode::Truncate:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case EMode::Append:
            flags |= O_WRONLY | O_CREAT | O_APPEND;
            break;
        case EMode::Existing:
            // Blocks, as a shell's redirection does, until a FIFO has a reader.
            flags |= O_WRONLY | O_NOCTTY;
            break;
    }
    m_handle = ::open(path.Path().c_str(), flags, 0666);
    m_error = m_handle >= 0 ? EError::None : ErrorOf(errno);
    return m_handle >= 0;
}

bool CNativeFile::IsOpen() const {
    return m_handle >= 0;
}

bool CNativeFile::WriteAll(std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(Fd(m_handle), bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

long CNativeFile::ReadUpTo(std::span<uint8_t> out) {
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::read(Fd(m_handle), out.data() + done, out.size() - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return static_cast<long>(done);
}

bool CNativeFile::RegularFileSize(uint64_t& size) const {
    struct stat info {};
    if (::fstat(Fd(m_handle), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        return false;
    }
    size = static_cast<uint64_t>(info.st_size);
    return true;
}

bool CNativeFile::Flush() {
    return ::fsync(Fd(m_handle)) == 0;
}

bool CNativeFile::TruncateTo(uint64_t length) {
    const auto end = static_cast<off_t>(length);
    return ::ftruncate(Fd(m_handle), end) == 0 && ::lseek(Fd(m_handle), end, SEEK_SET) == end;
}

void CNativeFile::CopyPermissionsFrom(const CFilePath& model) {
    struct stat existing {};
    if (::stat(model.Path().c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(Fd(m_handle), existing.st_mode & 07777);
    }
}

bool CNativeFile::Close() {
    if (m_handle < 0) {
        return true;
    }
    // Linux releases the descriptor even when close fails, so it is never retried.
    return ::close(Fd(std::exchange(m_handle, -1))) == 0;
}

CNativeFile::EError CNativeFile::Probe(const CFilePath& path) {
    struct stat info {};
    return ::stat(path.Path().c_str(), &info) == 0 ? EError::None
           : ErrorOf(errno) == EError::NotFound    ? EError::NotFound
                                                   : EError::Other;
}

bool CNativeFile::Replace(const CFilePath& from, const CFilePath& to) {
    return ::rename(from.Path().c_str(), to.Path().c_str()) == 0;
}

bool CNativeFile::Remove(const CFilePath& path) {
    return ::unlink(path.Path().c_str()) == 0;
}

unsigned long CNativeFile::ProcessId() {
    return static_cast<unsigned long>(::getpid());
}

}  // namespace sondrix
