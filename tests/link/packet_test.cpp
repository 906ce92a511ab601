#include "link/packet.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "link/command_table.h"
#include "link/model_table.h"
#include "link/result_codes.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::Wire;

TEST(PacketCodec, HeaderOnlyPacketIs25BytesWithByteSumChecksum) {
    const std::vector<uint8_t> expected = {0x7E, 0, 0, 0, 0x62, 0, 0, 0, 0, 0, 0, 0,   0,
                                           0,    0, 0, 0, 0,    0, 0, 0, 0, 0, 0, 0x62};
    EXPECT_EQ(Wire(CMD_GET_STATUS), expected);
}

TEST(PacketCodec, PayloadChecksumTreatsBytesAsUnsigned) {
    const auto wire = Wire(CMD_VERIFY, 0, 0, {0xFF, 0xFF, 0xFF});
    ASSERT_EQ(wire.size(), 32u);
    EXPECT_EQ(GetU32BE(&wire[13]), 3u);           // dataSize
    EXPECT_EQ(GetU32BE(&wire[28]), 0x000002FDu);  // data checksum
    EXPECT_EQ(GetU32BE(&Wire(CMD_VERIFY, 0, 0, {0x80})[26]), 0x80u);
}

TEST(PacketCodec, AllOnesHeaderSumsTo5100AndEncodeRestoresFields) {
    CPacket p;
    p.command = p.param1 = p.param2 = p.dataSize = p.errorCode = 0xFFFFFFFF;
    EXPECT_EQ(p.ComputeHeaderChecksum(), 5100u);
    // A dataSize above the payload buffer cannot be encoded.
    uint8_t out[64];
    EXPECT_EQ(p.Encode(out, sizeof out), 0u);

    CPacket q;
    q.command = 0x1FD;
    q.param2 = 0x0102;
    q.dataSize = 2;
    q.data[0] = 1;
    q.data[1] = 2;
    const auto bytes = q.Encode();
    EXPECT_EQ(q.command, 0x1FDu);
    EXPECT_EQ(q.param2, 0x0102u);
    EXPECT_TRUE(q.HeaderCheck());
    EXPECT_TRUE(q.DataCheck());
    EXPECT_EQ(bytes.size(), q.WireSize());
    EXPECT_EQ(q.Encode(out, 30), 0u) << "buffer of 30 bytes is one short";
}

TEST(PacketCodec, WireBytesKeepTheChecksumsThePacketCarries) {
    auto packet = std::make_unique<CPacket>();
    packet->command = CMD_GET_TIME;
    packet->param1 = 1;
    packet->dataSize = 3;
    packet->data[0] = 0x20;
    packet->data[1] = 0x26;
    packet->data[2] = 0xFF;
    const std::vector<uint8_t> encoded = packet->Encode();
    EXPECT_EQ(packet->WireBytes(), encoded);
    // A packet received with a spoiled checksum is traced as it came.
    packet->headerChecksum ^= 0x10;
    packet->dataChecksum ^= 0x01;
    const std::vector<uint8_t> spoiled = packet->WireBytes();
    ASSERT_EQ(spoiled.size(), encoded.size());
    EXPECT_EQ(spoiled[24], encoded[24] ^ 0x10);
    EXPECT_EQ(spoiled.back(), encoded.back() ^ 0x01);
    EXPECT_TRUE(std::equal(encoded.begin(), encoded.begin() + 21, spoiled.begin()));
    packet->dataSize = CPacket::kMaxData + 1;
    EXPECT_TRUE(packet->WireBytes().empty());
}

TEST(CommandTable, NotificationNumbersFollowTheirRanges) {
    struct SRange {
        uint32_t firstCode, lastCode, firstOffset;
    };
    const SRange ranges[] = {{0x01, 0x05, 0x0A}, {0x11, 0x12, 0x14}, {0x15, 0x1B, 0x16},
                             {0x20, 0x21, 0x1E}, {0x22, 0x27, 0x21}, {0x28, 0x38, 0x2A},
                             {0x40, 0x52, 0x3C}, {0x53, 0x54, 0x6E}, {0x62, 0x63, 0x52},
                             {0x65, 0x69, 0x55}};
    for (const SRange& r : ranges) {
        for (uint32_t code = r.firstCode; code <= r.lastCode; ++code) {
            const SCommandInfo* info = FindCommand(code);
            ASSERT_NE(info, nullptr) << std::hex << code;
            EXPECT_EQ(info->notification, WM_USER + r.firstOffset + (code - r.firstCode))
                << std::hex << code;
        }
    }
    EXPECT_EQ(FindCommand(0x60)->notification, WM_USER + 0x50);
    EXPECT_EQ(FindCommand(0x61)->notification, WM_USER + 0x51);
    EXPECT_EQ(FindCommand(0x64)->notification, WM_USER + 0x51);
    EXPECT_EQ(FindCommand(0x6A)->notification, WM_USER + 0x8E);
    EXPECT_EQ(FindCommand(0x101)->notification, WM_USER + 0x82);
    EXPECT_EQ(FindCommand(0x1F0)->notification, WM_USER + 0x8C);
    EXPECT_EQ(FindCommand(0x1FD)->notification, WM_USER + 0x8D);
    EXPECT_EQ(FindCommand(0x13), nullptr);
    EXPECT_EQ(FindCommand(0x6B), nullptr);
}

TEST(CommandTable, NotificationsAreUniqueExceptTheFirmwarePairAndAvoidLinkMessages) {
    std::set<uint32_t> seen;
    for (const SCommandInfo& info : CommandTable()) {
        if (info.code == CMD_FIRMWARE_DATA) {
            continue;  // shares its notification with CMD_UPGRADE_RECORD
        }
        EXPECT_TRUE(seen.insert(info.notification).second) << info.name;
    }
    for (uint32_t link : {WM_COMM_RECEIVE, WM_PACKET_TRACE, WM_CHECKSUM_ERROR, WM_QUEUE_FULL,
                          WM_PORT_LOST, WM_DELIVER_PACKET}) {
        EXPECT_EQ(seen.count(link), 0u);
    }
    for (uint8_t code : {0x01, 0x02, 0x12, 0x17, 0x22, 0x23, 0x2F, 0x26, 0x33, 0x62}) {
        const uint32_t n = ShortPacketNotification(code);
        EXPECT_GE(n, WM_USER + 0x64);
        EXPECT_LE(n, WM_USER + 0x6D);
        EXPECT_EQ(seen.count(n), 0u);
    }
    EXPECT_EQ(ShortPacketNotification(0x2F), WM_USER + 0x6A);
    EXPECT_EQ(ShortPacketNotification(0x26), WM_USER + 0x6B);
    EXPECT_EQ(ShortPacketNotification(0x05), 0u);
}

TEST(ResultCodes, TextsByCodeWithErrorForTheRest) {
    EXPECT_STREQ(ResultText(1), "Succeeded!!!");
    EXPECT_STREQ(ResultText(7), "Capture Time Out!!!");
    EXPECT_STREQ(ResultText(8), "Error!!!");
    EXPECT_STREQ(ResultText(13), "Canceled!!!");
    EXPECT_STREQ(ResultText(16), "Status of device is idle.");
    EXPECT_STREQ(ResultText(22), "Invalid Data!!!");
    EXPECT_STREQ(ResultText(23), "Error!!!");
    EXPECT_STREQ(ResultText(0), "Error!!!");
    EXPECT_STREQ(ResultText(0xFFFFFFFF), "Error!!!");
}

TEST(ModelTable, TwentyNineDistinctModelsWithTheirSeries) {
    std::set<uint16_t> codes;
    for (const SModelInfo& m : ModelTable()) {
        EXPECT_TRUE(codes.insert(m.code).second) << m.name;
    }
    EXPECT_EQ(codes.size(), 29u);
    EXPECT_EQ(FindModelByName("HLX-M18_LFD")->series, 5);
    EXPECT_EQ(FindModelByName("HLX-M05")->series, 2);
    EXPECT_EQ(FindModelByName("HLX-M09")->imageHeight, 320);
    EXPECT_EQ(FindModelByName("HLX-M10")->series, 0);
    EXPECT_EQ(FindModelByName("HLX-M22")->imageWidth, 0);
    EXPECT_EQ(FindModelByCode(kModelHlxM28)->name, "HLX-M28");
    EXPECT_EQ(FindModelByCode(0x1234), nullptr);
}

}  // namespace
}  // namespace sondrix
