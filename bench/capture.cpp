// One single capture of a 260 x 300 image from the simulated module over a
// pseudo-terminal, the module pacing its bytes at 115200 bps, against the
// time those bytes need on the wire (10 bits a byte, both directions).
#include <benchmark/benchmark.h>

#include <chrono>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"
#include "sim/sim_loopback.h"

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
    CPtySimulator simulator({kModelHlxM18, 0x0301, kBaud, 0});
    std::string error;
    if (!simulator.Start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    simulator.SetPacing(true);
    CPortMap ports;
    ports.Assign(1, simulator.SlavePath());
    CMessageLoop loop(CMessageLoop::EClock::Real);
    CScriptedUiHost ui;
    CSondrixDlg dlg(loop, ports, ui);
    dlg.OnInitDialog();
    dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
    dlg.imageDlg.Click(CImageDlg::kConnect);
    if (!loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000)) {
        state.SkipWithError("no connection");
        return;
    }
    double wireSeconds = 0;
    for (auto _ : state) {
        simulator.WithModule([](CSimModule& m) { m.ClearRequests(); });
        dlg.ShowMessage({});
        const auto start = std::chrono::steady_clock::now();
        dlg.imageDlg.Click(CImageDlg::kCapture);
        const bool done = loop.RunUntil(
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
    dlg.imageDlg.Click(CImageDlg::kConnect);
}
BENCHMARK(BM_SingleCaptureAt115200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
