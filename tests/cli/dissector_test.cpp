// What the Wireshark dissector makes of bytes the program never wrote: a
// TCP stream cut wherever its segments end (made with text2pcap), and
// frames of the packet link type that hold more or less than one packet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>

#include "app/trace_file.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "support/tshark.h"

namespace sondrix::test {
namespace {

using Bytes = std::vector<uint8_t>;

// A CMD_GET_STATUS answer, "Succeeded": header checksum 0x62 + 0x01.
const Bytes kStatusAnswer = {0x7E, 0x00, 0x00, 0x00, 0x62, 0x00, 0x00, 0x00, 0x01,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x63};

// A capture answer with its 3720-byte block.
Bytes CaptureAnswer() {
    CPacket packet;
    packet.command = CMD_CAPTURE_IMAGE;
    packet.param1 = RESULT_SUCCESS;
    packet.param2 = 0x0114;
    packet.dataSize = 3720;
    for (uint32_t i = 0; i < packet.dataSize; ++i) {
        packet.data[i] = static_cast<uint8_t>(i * 7);
    }
    return packet.Encode();
}

// The segments as text2pcap reads them: each a hex dump from offset 0.
std::string HexDump(const std::vector<Bytes>& segments) {
    std::string text;
    char cell[32];
    for (const Bytes& segment : segments) {
        for (size_t i = 0; i < segment.size(); ++i) {
            if (i % 16 == 0) {
                std::snprintf(cell, sizeof cell, "%s%06zx", i == 0 ? "" : "\n", i);
                text += cell;
            }
            std::snprintf(cell, sizeof cell, " %02x", segment[i]);
            text += cell;
        }
        text += "\n";
    }
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

class DissectorTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return (folder.Path() / name).string(); }
    CTempFolder folder;
};

// A capture answer and a status answer on one TCP stream, cut after the
// given offsets: in one and two passes, each packet is decoded once, in the
// frame where it ends, and nothing else claims a byte.
TEST_F(DissectorTest, PacketsCutAnywhereOnATcpStreamAreReassembled) {
    REQUIRE_TSHARK();
    const Bytes capture = CaptureAnswer();
    Bytes stream = capture;
    stream.insert(stream.end(), kStatusAnswer.begin(), kStatusAnswer.end());
    const size_t n = capture.size();
    // Whole; cut after the first header; the second packet starts inside
    // the reassembled first and is cut again; the first header cut twice;
    // the second cut two and five bytes in.
    const std::vector<std::vector<size_t>> cuts = {
        {}, {30}, {30, n + 10}, {10, 40}, {n + 2, n + 5}};
    for (const auto& at : cuts) {
        std::vector<Bytes> segments;
        size_t from = 0;
        for (size_t cut : at) {
            segments.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(from),
                                  stream.begin() + static_cast<std::ptrdiff_t>(cut));
            from = cut;
        }
        segments.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(from), stream.end());
        const std::string name = "split" + std::to_string(segments.size()) + "_" +
                                 std::to_string(at.empty() ? 0 : at.front());
        std::ofstream(Path(name + ".txt")) << HexDump(segments);
        const std::string command = "text2pcap -q -T 4000,5000 '" + Path(name + ".txt") + "' '" +
                                    Path(name + ".pcap") + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        for (const bool twoPasses : {false, true}) {
            SCOPED_TRACE(name + (twoPasses ? ", two passes" : ", one pass"));
            std::vector<std::string> options = {"-d", "tcp.port==4000,hlx"};
            if (twoPasses) {
                options.push_back("-2");
            }
            CTshark::SRun run;
            const auto rows = CTshark::Fields(
                Path(name + ".pcap"), {"frame.protocols", "hlx.command", "_ws.expert.message"}, run,
                options);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err.find("Dissector bug"), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("Lua"), std::string::npos) << run.err;
            ASSERT_EQ(rows.size(), segments.size()) << run.out;
            std::vector<std::string> commands;
            for (const auto& row : rows) {
                const std::vector<std::string> layers = Split(row.at(0), ':');
                const auto tcp = std::find(layers.begin(), layers.end(), "tcp");
                ASSERT_NE(tcp, layers.end()) << row.at(0);
                EXPECT_TRUE(std::all_of(tcp + 1, layers.end(), [](const std::string& layer) {
                    return layer == "hlx";
                })) << row.at(0);
                EXPECT_EQ(row.at(2), "") << "expert info";
                for (const std::string& code : Split(row.at(1), ',')) {
                    commands.push_back(code);
                }
            }
            EXPECT_EQ(commands, (std::vector<std::string>{"0x00000063", "0x00000062"}));
        }
    }
}

// On the packet link type the receiver's rules hold: bytes before a start
// byte are skipped, a command with a high byte set is no packet, and what
// follows a packet is read on from the next start byte.
TEST_F(DissectorTest, FramesAreReadFromTheStartByteAsTheReceiverReadsThem) {
    REQUIRE_TSHARK();
    Bytes noStart = kStatusAnswer;
    noStart[0] = 0x00;
    Bytes trailing = kStatusAnswer;
    trailing.insert(trailing.end(), {0x01, 0x02});
    Bytes highBytes = kStatusAnswer;
    highBytes[2] = 0x01;
    Bytes behindGarbage = {0x03};
    behindGarbage.insert(behindGarbage.end(), kStatusAnswer.begin(), kStatusAnswer.end());
    const std::string path = Path("frames.pcapng");
    CTraceWriter writer(CTraceWriter::EFormat::Pcapng, "frames");
    std::string error;
    ASSERT_TRUE(writer.Open(path, error)) << error;
    for (const Bytes& frame : {noStart, trailing, highBytes, behindGarbage}) {
        writer.Write({1700000000000000, 1, frame});
    }
    ASSERT_TRUE(writer.Close(error)) << error;

    CTshark::SRun run;
    const auto rows =
        CTshark::Fields(path, {"_ws.col.Info", "hlx.command", "_ws.expert.message"}, run);
    ASSERT_EQ(rows.size(), 4u) << run.err;
    const std::string skipped = "No start byte (0x7E): the receiver skips these bytes";
    const std::string noPacket =
        "A command's two high bytes are never set: the receiver takes no packet here";
    EXPECT_EQ(rows[0], (std::vector<std::string>{"25 bytes skipped", "", skipped}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"← CMD_GET_STATUS Succeeded | 2 bytes skipped",
                                                 "0x00000062", skipped}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"no packet | 22 bytes skipped", "",
                                                 noPacket + "," + skipped}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"1 byte skipped | ← CMD_GET_STATUS Succeeded",
                                                 "0x00000062", skipped}));
}

// The result code's value string and the result's text come from one table:
// every code shows the text the program shows for it.
TEST_F(DissectorTest, EveryResultCodeIsNamedAsTheResultText) {
    REQUIRE_TSHARK();
    const std::string path = Path("results.pcapng");
    CTraceWriter writer(CTraceWriter::EFormat::Pcapng, "results");
    std::string error;
    ASSERT_TRUE(writer.Open(path, error)) << error;
    std::vector<uint32_t> codes;
    for (uint32_t code = 0; code < 40; ++code) {
        codes.push_back(code);
    }
    codes.insert(codes.end(), {255, 256, 70000, 0xFFFFFFFF});
    CPacket packet;
    packet.command = CMD_GET_STATUS;
    for (const uint32_t code : codes) {
        packet.param1 = code;
        writer.Write({1700000000000000, 1, packet.Encode()});
    }
    ASSERT_TRUE(writer.Close(error)) << error;

    const CTshark::SRun run = CTshark::Run({"-r", path, "-V"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::regex line(R"(Result code: (.*) \((\d+)\))");
    std::vector<uint32_t> seen;
    for (std::sregex_iterator it(run.out.begin(), run.out.end(), line), end; it != end; ++it) {
        const uint32_t code = static_cast<uint32_t>(std::stoul((*it)[2]));
        EXPECT_EQ((*it)[1].str(), ResultText(code)) << code;
        seen.push_back(code);
    }
    EXPECT_EQ(seen, codes);
}

}  // namespace
}  // namespace sondrix::test
