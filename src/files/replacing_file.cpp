#include "files/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

namespace sondrix {

namespace {

constexpr int kCreateAttempts = 100;

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    // The leading dot keeps it out of file dialogs; record IDs never start with one.
    return target.parent_path() / (".sondrix-" + std::to_string(::getpid()) + "-" +
                                   std::to_string(counter.fetch_add(1)) + ".tmp");
}

}  // namespace

CReplacingFile::CReplacingFile(std::filesystem::path target) : m_target(std::move(target)) {}

CReplacingFile::~CReplacingFile() {
    Discard();
}

bool CReplacingFile::Open() {
    Discard();
    m_failed = false;
    m_error = 0;
    for (int attempt = 0; attempt < kCreateAttempts && !m_file.IsOpen(); ++attempt) {
        m_temporary = TemporaryBeside(m_target);
        m_file = CFileDescriptor(
            ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!m_file.IsOpen() && errno != EEXIST) {
            break;
        }
    }
    if (!m_file.IsOpen()) {
        m_error = errno;
        m_temporary.clear();
        return false;
    }
    // A replaced file keeps its permissions.
    struct stat existing {};
    if (::stat(m_target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(m_file.Get(), existing.st_mode & 07777);
    }
    return true;
}

bool CReplacingFile::Write(std::span<const uint8_t> bytes) {
    if (!m_file.IsOpen() || m_failed) {
        return false;
    }
    m_failed = !m_file.WriteAll(bytes);
    if (m_failed) {
        m_error = errno;
    }
    return !m_failed;
}

bool CReplacingFile::Commit() {
    if (!m_file.IsOpen() || m_failed) {
        Discard();
        return false;
    }
    // Flushed before the rename, so that a crash never leaves the name on an empty file.
    const bool written = ::fsync(m_file.Get()) == 0 && m_file.Close();
    if (!written || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        m_error = errno;
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void CReplacingFile::Discard() {
    m_file.Close();
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

}  // namespace sondrix
