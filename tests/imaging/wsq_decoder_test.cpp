#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <regex>

#include "imaging/wsq_codec.h"
#include "test_support.h"

namespace sondrix {
namespace {

struct Decoded {
    int result = -1;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    std::string diagnostics;
};

// Decodes into a buffer of exactly `capacity` pixels, so that the sanitizers
// see any write past it; pixels that are not written keep the value 0xA5.
Decoded Decode(const std::vector<uint8_t>& stream, size_t capacity = kWsqPixelCapacity) {
    // A copy of exactly the stream's size: a read past it is caught too.
    const std::vector<uint8_t> input(stream);
    Decoded decoded;
    decoded.pixels.assign(capacity, 0xA5);
    test::CCapturedStream diagnostics;
    decoded.result = WsqDecode(input.data(), input.size(), decoded.pixels.data(), capacity,
                               &decoded.width, &decoded.height, diagnostics.File());
    decoded.diagnostics = diagnostics.Text();
    if (decoded.result == 0) {
        decoded.pixels.resize(static_cast<size_t>(decoded.width) * decoded.height);
    }
    return decoded;
}

std::vector<uint8_t> Reference(const std::string& name) {
    return test::ReadWsqReference(name);
}

// Splices `bytes` into the stream in front of segment `index`.
std::vector<uint8_t> InsertBefore(const std::vector<uint8_t>& stream, size_t index,
                                  const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out(stream);
    const size_t at = test::WsqSegments(stream).at(index).offset;
    out.insert(out.begin() + static_cast<long>(at), bytes.begin(), bytes.end());
    return out;
}

// The stream without its first segment that has this marker.
std::vector<uint8_t> Without(const std::vector<uint8_t>& stream, uint16_t marker) {
    const auto segments = test::WsqSegments(stream);
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        if (segments[i].marker == marker) {
            std::vector<uint8_t> out(stream);
            out.erase(out.begin() + static_cast<long>(segments[i].offset),
                      out.begin() + static_cast<long>(segments[i + 1].offset));
            return out;
        }
    }
    ADD_FAILURE() << "no segment " << std::hex << marker;
    return stream;
}

const char kSmallStream[] = "synth_260x300_r0.75.wsq";

TEST(WsqDecoderTest, ReproducesTheReferenceDecoderWithinOneGreyLevel) {
    const std::regex name(R"((.*_(\d+)x(\d+)_r[\d.]+)\.wsq)");
    int streams = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(SONDRIX_TESTDATA_DIR) + "/wsq")) {
        std::smatch match;
        const std::string file = entry.path().filename().string();
        if (!std::regex_match(file, match, name)) {
            continue;
        }
        SCOPED_TRACE(file);
        const Decoded decoded = Decode(Reference(file));
        ASSERT_EQ(0, decoded.result) << decoded.diagnostics;
        EXPECT_EQ(std::stoi(match[2]), decoded.width);
        EXPECT_EQ(std::stoi(match[3]), decoded.height);
        const auto expected = Reference(match[1].str() + ".nbis.raw");
        ASSERT_EQ(expected.size(), decoded.pixels.size());
        EXPECT_LE(test::MaxDifference(expected, decoded.pixels), 1);
        ++streams;
    }
    EXPECT_EQ(6, streams);
}

TEST(WsqDecoderTest, UnknownSegmentsOfOddLengthAreSkippedByTheirLength) {
    const auto stream = Reference(kSmallStream);
    const Decoded plain = Decode(stream);
    // An odd-length segment between the tables and one between the blocks;
    // their bodies hold what would look like markers to a decoder that
    // stepped through them two bytes at a time.
    auto patched = InsertBefore(stream, 3, {0xFF, 0xA9, 0x00, 0x05, 0xFF, 0xA2, 0xFF});
    const size_t secondTable = 8;  // after the first block's data
    ASSERT_EQ(0xFFA6, test::WsqSegments(patched).at(secondTable).marker);
    patched = InsertBefore(patched, secondTable, {0xFF, 0xA8, 0x00, 0x03, 0xA1});
    const Decoded decoded = Decode(patched);
    ASSERT_EQ(0, decoded.result) << decoded.diagnostics;
    EXPECT_EQ(plain.pixels, decoded.pixels);
    // The reference streams' own comment segment is reported the same way.
    EXPECT_NE(std::string::npos,
              decoded.diagnostics.find("ERror: IIIInvalid table defined -> {ffa8}\n"));
    EXPECT_NE(std::string::npos, decoded.diagnostics.find("-> {ffa9}"));
}

TEST(WsqDecoderTest, StreamWithoutSoiDecodesAfterAWarning) {
    const auto stream = Reference(kSmallStream);
    const Decoded decoded = Decode(std::vector<uint8_t>(stream.begin() + 2, stream.end()));
    ASSERT_EQ(0, decoded.result) << decoded.diagnostics;
    EXPECT_EQ(Decode(stream).pixels, decoded.pixels);
    // The first word read is the comment marker.
    EXPECT_NE(std::string::npos, decoded.diagnostics.find("No SOI MarKer. {65448}\n"));
}

TEST(WsqDecoderTest, ImageLargerThanTheOutputBufferIsRefusedUntouched) {
    const Decoded decoded = Decode(Reference(kSmallStream), 260 * 300 - 1);
    EXPECT_EQ(-1, decoded.result);
    EXPECT_NE(std::string::npos, decoded.diagnostics.find("does not fit"));
    EXPECT_EQ(std::vector<uint8_t>(260 * 300 - 1, 0xA5), decoded.pixels);
    EXPECT_EQ(0, Decode(Reference(kSmallStream), 260 * 300).result);
}

TEST(WsqDecoderTest, MissingTablesAndBrokenDataAreNamed) {
    const auto stream = Reference(kSmallStream);
    const auto segments = test::WsqSegments(stream);
    ASSERT_EQ(0xFFA4, segments.at(2).marker);
    ASSERT_EQ(0xFFA3, segments.at(6).marker);
    auto noHighpass = stream;
    noHighpass[segments[2].offset + 5] = 0;  // highpass length 0
    auto undefinedTable = stream;
    undefinedTable[segments[6].offset + 4] = 5;  // block coded with table 5
    auto unstuffed = stream;
    const auto data = std::search_n(unstuffed.begin() + static_cast<long>(segments[6].offset + 5),
                                    unstuffed.end(), 1, 0xFF);
    ASSERT_EQ(0x00, data[1]);
    data[1] = 0x12;
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {Without(stream, 0xFFA5), "ERROR: Quantization table parameters not defined!\n"},
        {Without(stream, 0xFFA4), "ERROR: Lopass filter coefficients not defined!\n"},
        {noHighpass, "ERROR: Hipass filter coefficients not defined!\n"},
        {undefinedTable, "Error huffman table {5} undefined.\n"},
        {unstuffed, "ERROR: No stuffed zeros.\n"},
    };
    for (const auto& [broken, message] : cases) {
        const Decoded decoded = Decode(broken);
        EXPECT_EQ(-1, decoded.result);
        EXPECT_NE(std::string::npos, decoded.diagnostics.find(message)) << message;
    }
}

TEST(WsqDecoderTest, EveryTruncationFailsWithoutTouchingTheOutput) {
    const auto stream = Reference(kSmallStream);
    for (size_t length = 0; length < stream.size(); ++length) {
        const Decoded decoded = Decode(
            std::vector<uint8_t>(stream.begin(), stream.begin() + static_cast<long>(length)));
        ASSERT_EQ(-1, decoded.result) << "length " << length;
        ASSERT_EQ(0xA5, decoded.pixels[0]) << "length " << length;
    }
}

TEST(WsqDecoderTest, CorruptStreamsFailOrDecodeWithinTheBuffers) {
    const auto stream = Reference(kSmallStream);
    std::mt19937 random(12345);
    int decodedCount = 0;
    for (int trial = 0; trial < 400; ++trial) {
        auto corrupt = stream;
        const int flips = 1 + trial % 4;
        for (int i = 0; i < flips; ++i) {
            corrupt[random() % corrupt.size()] ^= static_cast<uint8_t>(1 + random() % 255);
        }
        const Decoded decoded = Decode(corrupt, 260 * 300);
        ASSERT_TRUE(decoded.result == 0 || decoded.result == -1);
        if (decoded.result == 0) {
            ++decodedCount;
            EXPECT_LE(static_cast<size_t>(decoded.width) * decoded.height, 260u * 300u);
        } else {
            EXPECT_FALSE(decoded.diagnostics.empty());
        }
    }
    // Some flips in the entropy-coded data still decode (to other pixels).
    EXPECT_GT(decodedCount, 0);
    int width = 0;
    int height = 0;
    EXPECT_EQ(-1, WsqDecode(stream.data(), stream.size(), nullptr, 0, &width, &height, nullptr));
}

}  // namespace
}  // namespace sondrix
