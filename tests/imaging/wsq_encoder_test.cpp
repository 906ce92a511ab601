#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "imaging/wsq_codec.h"
#include "test_support.h"

namespace sondrix {
namespace {

struct Encoded {
    int result = -1;
    std::vector<uint8_t> stream;
    std::string diagnostics;
};

Encoded Encode(const std::vector<uint8_t>& pixels, int width, int height, float ratio = 5.0f,
               size_t capacity = kWsqEncodedCapacity) {
    Encoded encoded;
    encoded.stream.assign(capacity, 0);
    size_t length = 0;
    test::CCapturedStream diagnostics;
    encoded.result = WsqEncode(pixels.data(), width, height, ratio, encoded.stream.data(), capacity,
                               &length, diagnostics.File());
    encoded.diagnostics = diagnostics.Text();
    encoded.stream.resize(encoded.result == 0 ? length : 0);
    return encoded;
}

std::vector<uint8_t> DecodeOrFail(const std::vector<uint8_t>& stream, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
    int decodedWidth = 0;
    int decodedHeight = 0;
    EXPECT_EQ(0, WsqDecode(stream.data(), stream.size(), pixels.data(), pixels.size(),
                           &decodedWidth, &decodedHeight, nullptr));
    EXPECT_EQ(width, decodedWidth);
    EXPECT_EQ(height, decodedHeight);
    return pixels;
}

// Bin width Q (with zeroBin the zero-bin width Z) of subband k, read from the
// quantisation table segment.
double BinWidth(const std::vector<uint8_t>& stream, int k, bool zeroBin = false) {
    for (const auto& segment : test::WsqSegments(stream)) {
        if (segment.marker == 0xFFA5) {
            const uint8_t* entry = segment.payload.data() + 3 + 6 * k + (zeroBin ? 3 : 0);
            return (entry[1] << 8 | entry[2]) / std::pow(10.0, entry[0]);
        }
    }
    ADD_FAILURE() << "no quantisation table";
    return -1.0;
}

size_t BlockDataBytes(const std::vector<uint8_t>& stream) {
    size_t bytes = 0;
    for (const auto& segment : test::WsqSegments(stream)) {
        bytes += segment.data.size();
    }
    return bytes;
}

struct ReferenceImage {
    const char* name;
    int width;
    int height;
    // Rate-distortion points of the reference encoder: bytes, PSNR (dB).
    std::vector<std::pair<double, double>> points;
};

const ReferenceImage kReferenceImages[] = {
    {"nist_loop-right_256x240",
     256,
     240,
     {{5736, 23.64}, {9190, 26.26}, {12162, 28.40}, {17121, 31.19}}},
    {"capture_aes3500_256x256",
     256,
     256,
     {{7368, 31.71}, {11293, 36.09}, {14970, 39.09}, {21173, 43.60}}},
    {"synth_260x300", 260, 300, {{6413, 32.29}, {10307, 33.18}, {15061, 34.50}, {21739, 36.78}}},
};

std::vector<uint8_t> SourceImage(const ReferenceImage& image) {
    return test::ReadWsqReference(std::string(image.name) + ".raw");
}

// The reference encoder's PSNR at `bytes`, on the straight line between its
// neighbouring measured points (which lies below its real, concave curve).
double ReferencePsnr(const ReferenceImage& image, double bytes) {
    const auto& p = image.points;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        if (bytes >= p[i].first && bytes <= p[i + 1].first) {
            return p[i].second + (bytes - p[i].first) / (p[i + 1].first - p[i].first) *
                                     (p[i + 1].second - p[i].second);
        }
    }
    ADD_FAILURE() << bytes << " bytes is outside the measured range";
    return 99.0;
}

TEST(WsqEncoderTest, QualityAtLeastTheReferenceEncodersAtTheSameSize) {
    for (const ReferenceImage& image : kReferenceImages) {
        SCOPED_TRACE(image.name);
        const auto source = SourceImage(image);
        const Encoded encoded = Encode(source, image.width, image.height, kWsqSaveRatio);
        ASSERT_EQ(0, encoded.result);
        const double psnr =
            test::Psnr(source, DecodeOrFail(encoded.stream, image.width, image.height));
        EXPECT_GE(psnr, ReferencePsnr(image, static_cast<double>(encoded.stream.size())));
    }
}

TEST(WsqEncoderTest, RateControlStopsInTheBandAboveTheTarget) {
    for (const ReferenceImage& image : kReferenceImages) {
        for (float target : {3.0f, 5.0f, 10.0f}) {
            SCOPED_TRACE(std::string(image.name) + " at " + std::to_string(target));
            const Encoded encoded = Encode(SourceImage(image), image.width, image.height, target);
            ASSERT_EQ(0, encoded.result);
            const double achieved = static_cast<double>(image.width) * image.height /
                                    (static_cast<double>(BlockDataBytes(encoded.stream)) + 728.0);
            EXPECT_GE(achieved, target);
            EXPECT_LT(achieved, target + 1.0);
        }
    }
    // This capture reaches 5.6:1 with the first quality factor, 0.1.
    const Encoded onePass = Encode(SourceImage(kReferenceImages[1]), 256, 256);
    EXPECT_NE(std::string::npos, onePass.diagnostics.find("q = 0.100000 complen = "));
    EXPECT_DOUBLE_EQ(10.0, BinWidth(onePass.stream, 0));
}

TEST(WsqEncoderTest, StreamLayoutAndDiagnostics) {
    const auto source = SourceImage(kReferenceImages[2]);
    const Encoded encoded = Encode(source, 260, 300);
    ASSERT_EQ(0, encoded.result);
    const auto segments = test::WsqSegments(encoded.stream);
    std::vector<uint16_t> markers;
    for (const auto& segment : segments) {
        markers.push_back(segment.marker);
    }
    EXPECT_EQ((std::vector<uint16_t>{0xFFA0, 0xFFA4, 0xFFA5, 0xFFA2, 0xFFA6, 0xFFA3, 0xFFA6, 0xFFA3,
                                     0xFFA3, 0xFFA1}),
              markers);
    EXPECT_EQ(encoded.stream.size(), segments.back().offset + 2);

    // Transform table of a 9-tap and a 7-tap filter; quantisation table with
    // bin centre 0.44, zero bins 1.2 times the bins, nothing for 60..63.
    EXPECT_EQ(58u - 2, segments[1].payload.size());
    EXPECT_EQ(9, segments[1].payload[0]);
    EXPECT_EQ(7, segments[1].payload[1]);
    EXPECT_EQ(389u - 2, segments[2].payload.size());
    EXPECT_EQ((std::vector<uint8_t>{2, 0, 44}),
              std::vector<uint8_t>(segments[2].payload.begin(), segments[2].payload.begin() + 3));
    for (int k = 0; k < 64; ++k) {
        const double q = BinWidth(encoded.stream, k);
        EXPECT_EQ(k<60, q> 0.0) << "subband " << k;
        EXPECT_NEAR(1.2 * q, BinWidth(encoded.stream, k, true), 1e-3 * q) << "subband " << k;
    }

    // Frame header: black, white, height, width, m_shift and r_scale from the
    // middle of the pixel range, encoder 0, software 0.
    const auto& frame = segments[3].payload;
    ASSERT_EQ(17u - 2, frame.size());
    EXPECT_EQ((std::vector<uint8_t>{0, 255, 300 >> 8, 300 & 0xFF, 260 >> 8, 260 & 0xFF}),
              std::vector<uint8_t>(frame.begin(), frame.begin() + 6));
    const auto [low, high] = std::minmax_element(source.begin(), source.end());
    EXPECT_NEAR(*low + (*high - *low) / 2.0, (frame[7] << 8 | frame[8]) / std::pow(10.0, frame[6]),
                1e-2);
    EXPECT_NEAR((*high - *low) / 256.0, (frame[10] << 8 | frame[11]) / std::pow(10.0, frame[9]),
                1e-4);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}),
              std::vector<uint8_t>(frame.begin() + 12, frame.end()));

    // Huffman table 0 codes block 1, table 1 blocks 2 and 3.
    EXPECT_EQ(0, segments[4].payload.at(0));
    EXPECT_EQ((std::vector<uint8_t>{0}), segments[5].payload);
    EXPECT_EQ(1, segments[6].payload.at(0));
    EXPECT_EQ((std::vector<uint8_t>{1}), segments[7].payload);
    EXPECT_EQ((std::vector<uint8_t>{1}), segments[8].payload);

    // Block 1 is the top-left 65 x 75 sixteenth of the image, block 2 the
    // rest of the top-left quarter, block 3 the top-right and bottom-left
    // quarters.
    EXPECT_NE(std::string::npos,
              encoded.diagnostics.find("len1 = 4875 :: len2 = 14625 :: len3 = 39000\n"));
    EXPECT_NE(std::string::npos,
              encoded.diagnostics.find(
                  "complen = " + std::to_string(BlockDataBytes(encoded.stream)) + " ratio = "));
    const std::string tail = "buffer size : " + std::to_string(encoded.stream.size());
    EXPECT_EQ(tail, encoded.diagnostics.substr(encoded.diagnostics.size() - tail.size()));
}

TEST(WsqEncoderTest, RatioArgument) {
    const auto source = test::RidgeImage(128, 128);
    const Encoded zero = Encode(source, 128, 128, 0.0f);
    EXPECT_EQ(-1, zero.result);
    EXPECT_EQ("Invalid q value 0.000000\n", zero.diagnostics);
    EXPECT_EQ(-1, Encode(source, 128, 128, NAN).result);
    EXPECT_EQ(-1, Encode(source, 128, 128, INFINITY).result);
    const Encoded negative = Encode(source, 128, 128, -5.0f);
    ASSERT_EQ(0, negative.result);
    EXPECT_EQ(Encode(source, 128, 128, 5.0f).stream, negative.stream);
}

TEST(WsqEncoderTest, SameImageGivesSameBytesAlsoOnParallelThreads) {
    const auto first = test::RidgeImage(260, 300, 1);
    const auto second = test::RidgeImage(256, 320, 2);
    const Encoded expectedFirst = Encode(first, 260, 300);
    const Encoded expectedSecond = Encode(second, 256, 320);
    ASSERT_EQ(expectedFirst.stream, Encode(first, 260, 300).stream);

    Encoded parallelFirst;
    Encoded parallelSecond;
    std::thread a([&] { parallelFirst = Encode(first, 260, 300); });
    std::thread b([&] { parallelSecond = Encode(second, 256, 320); });
    a.join();
    b.join();
    EXPECT_EQ(expectedFirst.stream, parallelFirst.stream);
    EXPECT_EQ(expectedSecond.stream, parallelSecond.stream);
}

TEST(WsqEncoderTest, ConstantImageRoundTripsExactlyWithNothingCoded) {
    for (uint8_t value : {0, 77, 255}) {
        const std::vector<uint8_t> source(260 * 300, value);
        const Encoded encoded = Encode(source, 260, 300);
        ASSERT_EQ(0, encoded.result) << encoded.diagnostics;
        EXPECT_EQ(source, DecodeOrFail(encoded.stream, 260, 300));
        for (int k = 0; k < 64; ++k) {
            EXPECT_EQ(0.0, BinWidth(encoded.stream, k));
            EXPECT_EQ(0.0, BinWidth(encoded.stream, k, true));
        }
        EXPECT_EQ(0u, BlockDataBytes(encoded.stream));
    }
}

TEST(WsqEncoderTest, SubbandsWithoutVarianceAreNotCoded) {
    // Every row is constant, so every subband on the highpass side in x is
    // zero. Of the bottom-left quarter's four subbands 56..59 that leaves the
    // left two (56 and 58) coded.
    const int width = 256;
    const int height = 240;
    std::vector<uint8_t> source(width * height);
    for (int y = 0; y < height; ++y) {
        std::fill_n(source.begin() + y * width, width,
                    static_cast<uint8_t>(128 + 100 * std::sin(y * 0.9) + 20 * std::cos(y * 0.13)));
    }
    const Encoded encoded = Encode(source, width, height);
    ASSERT_EQ(0, encoded.result);
    for (int k : {1, 3, 4, 6, 51, 52, 53, 54, 55, 57, 59}) {
        EXPECT_EQ(0.0, BinWidth(encoded.stream, k)) << "subband " << k;
        EXPECT_EQ(0.0, BinWidth(encoded.stream, k, true)) << "subband " << k;
    }
    for (int k : {0, 2, 5, 56, 58}) {
        EXPECT_GT(BinWidth(encoded.stream, k), 0.0) << "subband " << k;
    }
    EXPECT_GT(test::Psnr(source, DecodeOrFail(encoded.stream, width, height)), 30.0);
}

TEST(WsqEncoderTest, OddSizesAndLargeImagesRoundTrip) {
    for (const auto& [width, height, ratio] :
         {std::tuple{64, 64, 2.0f}, {97, 131, 3.0f}, {500, 500, 5.0f}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const auto source = test::RidgeImage(width, height);
        const Encoded encoded = Encode(source, width, height, ratio, 400000);
        ASSERT_EQ(0, encoded.result);
        EXPECT_GT(test::Psnr(source, DecodeOrFail(encoded.stream, width, height)), 28.0);
    }
}

TEST(WsqEncoderTest, UnreachableTargetsEndAfterBoundedPasses) {
    const auto source = test::RidgeImage(128, 128);
    // Even an all-zero image costs more than 128 * 128 / 5000 bytes; the
    // nearest ratio below the target is kept.
    const Encoded high = Encode(source, 128, 128, 5000.0f);
    ASSERT_EQ(0, high.result);
    EXPECT_LE(high.stream.size(), Encode(source, 128, 128, 100.0f).stream.size());
    DecodeOrFail(high.stream, 128, 128);
    // Far finer than 16-bit coefficients allow: q stops where the largest
    // coefficient still fits, which is finer than any reachable target.
    const Encoded low = Encode(source, 128, 128, 0.001f);
    ASSERT_EQ(0, low.result);
    EXPECT_GE(test::Psnr(source, DecodeOrFail(low.stream, 128, 128)),
              test::Psnr(source, DecodeOrFail(Encode(source, 128, 128, 3.0f).stream, 128, 128)));
}

TEST(WsqEncoderTest, RefusesWhatDoesNotFit) {
    const auto source = SourceImage(kReferenceImages[2]);
    const Encoded full = Encode(source, 260, 300);
    ASSERT_EQ(0, full.result);
    EXPECT_EQ(full.stream, Encode(source, 260, 300, 5.0f, full.stream.size()).stream);
    const Encoded tooSmall = Encode(source, 260, 300, 5.0f, full.stream.size() - 1);
    EXPECT_EQ(-1, tooSmall.result);
    EXPECT_NE(std::string::npos, tooSmall.diagnostics.find("does not fit"));

    EXPECT_EQ(-1, Encode(source, 63, 64).result);
    EXPECT_NE(std::string::npos, Encode(source, 64, 63).diagnostics.find("outside 64..65535"));
    size_t length = 0;
    EXPECT_EQ(-1, WsqEncode(nullptr, 64, 64, 5.0f, nullptr, 0, &length, nullptr));
}

}  // namespace
}  // namespace sondrix
