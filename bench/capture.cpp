// One single capture of a 260 x 300 image from the simulated module over a
// pseudo-terminal, the module pacing its bytes at 115200 bps, against the
// time those bytes need on the wire (10 bits a byte, both directions).
#include <benchmark/benchmark.h>

#include <chrono>

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
}
BENCHMARK(BM_SingleCaptureAt115200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
