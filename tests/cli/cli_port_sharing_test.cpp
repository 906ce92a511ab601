// sondrix-cli and Debian's picocom on one line: whichever holds it, the
// other keeps out, as an ordinary user and as root. picocom writes no lock
// file; it takes flock on the line it opens.
#include <poll.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

#include "cli/cli_status.h"
#include "cli/cli_test_support.h"
#include "platform/port_holder.h"

namespace sondrix::test {
namespace {

// A pseudo-terminal: the slave stands for a serial port (or a program's
// terminal), the master for what is at the other end.
struct SPty {
    SPty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            slave = ::ptsname(master);
        }
    }
    ~SPty() {
        if (slaveFd >= 0) {
            ::close(slaveFd);
        }
        if (master >= 0) {
            ::close(master);
        }
    }
    // The slave opened, to be a program's terminal.
    int Terminal() {
        if (slaveFd < 0) {
            slaveFd = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        }
        return slaveFd;
    }
    // What arrives at the master within `ms`.
    std::string Read(int ms) const {
        std::string text;
        pollfd input{master, POLLIN, 0};
        while (::poll(&input, 1, ms) > 0 && (input.revents & POLLIN) != 0) {
            char buffer[512];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            text.append(buffer, static_cast<size_t>(n));
        }
        return text;
    }

    int master = -1;
    int slaveFd = -1;
    std::string slave;
};

class CliPortSharingTest : public CliTest {
  protected:
    void SetUp() override {
        if (std::system("picocom --help >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "picocom is not installed (tools/deps.sh installs it)";
        }
        ASSERT_FALSE(line.slave.empty()) << "no pseudo-terminal here";
        ASSERT_GE(terminal.Terminal(), 0);
        // Lock files of the test's own, not the machine's /run/lock.
        ::setenv("SONDRIX_LOCK_DIR", folder.Path().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("SONDRIX_LOCK_DIR"); }

    // picocom on the line, as a person starts it in a terminal.
    std::unique_ptr<CChild> StartPicocom() {
        return std::make_unique<CChild>(
            std::vector<std::string>{"picocom", "-q", "-b", "115200", line.slave},
            terminal.Terminal());
    }
    bool HeldBy(pid_t pid) const {
        const std::optional<SPortHolder> holder = FindLockHolder(line.slave);
        return holder && holder->pid == pid;
    }

    SPty line;
    SPty terminal;
};

TEST_F(CliPortSharingTest, ALinePicocomHoldsIsRefusedNamingItAndNothingIsSent) {
    const auto picocom = StartPicocom();
    ASSERT_TRUE(Eventually([&] { return HeldBy(picocom->Pid()); })) << terminal.Read(100);
    line.Read(100);
    const std::string holder = "is in use by picocom (pid " + std::to_string(picocom->Pid()) + ")";
    for (const bool search : {false, true}) {
        SCOPED_TRACE(search ? "searching every rate" : "at one rate");
        std::vector<std::string> args = {"--port", line.slave, "-q", "info"};
        if (!search) {
            args.insert(args.begin(), {"--baud", "115200"});
        }
        const SRun run = RunArgs(args);
        EXPECT_EQ(run.status, kCliPortError) << run.err;
        EXPECT_NE(run.err.find("Cannot open the port: COM1 (" + line.slave + ") " + holder),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(line.Read(300), "") << "not a byte reaches the line picocom holds";
    }
    EXPECT_EQ(picocom->Wait(0), -1) << "picocom goes on";
}

TEST_F(CliPortSharingTest, PicocomCannotOpenALineAnAttachedMonitorHolds) {
    auto monitor = std::make_unique<CChild>(
        std::vector<std::string>{"--port", line.slave, "monitor", "--attach"}, Path("out"),
        Path("err"));
    ASSERT_TRUE(Eventually([&] {
        return ReadAll(Path("err")).find("sending nothing") != std::string::npos;
    })) << ReadAll(Path("err"));
    const auto refused = StartPicocom();
    EXPECT_EQ(refused->Wait(10000), 1) << terminal.Read(100);
    const std::string said = terminal.Read(300);
    // An ordinary user meets TIOCEXCL, root (which TIOCEXCL lets in) the flock.
    EXPECT_NE(
        said.find(::geteuid() == 0 ? "cannot lock " + line.slave : "cannot open " + line.slave),
        std::string::npos)
        << said;
    EXPECT_EQ(line.Read(100), "");

    // Once the monitor has ended, nothing of it is left on the line.
    EXPECT_EQ(monitor->Stop(SIGINT), 130) << ReadAll(Path("err"));
    const auto after = StartPicocom();
    EXPECT_TRUE(Eventually([&] { return HeldBy(after->Pid()); })) << terminal.Read(100);
}

}  // namespace
}  // namespace sondrix::test
