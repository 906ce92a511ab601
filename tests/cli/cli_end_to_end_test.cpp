#include <filesystem>
#include <fstream>
#include <regex>

#include "cli/cli_options.h"
#include "cli_test_support.h"
#include "imaging/bmp_file.h"
#include "imaging/raw_file.h"
#include "imaging/wsq_file.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "sim/sim_firmware.h"
#include "support/file_size_limit.h"

namespace sondrix::test {
namespace {

namespace fs = std::filesystem;

std::vector<SSimUser> Users(CPtySimulator& module) {
    std::vector<SSimUser> users;
    module.WithModule([&](CSimModule& m) { users = m.UserDb().Users(); });
    return users;
}

TEST_F(CliTest, BackupThenRestoreIntoAnEmptyModuleGivesTheSameDatabase) {
    CPtySimulator& full = StartModule({kModelHlxM18, 0x0301, 115200, 25});
    CPtySimulator& empty = StartModule();
    SKIP_WITHOUT_PTY();
    full.WithModule([](CSimModule& m) {
        m.UserDb().Users()[3].password = {'4', '2'};
        m.UserDb().Users()[7].fingers.push_back(SFinger{99, 4});
    });
    const std::string backup = Path("backup");
    const SRun saved = Run(full, {"backup", backup});
    ASSERT_EQ(saved.status, kCliOk) << saved.err;
    EXPECT_NE(saved.out.find("records: 25"), std::string::npos) << saved.out;

    std::vector<std::string> restore = {"restore"};
    for (const auto& entry : fs::directory_iterator(backup)) {
        restore.push_back(entry.path().string());
    }
    ASSERT_EQ(restore.size(), 26u);
    const SRun loaded = Run(empty, restore);
    ASSERT_EQ(loaded.status, kCliOk) << loaded.err;
    EXPECT_NE(loaded.out.find("records: 25"), std::string::npos) << loaded.out;
    EXPECT_NE(loaded.out.find("users: 25"), std::string::npos) << loaded.out;

    auto byId = [](std::vector<SSimUser> users) {
        std::sort(users.begin(), users.end(),
                  [](const SSimUser& a, const SSimUser& b) { return a.id < b.id; });
        return users;
    };
    const std::vector<SSimUser> before = byId(Users(full));
    const std::vector<SSimUser> after = byId(Users(empty));
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        const std::string id(before[i].id.begin(), before[i].id.end());
        EXPECT_EQ(after[i].id, before[i].id);
        EXPECT_EQ(after[i].authority, before[i].authority) << id;
        EXPECT_EQ(after[i].fingers, before[i].fingers) << id;
        EXPECT_EQ(after[i].password, before[i].password) << id;
    }
}

TEST_F(CliTest, BackupAndRestoreThatLoseRecordsFailWithTheCount) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 3});
    CPtySimulator& empty = StartModule();
    SKIP_WITHOUT_PTY();
    const std::string backup = Path("backup");
    ASSERT_EQ(Run(module, {"backup", backup}).status, kCliOk);

    // A disk that takes no more: a file error, with the count.
    const std::string full = Path("full");
    {
        const CFileSizeLimit limit(64);  // every record is larger
        const SRun lost = Run(module, {"backup", full});
        EXPECT_EQ(lost.status, kCliFileError) << lost.err;
        EXPECT_NE(lost.err.find("3 of 3 records could not be saved: first failure: " + full +
                                "/1.rec: File too large"),
                  std::string::npos)
            << lost.err;
    }

    // A record the module refuses: a module error, and the run ends there.
    std::vector<uint8_t> damaged = ReadBytes(backup + "/2.rec");
    std::fill(damaged.begin() + 100, damaged.end(), uint8_t{0});
    WriteBytes(backup + "/2.rec", damaged);
    const SRun refused =
        Run(empty, {"restore", backup + "/1.rec", backup + "/2.rec", backup + "/3.rec"});
    EXPECT_EQ(refused.status, kCliModuleError) << refused.err;
    EXPECT_NE(refused.err.find("the module refused " + backup +
                               "/2.rec (Invalid Data!!!); 1 of 3 records were uploaded and nothing "
                               "more was sent"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(Users(empty).size(), 1u);
}

TEST_F(CliTest, CaptureSavesTheModulesImageAsRawBmpAndWsq) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    const SModelInfo* model = FindModelByName("HLX-M18");
    const int width = model->imageWidth;
    const int height = model->imageHeight;
    for (const char* name : {"finger.raw", "finger.bmp", "finger.wsq"}) {
        const SRun run = Run(module, {"--json", "capture", "-o", Path(name)});
        ASSERT_EQ(run.status, kCliOk) << name << ": " << run.err;
        EXPECT_NE(run.out.find("\"width\": " + std::to_string(width) + ","), std::string::npos)
            << run.out;
    }
    std::vector<uint8_t> image;
    module.WithModule([&](CSimModule& m) { image = m.CapturedImage(); });
    ASSERT_EQ(image.size(), static_cast<size_t>(width * height));

    std::vector<uint8_t> pixels(image.size());
    ASSERT_EQ(ReadBmpFile(Path("finger.bmp"), pixels.data(), width, height), ImageFileStatus::Ok);
    EXPECT_EQ(pixels, image);
    std::ifstream raw(Path("finger.raw"), std::ios::binary);
    const std::vector<uint8_t> rawBytes((std::istreambuf_iterator<char>(raw)), {});
    EXPECT_EQ(rawBytes, image);

    // WSQ is lossy: the decoded image has the size and stays close to the original.
    std::vector<uint8_t> decoded(image.size());
    int wsqWidth = 0;
    int wsqHeight = 0;
    ASSERT_EQ(ReadWsqFile(Path("finger.wsq"), decoded.data(), decoded.size(), &wsqWidth, &wsqHeight,
                          nullptr),
              ImageFileStatus::Ok);
    EXPECT_EQ(wsqWidth, width);
    EXPECT_EQ(wsqHeight, height);
    double error = 0;
    for (size_t i = 0; i < image.size(); ++i) {
        error += std::abs(int{decoded[i]} - int{image[i]});
    }
    EXPECT_LT(error / static_cast<double>(image.size()), 12.0);
}

TEST_F(CliTest, InfoUsersAndSendReportWhatTheModuleSays) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 3});
    SKIP_WITHOUT_PTY();
    const SRun info = Run(module, {"--json", "info"});
    ASSERT_EQ(info.status, kCliOk) << info.err;
    for (const char* field : {"\"model\": \"HLX-M18\"", "\"series\": 5", "\"firmware\": \"3.01\"",
                              "\"users\": 3", "\"baud\": 115200"}) {
        EXPECT_NE(info.out.find(field), std::string::npos) << field << " in " << info.out;
    }
    EXPECT_EQ(info.out.find('\n'), info.out.size() - 1) << "one JSON line";

    const SRun users = Run(module, {"users"});
    ASSERT_EQ(users.status, kCliOk) << users.err;
    EXPECT_EQ(users.out, "count: 3\n1\tUSER\n2\tUSER\n3\tUSER\n");

    const SRun status = Run(module, {"send", "62"});
    ASSERT_EQ(status.status, kCliOk) << status.err;
    EXPECT_NE(status.out.find("command: 0x62\nparam1: 0x01\n"), std::string::npos) << status.out;
    // The same packet given whole, from its start byte, with its checksum.
    const SRun whole = Run(module, {"send", "7E000000620000000000000000000000000000000000000062"});
    ASSERT_EQ(whole.status, kCliOk) << whole.err;
    EXPECT_EQ(whole.out, status.out);
}

TEST_F(CliTest, TimeOptionsLogAndFirmwareChangeTheModule) {
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();
    const SRun set = Run(module, {"time", "set", "2024-02-29", "13:14:15"});
    ASSERT_EQ(set.status, kCliOk) << set.err;
    EXPECT_EQ(set.out.rfind("time: 2024-02-29 13:14:1", 0), 0u) << set.out;
    // Connecting sets the module's clock to this computer's, as the window does.
    const SRun get = Run(module, {"time", "get"});
    ASSERT_EQ(get.status, kCliOk) << get.err;
    EXPECT_TRUE(std::regex_match(get.out, std::regex("time: 20[0-9]{2}-[01][0-9]-[0-3][0-9] "
                                                     "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n")))
        << get.out;
    EXPECT_EQ(get.out.find("2024-02-29"), std::string::npos);

    const SRun gain = Run(module, {"options", "set", "gain", "5"});
    ASSERT_EQ(gain.status, kCliOk) << gain.err;
    EXPECT_NE(gain.out.find("gain\t5\n"), std::string::npos);
    uint32_t stored = 0;
    module.WithModule([&](CSimModule& m) { stored = m.Options()[kOptionGain]; });
    EXPECT_EQ(stored, 5u);
    const SRun rate = Run(module, {"options", "set", "channel1", "57600 bps"});
    ASSERT_EQ(rate.status, kCliOk) << rate.err;
    EXPECT_NE(rate.out.find("channel1\t57600 bps\n"), std::string::npos) << rate.out;

    const SRun log = Run(module, {"log", "-o", Path("module.log")});
    ASSERT_EQ(log.status, kCliOk) << log.err;
    const auto size = fs::file_size(Path("module.log"));
    EXPECT_GT(size, 0u);
    EXPECT_NE(log.out.find("bytes: " + std::to_string(size)), std::string::npos);

    std::vector<uint8_t> firmware(5000);
    for (size_t i = 0; i < firmware.size(); ++i) {
        firmware[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    std::ofstream(Path("new.bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(firmware.data()),
               static_cast<std::streamsize>(firmware.size()));
    const SRun update = Run(module, {"firmware", Path("new.bin")});
    ASSERT_EQ(update.status, kCliOk) << update.err;
    std::vector<uint8_t> received;
    module.WithModule([&](CSimModule& m) { received = m.Firmware().Received(false); });
    EXPECT_EQ(received, firmware);
}

TEST_F(CliTest, EachFailureHasItsStatusAndSaysWhatWentWrong) {
    CPtySimulator& slow = StartModule({kModelHlxM18, 0x0301, 9600, 0});
    CPtySimulator& module = StartModule();
    SKIP_WITHOUT_PTY();

    const SRun port = RunArgs({"--port", Path("ttyNone"), "-q", "info"});
    EXPECT_EQ(port.status, kCliPortError);
    EXPECT_NE(port.err.find(Path("ttyNone")), std::string::npos) << port.err;

    const SRun baud = Run(slow, {"info"}, 115200);
    EXPECT_EQ(baud.status, kCliNoModule);
    EXPECT_NE(baud.err.find("115200 bps"), std::string::npos) << baud.err;
    EXPECT_NE(baud.err.find(slow.SlavePath()), std::string::npos) << baud.err;

    const SRun missing = Run(module, {"restore", Path("gone.rec")});
    EXPECT_EQ(missing.status, kCliFileError);
    EXPECT_NE(missing.err.find(Path("gone.rec")), std::string::npos) << missing.err;
    EXPECT_EQ(Run(module, {"firmware", Path("gone.bin")}).status, kCliFileError);
    EXPECT_EQ(Run(module, {"capture", "-o", Path("no/such/folder.bmp")}).status, kCliFileError);

    EXPECT_EQ(Run(module, {"capture", "-o", Path("finger.png")}).status, kCliUsage);
    EXPECT_EQ(Run(module, {"erase"}).status, kCliUsage);
    EXPECT_EQ(Run(module, {"send", "62", "0", "0", "0", "0"}).status, kCliUsage);
    EXPECT_EQ(Run(module, {"options", "set", "volume", "3"}).status, kCliUsage);

    const SRun refused = Run(module, {"--json", "options", "set", "gain", "99"});
    EXPECT_EQ(refused.status, kCliModuleError);
    EXPECT_NE(refused.err.find("Invalid Parameter"), std::string::npos) << refused.err;
    EXPECT_NE(refused.out.find("\"exit\": 1, \"error\": "), std::string::npos) << refused.out;

    module.WithModule([](CSimModule& m) { m.Faults().silent = true; });
    const SRun silent = Run(module, {"info"});
    EXPECT_EQ(silent.status, kCliNoModule);
    EXPECT_NE(silent.err.find("No module answered"), std::string::npos) << silent.err;
}

TEST_F(CliTest, WithoutARateTheSearchFindsTheModuleAndProgressGoesToStandardError) {
    CPtySimulator& slow = StartModule({kModelHlxM18, 0x0301, 19200, 0});
    SKIP_WITHOUT_PTY();
    const SRun info = RunArgs({"--port", slow.SlavePath(), "info"});
    ASSERT_EQ(info.status, kCliOk) << info.err;
    EXPECT_NE(info.out.find("baud: 19200\n"), std::string::npos) << info.out;
    EXPECT_NE(info.err.find("searching every rate"), std::string::npos) << info.err;

    const SRun capture = RunArgs(
        {"--port", slow.SlavePath(), "--baud", "19200", "capture", "-o", Path("finger.raw")});
    ASSERT_EQ(capture.status, kCliOk) << capture.err;
    EXPECT_NE(capture.err.find("sondrix-cli: capture: 100 %\n"), std::string::npos) << capture.err;
    EXPECT_EQ(capture.out.find("Receiving"), std::string::npos) << "results only on stdout";
}

TEST_F(CliTest, AModuleWithAMasterNeedsItsCredential) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 3});
    SKIP_WITHOUT_PTY();
    module.WithModule([](CSimModule& m) {
        m.UserDb().Users()[0].authority = 1;
        m.UserDb().Users()[0].password = {'7', '7', '1'};
    });
    const SRun refused = Run(module, {"users"});
    EXPECT_EQ(refused.status, kCliUsage);
    EXPECT_NE(refused.err.find("wants a master credential"), std::string::npos) << refused.err;
    EXPECT_EQ(Run(module, {"--master-id", "1", "--master-password", "770", "users"}).status,
              kCliModuleError);
    const SRun users = Run(module, {"--master-id", "1", "--master-password", "771", "users"});
    ASSERT_EQ(users.status, kCliOk) << users.err;
    EXPECT_EQ(users.out, "count: 3\n1\tMASTER\n2\tUSER\n3\tUSER\n");
}

TEST_F(CliTest, HelpAndVersionNeedNoModule) {
    const SRun help = RunArgs({"--help"});
    EXPECT_EQ(help.status, kCliOk);
    for (const char* text : {"backup DIR", "--simulate", "Exit status", "4  no module answered"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(RunArgs({"--version"}).out, "sondrix-cli 2.20\n");
    const SRun bare = RunArgs({});
    EXPECT_EQ(bare.status, kCliUsage);
    EXPECT_NE(bare.err.find("no command"), std::string::npos);
}

}  // namespace
}  // namespace sondrix::test
