#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <map>

#include "platform/writable_folder.h"

namespace sondrix {
namespace {

namespace fs = std::filesystem;

EnvironmentLookup Environment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const std::string& name) -> std::optional<std::string> {
        const auto found = values.find(name);
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

TEST(WritableFolderTest, ChoosesTheProgramFolderWhenWritableElseTheUserDataFolder) {
    const auto home = Environment({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data/ann"}});
    // A build tree or a portable copy: as it always was.
    SWritableFolder chosen = ChooseWritableFolder("/opt/sondrix/bin", true, home);
    EXPECT_EQ(chosen.folder, "/opt/sondrix/bin");
    EXPECT_FALSE(chosen.perUser);
    // Installed: the user's data folder.
    chosen = ChooseWritableFolder("/usr/bin", false, home);
    EXPECT_EQ(chosen.folder, "/data/ann/sondrix/records");
    EXPECT_TRUE(chosen.perUser);
}

TEST(WritableFolderTest, UnusableXdgDataHomeFallsBackToTheHomeFolder) {
    for (const char* unusable : {"", "relative/data"}) {
        const SWritableFolder chosen = ChooseWritableFolder(
            "/usr/bin", false, Environment({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", unusable}}));
        EXPECT_EQ(chosen.folder, "/home/ann/.local/share/sondrix/records") << unusable;
    }
    EXPECT_EQ(ChooseWritableFolder("/usr/bin", false, Environment({{"HOME", "/home/ann"}})).folder,
              "/home/ann/.local/share/sondrix/records");
    // Nowhere of the user's: the working folder.
    const SWritableFolder nowhere =
        ChooseWritableFolder("/usr/bin", false, Environment({{"HOME", "home"}}));
    EXPECT_EQ(nowhere.folder, ".");
    EXPECT_FALSE(nowhere.perUser);
}

TEST(WritableFolderTest, ThisProgramRunsFromAWritableBuildTree) {
    const SWritableFolder chosen = WritableFolderOfThisProgram();
    EXPECT_FALSE(chosen.perUser);
    EXPECT_EQ(chosen.folder, fs::read_symlink("/proc/self/exe").parent_path());
}

TEST(WritableFolderTest, CreatesMissingFoldersPrivateAndNamesWhatStopsIt) {
    const fs::path base =
        fs::temp_directory_path() / ("sondrix-folder-" + std::to_string(getpid()));
    fs::remove_all(base);
    fs::create_directory(base);
    std::string reason;
    const fs::path made = base / "share" / "sondrix" / "records";
    ASSERT_TRUE(CreateFolder(made, reason)) << reason;
    struct stat info {};
    for (const fs::path& folder : {base / "share", base / "share" / "sondrix", made}) {
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
    }
    // Once there, it is fine again.
    EXPECT_TRUE(CreateFolder(made, reason));

    std::ofstream(base / "file") << "x";
    EXPECT_FALSE(CreateFolder(base / "file" / "records", reason));
    EXPECT_EQ(reason, "Not a directory");
    EXPECT_FALSE(CreateFolder(base / "file", reason));
    EXPECT_EQ(reason, "Not a directory");
    fs::remove_all(base);
}

}  // namespace
}  // namespace sondrix
