// What sondrix-cli leaves in files when a run ends early, and the Wireshark
// dissector installed beside a global copy.
#include <cstdlib>
#include <filesystem>

#include "cli/cli_status.h"
#include "cli_test_support.h"
#include "link/model_table.h"

namespace sondrix::test {
namespace {

namespace fs = std::filesystem;

TEST_F(CliTest, AnInterruptedBackupSaysHowManyRecordsItSaved) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 20});
    SKIP_WITHOUT_PTY();
    module.SetPacing(true);  // a record then takes its wire time
    const std::string records = Path("records");
    CChild child({"--port", module.SlavePath(), "--baud", "115200", "backup", records}, Path("out"),
                 Path("err"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(Eventually([&] { return fs::exists(records + "/2.rec"); }));
    ASSERT_EQ(child.Stop(SIGINT), kCliSignalBase + SIGINT) << ReadAll(Path("err"));
    size_t saved = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(records)) {
        EXPECT_EQ(entry.path().extension(), ".rec") << "nothing but whole records stays";
        ++saved;
    }
    ASSERT_LT(saved, 20u) << "the signal came before the backup ended";
    EXPECT_NE(ReadAll(Path("err"))
                  .find("interrupted by signal 2; " + std::to_string(saved) +
                        (saved == 1 ? " record" : " records") + " saved in " + records),
              std::string::npos)
        << ReadAll(Path("err"));
}

TEST_F(CliTest, InstallingTheDissectorBesideAGlobalCopySaysSo) {
    const std::string global = Path("global");
    fs::create_directories(global);
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome != nullptr ? savedHome : "";
    setenv("HOME", folder.Path().c_str(), 1);
    setenv("WIRESHARK_PLUGIN_DIR", global.c_str(), 1);
    const SRun alone = RunArgs({"--install-wireshark-plugin"});
    std::ofstream(global + "/hlx.lua") << "-- the package's copy";
    const SRun beside = RunArgs({"--install-wireshark-plugin"});
    setenv("HOME", home.c_str(), 1);
    unsetenv("WIRESHARK_PLUGIN_DIR");
    ASSERT_EQ(alone.status, kCliOk) << alone.err;
    EXPECT_EQ(alone.out.find("global"), std::string::npos) << alone.out;
    ASSERT_EQ(beside.status, kCliOk) << beside.err;
    EXPECT_NE(beside.out.find("A global copy is installed too (" + global +
                              "/hlx.lua); Wireshark loads the dissector once, from the global "
                              "copy."),
              std::string::npos)
        << beside.out;
}

}  // namespace
}  // namespace sondrix::test
