// The image page's readers on host files: BMP and RAW into an image of the
// current size, WSQ within the page's buffers. A failed read must leave the
// image as it was; every read stays within the buffers it was given.

#include <algorithm>
#include <vector>

#include "fuzz_target.h"
#include "imaging/bmp_file.h"
#include "imaging/raw_file.h"
#include "imaging/wsq_codec.h"
#include "imaging/wsq_file.h"

using sondrix::ImageFileStatus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Layout: format selector, width - 1, height - 1 (small images, so that
    // the fuzzer can reach files of the exact length), then the file.
    if (size < 3) {
        return 0;
    }
    const int format = data[0] % 3;
    const int width = (data[1] & 63) + 1;
    const int height = (data[2] & 63) + 1;
    static const char* const kSuffix[] = {".bmp", ".raw", ".wsq"};
    const sondrix::fuzz::CScratchFile file(data + 3, size - 3, kSuffix[format]);
    const std::string path = file.Path().string();

    constexpr uint8_t kUntouched = 0xA5;
    std::vector<uint8_t> pixels;
    ImageFileStatus status = ImageFileStatus::Ok;
    if (format == 0) {
        pixels.assign(static_cast<size_t>(width) * height, kUntouched);
        status = sondrix::ReadBmpFile(path, pixels.data(), width, height);
    } else if (format == 1) {
        pixels.assign(static_cast<size_t>(width) * height, kUntouched);
        status = sondrix::ReadRawFile(path, pixels.data(), width, height);
    } else {
        pixels.assign(sondrix::kWsqPixelCapacity, kUntouched);
        int w = -1;
        int h = -1;
        status = sondrix::ReadWsqFile(path, pixels.data(), pixels.size(), &w, &h, nullptr);
        if (status == ImageFileStatus::Ok) {
            sondrix::fuzz::Require(
                w > 0 && h > 0 && static_cast<size_t>(w) * static_cast<size_t>(h) <= pixels.size(),
                "a WSQ frame that does not fit reported as read");
        }
    }
    if (status != ImageFileStatus::Ok) {
        sondrix::fuzz::Require(
            std::all_of(pixels.begin(), pixels.end(), [](uint8_t p) { return p == kUntouched; }),
            "a refused file changed the image");
    }
    return 0;
}
