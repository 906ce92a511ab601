#include "files/read_file.h"

#include <array>

#include "platform/native_file.h"

namespace sondrix {

namespace {

EFileStatus OpenFailure(CNativeFile::EError error) {
    return error == CNativeFile::EError::NotFound ? EFileStatus::NotFound : EFileStatus::IoError;
}

}  // namespace

EFileStatus ProbeFile(const CFilePath& path) {
    const CNativeFile::EError error = CNativeFile::Probe(path);
    return error == CNativeFile::EError::None ? EFileStatus::Ok : OpenFailure(error);
}

EFileStatus ReadWholeFile(const CFilePath& path, size_t maxSize, std::vector<uint8_t>& out) {
    out.clear();
    CNativeFile file;
    if (!file.Open(path, CNativeFile::EMode::Read)) {
        return OpenFailure(file.LastError());
    }
    uint64_t size = 0;
    if (!file.RegularFileSize(size)) {
        return EFileStatus::IoError;
    }
    if (size > maxSize) {
        return EFileStatus::TooBig;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
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
