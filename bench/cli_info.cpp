// `sondrix-cli info` as a person runs it, the whole program from start to
// exit, against the simulated module on a pseudo-terminal pacing its bytes
// at 57600 bps: on a port whose rate the program remembers, and on a port it
// meets for the first time (the search from the usual rate through every
// rate). Each run has a settings folder of its own.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/pty_simulator.h"

extern char** environ;

namespace sondrix {
namespace {

constexpr uint32_t kBaud = 57600;

// Runs sondrix-cli with `args` and settings in `config`; its exit status.
int RunProgram(const std::vector<std::string>& args, const std::filesystem::path& config) {
    std::vector<std::string> all = {SONDRIX_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables = {"XDG_CONFIG_HOME=" + config.string()};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::string(*variable).rfind("XDG_CONFIG_HOME=", 0) != 0) {
            variables.emplace_back(*variable);
        }
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    int status = -1;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Info(benchmark::State& state, bool known) {
    CPtySimulator simulator({kModelHlxM18, 0x0301, kBaud, 20});
    simulator.SetPacing(true);
    std::string error;
    if (!simulator.Start(error)) {
        state.SkipWithError(("no pseudo-terminal: " + error).c_str());
        return;
    }
    const auto config = std::filesystem::temp_directory_path() / "sondrix-bench-cli-info";
    const std::vector<std::string> args = {"--port", simulator.SlavePath(), "-q", "info"};
    for (auto _ : state) {
        std::filesystem::remove_all(config);
        if (known && RunProgram(args, config) != 0) {
            state.SkipWithError("the first run found no module");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        const int status = RunProgram(args, config);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (status != 0) {
            state.SkipWithError("sondrix-cli info failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
    std::filesystem::remove_all(config);
}

void BM_CliInfoOnAKnownPort(benchmark::State& state) {
    Info(state, true);
}
void BM_CliInfoOnAFirstTimePort(benchmark::State& state) {
    Info(state, false);
}

BENCHMARK(BM_CliInfoOnAKnownPort)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CliInfoOnAFirstTimePort)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
