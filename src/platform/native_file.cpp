#include "platform/native_file.h"

#include <utility>

namespace sondrix {

CNativeFile::~CNativeFile() {
    Close();
}

CNativeFile::CNativeFile(CNativeFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_error(other.m_error) {}

CNativeFile& CNativeFile::operator=(CNativeFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, -1);
        m_error = other.m_error;
    }
    return *this;
}

}  // namespace sondrix
