#include "files/log_file.h"

#include <fcntl.h>

#include <span>
#include <string>

#include "files/file_descriptor.h"
#include "files/log_record.h"

namespace sondrix {

EFileStatus WriteLogChunk(const std::filesystem::path& path, size_t chunkIndex, CLogStore& store) {
    std::string text;
    std::span<const uint8_t> record;
    while (store.Next(record)) {
        text += FormatLogLine(record);
        text += "\r\n";
    }
    store.Reset();
    const int placement = chunkIndex == 0 ? O_TRUNC : O_APPEND;
    CFileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | placement, 0666));
    const bool written =
        file.IsOpen() &&
        file.WriteAll(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())) &&
        file.Close();
    return written ? EFileStatus::Ok : EFileStatus::IoError;
}

}  // namespace sondrix
