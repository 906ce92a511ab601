#include "cli/cli_progress.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "cli/cli_options.h"
#include "cli_test_support.h"

namespace sondrix::test {
namespace {

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(CliProgressTest, ALineTellsCountShareRateAndTimeLeft) {
    EXPECT_EQ(CCliProgress::Line("backup", 6, 12, "records", 2000),
              "backup: 6 of 12 records (50 %), 3.0 records/s, 2 s left");
    EXPECT_EQ(CCliProgress::Line("backup", 12, 12, "records", 4000),
              "backup: 12 of 12 records (100 %), 3.0 records/s");
    EXPECT_EQ(CCliProgress::Line("capture", 25, 100, "%", 1000), "capture: 25 %, 3 s left");
    EXPECT_EQ(CCliProgress::Line("capture", 0, 100, "%", 0), "capture: 0 %");
}

TEST(CliProgressTest, OnATerminalOneLineIsRewrittenAndOnAPipeALineEveryFewSeconds) {
    std::ostringstream terminal;
    std::ostringstream pipe;
    CCliProgress onTerminal(terminal, true);
    CCliProgress onPipe(pipe, false);
    for (int64_t ms = 0; ms <= 12000; ms += 100) {
        onTerminal.Update("restore", ms / 100, 120, "records", ms);
        onPipe.Update("restore", ms / 100, 120, "records", ms);
    }
    onTerminal.Complete(12000);
    onPipe.Complete(12000);
    EXPECT_EQ(Count(terminal.str(), "\n"), 1u) << "one line, ended once";
    EXPECT_EQ(Count(terminal.str(), "\r"), 121u);
    EXPECT_NE(terminal.str().find("\rsondrix-cli: restore: 120 of 120 records (100 %), 10.0 "
                                  "records/s\x1b[K\n"),
              std::string::npos);
    // At 0, 5 and 10 s, and the end.
    EXPECT_EQ(pipe.str(),
              "sondrix-cli: restore: 0 of 120 records (0 %)\n"
              "sondrix-cli: restore: 50 of 120 records (41 %), 10.0 records/s, 7 s left\n"
              "sondrix-cli: restore: 100 of 120 records (83 %), 10.0 records/s, 2 s left\n"
              "sondrix-cli: restore: 120 of 120 records (100 %), 10.0 records/s\n");
}

// Standard error of the whole process, for what writes to it directly.
class CaptureStderr {
  public:
    explicit CaptureStderr(const std::string& path) {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, STDERR_FILENO);
        ::close(file);
    }
    ~CaptureStderr() {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }

  private:
    int m_saved = -1;
};

TEST_F(CliTest, ProgressOfABackupAndQuietRuns) {
    CPtySimulator& module = StartModule({kModelHlxM18, 0x0301, 115200, 12});
    SKIP_WITHOUT_PTY();
    const std::vector<std::string> line = {"--port", module.SlavePath(), "--baud", "115200"};
    auto with = [&](std::vector<std::string> words) {
        words.insert(words.begin(), line.begin(), line.end());
        return words;
    };
    const SRun backup = RunArgs(with({"backup", Path("records")}));
    ASSERT_EQ(backup.status, kCliOk) << backup.err;
    EXPECT_EQ(Count(backup.err, "backup: 12 of 12 records (100 %)"), 1u) << backup.err;

    const SRun quiet = RunArgs(with({"-q", "backup", Path("records")}));
    ASSERT_EQ(quiet.status, kCliOk) << quiet.err;
    EXPECT_EQ(quiet.err, "");

    // The WSQ codec reports straight to the process's standard error.
    const std::string codec = Path("stderr.txt");
    SRun wsq;
    {
        CaptureStderr capture(codec);
        wsq = RunArgs(with({"-q", "capture", "-o", Path("finger.wsq")}));
    }
    ASSERT_EQ(wsq.status, kCliOk) << wsq.err;
    EXPECT_EQ(wsq.err, "");
    std::ifstream written(codec);
    const std::string text((std::istreambuf_iterator<char>(written)), {});
    EXPECT_EQ(text, "") << "the codec's lines";
}

}  // namespace
}  // namespace sondrix::test
