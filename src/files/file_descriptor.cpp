#include "files/file_descriptor.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace sondrix {

CFileDescriptor::~CFileDescriptor() {
    Close();
}

CFileDescriptor::CFileDescriptor(CFileDescriptor&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)) {}

CFileDescriptor& CFileDescriptor::operator=(CFileDescriptor&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool CFileDescriptor::WriteAll(std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
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

long CFileDescriptor::ReadUpTo(std::span<uint8_t> out) {
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::read(m_fd, out.data() + done, out.size() - done);
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

bool CFileDescriptor::Close() {
    if (m_fd < 0) {
        return true;
    }
    // Linux releases the descriptor even when close fails, so it is never retried.
    return ::close(std::exchange(m_fd, -1)) == 0;
}

}  // namespace sondrix
