#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "files/file_status.h"
#include "files/log_store.h"
#include "platform/replacing_file.h"

namespace sondrix {

// The .log file of one download, one line per record ended by "\r\n",
// written whole: chunk 0 starts it anew (dropping a download that never
// finished), every chunk's lines follow, and Finish() gives the file its name
// once the last chunk is in. Until then, and whenever anything fails, a file
// already there stays as it was.
class CLogFileWriter {
  public:
    // Writes the stored records of one chunk and empties the store; Ok or
    // IoError (the file cannot be made or written), after which the download
    // should stop.
    EFileStatus WriteChunk(const CFilePath& path, size_t chunkIndex, CLogStore& store);
    // The last chunk is in: the file takes its name. Ok or IoError.
    EFileStatus Finish();
    // Drops a download that ends without its last chunk.
    void Abandon();
    // The system's reason for the last IoError.
    const std::string& Error() const { return m_error; }
    // The length of the file the last Finish() completed.
    uint64_t BytesWritten() const { return m_bytes; }

  private:
    EFileStatus Failed();

    std::unique_ptr<CReplacingFile> m_file;
    std::string m_error;
    uint64_t m_bytes = 0;
};

}  // namespace sondrix
