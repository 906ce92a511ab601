#include "sim/sim_firmware.h"

#include <gtest/gtest.h>

#include "link/command_table.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "sim/sim_module.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

// Chunks of a 10000-byte image (three chunks) as the program sends them;
// size, last chunk and payload length can be spoiled.
std::vector<uint8_t> Chunk(uint32_t index, uint32_t size = 10000, uint32_t last = 2,
                           size_t payload = 4100) {
    std::vector<uint8_t> data(payload, static_cast<uint8_t>(index + 1));
    PutU32BE(data.data(), size);
    return test::Wire(CMD_FIRMWARE_DATA, 0, index * 256 + last, data);
}

// The module's answer: result and errorCode.
std::pair<uint32_t, uint32_t> Ask(CSimModule& module, const std::vector<uint8_t>& request) {
    CPacketParser parser;
    std::pair<uint32_t, uint32_t> answer{0, 0};
    for (const SSimReply& reply : module.Receive(request.data(), request.size())) {
        for (uint8_t b : reply.bytes) {
            if (parser.Feed(b) == CPacketParser::EEvent::Packet) {
                answer = {parser.rxPacket.param1, parser.rxPacket.errorCode};
            }
        }
    }
    return answer;
}

TEST(SimFirmware, ChunksOutOfOrderOrNotOfTheTransferAreRefused) {
    CSimModule module;
    const auto result = [&](const std::vector<uint8_t>& r) { return Ask(module, r).first; };
    EXPECT_EQ(result(test::Wire(CMD_UPGRADE_RECORD)), RESULT_FAILED) << "no image yet";
    EXPECT_EQ(result(Chunk(1)), RESULT_INVALID_PARAMETER) << "no transfer under way";
    ASSERT_EQ(result(Chunk(0)), RESULT_SUCCESS);
    EXPECT_EQ(result(Chunk(2)), RESULT_INVALID_PARAMETER) << "chunk 1 skipped";
    EXPECT_EQ(result(Chunk(1, 9000)), RESULT_INVALID_PARAMETER) << "another size";
    EXPECT_EQ(result(Chunk(1, 10000, 3)), RESULT_INVALID_PARAMETER) << "last chunk off the size";
    EXPECT_EQ(result(Chunk(3, 10000, 2)), RESULT_INVALID_PARAMETER) << "beyond the last chunk";
    EXPECT_EQ(result(Chunk(1, 10000, 2, 4096)), RESULT_INVALID_DATA_SIZE);
    EXPECT_EQ(result(Chunk(1, 1048577, 0)), RESULT_TOO_LARGE_DATA);
    EXPECT_EQ(module.Firmware().Received(false), std::vector<uint8_t>(4096, 1))
        << "refused chunks leave the image as it was";

    // Refusals on demand; a chunk sent again after its answer was lost is taken.
    module.Firmware().RefuseChunk(1, RESULT_FAILED);
    EXPECT_EQ(result(Chunk(1)), RESULT_FAILED);
    EXPECT_EQ(result(Chunk(1)), RESULT_SUCCESS);
    EXPECT_EQ(result(Chunk(1)), RESULT_SUCCESS);
    module.Firmware().RefuseChunk(2, 0);
    EXPECT_EQ(Ask(module, Chunk(2)).second, 2u) << "answered as a damaged packet";
    EXPECT_FALSE(module.Firmware().Complete(false));
    EXPECT_EQ(Ask(module, Chunk(2)), std::make_pair(uint32_t{RESULT_SUCCESS}, 0u));
    EXPECT_TRUE(module.Firmware().Complete(false));
    EXPECT_EQ(module.Firmware().Received(false).size(), 10000u) << "no filler in the image";
    EXPECT_EQ(result(test::Wire(CMD_UPGRADE_RECORD)), RESULT_SUCCESS);
    EXPECT_TRUE(module.Firmware().Received(true).empty()) << "the backup image is its own";
}

}  // namespace
}  // namespace sondrix
