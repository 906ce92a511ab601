// A connected program left alone for 10 s: the CPU time it spends (the
// message loop sleeps until a timer or the receive thread wakes it; nothing
// polls).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "pty_session.h"

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
    bench::CPtySession session(false);
    if (!session.Connect(state)) {
        return;
    }
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        session.loop.RunFor(10000);
        cpu = ProcessCpuSeconds() - before;
    }
    state.counters["cpu_ms_per_10s"] = cpu * 1000.0;
}
BENCHMARK(BM_ConnectedIdleTenSeconds)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
