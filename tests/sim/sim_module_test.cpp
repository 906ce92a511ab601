#include "sim/sim_module.h"

#include <gtest/gtest.h>

#include "link/command_table.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "sim/sim_options.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::Wire;

// Parses the module's answer bytes back into packets.
std::vector<test::SSeenPacket> Answers(const std::vector<SSimReply>& replies) {
    CPacketParser parser;
    std::vector<test::SSeenPacket> out;
    for (const SSimReply& reply : replies) {
        for (uint8_t b : reply.bytes) {
            if (parser.Feed(b) == CPacketParser::EEvent::Packet) {
                out.push_back(test::Snapshot(0, parser.rxPacket, 1));
            }
        }
    }
    return out;
}

std::vector<test::SSeenPacket> Ask(CSimModule& module, const std::vector<uint8_t>& request) {
    return Answers(module.Receive(request.data(), request.size()));
}

TEST(SimModule, AnswersTheIdentificationChainFromItsConfiguration) {
    CSimModule module({kModelHlxM28, 0x0124, 57600, 12});
    auto a = Ask(module, Wire(CMD_CONNECT));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].command, CMD_CONNECT);
    EXPECT_EQ(a[0].param1, RESULT_SUCCESS);
    EXPECT_EQ(a[0].param2, 12u);
    EXPECT_EQ(Ask(module, Wire(CMD_GET_MODULE_TYPE))[0].param2, kModelHlxM28);
    EXPECT_EQ(Ask(module, Wire(CMD_GET_SYSTEM_INFO))[0].param2, 0x0124u);
    a = Ask(module, Wire(CMD_GET_STATUS));
    EXPECT_EQ(a[0].param1, RESULT_SUCCESS);
    EXPECT_EQ(a[0].param2, 0u);
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 1u);
    EXPECT_EQ(module.Requests().size(), 4u);
}

TEST(SimModule, ClockFollowsSetTimeAndRefusesImpossibleTimes) {
    CSimModule module;
    auto a =
        Ask(module, Wire(CMD_SET_TIME, 0, 0, {0x20, 0x16, 0x03, 0x07, 0x14, 0x05, 0x09, 0x00}));
    EXPECT_EQ(a[0].param1, RESULT_SUCCESS);
    a = Ask(module, Wire(CMD_GET_TIME));
    ASSERT_EQ(a[0].data.size(), 7u);
    EXPECT_EQ(a[0].data[0], 0x20);
    EXPECT_EQ(a[0].data[1], 0x16);
    EXPECT_EQ(a[0].data[2], 0x03);
    EXPECT_EQ(a[0].data[3], 0x07);
    EXPECT_EQ(a[0].data[4], 0x14);
    EXPECT_EQ(a[0].data[5], 0x05);
    EXPECT_LE(a[0].data[6] - 0x09, 2) << "a second or two may pass";

    const int64_t offset = module.ClockOffsetSeconds();
    for (std::vector<uint8_t> bad :
         {std::vector<uint8_t>{0x20, 0x16, 0x13, 0x07, 0x14, 0x05, 0x09, 0},
          std::vector<uint8_t>{0x20, 0x16, 0x03, 0x07, 0x1A, 0x05, 0x09, 0},
          std::vector<uint8_t>{0x20, 0x16, 0x03}}) {
        EXPECT_EQ(Ask(module, Wire(CMD_SET_TIME, 0, 0, bad))[0].param1, RESULT_INVALID_PARAMETER);
    }
    EXPECT_EQ(module.ClockOffsetSeconds(), offset);
}

TEST(SimModule, UnknownCommandsAreAnsweredNotSupported) {
    CSimModule module;
    auto a = Ask(module, Wire(0x60));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].command, 0x60u);
    EXPECT_EQ(a[0].param1, RESULT_NOT_SUPPORTED);
}

TEST(SimModule, FaultsShapeTheAnswers) {
    CSimModule module;
    module.Faults().silent = true;
    EXPECT_TRUE(module.Receive(Wire(CMD_CONNECT).data(), 25).empty());
    EXPECT_EQ(module.RequestCount(CMD_CONNECT), 1u) << "heard, not answered";

    module.Faults() = {};
    module.Faults().forcedResult = RESULT_CAPTURE_TIMEOUT;
    module.Faults().reportLinkError = true;
    module.Faults().replyDelayMs = 250;
    module.Faults().garbageBefore = true;
    const auto request = Wire(CMD_GET_STATUS);
    const auto replies = module.Receive(request.data(), request.size());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].delayMs, 250u);
    const auto a = Answers(replies);
    ASSERT_EQ(a.size(), 1u) << "the garbage does not hide the packet";
    EXPECT_EQ(a[0].param1, RESULT_CAPTURE_TIMEOUT);
    EXPECT_EQ(a[0].errorCode, 2u);

    module.Faults() = {};
    module.Faults().corruptChecksum = true;
    EXPECT_TRUE(Ask(module, Wire(CMD_GET_STATUS)).empty());

    // A request with a spoiled checksum is not handled at all.
    module.Faults() = {};
    auto spoiled = Wire(CMD_CONNECT);
    spoiled[24] ^= 1;
    EXPECT_TRUE(Ask(module, spoiled).empty());
    EXPECT_EQ(module.RejectedPackets(), 1u);
}

TEST(SimOptions, ParseModelRateFirmwareAndUsers) {
    std::vector<std::string> args = {"--model", "HLX-M06", "--baud", "14400",     "--firmware",
                                     "1.24",    "--users", "300",    "--simulate"};
    SSimConfig config;
    std::string error;
    ASSERT_TRUE(ParseSimOptions(args, config, error)) << error;
    EXPECT_EQ(config.modelCode, FindModelByName("HLX-M06")->code);
    EXPECT_EQ(config.baudRate, 14400u);
    EXPECT_EQ(config.firmwareVersion, 0x0124u);
    EXPECT_EQ(config.userCount, 300u);
    EXPECT_EQ(args, std::vector<std::string>{"--simulate"});

    for (std::vector<std::string> bad :
         {std::vector<std::string>{"--model", "HLX-X"}, std::vector<std::string>{"--baud", "12345"},
          std::vector<std::string>{"--firmware", "1.xyz"}, std::vector<std::string>{"--users"},
          std::vector<std::string>{"--finger", "7:10"}, std::vector<std::string>{"--finger", "7"},
          std::vector<std::string>{"--finger", "1:0,2:0"},
          std::vector<std::string>{"--fingers", "1:0,"}}) {
        EXPECT_FALSE(ParseSimOptions(bad, config, error)) << bad.back();
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimOptions, FingersGoOnTheSensorOneScanAfterAnother) {
    std::vector<std::string> args = {"--fingers", "7:1,7:1,3:9"};
    SSimConfig config;
    std::string error;
    ASSERT_TRUE(ParseSimOptions(args, config, error)) << error;
    ASSERT_EQ(config.fingers, (std::vector<SFinger>{{7, 1}, {7, 1}, {3, 9}}));
    CSimModule module(config);
    std::vector<SSimReply> out;
    std::vector<SFinger> scanned;
    for (int scan = 0; scan < 4; ++scan) {
        EXPECT_EQ(module.Finger(), (std::vector<SFinger>{{7, 1}, {7, 1}, {3, 9}, {3, 9}}[scan]));
        scanned.push_back(*module.ScanFinger(CMD_VERIFY, out));
    }
    EXPECT_EQ(scanned, (std::vector<SFinger>{{7, 1}, {7, 1}, {3, 9}, {3, 9}})) << "the last stays";
}

}  // namespace
}  // namespace sondrix
