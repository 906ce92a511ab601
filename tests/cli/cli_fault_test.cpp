#include <sys/resource.h>

#include <chrono>
#include <map>
#include <thread>

#include "cli/cli_options.h"
#include "cli_test_support.h"
#include "link/command_table.h"

namespace sondrix::test {
namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CliTest, TheBaudSearchWaitsForTheModuleInsteadOfSpinning) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    module.WithModule([](CSimModule& m) { m.Faults().silent = true; });
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const SRun run = RunArgs({"--port", module.SlavePath(), "-q", "info"});
    const double used = CpuSeconds() - cpu;
    EXPECT_EQ(run.status, kCliNoModule) << run.err;
    EXPECT_TRUE(Has(run.err, "at any rate")) << run.err;
    // Seven attempts of 500 ms and a pause each: seconds of waiting, in
    // which a spinning wait burns most of a core and a sleeping one nearly nothing.
    EXPECT_GT(Seconds(start), 3.0);
    EXPECT_LT(used, 0.3) << "CPU seconds over " << Seconds(start) << " s of search";
}

TEST_F(CliTest, AModuleThatFallsSilentWhileConnectingTimesOutAfterTimeout) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    module.WithModule([](CSimModule& m) { m.Faults().answersLeft = 1; });  // CMD_CONNECT only
    const auto start = std::chrono::steady_clock::now();
    const SRun run =
        RunArgs({"--port", module.SlavePath(), "--baud", "115200", "-q", "--timeout", "3", "info"});
    const double took = Seconds(start);
    EXPECT_EQ(run.status, kCliTimeout) << run.err;
    EXPECT_TRUE(Has(run.err, "stopped answering for 3 s while connecting")) << run.err;
    EXPECT_GE(took, 2.9);
    EXPECT_LT(took, 12.0) << "the hard-coded 20 s wait";
}

TEST_F(CliTest, AnErrorAnswerToConnectIsTheModulesErrorWhileConnecting) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    module.WithModule([](CSimModule& m) { m.Faults().forcedResult = 0x1234; });
    const SRun run = RunArgs({"--port", module.SlavePath(), "--baud", "115200", "info"});
    EXPECT_EQ(run.status, kCliModuleError) << run.err;
    EXPECT_TRUE(Has(run.err, "result 0x1234 to CMD_CONNECT while connecting, module on COM1 (" +
                                 module.SlavePath() + ")"))
        << run.err;
    // The message line's text comes once, with the failure, not also as progress.
    const std::string text = run.err.substr(run.err.find("sondrix-cli: ", 1) + 13);
    const std::string first = text.substr(0, text.find(' '));
    EXPECT_EQ(run.err.find(first), run.err.rfind(first)) << run.err;
}

TEST_F(CliTest, InfoReportsTheStatusItselfWithTypedJsonValues) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 3});
    SKIP_WITHOUT_PTY();
    const SRun plain = Run(module, {"info"});
    ASSERT_EQ(plain.status, kCliOk) << plain.err;
    EXPECT_TRUE(Has(plain.out, "\nstatus: Idle...\n")) << plain.out;
    const SRun json = Run(module, {"--json", "info"});
    ASSERT_EQ(json.status, kCliOk) << json.err;
    for (const char* field :
         {"{\"version\": 1, \"command\": \"info\", \"exit\": 0, \"model\": \"HLX-M18\", "
          "\"series\": 5, \"firmware\": \"3.01\", \"users\": 3, \"status\": \"Idle...\"",
          "\"baud\": 115200}"}) {
        EXPECT_TRUE(Has(json.out, field)) << field << " in " << json.out;
    }
}

TEST_F(CliTest, ArgumentsAreCheckedBeforeThePortIsOpened) {
    // No such device: anything that got as far as opening it would fail with 3.
    const std::string port = Path("ttyNone");
    const std::vector<std::vector<std::string>> bad = {
        {"time", "set", "2030-13-01", "00:00:00"}, {"time", "set", "2024-02-30", "00:00:00"},
        {"time", "set", "2030-01-01", "24:00:00"}, {"options", "set", "gain", "loud"},
        {"options", "set", "latent", "maybe"},
    };
    for (const auto& words : bad) {
        std::vector<std::string> args = {"--port", port, "--json"};
        args.insert(args.end(), words.begin(), words.end());
        const SRun run = RunArgs(args);
        EXPECT_EQ(run.status, kCliUsage) << words[0] << " " << words.back() << ": " << run.err;
        EXPECT_TRUE(Has(run.out, "\"exit\": 2, \"error\": ")) << run.out;
    }
    const SRun month = RunArgs({"--port", port, "time", "set", "2030-13-01", "00:00:00"});
    EXPECT_TRUE(Has(month.err, "Wrong Month!!! (Range: 1 ~ 12)")) << month.err;
    const SRun day = RunArgs({"--port", port, "time", "set", "2023-02-29", "00:00:00"});
    EXPECT_TRUE(Has(day.err, "Wrong Day!!! (Range: 1 ~ 28)")) << day.err;
}

TEST_F(CliTest, UsageErrorsGiveTheSameJsonErrorObjectAsRuntimeErrors) {
    const SRun unknown = RunArgs({"--json", "--frobnicate"});
    EXPECT_EQ(unknown.status, kCliUsage);
    EXPECT_EQ(unknown.out,
              "{\"version\": 1, \"command\": null, \"exit\": 2, \"error\": \"unknown option "
              "--frobnicate (see --help)\"}\n");
    const SRun port = RunArgs({"--json", "--port", Path("ttyNone"), "info"});
    EXPECT_EQ(port.status, kCliPortError);
    EXPECT_EQ(port.out.rfind("{\"version\": 1, \"command\": \"info\", \"exit\": 3, \"error\": ", 0),
              0u)
        << port.out;
}

TEST_F(CliTest, ALineLostMidCaptureIsAPortFailureThatNamesTheLine) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 9600, 0});
    SKIP_WITHOUT_PTY();
    module.SetPacing(true);  // a capture at 9600 bps takes a minute
    std::atomic<bool> stop{false};
    std::thread unplug([&] {
        size_t chunks = 0;
        while (!stop && chunks < 2) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            module.WithModule([&](CSimModule& m) { chunks = m.RequestCount(CMD_CAPTURE_IMAGE); });
        }
        module.Stop();
    });
    const SRun run = Run(module, {"capture", "-o", Path("finger.raw")}, 9600);
    stop = true;
    unplug.join();
    EXPECT_EQ(run.status, kCliPortError) << run.err;
    EXPECT_TRUE(Has(run.err, "The serial line is gone: COM1 (" + module.SlavePath() + ")"))
        << run.err;
}

// Every row of the exit-status table, brought about as it happens at a bench.
TEST_F(CliTest, EveryExitStatusOfTheTableComesFromWhatHappened) {
    CPtySimulator& module = StartModule();
    CPtySimulator& silent = StartModule();
    CPtySimulator& quiet = StartModule();
    SKIP_WITHOUT_PTY();
    silent.WithModule([](CSimModule& m) { m.Faults().silent = true; });
    quiet.WithModule([](CSimModule& m) { m.Faults().answersLeft = 1; });
    const std::map<int, std::function<SRun()>> happenings = {
        {kCliOk, [&] { return Run(module, {"info"}); }},
        {kCliModuleError,
         [&] {
             return Run(module, {"options", "set", "gain", "99"});
         }},
        {kCliUsage, [&] { return Run(module, {"erase"}); }},
        {kCliPortError,
         [&] {
             return RunArgs({"--port", Path("ttyNone"), "-q", "info"});
         }},
        {kCliNoModule, [&] { return Run(silent, {"info"}); }},
        {kCliFileError,
         [&] {
             return Run(module, {"firmware", Path("gone.bin")});
         }},
        {kCliTimeout,
         [&] {
             return Run(quiet, {"--timeout", "1", "info"});
         }},
    };
    for (const SModuleStatusRow& row : kModuleStatusTable) {
        const auto happening = happenings.find(row.status);
        ASSERT_NE(happening, happenings.end()) << "no case for status " << row.status;
        const SRun run = happening->second();
        EXPECT_EQ(run.status, row.status) << row.meaning << ": " << run.err;
        EXPECT_TRUE(Has(CliHelp(), "  " + std::to_string(row.status) + "  " + row.meaning));
    }
}

}  // namespace
}  // namespace sondrix::test
