// A backup of 1,000 users with sondrix-cli from the simulated module over a
// pseudo-terminal, the module pacing its bytes at 115200 bps, against the
// time the bytes moved need on the wire (10 bits a byte, both directions).
// Two windows are measured from the session's own trace: the download run
// (the "all records" list request to the last record) and the whole session
// (connection, master mode and user list included).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "cli/cli_run.h"
#include "link/command_table.h"
#include "sim/pty_simulator.h"
#include "sim/sim_loopback.h"
#include "support/pcapng_reader.h"

namespace sondrix {
namespace {

constexpr uint32_t kBaud = 115200;
constexpr uint32_t kUsers = 1000;

uint32_t CommandOf(const test::SPcapngPacket& packet) {
    return packet.bytes.size() >= 5 ? GetU32BE(&packet.bytes[1]) : 0;
}

struct SWindow {
    double seconds = 0;
    uint64_t bytes = 0;
};

// The time from packet `first` to packet `last` and the bytes between them.
SWindow Measure(const std::vector<test::SPcapngPacket>& packets, size_t first, size_t last) {
    SWindow window;
    window.seconds = static_cast<double>(packets[last].timeUs - packets[first].timeUs) / 1e6;
    for (size_t i = first; i <= last; ++i) {
        window.bytes += packets[i].bytes.size();
    }
    return window;
}

void BM_CliBackupOf1000UsersAt115200(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "sondrix-bench-cli-backup";
    SWindow run;
    SWindow session;
    double hostSeconds = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        CPtySimulator simulator({kModelHlxM18, 0x0301, kBaud, kUsers});
        simulator.SetPacing(true);
        std::string error;
        if (!simulator.Start(error)) {
            state.SkipWithError(("no pseudo-terminal: " + error).c_str());
            return;
        }
        const std::string trace = (folder / "backup.pcapng").string();
        std::ostringstream out;
        std::ostringstream err;
        const auto start = std::chrono::steady_clock::now();
        const int status = RunCli({"--port", simulator.SlavePath(), "--baud", std::to_string(kBaud),
                                   "-q", "--trace", trace, "backup", (folder / "records").string()},
                                  out, err);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (status != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());

        test::SPcapng capture;
        if (!test::ReadPcapng(trace, capture).empty() || capture.packets.empty()) {
            state.SkipWithError("the trace could not be read");
            return;
        }
        const auto& packets = capture.packets;
        size_t first = 0;
        while (first < packets.size() &&
               !(CommandOf(packets[first]) == CMD_GET_USER_LIST && packets[first].flags == 2 &&
                 GetU32BE(&packets[first].bytes[5]) == 1)) {
            ++first;
        }
        size_t last = packets.size() - 1;
        while (last > first && CommandOf(packets[last]) != CMD_DOWNLOAD_RECORD) {
            --last;
        }
        if (first >= last) {
            state.SkipWithError("no download run in the trace");
            return;
        }
        run = Measure(packets, first, last);
        // Where the time beyond the wire goes: the program between an answer
        // and its next request, and the module between a request and its answer.
        double host = 0;
        for (size_t i = first; i < last; ++i) {
            if (packets[i].flags == 1 && packets[i + 1].flags == 2) {
                host += static_cast<double>(packets[i + 1].timeUs - packets[i].timeUs);
            }
        }
        hostSeconds = host / 1e6;
        session = Measure(packets, 0, packets.size() - 1);
    }
    const auto wire = [](const SWindow& w) {
        return static_cast<double>(WireTimeUs(w.bytes, kBaud)) / 1e6;
    };
    state.counters["run_s"] = run.seconds;
    state.counters["run_wire_s"] = wire(run);
    state.counters["run_ratio"] = run.seconds / wire(run);
    state.counters["run_host_s"] = hostSeconds;
    state.counters["session_s"] = session.seconds;
    state.counters["session_wire_s"] = wire(session);
    state.counters["session_ratio"] = session.seconds / wire(session);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CliBackupOf1000UsersAt115200)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
