// A connected program left alone for 10 s: the CPU time it spends (the
// message loop sleeps until a timer or the receive thread wakes it; nothing
// polls).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "app/sondrix_dlg.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"

namespace sondrix {
namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_ConnectedIdleTenSeconds(benchmark::State& state) {
    CPtySimulator simulator({kModelHlxM18, 0x0301, 115200, 0});
    std::string error;
    if (!simulator.Start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
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
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        loop.RunFor(10000);
        cpu = ProcessCpuSeconds() - before;
    }
    state.counters["cpu_ms_per_10s"] = cpu * 1000.0;
    dlg.imageDlg.Click(CImageDlg::kConnect);
}
BENCHMARK(BM_ConnectedIdleTenSeconds)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
