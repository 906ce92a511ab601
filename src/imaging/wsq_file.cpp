#include "imaging/wsq_file.h"

#include <vector>

#include "imaging/file_handle.h"
#include "imaging/wsq_codec.h"

namespace sondrix {

ImageFileStatus ReadWsqFile(const std::string& path, uint8_t* pixels, size_t pixelCapacity,
                            int* width, int* height, std::FILE* diagnostics) {
    CFileHandle in;
    const ImageFileStatus opened = in.OpenForReading(path);
    if (opened != ImageFileStatus::Ok) {
        return opened;
    }
    // One byte more than the buffer tells a file that does not fit.
    std::vector<uint8_t> stream(kWsqInputCapacity + 1);
    const size_t length = in.Read(stream.data(), stream.size());
    if (length > kWsqInputCapacity) {
        return ImageFileStatus::TooLarge;
    }
    return WsqDecode(stream.data(), length, pixels, pixelCapacity, width, height, diagnostics) == 0
               ? ImageFileStatus::Ok
               : ImageFileStatus::CodecError;
}

ImageFileStatus WriteWsqFile(const std::string& path, const uint8_t* pixels, int width, int height,
                             std::FILE* diagnostics, std::string* reason) {
    std::vector<uint8_t> stream(kWsqEncodedCapacity);
    size_t length = 0;
    if (WsqEncode(pixels, width, height, kWsqSaveRatio, stream.data(), stream.size(), &length,
                  diagnostics) != 0) {
        return ImageFileStatus::CodecError;
    }
    CReplacingFile out(PathFromUtf8(path));
    return FinishImageFile(out, out.Open() && out.Write({stream.data(), length}), reason);
}

}  // namespace sondrix
