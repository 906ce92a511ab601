// Opening a line: the UUCP lock file, flock and TIOCEXCL that keep other
// serial tools out, and the refusal of things that are no serial device.
// Lock files go to a folder of the test's own (SONDRIX_LOCK_DIR), never the
// machine's /run/lock.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/port_map.h"
#include "platform/termios_serial.h"
#include "platform/uucp_lock.h"

extern char** environ;

namespace sondrix {
namespace {

namespace fs = std::filesystem;

class SerialLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("sondrix_locks_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        ::setenv("SONDRIX_LOCK_DIR", folder.c_str(), 1);
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            GTEST_SKIP() << "no pseudo-terminal here";
        }
        slave = ::ptsname(master);
        // Named after the node, as minicom names it: /dev/pts/3 is "pts_3".
        lockFile = folder / ("LCK..pts_" + slave.substr(slave.rfind('/') + 1));
        ports.Assign(3, slave);
    }
    void TearDown() override {
        if (sleeper > 0) {
            ::kill(sleeper, SIGKILL);
            ::waitpid(sleeper, nullptr, 0);
        }
        if (master >= 0) {
            ::close(master);
        }
        ::unsetenv("SONDRIX_LOCK_DIR");
        fs::remove_all(folder);
    }
    // Another program, which holds the port as long as it lives.
    pid_t StartSleeper() {
        char name[] = "sleep";
        char seconds[] = "30";
        char* argv[] = {name, seconds, nullptr};
        EXPECT_EQ(::posix_spawnp(&sleeper, "sleep", nullptr, nullptr, argv, environ), 0);
        return sleeper;
    }
    void WriteLock(pid_t pid) {
        char text[16];
        std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
        std::ofstream(lockFile) << text;
    }
    std::string LockText() const {
        std::ifstream in(lockFile);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // TIOCEXCL as another program meets it: 1 or 0, or -1 when the open is
    // refused (TIOCEXCL set, for an ordinary user).
    int ExclusiveFlag() const {
        const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return -1;
        }
        int flag = -1;
        ::ioctl(fd, TIOCGEXCL, &flag);
        ::close(fd);
        return flag;
    }
    // A child process that locks the line with flock and keeps it so until
    // killed, as picocom does; its PID once it holds the lock.
    pid_t StartFlockHolder() {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        sleeper = ::fork();
        if (sleeper == 0) {
            const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                [[maybe_unused]] const ssize_t n = ::write(ready[1], "L", 1);
                ::pause();
            }
            ::_exit(1);
        }
        ::close(ready[1]);
        char byte = 0;
        EXPECT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        return sleeper;
    }
    static std::string CommandName(pid_t pid) {
        std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
        std::string name;
        std::getline(comm, name);
        return name;
    }
    static std::string PidText(pid_t pid) {
        char text[16];
        std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
        return text;
    }

    fs::path folder;
    fs::path lockFile;
    int master = -1;
    std::string slave;
    pid_t sleeper = 0;
    CPortMap ports;
};

TEST_F(SerialLockTest, OpenTakesTheLockAndEveryCloseReleasesIt) {
    auto device = ports.Create("COM3");
    std::string error;
    ASSERT_TRUE(device->Open(115200, error)) << error;
    EXPECT_EQ(LockText(), PidText(::getpid()));
    device->Close();
    EXPECT_FALSE(fs::exists(lockFile));
    // A device dropped while open releases it too.
    ASSERT_TRUE(device->Open(115200, error)) << error;
    EXPECT_TRUE(fs::exists(lockFile));
    device.reset();
    EXPECT_FALSE(fs::exists(lockFile));
}

TEST_F(SerialLockTest, ALiveHolderIsNamedAndAStaleLockIsTakenOver) {
    const pid_t holder = StartSleeper();
    ASSERT_GT(holder, 0);
    WriteLock(holder);
    // The holder's name is readable only once it runs sleep.
    for (int i = 0; i < 100; ++i) {
        std::ifstream comm("/proc/" + std::to_string(holder) + "/comm");
        std::string name;
        if (std::getline(comm, name) && name == "sleep") {
            break;
        }
        ::usleep(10000);
    }
    auto device = ports.Create("COM3");
    std::string error;
    EXPECT_FALSE(device->Open(115200, error));
    EXPECT_EQ(error,
              "COM3 (" + slave + ") is in use by sleep (pid " + std::to_string(holder) + ")");
    EXPECT_EQ(LockText(), PidText(holder)) << "another's lock is left alone";

    // The holder ends without removing its lock: the lock is stale.
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    sleeper = 0;
    ASSERT_TRUE(device->Open(115200, error)) << error;
    EXPECT_EQ(LockText(), PidText(::getpid()));
}

TEST_F(SerialLockTest, EveryCloseClearsTheExclusiveFlagThatWouldOutliveIt) {
    // The master stays open, as a simulator's or socat's does: the slave's
    // flags survive our close, and TIOCEXCL would refuse every later open.
    auto device = ports.Create("COM3");
    std::string error;
    ASSERT_TRUE(device->Open(115200, error)) << error;
    EXPECT_NE(ExclusiveFlag(), 0);
    device->Close();
    EXPECT_EQ(ExclusiveFlag(), 0);
    ASSERT_TRUE(device->Open(9600, error)) << error;
    device.reset();
    EXPECT_EQ(ExclusiveFlag(), 0);
}

TEST_F(SerialLockTest, ALineLockedWithFlockIsRefusedNamingTheHolderAndLeftAsItWas) {
    const int line = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(line, 0);
    ASSERT_TRUE(CTermiosSerial::ConfigureRaw(line, 9600));
    const pid_t holder = StartFlockHolder();
    auto device = ports.Create("COM3");
    std::string error;
    EXPECT_FALSE(device->Open(115200, error));
    EXPECT_EQ(error, "COM3 (" + slave + ") is in use by " + CommandName(holder) + " (pid " +
                         std::to_string(holder) + ")");
    EXPECT_FALSE(fs::exists(lockFile));
    EXPECT_EQ(ExclusiveFlag(), 0);
    EXPECT_EQ(CTermiosSerial::LineSpeed(line), 9600u) << "the holder's line settings stay";
    ::close(line);

    // The holder ends: the line is free again.
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    sleeper = 0;
    EXPECT_TRUE(device->Open(115200, error)) << error;
}

// minicom names the lock after the path it was given ("LCK..pts_3",
// "LCK..serial_by-id_usb-..."), older tools after its last part ("LCK..3");
// every one of them keeps us out, and ours goes by the node's name.
TEST_F(SerialLockTest, LocksUnderTheNamesOtherToolsGiveKeepUsOut) {
    const fs::path link = folder / "by-id" / "usb-Maker_Adapter-if00";
    fs::create_directories(link.parent_path());
    fs::create_symlink(slave, link);
    const std::string number = slave.substr(slave.rfind('/') + 1);
    const std::string linkName = link.string().substr(1);
    std::string minicomName = linkName;
    std::replace(minicomName.begin(), minicomName.end(), '/', '_');
    EXPECT_EQ(CUucpLock::LockNames(link.string()),
              (std::vector<std::string>{"pts_" + number, "_" + minicomName, number,
                                        link.filename().string()}));
    EXPECT_EQ(CUucpLock::LockNames("/dev/serial/by-id/usb-X"),
              (std::vector<std::string>{"serial_by-id_usb-X", "usb-X"}))
        << "a link that leads nowhere is named as given";

    ports.Assign(3, link.string());
    const pid_t holder = StartSleeper();
    for (const std::string& name : CUucpLock::LockNames(link.string())) {
        SCOPED_TRACE(name);
        std::ofstream(folder / ("LCK.." + name)) << PidText(holder);
        auto device = ports.Create("COM3");
        std::string error;
        EXPECT_FALSE(device->Open(115200, error));
        EXPECT_NE(error.find(" is in use by "), std::string::npos) << error;
        EXPECT_NE(error.find("(pid " + std::to_string(holder) + ")"), std::string::npos) << error;
        fs::remove(folder / ("LCK.." + name));
    }
    auto device = ports.Create("COM3");
    std::string error;
    ASSERT_TRUE(device->Open(115200, error)) << error;
    EXPECT_EQ(LockText(), PidText(::getpid()));
}

TEST_F(SerialLockTest, AHolderThatEndedButWasNotReapedHoldsNothing) {
    const pid_t zombie = ::fork();
    if (zombie == 0) {
        ::_exit(0);
    }
    // A zombie until it is waited for.
    for (int i = 0; i < 200; ++i) {
        std::ifstream stat("/proc/" + std::to_string(zombie) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        if (text.find(") Z ") != std::string::npos) {
            break;
        }
        ::usleep(10000);
    }
    WriteLock(zombie);
    auto device = ports.Create("COM3");
    std::string error;
    EXPECT_TRUE(device->Open(115200, error)) << error;
    EXPECT_EQ(LockText(), PidText(::getpid()));
    ::waitpid(zombie, nullptr, 0);
}

TEST_F(SerialLockTest, WithoutALockFolderTheLineIsStillHeldExclusively) {
    ::setenv("SONDRIX_LOCK_DIR", (folder / "missing").c_str(), 1);
    auto device = ports.Create("COM3");
    std::string error;
    ASSERT_TRUE(device->Open(115200, error)) << error;
    EXPECT_TRUE(fs::is_empty(folder));
    // TIOCEXCL: a second open of the line fails (root may open it all the same).
    if (::geteuid() != 0) {
        const int second = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        EXPECT_LT(second, 0);
        if (second >= 0) {
            ::close(second);
        }
    }
}

// A user outside the device's group is told that group's name, whatever it
// is (a pseudo-terminal's is "tty", not "dialout").
TEST_F(SerialLockTest, PermissionHelpNamesTheDevicesOwnGroup) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to try the line as another user";
    }
    ::chmod(slave.c_str(), 0620);
    const passwd* nobody = ::getpwnam("nobody");
    struct stat info {};
    ASSERT_EQ(::stat(slave.c_str(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    ASSERT_NE(nobody, nullptr);
    ASSERT_NE(owner, nullptr);
    const std::string group = owner->gr_name;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 &&
            ::setuid(nobody->pw_uid) == 0) {
            CTermiosSerial device(slave, "COM3");
            std::string error;
            device.Open(115200, error);
            [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], error.data(), error.size());
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string error;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        error.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(error, "COM3 (" + slave + "): Permission denied (the device belongs to the group '" +
                         group + "': sudo usermod -aG " + group + " $USER, then log in again)");
}

TEST(SerialDevicePaths, WhatIsNoSerialDeviceIsRefusedAsSuch) {
    const fs::path folder = fs::temp_directory_path();
    for (const std::string& path :
         {std::string("/etc/passwd"), std::string("/dev/null"), folder.string()}) {
        CTermiosSerial device(path, "COM2");
        std::string error;
        EXPECT_FALSE(device.Open(9600, error)) << path;
        EXPECT_EQ(error, "COM2 (" + path + "): not a serial device");
        EXPECT_FALSE(device.IsOpen());
    }
}

TEST(SerialDevicePaths, BareNamesAreDevicesAndComNamesBeyondTheMapAreNothing) {
    CPortMap ports;
    EXPECT_EQ(ports.DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ports.DevicePath("/dev/serial/by-id/usb-x"), "/dev/serial/by-id/usb-x");
    EXPECT_EQ(ports.DevicePath("COM9"), "");
    EXPECT_EQ(ports.Create("COM12"), nullptr);
    EXPECT_TRUE(CPortMap::IsComName("COM12"));
    EXPECT_FALSE(CPortMap::IsComName("COMx"));
}

}  // namespace
}  // namespace sondrix
