#include "imaging/bmp_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "imaging/byte_writer.h"
#include "imaging/file_handle.h"
#include "platform/byte_reader.h"

namespace sondrix {
namespace {

constexpr uint16_t kBmpType = 0x4D42;  // "BM" read little-endian
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kGreyLevels = 256;
constexpr size_t kColourTableSize = 4 * kGreyLevels;
constexpr int kPauseAfterFileHeaderMs = 10;
constexpr int kPauseAfterInfoHeaderMs = 10;
constexpr int kPauseAfterColourTableMs = 100;

// Sizes whose file length and header fields fit 32 bits.
bool Supported(int width, int height) {
    return width > 0 && height > 0 && BmpFileSize(width, height) <= UINT32_MAX;
}

// Colour-table entries that go with a bit depth; -1 for a depth not taken.
int ColourTableEntries(uint16_t bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        case 16:
        case 24:
        case 32:
            return 0;
        default:
            return -1;
    }
}

}  // namespace

uint64_t BmpFileSize(int width, int height) {
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) + kBmpPixelOffset;
}

ImageFileStatus WriteBmpFile(const std::string& path, const uint8_t* pixels, int width, int height,
                             const std::function<void(int ms)>& pause, std::string* reason) {
    if (!Supported(width, height)) {
        return ImageFileStatus::NotSupported;
    }
    std::array<uint8_t, kFileHeaderSize> fileHeader;
    CByteWriter file(fileHeader.data(), fileHeader.size());
    file.U16LE(kBmpType);
    file.U32LE(static_cast<uint32_t>(BmpFileSize(width, height)));
    file.U16LE(0);
    file.U16LE(0);
    file.U32LE(kBmpPixelOffset);

    std::array<uint8_t, kInfoHeaderSize> infoHeader;
    CByteWriter info(infoHeader.data(), infoHeader.size());
    info.U32LE(kInfoHeaderSize);
    info.U32LE(static_cast<uint32_t>(width));
    info.U32LE(static_cast<uint32_t>(height));
    info.U16LE(1);  // planes
    info.U16LE(8);  // bits per pixel
    for (int field = 0; field < 4; ++field) {
        info.U32LE(0);  // compression, image size, horizontal and vertical resolution
    }
    info.U32LE(kGreyLevels);  // colours used
    info.U32LE(kGreyLevels);  // important colours

    std::array<uint8_t, kColourTableSize> colourTable;
    for (int i = 0; i < kGreyLevels; ++i) {
        colourTable[4 * i] = colourTable[4 * i + 1] = colourTable[4 * i + 2] =
            static_cast<uint8_t>(i);
        colourTable[4 * i + 3] = 0;
    }

    CReplacingFile out(PathFromUtf8(path));
    if (!out.Open()) {
        return FinishImageFile(out, false, reason);
    }
    const auto wait = [&pause](int ms) {
        if (pause) {
            pause(ms);
        }
    };
    bool ok = out.Write(fileHeader);
    wait(kPauseAfterFileHeaderMs);
    ok = ok && out.Write(infoHeader);
    wait(kPauseAfterInfoHeaderMs);
    ok = ok && out.Write(colourTable);
    wait(kPauseAfterColourTableMs);
    for (int y = height - 1; ok && y >= 0; --y) {
        ok = out.Write({pixels + static_cast<size_t>(y) * static_cast<size_t>(width),
                        static_cast<size_t>(width)});
    }
    return FinishImageFile(out, ok, reason);
}

ImageFileStatus ReadBmpFile(const std::string& path, uint8_t* pixels, int width, int height) {
    if (!Supported(width, height)) {
        return ImageFileStatus::NotSupported;
    }
    CFileHandle in;
    const ImageFileStatus opened = in.OpenForReading(path);
    if (opened != ImageFileStatus::Ok) {
        return opened;
    }
    std::array<uint8_t, kFileHeaderSize> fileHeader;
    uint16_t type = 0;
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
    CByteReader header(fileHeader.data(), fileHeader.size());
    if (in.Read(fileHeader.data(), fileHeader.size()) != fileHeader.size() || !header.U16LE(type) ||
        type != kBmpType) {
        return ImageFileStatus::InvalidFile;
    }
    header.U32LE(fileSize);
    header.Skip(4);  // reserved words
    header.U32LE(pixelOffset);
    uint64_t length = 0;
    if (!in.Length(length)) {
        return ImageFileStatus::IoError;
    }
    if (length != fileSize || pixelOffset != kBmpPixelOffset ||
        fileSize != BmpFileSize(width, height)) {
        return ImageFileStatus::NotSupported;
    }

    std::array<uint8_t, kInfoHeaderSize> infoHeader;
    if (in.Read(infoHeader.data(), infoHeader.size()) != infoHeader.size()) {
        return ImageFileStatus::TooShort;
    }
    CByteReader info(infoHeader.data(), infoHeader.size());
    uint16_t bitsPerPixel = 0;
    info.Skip(14);  // size, width, height, planes
    info.U16LE(bitsPerPixel);
    const int entries = ColourTableEntries(bitsPerPixel);
    if (entries < 0) {
        return ImageFileStatus::NotSupported;
    }
    std::array<uint8_t, kColourTableSize> colourTable;
    const size_t tableBytes = 4 * static_cast<size_t>(entries);
    std::vector<uint8_t> image(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (in.Read(colourTable.data(), tableBytes) != tableBytes ||
        in.Read(image.data(), image.size()) != image.size()) {
        return ImageFileStatus::TooShort;
    }
    // The file's last row is the image's first.
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = image.data() + static_cast<size_t>(height - 1 - y) * width;
        std::copy(row, row + width, pixels + static_cast<size_t>(y) * width);
    }
    return ImageFileStatus::Ok;
}

}  // namespace sondrix
