#include <filesystem>

#include "app/trace_file.h"
#include "cli/cli_options.h"
#include "cli_test_support.h"
#include "link/command_table.h"
#include "link/packet_parser.h"
#include "support/pcapng_reader.h"
#include "support/sim_session.h"

namespace sondrix::test {
namespace {

// The tracer's row of a packet read back from a trace.
std::vector<std::string> RowOf(const std::vector<uint8_t>& bytes, int direction) {
    CPacketParser parser;
    size_t used = 0;
    EXPECT_EQ(parser.Feed(bytes.data(), bytes.size(), used), CPacketParser::EEvent::Packet);
    EXPECT_EQ(used, bytes.size());
    return CPacketTracer::RowCells(parser.rxPacket, direction);
}

int DirectionOf(const SPcapngPacket& packet) {
    EXPECT_TRUE(packet.flags == CTraceWriter::kInbound || packet.flags == CTraceWriter::kOutbound);
    return packet.flags == CTraceWriter::kInbound ? 1 : 0;
}

// The program core on the in-process simulator, tracing on a clock of its own.
class TracerTest : public ::testing::Test, protected CSimSession {
  protected:
    void SetUp() override {
        dlg.Tracer().SetClock([this] { return 1700000000000000 + loop.NowMs() * 1000; });
        ASSERT_TRUE(ConnectTo("HLX-M18"));
    }
    const CListData& Rows() { return dlg.List(CSondrixDlg::kTracer); }
    CTempFolder folder;
};

TEST_F(TracerTest, EveryRowKeepsItsTimeAndWholePacket) {
    dlg.userDlg.Select(CUserDlg::kTracerOption, CPacketTracer::kShowAll);
    dlg.imageDlg.Click(CImageDlg::kCapture);
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.transferBusy == 0; }, 10000));
    loop.RunFor(500);
    const auto& packets = dlg.Tracer().Packets();
    ASSERT_EQ(packets.size(), Rows().RowCount());
    bool sawImageChunk = false;
    for (size_t i = 0; i < packets.size(); ++i) {
        EXPECT_EQ(RowOf(packets[i].bytes, packets[i].direction), Rows().Row(i).cells) << i;
        EXPECT_EQ(Rows().Row(i).tooltip, CPacketTracer::TimeText(packets[i].timeUs));
        if (i > 0) {
            EXPECT_GE(packets[i].timeUs, packets[i - 1].timeUs);
        }
        // The list shows 24 bytes of a chunk; the trace keeps all of them.
        sawImageChunk = sawImageChunk || packets[i].bytes.size() > 3000;
    }
    EXPECT_TRUE(sawImageChunk);
}

TEST_F(TracerTest, TheTraceKeepsPaceWithTheCappedListAndClears) {
    for (int i = 0; i < 600; ++i) {
        dlg.PacketManager().SendGetStatus();
        loop.RunFor(20);
    }
    loop.RunFor(500);
    ASSERT_EQ(Rows().RowCount(), CPacketTracer::kMaxRows);
    ASSERT_EQ(dlg.Tracer().Packets().size(), CPacketTracer::kMaxRows);
    EXPECT_EQ(RowOf(dlg.Tracer().Packets().front().bytes, dlg.Tracer().Packets().front().direction),
              Rows().Row(0).cells);
    dlg.Click(CSondrixDlg::kPktClear);
    EXPECT_TRUE(dlg.Tracer().Packets().empty());
}

TEST_F(TracerTest, SavedTraceReadsBackToTheSameRows) {
    dlg.userDlg.Select(CUserDlg::kTracerOption, CPacketTracer::kShowAll);
    dlg.aboutDlg.Type(CAboutDlg::kCommand, "61");
    dlg.aboutDlg.Type(CAboutDlg::kData, "0102030405");
    dlg.aboutDlg.Click(CAboutDlg::kSend);
    loop.RunFor(500);
    const std::string path = (folder.Path() / "session.pcapng").string();
    std::string error;
    ASSERT_TRUE(SaveTrace(path, dlg.Tracer().Packets(), "COM1 simulated module", error)) << error;

    SPcapng capture;
    ASSERT_EQ(ReadPcapng(path, capture), "");
    EXPECT_EQ(capture.linkTypes, std::vector<uint16_t>{CTraceWriter::kLinkType});
    const auto text = ReadTextTrace(path + ".txt");
    ASSERT_EQ(capture.packets.size(), Rows().RowCount());
    ASSERT_EQ(text.size(), Rows().RowCount() + 1);
    EXPECT_EQ(text[0].at(1), "DIR");
    for (size_t i = 0; i < capture.packets.size(); ++i) {
        const SPcapngPacket& packet = capture.packets[i];
        EXPECT_EQ(packet.timeUs, static_cast<uint64_t>(dlg.Tracer().Packets()[i].timeUs));
        EXPECT_EQ(RowOf(packet.bytes, DirectionOf(packet)), Rows().Row(i).cells) << i;
        const std::vector<std::string> line(text[i + 1].begin() + 1, text[i + 1].end());
        EXPECT_EQ(line, Rows().Row(i).cells) << i;
        EXPECT_EQ(text[i + 1].at(0), Rows().Row(i).tooltip);
    }
    // The hand-made packet and its answer are the last two.
    EXPECT_EQ(Rows().Row(Rows().RowCount() - 2).cells[6], "0102030405");

    // A .txt name gets the text form only.
    const std::string textOnly = (folder.Path() / "session.txt").string();
    ASSERT_TRUE(SaveTrace(textOnly, dlg.Tracer().Packets(), "COM1", error));
    EXPECT_EQ(ReadTextTrace(textOnly), text);
    EXPECT_FALSE(std::filesystem::exists(textOnly + ".txt"));
    EXPECT_FALSE(SaveTrace((folder.Path() / "none" / "x.pcapng").string(), dlg.Tracer().Packets(),
                           "COM1", error));
    EXPECT_NE(error.find("none/x.pcapng"), std::string::npos) << error;
}

TEST_F(CliTest, TraceOfACommandLineSessionHoldsEveryPacketBothWays) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 4});
    SKIP_WITHOUT_PTY();
    const std::string trace = Path("users.pcapng");
    const SRun run = Run(module, {"--trace", trace, "users"});
    ASSERT_EQ(run.status, kCliOk) << run.err;

    SPcapng capture;
    ASSERT_EQ(ReadPcapng(trace, capture), "");
    std::vector<SSimRequest> requests;
    module.WithModule(
        [&](CSimModule& m) { requests.assign(m.Requests().begin(), m.Requests().end()); });
    std::vector<uint32_t> sent;
    size_t received = 0;
    for (const SPcapngPacket& packet : capture.packets) {
        const std::vector<std::string> row = RowOf(packet.bytes, DirectionOf(packet));
        if (DirectionOf(packet) == 0) {
            sent.push_back(static_cast<uint32_t>(std::stoul(row[1], nullptr, 16)));
        } else {
            ++received;
        }
    }
    std::vector<uint32_t> heard;
    for (const SSimRequest& request : requests) {
        heard.push_back(request.command);
    }
    EXPECT_EQ(sent, heard);
    EXPECT_EQ(received, sent.size());
    EXPECT_NE(std::find(sent.begin(), sent.end(), uint32_t{CMD_GET_USER_LIST}), sent.end());
    EXPECT_EQ(ReadTextTrace(trace + ".txt").size(), capture.packets.size() + 1);
}

}  // namespace
}  // namespace sondrix::test
