#include "imaging/file_handle.h"

#include <sys/stat.h>

#include <cerrno>

namespace sondrix {

CFileHandle::~CFileHandle() {
    Close();
}

ImageFileStatus CFileHandle::OpenForReading(const std::string& path) {
    m_file = std::fopen(path.c_str(), "rb");
    if (m_file != nullptr) {
        return ImageFileStatus::Ok;
    }
    return errno == ENOENT ? ImageFileStatus::NotFound : ImageFileStatus::IoError;
}

ImageFileStatus CFileHandle::OpenForWriting(const std::string& path) {
    m_file = std::fopen(path.c_str(), "wb");
    return m_file != nullptr ? ImageFileStatus::Ok : ImageFileStatus::IoError;
}

size_t CFileHandle::Read(uint8_t* out, size_t count) {
    return std::fread(out, 1, count, m_file);
}

bool CFileHandle::Write(const uint8_t* data, size_t count) {
    return std::fwrite(data, 1, count, m_file) == count;
}

bool CFileHandle::Length(uint64_t& length) {
    struct stat info;
    if (fstat(fileno(m_file), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    length = static_cast<uint64_t>(info.st_size);
    return true;
}

bool CFileHandle::Close() {
    if (m_file == nullptr) {
        return true;
    }
    const bool ok = std::fclose(m_file) == 0;
    m_file = nullptr;
    return ok;
}

}  // namespace sondrix
