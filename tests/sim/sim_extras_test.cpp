#include "sim/sim_extras.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "sim/sim_module.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::SSeenPacket;
using test::Wire;
using Bytes = std::vector<uint8_t>;

SSeenPacket Ask(CSimModule& module, const Bytes& request) {
    CPacketParser parser;
    std::vector<SSeenPacket> answers;
    for (const SSimReply& reply : module.Receive(request.data(), request.size())) {
        for (uint8_t b : reply.bytes) {
            if (parser.Feed(b) == CPacketParser::EEvent::Packet) {
                answers.push_back(test::Snapshot(0, parser.rxPacket, 1));
            }
        }
    }
    EXPECT_EQ(answers.size(), 1u);
    return answers.empty() ? SSeenPacket{} : answers.front();
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(SimExtras, CustomDataKeepsBlocksInsideItsArea) {
    CSimModule module;
    EXPECT_EQ(Ask(module, Wire(CMD_WRITE_CUSTOM_DATA, 100, 5, Text("HELLO"))).param1,
              RESULT_SUCCESS);
    SSeenPacket read = Ask(module, Wire(CMD_READ_CUSTOM_DATA, 99, 7));
    EXPECT_EQ(read.param1, RESULT_SUCCESS);
    EXPECT_EQ(read.param2, 7u);
    EXPECT_EQ(read.data, (Bytes{0, 'H', 'E', 'L', 'L', 'O', 0}));

    // The last byte of the area can be used; a block may not run past it.
    EXPECT_EQ(Ask(module, Wire(CMD_WRITE_CUSTOM_DATA, 8191, 1, Text("Z"))).param1, RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_READ_CUSTOM_DATA, 8191, 1)).data, Text("Z"));
    EXPECT_EQ(Ask(module, Wire(CMD_WRITE_CUSTOM_DATA, 8190, 3, Text("ABC"))).param1, RESULT_FAILED);
    EXPECT_EQ(Ask(module, Wire(CMD_READ_CUSTOM_DATA, 8000, 256)).param1, RESULT_FAILED);
    EXPECT_EQ(Ask(module, Wire(CMD_READ_CUSTOM_DATA, 8192, 1)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_READ_CUSTOM_DATA, 0, 257)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_WRITE_CUSTOM_DATA, 0, 0)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_WRITE_CUSTOM_DATA, 0, 4, Text("ABC"))).param1,
              RESULT_INVALID_DATA_SIZE);
    EXPECT_EQ(Ask(module, Wire(CMD_READ_CUSTOM_DATA, 8190, 2)).data, (Bytes{0, 'Z'}))
        << "refused writes change nothing";

    EXPECT_EQ(Ask(module, Wire(CMD_DELETE_CUSTOM_DATA)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_READ_CUSTOM_DATA, 100, 5)).data, Bytes(5, 0));
}

// A kind 2 record numbered `sequence`.
Bytes Record(uint32_t sequence) {
    Bytes record(CSimExtras::kLogRecordBytes, 0);
    PutU32BE(record.data(), sequence);
    record[4] = 2;
    return record;
}

// The sequence numbers of the records of one log answer.
std::vector<uint32_t> Sequences(const SSeenPacket& answer, size_t recordSize) {
    std::vector<uint32_t> sequences;
    if (answer.data.size() < 4) {
        return sequences;
    }
    const size_t count = (answer.data[0] << 8) | answer.data[1];
    EXPECT_EQ(answer.data.size(), 4 + count * recordSize);
    for (size_t i = 0; i < count; ++i) {
        sequences.push_back(GetU32BE(answer.data.data() + 4 + i * recordSize));
    }
    return sequences;
}

using Seq = std::vector<uint32_t>;

TEST(SimExtras, LogAnswersEachOptionAndPagesThroughLongOnes) {
    CSimModule module;  // an extended module: 32-byte records
    CSimExtras& extras = module.Extras();
    extras.ClearLog();
    for (uint32_t sequence = 1; sequence <= 10; ++sequence) {
        extras.AppendLogRecord(Record(sequence));
    }
    extras.recordsPerChunk = 4;
    auto get = [&](uint32_t option, uint32_t param2) {
        return Ask(module, Wire(CMD_GET_LOG_DATA, option, param2));
    };

    SSeenPacket a = get(3, 0);
    EXPECT_EQ(a.param2, 0x0002u) << "chunk 0 of last chunk 2";
    EXPECT_EQ(Sequences(a, 32), (Seq{1, 2, 3, 4}));
    a = get(3, 2);
    EXPECT_EQ(a.param2, 0x0202u);
    EXPECT_EQ(Sequences(a, 32), (Seq{9, 10}));
    EXPECT_EQ(get(3, 3).param1, RESULT_INVALID_PARAMETER);

    EXPECT_EQ(Sequences(get(2, 0), 32), (Seq{10}));
    EXPECT_EQ(Sequences(get(0, 0), 32), (Seq{10}));
    EXPECT_EQ(Sequences(get(0, 3), 32), (Seq{7}));
    a = get(0, 10);
    EXPECT_EQ(a.param1, RESULT_SUCCESS);
    EXPECT_TRUE(a.data.empty()) << "nothing that far back";

    // The read pointer: the whole log was read by option 3 above.
    EXPECT_EQ(extras.FirstUnread(), 10u);
    EXPECT_TRUE(get(1, 0).data.empty());
    for (uint32_t sequence = 11; sequence <= 18; ++sequence) {
        extras.AppendLogRecord(Record(sequence));
    }
    EXPECT_EQ(Sequences(get(1, 0), 32), (Seq{11}));
    EXPECT_EQ(Sequences(get(1, 0), 32), (Seq{12}));
    a = get(4, 0);
    EXPECT_EQ(a.param2, 0x0001u);
    EXPECT_EQ(Sequences(a, 32), (Seq{13, 14, 15, 16}));
    extras.AddEvent(3, 1, "42");  // arrives during the download: not part of it
    a = get(4, 1);
    EXPECT_EQ(a.param2, 0x0101u);
    EXPECT_EQ(Sequences(a, 32), (Seq{17, 18})) << "the range was fixed at chunk 0";
    EXPECT_EQ(extras.FirstUnread(), 18u);
    EXPECT_EQ(Sequences(get(1, 0), 32), (Seq{19}));
    EXPECT_EQ(get(7, 0).param1, RESULT_INVALID_PARAMETER);

    EXPECT_EQ(Ask(module, Wire(CMD_DELETE_LOG_DATA)).param1, RESULT_SUCCESS);
    a = get(3, 0);
    EXPECT_EQ(a.param1, RESULT_SUCCESS);
    EXPECT_TRUE(a.data.empty());
    EXPECT_EQ(get(3, 1).param1, RESULT_INVALID_PARAMETER);
}

TEST(SimExtras, SeededLogHoldsTheKindsOfTheModuleLayout) {
    auto kindsOf = [](CSimModule& module) {
        std::set<uint8_t> kinds;
        for (const auto& record : module.Extras().Log()) {
            kinds.insert(record[4]);
        }
        return kinds;
    };
    CSimModule extended;
    CSimModule again;
    EXPECT_EQ(extended.Extras().Log(), again.Extras().Log()) << "the same history every run";
    EXPECT_EQ(extended.Extras().Log().size(), CSimExtras::kSeededLogRecords);
    EXPECT_EQ(kindsOf(extended), (std::set<uint8_t>{1, 2, 3}));

    SSimConfig older;
    older.modelCode = static_cast<uint16_t>(FindModelByName("HLX-M09")->code);
    CSimModule legacy(older);
    EXPECT_EQ(kindsOf(legacy), (std::set<uint8_t>{0, 1, 2}));
    SSeenPacket a = Ask(legacy, Wire(CMD_GET_LOG_DATA, 2, 0));
    EXPECT_EQ(a.data.size(), 4u + 28u) << "the older layout sends 28-byte records";

    CSimModule emulated;
    emulated.Options()[kOptionEmulationMode] = 1;
    EXPECT_EQ(Ask(emulated, Wire(CMD_GET_LOG_DATA, 2, 0)).data.size(), 4u + 28u);
}

TEST(SimExtras, NewEventsCarryTheModuleClock) {
    CSimModule module;
    ASSERT_EQ(
        Ask(module, Wire(CMD_SET_TIME, 0, 0, {0x20, 0x24, 0x02, 0x29, 0x23, 0x59, 0x00, 0})).param1,
        RESULT_SUCCESS);
    const uint32_t lastSequence = GetU32BE(module.Extras().Log().back().data());
    module.Extras().AddEvent(7, 1, "123456789012345678");
    const auto& record = module.Extras().Log().back();
    EXPECT_EQ(GetU32BE(record.data()), lastSequence + 1);
    EXPECT_EQ(record[4], 3);
    EXPECT_EQ(record[5], 7);
    EXPECT_EQ(Bytes(record.begin() + 8, record.begin() + 12), (Bytes{0x20, 0x24, 0x02, 0x29}));
    EXPECT_EQ(std::string(record.begin() + 16, record.begin() + 31), "123456789012345");
    EXPECT_EQ(record[31], 0) << "the ID ends inside the record";
}

TEST(SimExtras, GpioPinsFollowTheirConfiguration) {
    CSimModule module;
    auto config = [&](uint32_t pin, uint32_t function) {
        return Ask(module, Wire(CMD_SET_GPIO_CONFIG, pin, function)).param1;
    };
    auto test = [&](uint32_t pin, uint32_t action) {
        return Ask(module, Wire(CMD_GPIO_TEST, pin, action));
    };
    EXPECT_EQ(config(8, 0), RESULT_INVALID_PARAMETER);
    for (uint32_t bad : {9u, 127u, 137u, 254u}) {
        EXPECT_EQ(config(0, bad), RESULT_INVALID_PARAMETER) << bad;
    }
    EXPECT_EQ(config(3, 134), RESULT_SUCCESS);
    EXPECT_EQ(module.Extras().GpioFunction(3), 134u);

    SSeenPacket a = test(3, 1);
    EXPECT_EQ(a.param1, RESULT_SUCCESS);
    EXPECT_EQ(a.param2, 0u) << "driving a pin reports no value";
    EXPECT_EQ(test(3, 256).param2, 0x101u);
    test(3, 0);
    EXPECT_EQ(test(3, 256).param2, 0x100u) << "a low pin still answers non-zero";

    EXPECT_EQ(test(0, 1).param1, RESULT_FAILED) << "an input cannot be driven";
    module.Extras().SetInputLevel(0, 1);
    EXPECT_EQ(test(0, 256).param2, 0x101u);
    EXPECT_EQ(config(0, 255), RESULT_SUCCESS);
    EXPECT_EQ(test(0, 256).param1, RESULT_FAILED) << "a disabled pin";
    EXPECT_EQ(test(8, 256).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(test(3, 2).param1, RESULT_INVALID_PARAMETER);
}

}  // namespace
}  // namespace sondrix
