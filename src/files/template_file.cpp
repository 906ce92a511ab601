#include "files/template_file.h"

#include "files/read_file.h"
#include "files/replacing_file.h"

namespace sondrix {

EFileStatus LoadTemplateFile(const CFilePath& path, std::vector<uint8_t>& out) {
    return ReadWholeFile(path, kMaxTemplateFileSize, out);
}

EFileStatus SaveTemplateFile(const CFilePath& path, std::span<const uint8_t> bytes) {
    CReplacingFile file(path);
    return file.Open() && file.Write(bytes) && file.Commit() ? EFileStatus::Ok
                                                             : EFileStatus::IoError;
}

}  // namespace sondrix
