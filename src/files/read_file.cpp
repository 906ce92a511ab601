#include "files/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>

#include "files/file_descriptor.h"

namespace sondrix {

namespace {

EFileStatus OpenFailure(int error) {
    return error == ENOENT || error == ENOTDIR ? EFileStatus::NotFound : EFileStatus::IoError;
}

}  // namespace

EFileStatus ProbeFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? EFileStatus::Ok : OpenFailure(errno);
}

EFileStatus ReadWholeFile(const std::filesystem::path& path, size_t maxSize,
                          std::vector<uint8_t>& out) {
    out.clear();
    // Non-blocking so that a FIFO given in place of a file cannot hang the open.
    CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.IsOpen()) {
        return OpenFailure(errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        return EFileStatus::IoError;
    }
    if (static_cast<uintmax_t>(info.st_size) > maxSize) {
        return EFileStatus::TooBig;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    const long got = file.ReadUpTo(bytes);
    if (got < 0) {
        return EFileStatus::IoError;
    }
    // One byte more than the size seen tells a file that grew meanwhile.
    std::array<uint8_t, 1> beyond{};
    const long extra = file.ReadUpTo(beyond);
    if (extra < 0) {
        return EFileStatus::IoError;
    }
    if (static_cast<size_t>(got) != bytes.size() || extra != 0) {
        return EFileStatus::SizeChanged;
    }
    out = std::move(bytes);
    return EFileStatus::Ok;
}

}  // namespace sondrix
