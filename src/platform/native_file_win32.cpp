#include <algorithm>
#include <utility>

#include "platform/native_file.h"
#include "platform/win32_api.h"
#include "platform/win32_text.h"

namespace sondrix {

namespace {

CNativeFile::EError ErrorOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return CNativeFile::EError::NotFound;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return CNativeFile::EError::Exists;
        default:
            return CNativeFile::EError::Other;
    }
}

HANDLE Handle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// A single call moves at most this much, so that counts fit a DWORD.
constexpr size_t kMaxCall = 1u << 30;

}  // namespace

std::string LastSystemErrorText() {
    return SystemErrorText(::GetLastError());
}

std::filesystem::path FollowLinks(const CFilePath& start, int hops) {
    std::filesystem::path path = start.Path();
    std::error_code error;
    for (int hop = 0; hop < hops && std::filesystem::is_symlink(path, error); ++hop) {
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = (next.is_absolute() ? next : path.parent_path() / next).lexically_normal();
    }
    return path;
}

bool CNativeFile::Open(const CFilePath& path, EMode mode) {
    Close();
    DWORD access = GENERIC_WRITE;
    DWORD disposition = OPEN_ALWAYS;
    switch (mode) {
        case EMode::Read:
            access = GENERIC_READ;
            disposition = OPEN_EXISTING;
            break;
        case EMode::CreateNew:
            disposition = CREATE_NEW;
            break;
        case EMode::Truncate:
            disposition = CREATE_ALWAYS;
            break;
        case EMode::Append:
            access = FILE_APPEND_DATA;
            break;
        case EMode::Existing:
            disposition = OPEN_EXISTING;
            break;
    }
    // Others may read and even rename or delete the file meanwhile, as on POSIX.
    const HANDLE handle = ::CreateFileW(path.Path().c_str(), access,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_error = handle == INVALID_HANDLE_VALUE ? ErrorOf(::GetLastError()) : EError::None;
    m_handle = reinterpret_cast<intptr_t>(handle);
    return IsOpen();
}

bool CNativeFile::IsOpen() const {
    return Handle(m_handle) != INVALID_HANDLE_VALUE;
}

bool CNativeFile::WriteAll(std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD part = static_cast<DWORD>(std::min(bytes.size() - done, kMaxCall));
        if (!::WriteFile(Handle(m_handle), bytes.data() + done, part, &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

long CNativeFile::ReadUpTo(std::span<uint8_t> out) {
    size_t done = 0;
    while (done < out.size()) {
        DWORD got = 0;
        const DWORD part = static_cast<DWORD>(std::min(out.size() - done, kMaxCall));
        if (!::ReadFile(Handle(m_handle), out.data() + done, part, &got, nullptr)) {
            return ::GetLastError() == ERROR_BROKEN_PIPE ? static_cast<long>(done) : -1;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return static_cast<long>(done);
}

bool CNativeFile::RegularFileSize(uint64_t& size) const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(Handle(m_handle)) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(Handle(m_handle), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

bool CNativeFile::Flush() {
    return ::FlushFileBuffers(Handle(m_handle)) != 0;
}

bool CNativeFile::TruncateTo(uint64_t length) {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFilePointerEx(Handle(m_handle), end, nullptr, FILE_BEGIN) &&
           ::SetEndOfFile(Handle(m_handle));
}

void CNativeFile::CopyPermissionsFrom(const CFilePath&) {
    // A new file takes the access rights of its folder, which are the ones the
    // replaced file had unless someone set its own; nothing to carry over.
}

bool CNativeFile::Close() {
    if (!IsOpen()) {
        return true;
    }
    return ::CloseHandle(Handle(std::exchange(m_handle, -1))) != 0;
}

CNativeFile::EError CNativeFile::Probe(const CFilePath& path) {
    if (::GetFileAttributesW(path.Path().c_str()) != INVALID_FILE_ATTRIBUTES) {
        return EError::None;
    }
    return ErrorOf(::GetLastError()) == EError::NotFound ? EError::NotFound : EError::Other;
}

bool CNativeFile::Replace(const CFilePath& from, const CFilePath& to) {
    return ::MoveFileExW(from.Path().c_str(), to.Path().c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool CNativeFile::Remove(const CFilePath& path) {
    return ::DeleteFileW(path.Path().c_str()) != 0;
}

unsigned long CNativeFile::ProcessId() {
    return ::GetCurrentProcessId();
}

}  // namespace sondrix
