#include "files/log_file.h"

#include <span>
#include <string>

#include "files/log_record.h"
#include "files/replacing_file.h"

namespace sondrix {

EFileStatus WriteLogChunk(const CFilePath& path, size_t chunkIndex, CLogStore& store) {
    std::string text;
    std::span<const uint8_t> record;
    while (store.Next(record)) {
        text += FormatLogLine(record);
        text += "\r\n";
    }
    store.Reset();
    const std::span bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (chunkIndex == 0) {
        // A log already there is replaced only once the new one is on disk:
        // a full disk must not cost the person the file they had.
        CReplacingFile file(path);
        return file.Open() && file.Write(bytes) && file.Commit() ? EFileStatus::Ok
                                                                 : EFileStatus::IoError;
    }
    CNativeFile file;
    const bool written =
        file.Open(path, CNativeFile::EMode::Append) && file.WriteAll(bytes) && file.Close();
    return written ? EFileStatus::Ok : EFileStatus::IoError;
}

}  // namespace sondrix
