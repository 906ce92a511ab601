// The platform's native file on the system the tests run on (Linux, and
// Windows under Wine): names in UTF-8, replacing a file in one step, and the
// failures that callers tell apart.
#include "platform/native_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include "files/files_test_support.h"
#include "files/read_file.h"

namespace sondrix {
namespace {

using test::Bytes;
using test::CTempFolder;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Contents(const std::filesystem::path& path) {
    Bytes bytes;
    EXPECT_EQ(ReadWholeFile(path, 1 << 20, bytes), EFileStatus::Ok) << Utf8FromPath(path);
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::string& text,
               CNativeFile::EMode mode = CNativeFile::EMode::Truncate) {
    CNativeFile file;
    ASSERT_TRUE(file.Open(path, mode)) << Utf8FromPath(path);
    ASSERT_TRUE(file.WriteAll(Text(text)));
    ASSERT_TRUE(file.Close());
}

// A narrow string never becomes a file path by accident: on Windows the
// conversion reads it in the C locale and mangles every name outside ASCII
// ("Sicherung Ω 指纹"). Typed text goes through PathFromUtf8.
static_assert(!std::is_convertible_v<const std::string&, CFilePath>);
static_assert(!std::is_convertible_v<const char*, CFilePath>);
static_assert(std::is_convertible_v<const std::filesystem::path&, CFilePath>);

TEST(NativeFileTest, NonAsciiNamesReachTheFileSystemAsTheyAre) {
    CTempFolder folder;
    // German, Greek and Japanese letters: outside every single-byte code page at once.
    const std::string name = "Prüfung-δακτύλιο-指紋.rec";
    const std::filesystem::path path = folder.Path() / PathFromUtf8(name);
    WriteFile(path, "finger");

    const std::vector<std::string> names = test::FileNames(folder.Path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(names.front())), Utf8FromPath(path.filename()));
    EXPECT_EQ(Utf8FromPath(path.filename()), name);
    EXPECT_EQ(Contents(path), Text("finger"));
}

TEST(NativeFileTest, ReplaceTakesTheNameOfAnExistingFile) {
    CTempFolder folder;
    const auto target = folder / "user.rec";
    const auto fresh = folder / ".user.tmp";
    WriteFile(target, "old contents, longer than the new");
    WriteFile(fresh, "new");

    ASSERT_TRUE(CNativeFile::Replace(fresh, target));
    EXPECT_EQ(Contents(target), Text("new"));
    EXPECT_EQ(CNativeFile::Probe(fresh), CNativeFile::EError::NotFound);
    EXPECT_FALSE(CNativeFile::Replace(fresh, target)) << "the source is gone";
    EXPECT_EQ(Contents(target), Text("new"));
}

TEST(NativeFileTest, ModesCreateTruncateAndAppend) {
    CTempFolder folder;
    const auto path = folder / "log.txt";
    CNativeFile file;
    EXPECT_FALSE(file.Open(path, CNativeFile::EMode::Read));
    EXPECT_EQ(file.LastError(), CNativeFile::EError::NotFound);

    WriteFile(path, "one\r\n", CNativeFile::EMode::CreateNew);
    EXPECT_FALSE(file.Open(path, CNativeFile::EMode::CreateNew));
    EXPECT_EQ(file.LastError(), CNativeFile::EError::Exists);

    WriteFile(path, "two\r\n", CNativeFile::EMode::Append);
    EXPECT_EQ(Contents(path), Text("one\r\ntwo\r\n")) << "no line-end translation either";
    WriteFile(path, "three", CNativeFile::EMode::Truncate);
    EXPECT_EQ(Contents(path), Text("three"));

    ASSERT_TRUE(file.Open(path, CNativeFile::EMode::Read));
    uint64_t size = 0;
    EXPECT_TRUE(file.RegularFileSize(size));
    EXPECT_EQ(size, 5u);
}

TEST(NativeFileTest, MissingFilesAndFoldersAreToldApart) {
    CTempFolder folder;
    EXPECT_EQ(CNativeFile::Probe(folder / "absent.rec"), CNativeFile::EError::NotFound);
    EXPECT_EQ(CNativeFile::Probe(folder / "no-folder" / "absent.rec"),
              CNativeFile::EError::NotFound);
    EXPECT_EQ(CNativeFile::Probe(folder.Path()), CNativeFile::EError::None);
    Bytes bytes;
    EXPECT_EQ(ReadWholeFile(folder.Path(), 1024, bytes), EFileStatus::IoError)
        << "a folder is not a file to read";
    EXPECT_FALSE(CNativeFile::Remove(folder / "absent.rec"));
}

}  // namespace
}  // namespace sondrix
