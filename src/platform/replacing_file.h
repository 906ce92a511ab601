#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "platform/native_file.h"

namespace sondrix {

// Writes a file whole or not at all, so that the file there before survives
// every failure: the bytes go to a temporary file in the same folder, which
// takes the target's name only when Commit() has written, flushed and closed
// it. A target that is a symbolic link is followed: the file it names is
// replaced and the link stays. A target that exists and is no regular file
// (a device such as /dev/null, a FIFO) is written through as it is, never
// replaced. Opening also removes the temporary files that processes which
// have ended (killed part-way) left in the folder.
class CReplacingFile {
  public:
    explicit CReplacingFile(const CFilePath& target);
    // Drops the temporary file unless it was committed.
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates the temporary file (or opens the device); false when that fails.
    bool Open();
    // Appends to what is written; false once any write failed.
    bool Write(std::span<const uint8_t> bytes);
    // Flushes, closes and renames the temporary file over the target.
    bool Commit();
    // Drops what was written; the target stays as it was.
    void Discard();
    // The system's description of the first failure, empty when nothing failed.
    const std::string& Error() const { return m_error; }
    uint64_t BytesWritten() const { return m_written; }

    // Whether `name` is a temporary file this class makes, and of which process.
    static bool IsTemporaryName(const std::string& name, unsigned long& owner);

  private:
    void Fail();

    std::filesystem::path m_target;
    std::filesystem::path m_final;  // the target with its links followed
    std::filesystem::path m_temporary;
    CNativeFile m_file;
    bool m_through = false;  // written in place: a device or a FIFO
    bool m_failed = false;
    uint64_t m_written = 0;
    std::string m_error;
};

}  // namespace sondrix
