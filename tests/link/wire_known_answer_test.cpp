// Known answers on the wire. The program and the simulated module share one
// packet codec, so a wrong layout would stay consistent end to end; these
// bytes are written out by hand from the protocol's layout (big-endian
// fields, header sum of bytes 1 to 20, payload sum), not by our encoder.
// The requests' known bytes are with the send operations' tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "link/command_table.h"
#include "link/packet_parser.h"

namespace sondrix {
namespace {

using Bytes = std::vector<uint8_t>;

struct SAnswer {
    const char* name;
    Bytes wire;
    uint32_t command, param1, param2, errorCode;
    Bytes data;
};

class WireAnswerTest : public ::testing::TestWithParam<SAnswer> {};

// Decoding the bytes gives the fields; encoding the fields gives the bytes.
TEST_P(WireAnswerTest, DecodesToItsFieldsAndEncodesBackToTheSameBytes) {
    const SAnswer& answer = GetParam();
    CPacketParser parser;
    CPacketParser::EEvent last = CPacketParser::EEvent::None;
    for (uint8_t b : answer.wire) {
        ASSERT_EQ(last, CPacketParser::EEvent::None) << "an event before the last byte";
        last = parser.Feed(b);
    }
    ASSERT_EQ(last, CPacketParser::EEvent::Packet);
    const CPacket& got = parser.rxPacket;
    EXPECT_EQ(got.command, answer.command);
    EXPECT_EQ(got.param1, answer.param1);
    EXPECT_EQ(got.param2, answer.param2);
    EXPECT_EQ(got.errorCode, answer.errorCode);
    ASSERT_EQ(got.dataSize, answer.data.size());
    EXPECT_EQ(Bytes(got.data, got.data + got.dataSize), answer.data);

    auto packet = std::make_unique<CPacket>();
    packet->command = answer.command;
    packet->param1 = answer.param1;
    packet->param2 = answer.param2;
    packet->errorCode = answer.errorCode;
    packet->dataSize = static_cast<uint32_t>(answer.data.size());
    std::copy(answer.data.begin(), answer.data.end(), packet->data);
    EXPECT_EQ(packet->Encode(), answer.wire);
}

INSTANTIATE_TEST_SUITE_P(
    OneOfEachFamily, WireAnswerTest,
    ::testing::Values(
        // Connection: success and 42 enrolled users.
        SAnswer{"Connect",
                {0x7E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x2A,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C},
                CMD_CONNECT,
                1,
                42,
                0,
                {}},
        // System: firmware 3.05.
        SAnswer{"SystemInfo",
                {0x7E, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x03, 0x05,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D},
                CMD_GET_SYSTEM_INFO,
                1,
                0x0305,
                0,
                {}},
        // A payload packet: image block 0 of 20 with three bytes FF, whose sum
        // 0x2FD shows the bytes are added unsigned; 32 bytes in all.
        SAnswer{"ImageBlock",
                {0x7E, 0x00, 0x00, 0x00, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                 0x00, 0x14, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x7B, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0xFD},
                CMD_CAPTURE_IMAGE,
                1,
                0x0014,
                0,
                {0xFF, 0xFF, 0xFF}},
        // Matching: verified.
        SAnswer{"Verify",
                {0x7E, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x2A,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3C},
                CMD_VERIFY,
                1,
                0x2A,
                0,
                {}},
        // Database: result 5, invalid ID.
        SAnswer{"DeleteUser",
                {0x7E, 0x00, 0x00, 0x00, 0x22, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x27},
                CMD_DELETE_USER,
                5,
                0,
                0,
                {}},
        // Configuration: an option's value.
        SAnswer{"GetSystemOption",
                {0x7E, 0x00, 0x00, 0x00, 0x4D, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x50},
                CMD_GET_SYSTEM_OPTION,
                1,
                2,
                0,
                {}},
        // The module saw a checksum error: errorCode 2, counted in the header sum.
        SAnswer{"LinkError",
                {0x7E, 0x00, 0x00, 0x00, 0x62, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x65},
                CMD_GET_STATUS,
                1,
                0,
                2,
                {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WireShortPacket, SixBytesWithTheLowByteOfTheirSum) {
    CPacketParser parser;
    const Bytes good = {0x7E, 0x5A, 0x01, 0x00, 0x00, 0xD9};
    CPacketParser::EEvent last = CPacketParser::EEvent::None;
    for (uint8_t b : good) {
        last = parser.Feed(b);
    }
    ASSERT_EQ(last, CPacketParser::EEvent::ShortPacket);
    EXPECT_EQ(Bytes(parser.shortPacket, parser.shortPacket + 6), good);
    EXPECT_TRUE(parser.Idle());

    const Bytes spoilt = {0x7E, 0x5A, 0x01, 0x00, 0x00, 0xD8};
    for (uint8_t b : spoilt) {
        last = parser.Feed(b);
    }
    EXPECT_EQ(last, CPacketParser::EEvent::ShortChecksumError);
}

}  // namespace
}  // namespace sondrix
