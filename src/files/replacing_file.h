#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "platform/native_file.h"

namespace sondrix {

// Writes a file so that an existing file of that name survives every failure:
// the bytes go to a temporary file in the same folder, which takes the
// target's name only when Commit() has written, flushed and closed it.
class CReplacingFile {
  public:
    explicit CReplacingFile(std::filesystem::path target);
    // Removes the temporary file unless it was committed.
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates the temporary file; false when the folder does not allow it.
    bool Open();
    // Appends to the temporary file; false once any write failed.
    bool Write(std::span<const uint8_t> bytes);
    // Flushes, closes and renames the temporary file over the target.
    bool Commit();
    // The system's description of the first failure, empty when nothing failed.
    const std::string& Error() const { return m_error; }

  private:
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    CNativeFile m_file;
    bool m_failed = false;
    std::string m_error;
};

}  // namespace sondrix
