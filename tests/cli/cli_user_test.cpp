#include <cstdlib>
#include <fstream>

#include "cli/cli_options.h"
#include "cli/cli_secrets.h"
#include "cli_test_support.h"
#include "link/option_numbers.h"

namespace sondrix::test {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The enrolled user's fingers and password, as the module holds them.
std::optional<SSimUser> UserOf(CPtySimulator& module, const std::string& id) {
    std::optional<SSimUser> found;
    module.WithModule([&](CSimModule& m) {
        for (const SSimUser& user : m.UserDb().Users()) {
            if (std::string(user.id.begin(), user.id.end()) == id) {
                found = user;
            }
        }
    });
    return found;
}

SSimConfig Module(const char* model, std::vector<SFinger> fingers) {
    SSimConfig config;
    config.modelCode = FindModelByName(model)->code;
    config.fingers = std::move(fingers);
    return config;
}

class CliUserTest : public CliTest {
  protected:
    // Enrol, verify with the right and a wrong finger, identify, delete: the
    // whole round a person makes at the bench, for one module.
    void EnrolAndMatch(CPtySimulator& module, int fingers);
};

void CliUserTest::EnrolAndMatch(CPtySimulator& module, int fingers) {
    const auto run = [&](std::vector<std::string> args) { return Run(module, args); };
    const SRun enrolled = run({"enroll", "4242"});
    ASSERT_EQ(enrolled.status, kCliOk) << enrolled.err;
    EXPECT_EQ(enrolled.out,
              "result: Register succeeded!!\nid: 4242\nfingers: " + std::to_string(fingers) + "\n");
    // The prompts reach the person even with -q.
    for (const char* prompt : {"Place your finger on the sensor.", "Lift your finger.",
                               "Place the same finger again."}) {
        EXPECT_TRUE(Has(enrolled.err, prompt)) << prompt << " in " << enrolled.err;
    }
    const std::optional<SSimUser> user = UserOf(module, "4242");
    ASSERT_TRUE(user.has_value());
    EXPECT_EQ(user->fingers.front(), (SFinger{7, 1}));

    const SRun right = run({"verify", "4242"});
    ASSERT_EQ(right.status, kCliOk) << right.err;
    EXPECT_TRUE(Has(right.out,
                    "result: Verification Succeeded!!! (Index : 0)\nindex: 0\n"
                    "matched: true\ntime_ms: "))
        << right.out;
    const SRun wrong = run({"--json", "verify", "4242"});
    EXPECT_EQ(wrong.status, kCliModuleError);
    EXPECT_TRUE(Has(wrong.err, "Verification Failed!!!")) << wrong.err;
    EXPECT_TRUE(Has(wrong.out, "\"exit\": 1, \"error\": \"Verification Failed!!!")) << wrong.out;

    const SRun found = run({"--json", "identify"});
    ASSERT_EQ(found.status, kCliOk) << found.err;
    EXPECT_TRUE(Has(found.out, "\"id\": \"4242\", \"index\": 0, \"matched\": true, \"time_ms\": "))
        << found.out;

    const SRun deleted = run({"delete", "4242"});
    ASSERT_EQ(deleted.status, kCliOk) << deleted.err;
    EXPECT_TRUE(Has(deleted.out, "result: Deletion succeeded!!\ndeleted: 1\nusers: 0\n"))
        << deleted.out;
    EXPECT_EQ(run({"users"}).out, "count: 0\n");
}

TEST_F(CliUserTest, EnrolVerifyIdentifyAndDeleteOnASeries5Module) {
    // Enrolment scans twice, then one verification each with the right and a
    // wrong finger, then the right one for identification.
    CPtySimulator& module =
        StartModule(Module("HLX-M18", {{7, 1}, {7, 1}, {7, 1}, {3, 4}, {7, 1}}));
    SKIP_WITHOUT_PTY();
    EnrolAndMatch(module, 1);
}

TEST_F(CliUserTest, EnrolVerifyIdentifyAndDeleteOnASeries1ModuleWithTwoFingers) {
    // A template mode other than 2 enrols two fingers, each scanned twice.
    CPtySimulator& module =
        StartModule(Module("HLX-M06", {{7, 1}, {7, 1}, {7, 2}, {7, 2}, {7, 1}, {3, 4}, {7, 1}}));
    SKIP_WITHOUT_PTY();
    module.WithModule([](CSimModule& m) { m.Options()[kOptionTemplateMode] = 1; });
    EnrolAndMatch(module, 2);
    EXPECT_EQ(UserOf(module, "4242"), std::nullopt);
}

TEST_F(CliUserTest, EnrolOfMoreFingersAndAFailedScanTriedAgainOrNot) {
    CPtySimulator& module = StartModule(Module("HLX-M18", {{5, 0}, {5, 0}, {5, 3}, {5, 3}}));
    SKIP_WITHOUT_PTY();
    const SRun two = Run(module, {"enroll", "5555", "--finger", "2"});
    ASSERT_EQ(two.status, kCliOk) << two.err;
    EXPECT_TRUE(Has(two.err, "Place the next finger.")) << two.err;
    ASSERT_TRUE(UserOf(module, "5555"));
    EXPECT_EQ(UserOf(module, "5555")->fingers, (std::vector<SFinger>{{5, 0}, {5, 3}}));

    // The simulated module's fingers from the command line: the second scan
    // is another finger, and the person says no to trying again...
    const SRun refused = RunArgs({"--simulate", "--baud", "115200", "-q", "--sim-fingers",
                                  "1:0,1:1", "enroll", "4242", "--no"});
    EXPECT_EQ(refused.status, kCliModuleError);
    EXPECT_TRUE(Has(refused.err, "Different Fingerprint!!!")) << refused.err;
    // ... or yes, and the next two scans agree.
    const SRun retried = RunArgs({"--simulate", "--baud", "115200", "-q", "--sim-fingers",
                                  "1:0,1:1,1:0,1:0", "enroll", "4242", "--yes"});
    EXPECT_EQ(retried.status, kCliOk) << retried.err;
    EXPECT_TRUE(Has(retried.err, "Place your finger again.")) << retried.err;
}

TEST_F(CliUserTest, MasterAuthorityStatusAndCancel) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 3});
    SKIP_WITHOUT_PTY();
    EXPECT_EQ(Run(module, {"master", "set", "9"}).status, kCliModuleError) << "no user 9";
    const SRun set = Run(module, {"master", "set", "2"});
    ASSERT_EQ(set.status, kCliOk) << set.err;
    EXPECT_EQ(set.out, "2\tMASTER\n");
    EXPECT_EQ(UserOf(module, "2")->authority, 1);

    const SRun status = Run(module, {"--json", "status"});
    ASSERT_EQ(status.status, kCliOk) << status.err;
    EXPECT_TRUE(Has(status.out, "\"exit\": 0, \"status\": \"Idle...\"}")) << status.out;
    const SRun cancel = Run(module, {"cancel"});
    ASSERT_EQ(cancel.status, kCliOk) << cancel.err;
    EXPECT_EQ(cancel.out, "result: Status of device is idle.\n");
}

TEST_F(CliUserTest, DeleteAllAsksUnlessToldAndBadIdsAreUsageErrors) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 3});
    SKIP_WITHOUT_PTY();
    // Standard input is no terminal here: without --yes nothing can confirm.
    const SRun unasked = Run(module, {"delete", "--all"});
    EXPECT_EQ(unasked.status, kCliUsage) << unasked.err;
    EXPECT_EQ(UserOf(module, "1").has_value(), true);
    const SRun all = Run(module, {"delete", "--all", "--yes"});
    ASSERT_EQ(all.status, kCliOk) << all.err;
    EXPECT_EQ(Run(module, {"users"}).out, "count: 0\n");

    const std::string port = Path("ttyNone");
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"enroll", "12a4"},
                                               {"enroll"},
                                               {"verify", "1234567890123456"},
                                               {"delete"},
                                               {"master", "grant", "1"},
                                               {"identify", "1"},
                                               {"enroll", "1234", "--finger", "11"},
                                               {"enroll", "1234", "--password=12x"}}) {
        std::vector<std::string> args = {"--port", port};
        args.insert(args.end(), words.begin(), words.end());
        EXPECT_EQ(RunArgs(args).status, kCliUsage) << words.front() << " " << words.back();
    }
}

TEST_F(CliUserTest, PasswordsComeFromAFileOrTheEnvironment) {
    CPtySimulator& module = StartModule(Module("HLX-M18", {{2, 2}}));
    SKIP_WITHOUT_PTY();
    std::ofstream(Path("secret")) << "2468\n";
    const SRun enrolled = Run(module, {"enroll", "7777", "--password-file", Path("secret")});
    ASSERT_EQ(enrolled.status, kCliOk) << enrolled.err;
    EXPECT_EQ(UserOf(module, "7777")->password, (std::vector<uint8_t>{'2', '4', '6', '8'}));

    ::setenv(kPasswordVariable, "2468", 1);
    const SRun right = Run(module, {"verify", "--password", "7777"});
    ::setenv(kPasswordVariable, "1357", 1);
    const SRun wrong = Run(module, {"verify", "--password", "7777"});
    ::unsetenv(kPasswordVariable);
    EXPECT_EQ(right.status, kCliOk) << right.err;
    EXPECT_EQ(wrong.status, kCliModuleError) << wrong.err;
    EXPECT_TRUE(Has(wrong.err, "Verification Failed!!!")) << wrong.err;

    // The master's password, kept out of the process list.
    module.WithModule([](CSimModule& m) { m.UserDb().Users()[0].authority = 1; });
    ::setenv(kMasterPasswordVariable, "2468", 1);
    const SRun users = Run(module, {"--master-id", "7777", "users"});
    ::unsetenv(kMasterPasswordVariable);
    EXPECT_EQ(users.status, kCliOk) << users.err;
    EXPECT_EQ(Run(module, {"--master-id", "7777", "users"}).status, kCliUsage)
        << "no password and no terminal to ask on";
    EXPECT_EQ(Run(module, {"--master-id", "7777", "--master-password-file", Path("none"), "users"})
                  .status,
              kCliFileError);
}

TEST(CliHelpTest, HelpAndManualPageDescribeEveryCommandTheSchemaAndEveryStatus) {
    const Bytes bytes = ReadBytes(std::string(SONDRIX_TESTDATA_DIR) + "/../../man/sondrix-cli.1");
    const std::string manual(bytes.begin(), bytes.end());
    ASSERT_FALSE(manual.empty()) << "man/sondrix-cli.1";
    const std::string help = CliHelp();
    for (const char* text :
         {"enroll", "verify", "identify", "delete", "master set", "status", "cancel",
          "--sim-fingers", "--master-password-file", "SONDRIX_MASTER_PASSWORD", "SONDRIX_PASSWORD",
          "{\"version\": 1, \"command\": ", "\"error\": "}) {
        std::string escaped;  // as the manual writes a dash
        for (const char c : std::string(text)) {
            escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        }
        EXPECT_TRUE(Has(help, text)) << text;
        EXPECT_TRUE(Has(manual, escaped)) << escaped;
    }
    for (const SModuleStatusRow& row : kModuleStatusTable) {
        EXPECT_TRUE(Has(manual, ".B " + std::to_string(row.status) + "\n" + row.meaning + "\n"))
            << row.meaning;
    }
}

}  // namespace
}  // namespace sondrix::test
