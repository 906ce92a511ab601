// Opening a line: the UUCP lock file other serial tools respect, and the
// refusal of things that are no serial device. Lock files go to a folder of
// the test's own (SONDRIX_LOCK_DIR), never the machine's /run/lock.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/port_map.h"
#include "platform/termios_serial.h"

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
        lockFile = folder / ("LCK.." + slave.substr(slave.rfind('/') + 1));
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
