#include "imaging/file_handle.h"

namespace sondrix {

ImageFileStatus CFileHandle::OpenForReading(const std::string& path) {
    if (m_file.Open(PathFromUtf8(path), CNativeFile::EMode::Read)) {
        return ImageFileStatus::Ok;
    }
    return m_file.LastError() == CNativeFile::EError::NotFound ? ImageFileStatus::NotFound
                                                               : ImageFileStatus::IoError;
}

size_t CFileHandle::Read(uint8_t* out, size_t count) {
    const long got = m_file.ReadUpTo({out, count});
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool CFileHandle::Length(uint64_t& length) {
    return m_file.RegularFileSize(length);
}

ImageFileStatus FinishImageFile(CReplacingFile& file, bool written, std::string* reason) {
    if (written && file.Commit()) {
        return ImageFileStatus::Ok;
    }
    file.Discard();
    if (reason != nullptr) {
        *reason = file.Error();
    }
    return ImageFileStatus::IoError;
}

}  // namespace sondrix
