#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "files/file_descriptor.h"

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
    // The errno of the first failure, 0 when nothing failed.
    int Error() const { return m_error; }

  private:
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    CFileDescriptor m_file;
    bool m_failed = false;
    int m_error = 0;
};

}  // namespace sondrix
