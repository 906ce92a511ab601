#include "files/replacing_file.h"

#include <atomic>
#include <string>
#include <utility>

namespace sondrix {

namespace {

constexpr int kCreateAttempts = 100;

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    // The leading dot keeps it out of file dialogs; record IDs never start with one.
    return target.parent_path() / (".sondrix-" + std::to_string(CNativeFile::ProcessId()) + "-" +
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
    m_error.clear();
    for (int attempt = 0; attempt < kCreateAttempts && !m_file.IsOpen(); ++attempt) {
        m_temporary = TemporaryBeside(m_target);
        if (!m_file.Open(m_temporary, CNativeFile::EMode::CreateNew) &&
            m_file.LastError() != CNativeFile::EError::Exists) {
            break;
        }
    }
    if (!m_file.IsOpen()) {
        m_error = LastSystemErrorText();
        m_temporary.clear();
        return false;
    }
    // A replaced file keeps its permissions.
    m_file.CopyPermissionsFrom(m_target);
    return true;
}

bool CReplacingFile::Write(std::span<const uint8_t> bytes) {
    if (!m_file.IsOpen() || m_failed) {
        return false;
    }
    m_failed = !m_file.WriteAll(bytes);
    if (m_failed) {
        m_error = LastSystemErrorText();
    }
    return !m_failed;
}

bool CReplacingFile::Commit() {
    if (!m_file.IsOpen() || m_failed) {
        Discard();
        return false;
    }
    // Flushed before the rename, so that a crash never leaves the name on an empty file.
    const bool written = m_file.Flush() && m_file.Close();
    if (!written || !CNativeFile::Replace(m_temporary, m_target)) {
        m_error = LastSystemErrorText();
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void CReplacingFile::Discard() {
    m_file.Close();
    if (!m_temporary.empty()) {
        CNativeFile::Remove(m_temporary);
        m_temporary.clear();
    }
}

}  // namespace sondrix
