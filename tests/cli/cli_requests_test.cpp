// What a run sends, what it refuses to send, and what it leaves behind: the
// command line owns its requests, checks what it is given against the
// module before anything depends on it, and leaves master mode.
#include <filesystem>
#include <fstream>

#include "cli/cli_options.h"
#include "cli_test_support.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "sim/sim_matching.h"

namespace sondrix::test {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

size_t Requests(CPtySimulator& module, uint32_t command) {
    size_t count = 0;
    module.WithModule([&](CSimModule& m) { count = m.RequestCount(command); });
    return count;
}

TEST_F(CliTest, CancelTakesOnlyItsOwnAnswerAndFailsOnARefusal) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    // Another program left the module waiting for a finger in a registration.
    module.WithModule([](CSimModule& m) {
        m.Config().waitForFinger = true;
        m.PlaceFinger(kNoFinger);
        CPacket packet;
        packet.command = CMD_ENTER_MASTER_MODE;
        packet.param1 = 3;
        std::vector<uint8_t> wire = packet.Encode();
        m.Receive(wire.data(), wire.size());
        packet.command = CMD_REGISTER_STEP;
        packet.param1 = 0;
        packet.dataSize = 32;
        std::fill_n(packet.data, 4, uint8_t{'5'});
        wire = packet.Encode();
        m.Receive(wire.data(), wire.size());
        m.ClearRequests();
    });
    const SRun cancel = Run(module, {"--trace", Path("cancel.pcapng"), "cancel"});
    ASSERT_EQ(cancel.status, kCliOk) << cancel.err;
    EXPECT_EQ(cancel.out, "result: Succeeded!!!\n");
    EXPECT_EQ(Requests(module, CMD_REGISTER_STEP), 0u) << "the late answer started nothing";
    EXPECT_EQ(Requests(module, CMD_GET_IMAGE_QUALITY), 0u);

    // Failed, not in master mode, and 8 ("Error!!!"), which has no name of its own.
    for (const uint32_t refusal : {uint32_t{RESULT_FAILED}, uint32_t{RESULT_NOT_MASTER_MODE}, 8u}) {
        module.WithModule([&](CSimModule& m) { m.Faults().forcedResult = refusal; });
        EXPECT_EQ(Run(module, {"--baud", "115200", "cancel"}).status, kCliModuleError) << refusal;
    }
}

TEST_F(CliTest, ACredentialOrOptionThatCannotBeRightIsAUsageErrorNamingIt) {
    const std::string port = Path("ttyNone");
    std::ofstream(Path("empty"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"--master-password", "", "users"}, "--master-password needs the password"},
        {{"--master-id", "", "users"}, "--master-id needs the master's ID"},
        {{"--master-id", "abc", "--master-password", "1", "users"}, "\"abc\""},
        {{"--master-id", "12/34", "--master-password", "1", "users"}, "\"12/34\""},
        {{"--master-id", "1", "--master-password-file", Path("empty"), "users"}, "is empty"},
        {{"--port", "", "info"}, "--port needs a port"},
        {{"--timeout", "99999999999", "info"}, "--timeout takes 1 to 86400 seconds"},
        {{"--yes", "--no", "delete", "1"}, "--yes and --no cannot go together"},
        {{"verify", "--all", "42"}, "--all goes with delete only"},
        {{"verify", "-o", "x.raw", "42"}, "-o goes with capture and log only"},
        {{"identify", "--password=1234"}, "--password goes with enroll and verify only"},
        {{"verify", "--password=1111", "--password-file", Path("empty"), "42"},
         "--password and --password-file cannot go together"},
    };
    for (const auto& [words, said] : bad) {
        std::vector<std::string> args = {"--port", port};
        if (words.front() == "--port") {
            args.clear();
        }
        args.insert(args.end(), words.begin(), words.end());
        const SRun run = RunArgs(args);
        EXPECT_EQ(run.status, kCliUsage) << said << ": " << run.err;
        EXPECT_TRUE(Has(run.err, said)) << run.err;
    }
}

TEST_F(CliTest, IdsAndFingersTheModuleCannotTakeAreRefusedBeforeAnythingDependsOnThem) {
    SSimConfig series1;
    series1.modelCode = FindModelByName("HLX-M06")->code;
    CPtySimulator& older = StartModule(series1);
    CPtySimulator& steps = StartModule();
    SKIP_WITHOUT_PTY();
    const SRun tooLong = Run(older, {"verify", "12345678901"});
    EXPECT_EQ(tooLong.status, kCliUsage) << tooLong.err;
    EXPECT_EQ(Requests(older, CMD_VERIFY), 0u);
    // That module registers one finger a user in template mode 2.
    EXPECT_EQ(Run(older, {"enroll", "42", "--finger", "2"}).status, kCliUsage);
    EXPECT_EQ(Requests(older, CMD_ENTER_MASTER_MODE) + Requests(older, CMD_REGISTER), 0u);

    const SRun tooShort = Run(steps, {"enroll", "123"});
    EXPECT_EQ(tooShort.status, kCliUsage) << tooShort.err;
    EXPECT_TRUE(Has(tooShort.err, "4 digits or more")) << tooShort.err;
    EXPECT_EQ(Requests(steps, CMD_ENTER_MASTER_MODE), 0u);
}

TEST_F(CliTest, TheImageQualityAfterAFailedMatchIsAskedForEveryTime) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 2});
    SKIP_WITHOUT_PTY();
    module.WithModule([](CSimModule& m) { m.PlaceFinger(SFinger{9, 9}); });
    for (int run = 0; run < 10; ++run) {
        const std::vector<std::string> mode =
            run % 2 == 0 ? std::vector<std::string>{"-q"} : std::vector<std::string>{"--json"};
        std::vector<std::string> args = mode;
        args.insert(args.end(), {run < 5 ? "verify" : "identify"});
        if (run < 5) {
            args.push_back("1");
        }
        module.WithModule([](CSimModule& m) { m.ClearRequests(); });
        EXPECT_EQ(Run(module, args).status, kCliModuleError);
        EXPECT_EQ(Requests(module, CMD_GET_IMAGE_QUALITY), 1u) << "run " << run;
    }
}

TEST_F(CliTest, ARunLeavesTheMasterModeItEnteredUnlessToldToStay) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 3});
    SKIP_WITHOUT_PTY();
    module.WithModule([](CSimModule& m) {
        m.UserDb().Users()[0].authority = 1;
        m.UserDb().Users()[0].password = {'7', '7'};
    });
    std::ofstream(Path("secret")) << "77\n";
    const std::vector<std::string> master = {"--master-id", "1", "--master-password-file",
                                             Path("secret")};
    std::vector<std::string> args = master;
    args.insert(args.end(), {"delete", "3"});
    ASSERT_EQ(Run(module, args).status, kCliOk);
    const auto masterMode = [&] {
        bool on = false;
        module.WithModule([&](CSimModule& m) { on = m.Matching().MasterMode(); });
        return on;
    };
    EXPECT_FALSE(masterMode());
    const SRun next = Run(module, {"users"});
    EXPECT_EQ(next.status, kCliUsage) << "let in without a credential";
    EXPECT_TRUE(Has(next.err, "wants a master credential")) << next.err;

    args = master;
    args.insert(args.end(), {"--stay-master", "users"});
    ASSERT_EQ(Run(module, args).status, kCliOk);
    EXPECT_TRUE(masterMode());
}

// The command line reads values of the typed interface, never a text the
// window shows a person: it cannot even reach the string table, the pages,
// their boxes or the message line.
TEST(CliSourceTest, TheCommandLineReachesNoTextMeantForAPerson) {
    const std::filesystem::path folder =
        std::filesystem::path(SONDRIX_TESTDATA_DIR) / "../../src/cli";
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream file(entry.path());
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        ++files;
        for (const char* reach : {"#include \"ui/", "app/sondrix_dlg.h", "scripted_ui_host.h",
                                  "LoadString(", "Dlg()", "MessageBox"}) {
            EXPECT_FALSE(Has(text, reach)) << entry.path().filename() << " uses " << reach;
        }
    }
    EXPECT_GT(files, 10u) << folder;
}

}  // namespace
}  // namespace sondrix::test
