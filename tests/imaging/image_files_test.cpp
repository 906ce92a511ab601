#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "imaging/bmp_file.h"
#include "imaging/image_file.h"
#include "imaging/raw_file.h"
#include "imaging/wsq_codec.h"
#include "imaging/wsq_file.h"
#include "test_support.h"

namespace sondrix {
namespace {

namespace fs = std::filesystem;

class ImageFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("sondrix_imaging_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    static void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }

    fs::path m_dir;
};

TEST(ImageFileExtensionTest, LowerCasedTextAfterTheLastDotOfTheName) {
    EXPECT_EQ("raw", ImageFileExtension("/home/me/finger.RAW"));
    EXPECT_EQ("bmp", ImageFileExtension("scan.v2.Bmp"));
    EXPECT_EQ("wsq", ImageFileExtension("a.wsq"));
    EXPECT_EQ("", ImageFileExtension("/home/me.d/finger"));
    EXPECT_EQ("", ImageFileExtension("finger."));
    EXPECT_EQ("", ImageFileExtension(""));
}

TEST_F(ImageFilesTest, RawFilesHoldExactlyThePixels) {
    const auto image = test::RidgeImage(260, 300);
    ASSERT_EQ(ImageFileStatus::Ok, WriteRawFile(Path("a.raw"), image.data(), 260, 300));
    EXPECT_EQ(image, test::ReadWholeFile(Path("a.raw")));
    std::vector<uint8_t> opened(image.size());
    ASSERT_EQ(ImageFileStatus::Ok, ReadRawFile(Path("a.raw"), opened.data(), 260, 300));
    EXPECT_EQ(image, opened);

    // A short file, a missing one and an unwritable path leave the image.
    WriteBytes(Path("short.raw"), std::vector<uint8_t>(260 * 300 - 1, 9));
    std::vector<uint8_t> kept(260 * 300, 0xFF);
    EXPECT_EQ(ImageFileStatus::TooShort, ReadRawFile(Path("short.raw"), kept.data(), 260, 300));
    EXPECT_EQ(ImageFileStatus::NotFound, ReadRawFile(Path("none.raw"), kept.data(), 260, 300));
    EXPECT_EQ(std::vector<uint8_t>(260 * 300, 0xFF), kept);
    EXPECT_EQ(ImageFileStatus::IoError, WriteRawFile(Path("no/dir.raw"), kept.data(), 260, 300));
}

TEST_F(ImageFilesTest, BmpHasTheGreyHeaderAndBottomRowFirstWithoutPadding) {
    // 13 columns: a usual BMP would pad each row to 16 bytes.
    std::vector<uint8_t> image(13 * 4);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint8_t>(i);
    }
    std::vector<int> pauses;
    ASSERT_EQ(ImageFileStatus::Ok, WriteBmpFile(Path("a.bmp"), image.data(), 13, 4,
                                                [&pauses](int ms) { pauses.push_back(ms); }));
    EXPECT_EQ((std::vector<int>{10, 10, 100}), pauses);
    const auto file = test::ReadWholeFile(Path("a.bmp"));
    ASSERT_EQ(13u * 4 + 1078, file.size());
    const std::vector<uint8_t> header = {
        'B', 'M', 0x6A, 0x04, 0,  0, 0, 0, 0, 0, 0x36, 0x04, 0, 0,  // file header
        40,  0,   0,    0,    13, 0, 0, 0, 4, 0, 0,    0,    1, 0,
        8,   0,  // size, width, height
        0,   0,   0,    0,    0,  0, 0, 0, 0, 0, 0,    0,    0, 0,
        0,   0,                              // compression .. resolution
        0,   1,   0,    0,    0,  1, 0, 0};  // colours used, important
    EXPECT_EQ(header, std::vector<uint8_t>(file.begin(), file.begin() + 54));
    for (int i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(i);
        ASSERT_EQ((std::vector<uint8_t>{v, v, v, 0}),
                  std::vector<uint8_t>(file.begin() + 54 + 4 * i, file.begin() + 58 + 4 * i));
    }
    // First stored row: the image's bottom row.
    EXPECT_EQ(std::vector<uint8_t>(image.end() - 13, image.end()),
              std::vector<uint8_t>(file.begin() + 1078, file.begin() + 1078 + 13));
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 13),
              std::vector<uint8_t>(file.end() - 13, file.end()));
}

TEST_F(ImageFilesTest, BmpSaveOpenSaveIsByteIdenticalForItsImageSizeOnly) {
    const auto image = test::RidgeImage(260, 300);
    ASSERT_EQ(ImageFileStatus::Ok, WriteBmpFile(Path("a.bmp"), image.data(), 260, 300));
    EXPECT_EQ(79078u, fs::file_size(Path("a.bmp")));
    std::vector<uint8_t> opened(image.size());
    ASSERT_EQ(ImageFileStatus::Ok, ReadBmpFile(Path("a.bmp"), opened.data(), 260, 300));
    EXPECT_EQ(image, opened);
    ASSERT_EQ(ImageFileStatus::Ok, WriteBmpFile(Path("b.bmp"), opened.data(), 260, 300));
    EXPECT_EQ(test::ReadWholeFile(Path("a.bmp")), test::ReadWholeFile(Path("b.bmp")));

    std::vector<uint8_t> other(256 * 320, 0x11);
    EXPECT_EQ(ImageFileStatus::NotSupported, ReadBmpFile(Path("a.bmp"), other.data(), 256, 320));
    EXPECT_EQ(std::vector<uint8_t>(256 * 320, 0x11), other);
}

TEST_F(ImageFilesTest, BmpHeaderChecks) {
    const auto image = test::RidgeImage(64, 32);
    ASSERT_EQ(ImageFileStatus::Ok, WriteBmpFile(Path("good.bmp"), image.data(), 64, 32));
    const auto good = test::ReadWholeFile(Path("good.bmp"));
    std::vector<uint8_t> opened(image.size());
    const auto open = [&](const std::vector<uint8_t>& bytes) {
        WriteBytes(Path("x.bmp"), bytes);
        return ReadBmpFile(Path("x.bmp"), opened.data(), 64, 32);
    };

    auto notBm = good;
    notBm[1] = 'A';
    EXPECT_EQ(ImageFileStatus::InvalidFile, open(notBm));
    EXPECT_EQ(ImageFileStatus::InvalidFile, open({'B', 'M', 0}));

    // A smaller colour table: the pixels start at 54 + 16 * 4 = 118 and the
    // file sizes agree with each other, but the offset is not 1078.
    auto fourBit = good;
    fourBit[10] = 118;
    fourBit[11] = 0;
    EXPECT_EQ(ImageFileStatus::NotSupported, open(fourBit));

    auto longer = good;
    longer.push_back(0);
    EXPECT_EQ(ImageFileStatus::NotSupported, open(longer));

    auto oddDepth = good;
    oddDepth[28] = 2;
    EXPECT_EQ(ImageFileStatus::NotSupported, open(oddDepth));

    // With 24 bits per pixel there is no colour table: the pixels are read
    // right after the information header.
    auto trueColour = good;
    trueColour[28] = 24;
    ASSERT_EQ(ImageFileStatus::Ok, open(trueColour));
    EXPECT_EQ(good[54], opened[31 * 64]);

    EXPECT_EQ(ImageFileStatus::NotFound, ReadBmpFile(Path("none.bmp"), opened.data(), 64, 32));
}

TEST_F(ImageFilesTest, WsqFilesWithinThePageBuffers) {
    const auto image = test::RidgeImage(260, 300);
    ASSERT_EQ(ImageFileStatus::Ok, WriteWsqFile(Path("a.wsq"), image.data(), 260, 300, nullptr));
    std::vector<uint8_t> pixels(kWsqPixelCapacity, 0x3C);
    int width = 0;
    int height = 0;
    const auto read = [&](const std::string& name) {
        return ReadWsqFile(Path(name), pixels.data(), pixels.size(), &width, &height, nullptr);
    };
    ASSERT_EQ(ImageFileStatus::Ok, read("a.wsq"));
    EXPECT_EQ(260, width);
    EXPECT_EQ(300, height);
    EXPECT_GT(test::Psnr(image, std::vector<uint8_t>(pixels.begin(), pixels.begin() + 260 * 300)),
              30.0);

    std::fill(pixels.begin(), pixels.end(), 0x3C);
    WriteBytes(Path("big.wsq"), std::vector<uint8_t>(kWsqInputCapacity + 1, 0));
    EXPECT_EQ(ImageFileStatus::TooLarge, read("big.wsq"));
    WriteBytes(Path("junk.wsq"), std::vector<uint8_t>(100, 0xFF));
    EXPECT_EQ(ImageFileStatus::CodecError, read("junk.wsq"));
    EXPECT_EQ(ImageFileStatus::NotFound, read("none.wsq"));
    EXPECT_EQ(std::vector<uint8_t>(kWsqPixelCapacity, 0x3C), pixels);
    // An image the codec cannot take leaves no file behind.
    EXPECT_EQ(ImageFileStatus::CodecError,
              WriteWsqFile(Path("tiny.wsq"), pixels.data(), 8, 8, nullptr));
    EXPECT_FALSE(fs::exists(Path("tiny.wsq")));
}

}  // namespace
}  // namespace sondrix
