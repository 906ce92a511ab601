#include "platform/replacing_file.h"

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/process_info.h"

namespace sondrix {

namespace {

namespace fs = std::filesystem;

constexpr int kCreateAttempts = 100;
constexpr std::string_view kTemporaryPrefix = ".sondrix-";
constexpr std::string_view kTemporarySuffix = ".tmp";

fs::path TemporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    // The leading dot keeps it out of file dialogs; record IDs never start with one.
    return target.parent_path() /
           (std::string(kTemporaryPrefix) + std::to_string(CNativeFile::ProcessId()) + "-" +
            std::to_string(counter.fetch_add(1)) + std::string(kTemporarySuffix));
}

// A process killed while it wrote leaves its temporary file behind; the
// first write of a run into a folder removes those whose writer has ended.
void RemoveLeftovers(const fs::path& folder) {
    static std::mutex mutex;
    static std::set<fs::path> cleaned;
    {
        const std::lock_guard lock(mutex);
        if (!cleaned.insert(folder).second) {
            return;
        }
    }
    std::error_code error;
    fs::directory_iterator entry(folder.empty() ? fs::path(".") : folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        unsigned long owner = 0;
        if (CReplacingFile::IsTemporaryName(Utf8FromPath(entry->path().filename()), owner) &&
            owner != CNativeFile::ProcessId() && !ProcessRunning(owner)) {
            CNativeFile::Remove(entry->path());
        }
    }
}

bool Digits(std::string_view text) {
    return !text.empty() && text.size() <= 10 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

CReplacingFile::CReplacingFile(const CFilePath& target) : m_target(target.Path()) {}

CReplacingFile::~CReplacingFile() {
    Discard();
}

bool CReplacingFile::IsTemporaryName(const std::string& name, unsigned long& owner) {
    std::string_view text = name;
    if (!text.starts_with(kTemporaryPrefix) || !text.ends_with(kTemporarySuffix)) {
        return false;
    }
    text.remove_prefix(kTemporaryPrefix.size());
    text.remove_suffix(kTemporarySuffix.size());
    const size_t dash = text.find('-');
    if (dash == std::string_view::npos || !Digits(text.substr(0, dash)) ||
        !Digits(text.substr(dash + 1))) {
        return false;
    }
    owner = std::stoul(std::string(text.substr(0, dash)));
    return true;
}

void CReplacingFile::Fail() {
    if (m_error.empty()) {
        m_error = LastSystemErrorText();
    }
    m_failed = true;
}

bool CReplacingFile::Open() {
    Discard();
    m_failed = false;
    m_written = 0;
    m_error.clear();
    m_final = FollowLinks(m_target);
    const fs::path& final = m_final;
    std::error_code error;
    const fs::file_status status = fs::status(final, error);
    if (fs::is_directory(status)) {
        m_error = std::make_error_code(std::errc::is_a_directory).message();
        m_failed = true;
        return false;
    }
    m_through = fs::exists(status) && !fs::is_regular_file(status);
    if (m_through) {
        if (!m_file.Open(final, CNativeFile::EMode::Existing)) {
            Fail();
        }
        return m_file.IsOpen();
    }
    RemoveLeftovers(final.parent_path());
    for (int attempt = 0; attempt < kCreateAttempts && !m_file.IsOpen(); ++attempt) {
        m_temporary = TemporaryBeside(final);
        if (!m_file.Open(m_temporary, CNativeFile::EMode::CreateNew) &&
            m_file.LastError() != CNativeFile::EError::Exists) {
            break;
        }
    }
    if (!m_file.IsOpen()) {
        Fail();
        m_temporary.clear();
        return false;
    }
    // A replaced file keeps its permissions.
    m_file.CopyPermissionsFrom(final);
    return true;
}

bool CReplacingFile::Write(std::span<const uint8_t> bytes) {
    if (!m_file.IsOpen() || m_failed) {
        return false;
    }
    if (!m_file.WriteAll(bytes)) {
        Fail();
        return false;
    }
    m_written += bytes.size();
    return true;
}

bool CReplacingFile::Commit() {
    if (!m_file.IsOpen() || m_failed) {
        Discard();
        return false;
    }
    if (m_through) {
        // A device or a FIFO has nothing to put on a disk.
        if (!m_file.Close()) {
            Fail();
            return false;
        }
        return true;
    }
    // Flushed before the rename, so that a crash never leaves the name on an empty file.
    const bool written = m_file.Flush() && m_file.Close();
    if (!written || !CNativeFile::Replace(m_temporary, m_final)) {
        Fail();
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
