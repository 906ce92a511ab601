// One single capture of a 260 x 300 image from the simulated module over a
// pseudo-terminal, the module pacing its bytes at 115200 bps, against the
// time those bytes need on the wire (10 bits a byte, both directions).
// Argument 1: every packet and every raw chunk traced as the command line
// traces them (pcapng with the raw line, and text), each block flushed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "app/trace_file.h"
#include "pty_session.h"

namespace sondrix {
namespace {

constexpr uint32_t kBaud = 115200;

// Bytes of one capture on the wire: every request and every answer.
size_t CaptureWireBytes(const CSimModule& module) {
    size_t bytes = 0;
    for (const SSimRequest& request : module.Requests()) {
        CPacket packet;
        packet.command = request.command;
        packet.dataSize = static_cast<uint32_t>(request.data.size());
        bytes += packet.Encode().size();
    }
    const size_t image = module.CapturedImage().size();
    const size_t blocks = (image + 3719) / 3720;
    // Answers: the image blocks with their data, then the quality.
    bytes += (blocks + 1) * CPacket::kHeaderSize + image + blocks * CPacket::kDataOverhead;
    return bytes;
}

void BM_SingleCaptureAt115200(benchmark::State& state) {
    bench::CPtySession session(true);
    if (!session.Connect(state)) {
        return;
    }
    CSondrixDlg& dlg = session.dlg;
    const bool traced = state.range(0) != 0;
    const std::string path =
        (std::filesystem::temp_directory_path() / "sondrix-bench-capture.pcapng").string();
    CTraceRecorder trace("COM1 bench", true);
    std::string error;
    if (traced) {
        if (!trace.Open(path, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        dlg.userDlg.Select(CUserDlg::kTracerOption, CPacketTracer::kShowAll);
        dlg.RawLine().Clear();  // the connection is not measured
        dlg.Tracer().SetObserver([&](const STracedPacket& packet) {
            uint64_t dropped = 0;
            for (const SRawChunk& chunk : dlg.RawLine().Take(dropped)) {
                trace.WriteRaw(chunk, dropped);
            }
            trace.Write(packet);
        });
    }
    CPtySimulator& simulator = session.simulator;
    double wireSeconds = 0;
    for (auto _ : state) {
        simulator.WithModule([](CSimModule& m) { m.ClearRequests(); });
        dlg.ShowMessage({});
        const auto start = std::chrono::steady_clock::now();
        dlg.imageDlg.Click(CImageDlg::kCapture);
        const bool done = session.loop.RunUntil(
            [&] { return dlg.Text(CSondrixDlg::kMessageLine).rfind("Image Quality = ", 0) == 0; },
            30000);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (!done) {
            state.SkipWithError("capture did not finish");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        simulator.WithModule([&](CSimModule& m) {
            wireSeconds = static_cast<double>(CaptureWireBytes(m)) * 10.0 / kBaud;
        });
    }
    state.counters["wire_ms"] = wireSeconds * 1000.0;
    if (traced) {
        dlg.Tracer().SetObserver({});
        trace.Close(error);
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".txt");
    }
}
BENCHMARK(BM_SingleCaptureAt115200)
    ->ArgName("traced")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
