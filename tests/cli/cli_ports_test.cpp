// sondrix-cli and the serial port: which --port names it takes, and the
// lock file it holds while it works (in a lock folder of the test's own).
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "cli/cli_test_support.h"
#include "link/command_table.h"

extern char** environ;

namespace sondrix::test {
namespace {

class CliPortsTest : public CliTest {
  protected:
    void SetUp() override { ::setenv("SONDRIX_LOCK_DIR", folder.Path().c_str(), 1); }
    void TearDown() override { ::unsetenv("SONDRIX_LOCK_DIR"); }
    // The lock goes by the device node's name: "LCK..pts_3" for /dev/pts/3.
    std::string LockFile(const CPtySimulator& module) const {
        const std::string& slave = module.SlavePath();
        return Path("LCK..pts_" + slave.substr(slave.rfind('/') + 1));
    }
};

TEST_F(CliPortsTest, ComNamesBeyondTheMapAreAUsageErrorListingTheMappedOnes) {
    const SRun run = RunArgs({"--port", "COM9", "info"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--port COM9 is not a port here; the COM names are COM1 (/dev/ttyS0), "
                           "COM2 (/dev/ttyS1)"),
              std::string::npos)
        << run.err;
}

TEST_F(CliPortsTest, ABareNameIsTheDeviceInDev) {
    const SRun run = RunArgs({"--port", "ttyNoSuchPort7", "-q", "info"});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("COM1 (/dev/ttyNoSuchPort7): No such file or directory"),
              std::string::npos)
        << run.err;
}

TEST_F(CliPortsTest, TheLockIsHeldWhileWorkingAndGoneAfter) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    // Watched from beside the run, as another serial tool would see it.
    std::atomic<bool> running{true};
    std::atomic<bool> seen{false};
    std::thread watcher([&] {
        while (running && !seen) {
            seen = std::filesystem::exists(LockFile(module));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    const SRun run = Run(module, {"info"});
    running = false;
    watcher.join();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(seen);
    EXPECT_NE(run.out.find("low_latency: false"), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(LockFile(module)));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(CliPortsTest, APortLockedByAnotherProgramIsRefusedWithItsPid) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    pid_t holder = 0;
    char name[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {name, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&holder, "sleep", nullptr, nullptr, argv, environ), 0);
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(holder));
    std::ofstream(LockFile(module)) << text;
    const SRun run = Run(module, {"info"});
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("Cannot open the port: COM1 (" + module.SlavePath() + ") is in use by "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("(pid " + std::to_string(holder) + ")"), std::string::npos) << run.err;
    size_t connects = 0;
    module.WithModule([&](CSimModule& m) { connects = m.RequestCount(CMD_CONNECT); });
    EXPECT_EQ(connects, 0u) << "nothing is sent on a line another program holds";
}

}  // namespace
}  // namespace sondrix::test
