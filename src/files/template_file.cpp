#include "files/template_file.h"

#include "files/read_file.h"
#include "platform/replacing_file.h"

namespace sondrix {

EFileStatus LoadTemplateFile(const CFilePath& path, std::vector<uint8_t>& out) {
    return ReadWholeFile(path, kMaxTemplateFileSize, out);
}

EFileStatus SaveTemplateFile(const CFilePath& path, std::span<const uint8_t> bytes,
                             std::string* reason) {
    CReplacingFile file(path);
    if (file.Open() && file.Write(bytes) && file.Commit()) {
        return EFileStatus::Ok;
    }
    if (reason != nullptr) {
        *reason = file.Error();
    }
    return EFileStatus::IoError;
}

}  // namespace sondrix
