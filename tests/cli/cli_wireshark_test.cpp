// What Wireshark (tshark with the project's dissector) makes of the traces
// the program writes against the simulated module, and traces of runs that
// are interrupted.
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>

#include "app/packet_summary.h"
#include "app/trace_file.h"
#include "cli/cli_options.h"
#include "cli_test_support.h"
#include "link/command_table.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "support/pcapng_reader.h"
#include "support/sim_session.h"
#include "support/tshark.h"

namespace sondrix::test {
namespace {

constexpr uint32_t kWarnSeverity = 0x00600000;  // PI_WARN; errors are above

std::unique_ptr<CPacketParser> Parse(const std::vector<uint8_t>& bytes) {
    auto parser = std::make_unique<CPacketParser>();
    size_t used = 0;
    EXPECT_EQ(parser->Feed(bytes.data(), bytes.size(), used), CPacketParser::EEvent::Packet);
    return parser;
}

int Direction(const SPcapngPacket& packet) {
    return packet.flags == CTraceWriter::kInbound ? 1 : 0;
}

// The highest expert severity tshark gave a frame (0 for none).
uint32_t Severity(const std::string& cell) {
    uint32_t highest = 0;
    std::stringstream list(cell);
    for (std::string value; std::getline(list, value, ',');) {
        highest = std::max(highest, static_cast<uint32_t>(std::stoul(value)));
    }
    return highest;
}

struct SFrame {
    uint32_t interface = 0;
    std::string info;
    uint32_t severity = 0;
    bool malformed = false;
    std::string note;
};

// Every frame of `trace` as tshark dissects it, checked against the file as
// our own reader sees it: same frames, and on the packet interface the Info
// column the program's own summary of each packet.
std::vector<SFrame> Dissect(const std::string& trace, SPcapng& capture) {
    EXPECT_EQ(ReadPcapng(trace, capture), "");
    CTshark::SRun run;
    const auto rows = CTshark::Fields(trace,
                                      {"frame.interface_id", "_ws.col.Info", "_ws.expert.severity",
                                       "_ws.malformed", "hlx_raw.note"},
                                      run);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("Lua"), std::string::npos) << run.err;
    EXPECT_EQ(rows.size(), capture.packets.size());
    std::vector<SFrame> frames;
    for (size_t i = 0; i < rows.size() && i < capture.packets.size(); ++i) {
        const auto& row = rows[i];
        SFrame frame{static_cast<uint32_t>(std::stoul(row.at(0))), row.at(1), Severity(row.at(2)),
                     !row.at(3).empty(), row.at(4)};
        const SPcapngPacket& packet = capture.packets[i];
        EXPECT_EQ(frame.interface, packet.interface) << i;
        if (packet.interface == CTraceWriter::kPacketInterface) {
            EXPECT_EQ(frame.info, PacketSummary(Parse(packet.bytes)->rxPacket, Direction(packet)))
                << "frame " << i + 1;
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

void ExpectClean(const std::vector<SFrame>& frames) {
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_LT(frames[i].severity, kWarnSeverity) << "frame " << i + 1 << ": " << frames[i].info;
        EXPECT_FALSE(frames[i].malformed) << "frame " << i + 1;
    }
}

bool HasInfo(const std::vector<SFrame>& frames, const std::string& info) {
    return std::any_of(frames.begin(), frames.end(),
                       [&](const SFrame& f) { return f.info == info; });
}

// The bytes one interface carried in one direction, end to end.
std::vector<uint8_t> Stream(const SPcapng& capture, uint32_t interface, int direction) {
    std::vector<uint8_t> bytes;
    for (const SPcapngPacket& packet : capture.packets) {
        if (packet.interface == interface && Direction(packet) == direction) {
            bytes.insert(bytes.end(), packet.bytes.begin(), packet.bytes.end());
        }
    }
    return bytes;
}

TEST_F(CliTest, InfoAndCaptureTracesDissectCleanlyWithTheProgramsNames) {
    REQUIRE_TSHARK();
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    const std::string info = Path("info.pcapng");
    ASSERT_EQ(Run(module, {"--trace", info, "--trace-raw", "info"}).status, kCliOk);
    SPcapng capture;
    auto frames = Dissect(info, capture);
    ExpectClean(frames);
    EXPECT_TRUE(HasInfo(frames, "→ CMD_CONNECT"));
    EXPECT_TRUE(HasInfo(frames, "← CMD_GET_MODULE_TYPE Succeeded"));
    EXPECT_TRUE(HasInfo(frames, "← raw 25 bytes: CMD_GET_STATUS"));

    const std::string image = Path("capture.pcapng");
    ASSERT_EQ(Run(module, {"--trace", image, "--trace-raw", "capture", "-o", Path("f.bmp")}).status,
              kCliOk);
    SPcapng imageCapture;
    frames = Dissect(image, imageCapture);
    ExpectClean(frames);
    EXPECT_TRUE(HasInfo(frames, "→ CMD_CAPTURE_IMAGE block 3"));
    EXPECT_TRUE(HasInfo(frames, "← CMD_CAPTURE_IMAGE Succeeded, 3720 bytes"));
    // On a clean line the raw interface carries exactly the packets' bytes.
    for (int direction : {0, 1}) {
        EXPECT_EQ(Stream(imageCapture, CTraceWriter::kRawInterface, direction),
                  Stream(imageCapture, CTraceWriter::kPacketInterface, direction))
            << "direction " << direction;
    }
}

TEST(WiresharkTest, EveryCommandAndResultNameComesFromTheProgramsTables) {
    REQUIRE_TSHARK();
    CTempFolder folder;
    const std::string path = (folder.Path() / "names.pcapng").string();
    CTraceWriter writer(CTraceWriter::EFormat::Pcapng, "names");
    std::string error;
    ASSERT_TRUE(writer.Open(path, error));
    CPacket packet;
    std::vector<std::string> expected;
    for (const SCommandInfo& command : CommandTable()) {
        packet.command = command.code;
        writer.Write({1700000000000000, 0, packet.Encode()});
        const bool capture =
            command.code == CMD_CAPTURE_IMAGE || command.code == CMD_CAPTURE_COLOR_IMAGE;
        expected.push_back("→ " + std::string(command.name) + (capture ? " block 0" : ""));
    }
    packet.command = 0x7F;
    writer.Write({1700000000000000, 0, packet.Encode()});
    expected.push_back("→ 0x7f");
    constexpr uint32_t kCodes = 40;
    packet.command = CMD_GET_STATUS;
    for (uint32_t code = 0; code < kCodes; ++code) {
        packet.param1 = code;
        writer.Write({1700000000000000, 1, packet.Encode()});
    }
    ASSERT_TRUE(writer.Close(error));

    CTshark::SRun run;
    const auto rows = CTshark::Fields(path, {"_ws.col.Info", "hlx.result"}, run);
    ASSERT_EQ(rows.size(), expected.size() + kCodes) << run.err;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i][0], expected[i]);
    }
    // Result texts exactly as the program shows them; codes without a text
    // of their own get the common one.
    const std::vector<std::string> literal = {"Succeeded!!!", "Failed!!!", "Not Master Mode!!!"};
    for (uint32_t code = 0; code < kCodes; ++code) {
        const auto& row = rows[expected.size() + code];
        EXPECT_EQ(row[1], ResultText(code)) << code;
        EXPECT_EQ(row[0], "← CMD_GET_STATUS " + ResultSummary(code)) << code;
        if (code >= 1 && code <= literal.size()) {
            EXPECT_EQ(row[1], literal[code - 1]);
        }
    }
    EXPECT_EQ(rows[expected.size() + 16][0], "← CMD_GET_STATUS Status of device is idle");
    EXPECT_EQ(rows[expected.size() + 30][1], "Error!!!");
}

// The program core on the in-process simulator, on virtual time, saving
// what the window would save with "raw line" ticked.
class RawLineTraceTest : public ::testing::Test, protected CSimSession {
  protected:
    void SetUp() override {
        const auto clock = [this] { return 1700000000000000 + loop.NowMs() * 1000; };
        dlg.Tracer().SetClock(clock);
        dlg.RawLine().SetClock(clock);
        ASSERT_TRUE(ConnectTo("HLX-M18"));
    }
    CTempFolder folder;
};

TEST_F(RawLineTraceTest, GarbageBadChecksumAndTruncatedHeaderShowOnTheRawInterface) {
    REQUIRE_TSHARK();
    // Ahead of three answers: stray bytes; a CMD_GET_STATUS answer with the
    // payload FF FF FF whose data checksum is 2FC instead of 2FD; the first
    // nine bytes of a header (result 9), which swallow the next answer's start.
    const std::vector<uint8_t> garbage = {0x01, 0x02, 0x03};
    const std::vector<uint8_t> badChecksum = {0x7E, 0x00, 0x00, 0x00, 0x62, 0x00, 0x00, 0x00,
                                              0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0x66, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0xFC};
    const std::vector<uint8_t> truncated = {0x7E, 0x00, 0x00, 0x00, 0x62, 0x00, 0x00, 0x00, 0x09};
    module.Faults().bytesBefore = {garbage, badChecksum, truncated};
    for (int i = 0; i < 4; ++i) {
        dlg.imageDlg.Click(CImageDlg::kStatus);
        loop.RunFor(2000);
    }
    const std::string path = (folder.Path() / "faults.pcapng").string();
    const std::vector<SRawChunk> raw = dlg.RawLine().Copy();
    std::string error;
    ASSERT_TRUE(SaveTrace(path, dlg.Tracer().Packets(), "COM1 simulated", error, &raw)) << error;

    SPcapng capture;
    const auto frames = Dissect(path, capture);
    const auto inbound = [&](const std::vector<uint8_t>& bytes) {
        // The chunk the injected bytes arrived in, and its frame.
        for (size_t i = 0; i < capture.packets.size(); ++i) {
            const SPcapngPacket& p = capture.packets[i];
            if (p.interface == CTraceWriter::kRawInterface && Direction(p) == 1 &&
                std::search(p.bytes.begin(), p.bytes.end(), bytes.begin(), bytes.end()) ==
                    p.bytes.begin()) {
                return i;
            }
        }
        ADD_FAILURE() << "no raw chunk starts with the injected bytes";
        return size_t{0};
    };
    const SFrame& skipped = frames[inbound(garbage)];
    EXPECT_EQ(skipped.note, "3 bytes skipped; CMD_GET_STATUS");
    EXPECT_LT(skipped.severity, 0x00800000u);
    EXPECT_GE(skipped.severity, kWarnSeverity);

    const SFrame& bad = frames[inbound(badChecksum)];
    EXPECT_EQ(bad.note.rfind("CMD_GET_STATUS: bad data checksum", 0), 0u) << bad.note;
    EXPECT_GE(bad.severity, 0x00800000u) << "a bad checksum is an error";
    EXPECT_NE(bad.info.find("bad data checksum"), std::string::npos) << bad.info;

    const SFrame& cut = frames[inbound(truncated)];
    EXPECT_NE(cut.note.find("header dropped"), std::string::npos) << cut.note;
    EXPECT_NE(cut.note.find("bytes skipped"), std::string::npos) << cut.note;

    // The packet interface holds only the good packets, cleanly dissected,
    // and the raw line everything that came.
    std::vector<SFrame> packets;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(packets),
                 [](const SFrame& f) { return f.interface == CTraceWriter::kPacketInterface; });
    ExpectClean(packets);
    EXPECT_EQ(std::count_if(packets.begin(), packets.end(),
                            [](const SFrame& f) { return f.info == "← CMD_GET_STATUS Succeeded"; }),
              static_cast<std::ptrdiff_t>(module.RequestCount(CMD_GET_STATUS)) - 1)
        << "one answer was swallowed by the truncated header";
    EXPECT_EQ(Stream(capture, CTraceWriter::kRawInterface, 1).size(),
              Stream(capture, CTraceWriter::kPacketInterface, 1).size() + garbage.size() +
                  badChecksum.size() + truncated.size() + CPacket::kHeaderSize);
}

// The packets the trace holds as sent are those the module heard, all of
// them, and the capture was still under way.
void ExpectEverySentPacketIn(const SPcapng& capture, CPtySimulator& module) {
    std::vector<uint32_t> sent;
    for (const SPcapngPacket& packet : capture.packets) {
        if (packet.interface == CTraceWriter::kPacketInterface && Direction(packet) == 0) {
            sent.push_back(Parse(packet.bytes)->rxPacket.command);
        }
    }
    std::vector<uint32_t> heard;
    size_t imageRequests = 0;
    module.WithModule([&](CSimModule& m) {
        for (const SSimRequest& request : m.Requests()) {
            heard.push_back(request.command);
        }
        imageRequests = m.RequestCount(CMD_CAPTURE_IMAGE);
    });
    EXPECT_EQ(sent, heard) << "every packet sent before the end is in the trace";
    EXPECT_LT(imageRequests, 21u) << "the end came before the capture's";
}

// Waits until the trace holds three image blocks.
bool CaptureUnderWay(const std::string& trace) {
    return Eventually([&] {
        SPcapng partial;
        ReadPcapng(trace, partial);
        return std::count_if(partial.packets.begin(), partial.packets.end(),
                             [](const SPcapngPacket& p) { return p.bytes.size() > 3000; }) >= 3;
    });
}

TEST_F(CliTest, SignalMidCaptureLeavesATraceThatHoldsEveryPacketSent) {
    REQUIRE_TSHARK();
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    module.SetPacing(true);  // a capture then takes its wire time, 7 s
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        module.WithModule([](CSimModule& m) { m.ClearRequests(); });
        const std::string trace = Path("stopped" + std::to_string(signal) + ".pcapng");
        CChild child({"--port", module.SlavePath(), "--baud", "115200", "--trace", trace,
                      "--trace-raw", "capture", "-o", Path("f.bmp")},
                     Path("out"), Path("err"));
        ASSERT_TRUE(child.Started());
        ASSERT_TRUE(CaptureUnderWay(trace));
        ASSERT_EQ(child.Stop(signal), kCliSignalBase + signal) << ReadAll(Path("err"));

        SPcapng capture;
        const auto frames = Dissect(trace, capture);
        ExpectClean(frames);
        const CTshark::SRun run = CTshark::Run({"-r", trace});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("cut short"), std::string::npos) << run.err;
        ExpectEverySentPacketIn(capture, module);
        EXPECT_EQ(ReadTextTrace(trace + ".txt").size(),
                  std::count_if(capture.packets.begin(), capture.packets.end(),
                                [](const SPcapngPacket& p) { return p.interface == 0; }) +
                      1);
        EXPECT_NE(ReadAll(Path("err")).find("interrupted by signal"), std::string::npos);
    }
}

// Killed outright, the program closes nothing: each block must have reached
// the file as it was written, so Wireshark reads the trace (and the text
// beside it) to the last packet sent.
TEST_F(CliTest, KillMidCaptureLeavesATraceThatReadsToTheLastPacketSent) {
    REQUIRE_TSHARK();
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    module.SetPacing(true);
    const std::string trace = Path("killed.pcapng");
    CChild child({"--port", module.SlavePath(), "--baud", "115200", "--trace", trace, "capture",
                  "-o", Path("f.bmp")},
                 Path("out"), Path("err"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(CaptureUnderWay(trace));
    ASSERT_EQ(child.Stop(SIGKILL), 1000 + SIGKILL);

    SPcapng capture;
    ExpectClean(Dissect(trace, capture));
    const CTshark::SRun run = CTshark::Run({"-r", trace});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("cut short"), std::string::npos) << run.err;
    ExpectEverySentPacketIn(capture, module);
    EXPECT_EQ(ReadTextTrace(trace + ".txt").size(), capture.packets.size() + 1);
}

TEST_F(CliTest, MonitorPrintsEveryPacketAsTheDissectorShowsItUntilCtrlC) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    const std::string trace = Path("monitor.pcapng");
    CChild child({"--port", module.SlavePath(), "--baud", "115200", "--trace", trace, "monitor"},
                 Path("out"), Path("err"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(Eventually(
        [&] { return ReadAll(Path("out")).find("← CMD_GET_STATUS") != std::string::npos; }));
    ASSERT_EQ(child.Stop(SIGINT), 130);

    std::vector<std::string> lines;
    std::stringstream out(ReadAll(Path("out")));
    for (std::string line; std::getline(out, line);) {
        lines.push_back(line);
    }
    SPcapng capture;
    ASSERT_EQ(ReadPcapng(trace, capture), "");
    ASSERT_EQ(lines.size(), capture.packets.size());
    const std::regex time(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6}  )");
    for (size_t i = 0; i < lines.size(); ++i) {
        const SPcapngPacket& packet = capture.packets[i];
        EXPECT_TRUE(std::regex_search(lines[i], time, std::regex_constants::match_continuous))
            << lines[i];
        EXPECT_EQ(lines[i].substr(28),
                  PacketSummary(Parse(packet.bytes)->rxPacket, Direction(packet)));
    }
    EXPECT_EQ(lines.front().substr(28), "→ CMD_CONNECT");
}

// Attached, nothing goes out, whatever comes in: an answer to a connection,
// an image block that a connected program would ask the next of.
TEST_F(CliTest, MonitorAttachedListensWithoutSendingAnything) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    CChild child({"--port", module.SlavePath(), "monitor", "--attach"}, Path("out"), Path("err"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(
        Eventually([&] { return ReadAll(Path("err")).find("listening") != std::string::npos; }));
    module.WithModule([](CSimModule& m) {
        m.SendUnasked(CMD_CONNECT, RESULT_SUCCESS, 3);
        m.SendUnasked(CMD_CAPTURE_IMAGE, RESULT_SUCCESS, 0x0004, std::vector<uint8_t>(3720, 0x80));
    });
    ASSERT_TRUE(Eventually(
        [&] { return ReadAll(Path("out")).find("CMD_CAPTURE_IMAGE") != std::string::npos; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(child.Stop(SIGTERM), 143);
    EXPECT_NE(ReadAll(Path("err")).find("at 115200 bps"), std::string::npos);
    module.WithModule([](CSimModule& m) { EXPECT_TRUE(m.Requests().empty()); });
    EXPECT_EQ(RunArgs({"--attach", "info"}).status, kCliUsage);
    EXPECT_EQ(RunArgs({"--trace-raw", "info"}).status, kCliUsage);
}

TEST_F(CliTest, InstallWiresharkPluginCopiesTheGeneratedDissector) {
    const char* saved = std::getenv("HOME");
    const std::string home = saved != nullptr ? saved : "";
    setenv("HOME", folder.Path().c_str(), 1);
    const SRun run = RunArgs({"--install-wireshark-plugin"});
    setenv("HOME", home.c_str(), 1);
    ASSERT_EQ(run.status, kCliOk) << run.err;
    const std::string installed = Path(".local/lib/wireshark/plugins/hlx.lua");
    EXPECT_NE(run.out.find(installed), std::string::npos);
    const std::string built = ReadAll(SONDRIX_DISSECTOR_LUA);
    ASSERT_FALSE(built.empty()) << SONDRIX_DISSECTOR_LUA;
    EXPECT_EQ(ReadAll(installed), built);
    EXPECT_NE(built.find("[0x1FD] = \"CMD_CAPTURE_COLOR_IMAGE\""), std::string::npos);

    // A home where the folder cannot be made is reported, not ignored.
    std::ofstream(Path("file")) << "x";
    setenv("HOME", Path("file").c_str(), 1);
    const SRun refused = RunArgs({"--install-wireshark-plugin"});
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(refused.status, kCliFileError);
    EXPECT_NE(refused.err.find("cannot create"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace sondrix::test
