// Files written whole (CReplacingFile) where the target is not a plain file:
// a link, a FIFO, a device; temporary files of writers killed part-way; and
// failures, which keep the file there and say why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "files/files_test_support.h"
#include "platform/replacing_file.h"
#include "support/file_size_limit.h"

namespace sondrix {
namespace {

using namespace test;
namespace fs = std::filesystem;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Writes `text` to `target` whole; the failure's reason, or empty.
std::string Write(const fs::path& target, const std::string& text) {
    CReplacingFile file(target);
    if (file.Open() && file.Write(Text(text)) && file.Commit()) {
        return {};
    }
    return file.Error().empty() ? "failed without a reason" : file.Error();
}

std::vector<std::string> SortedNames(const fs::path& folder) {
    std::vector<std::string> names = FileNames(folder);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReplacingFileTest, ALinkStaysAndTheFileItNamesIsReplaced) {
    CTempFolder folder;
    fs::create_directory(folder / "images");
    WriteBytes(folder / "images" / "real.bmp", Text("old"));
    fs::create_symlink("images/real.bmp", folder / "link.bmp");
    fs::create_symlink("link.bmp", folder / "link-to-link.bmp");
    fs::create_symlink("images/new.bmp", folder / "dangling.bmp");

    EXPECT_EQ(Write(folder / "link-to-link.bmp", "new"), "");
    EXPECT_EQ(Write(folder / "dangling.bmp", "made"), "");
    EXPECT_TRUE(fs::is_symlink(folder / "link.bmp"));
    EXPECT_TRUE(fs::is_symlink(folder / "link-to-link.bmp"));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.bmp"));
    EXPECT_EQ(ReadBytes(folder / "images" / "real.bmp"), Text("new"));
    EXPECT_EQ(ReadBytes(folder / "images" / "new.bmp"), Text("made"));
    EXPECT_EQ(SortedNames(folder / "images"), (std::vector<std::string>{"new.bmp", "real.bmp"}));
}

TEST(ReplacingFileTest, FifosAndDevicesAreWrittenThroughNeverReplaced) {
    CTempFolder folder;
    const fs::path fifo = folder / "to-a-reader";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string read;
    std::thread reader([&] {
        read = [&] {
            std::ifstream in(fifo);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }();
    });
    EXPECT_EQ(Write(fifo, "through the pipe"), "");
    reader.join();
    EXPECT_EQ(read, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A character device: a pseudo-terminal, whose other end reads what came.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        GTEST_SKIP() << "no pseudo-terminal here";
    }
    const fs::path device = ::ptsname(master);
    // Held open, so that the line stays up when the writer closes it.
    const int keep = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(keep, 0);
    fs::create_symlink(device, folder / "device-link");
    EXPECT_EQ(Write(folder / "device-link", "to the line"), "");
    char buffer[64] = {};
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0))), "to the line");
    EXPECT_TRUE(fs::is_character_file(device));
    EXPECT_TRUE(fs::is_symlink(folder / "device-link"));
    EXPECT_EQ(SortedNames(folder.Path()), (std::vector<std::string>{"device-link", "to-a-reader"}));
    ::close(keep);
    ::close(master);
}

TEST(ReplacingFileTest, TemporaryFilesOfWritersThatEndedGoWhenTheFolderIsWrittenNext) {
    CTempFolder folder;
    // A writer killed before its rename: ended, but not reaped yet.
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    for (int i = 0; i < 200; ++i) {
        std::ifstream stat("/proc/" + std::to_string(ended) + "/stat");
        if (std::string(std::istreambuf_iterator<char>(stat), {}).find(") Z ") !=
            std::string::npos) {
            break;
        }
        ::usleep(10000);
    }
    const std::string endedName = ".sondrix-" + std::to_string(ended) + "-7.tmp";
    const std::string runningName = ".sondrix-" + std::to_string(::getppid()) + "-0.tmp";
    for (const std::string& name :
         {endedName, runningName, std::string(".sondrix-x-1.tmp"), std::string("notes.tmp")}) {
        WriteBytes(folder / name, Text("left"));
    }
    unsigned long owner = 0;
    EXPECT_TRUE(CReplacingFile::IsTemporaryName(endedName, owner));
    EXPECT_EQ(owner, static_cast<unsigned long>(ended));
    EXPECT_FALSE(CReplacingFile::IsTemporaryName(".sondrix-12-.tmp", owner));

    EXPECT_EQ(Write(folder / "1.rec", "record"), "");
    ::waitpid(ended, nullptr, 0);
    std::vector<std::string> kept = {".sondrix-x-1.tmp", runningName, "1.rec", "notes.tmp"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(SortedNames(folder.Path()), kept);
}

TEST(ReplacingFileTest, AFailureKeepsTheFileThereAndSaysWhy) {
    CTempFolder folder;
    WriteBytes(folder / "a.log", Text("kept"));
    {
        const CFileSizeLimit full(8);
        EXPECT_EQ(Write(folder / "a.log", "longer than the disk takes"), std::strerror(EFBIG));
    }
    EXPECT_EQ(ReadBytes(folder / "a.log"), Text("kept"));
    fs::create_directory(folder / "a folder");
    EXPECT_EQ(Write(folder / "a folder", "x"), std::strerror(EISDIR));
    EXPECT_EQ(Write(folder / "missing" / "a.log", "x"), std::strerror(ENOENT));
    EXPECT_EQ(SortedNames(folder.Path()), (std::vector<std::string>{"a folder", "a.log"}));
}

}  // namespace
}  // namespace sondrix
