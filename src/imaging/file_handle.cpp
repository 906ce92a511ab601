#include "imaging/file_handle.h"

namespace sondrix {

ImageFileStatus CFileHandle::OpenForReading(const std::string& path) {
    if (m_file.Open(PathFromUtf8(path), CNativeFile::EMode::Read)) {
        return ImageFileStatus::Ok;
    }
    return m_file.LastError() == CNativeFile::EError::NotFound ? ImageFileStatus::NotFound
                                                               : ImageFileStatus::IoError;
}

ImageFileStatus CFileHandle::OpenForWriting(const std::string& path) {
    return m_file.Open(PathFromUtf8(path), CNativeFile::EMode::Truncate) ? ImageFileStatus::Ok
                                                                         : ImageFileStatus::IoError;
}

size_t CFileHandle::Read(uint8_t* out, size_t count) {
    const long got = m_file.ReadUpTo({out, count});
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool CFileHandle::Write(const uint8_t* data, size_t count) {
    return m_file.WriteAll({data, count});
}

bool CFileHandle::Length(uint64_t& length) {
    return m_file.RegularFileSize(length);
}

bool CFileHandle::Close() {
    return m_file.Close();
}

}  // namespace sondrix
