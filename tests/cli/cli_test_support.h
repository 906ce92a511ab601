#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "files/files_test_support.h"
#include "sim/pty_simulator.h"

namespace sondrix::test {

// sondrix-cli run in process against simulated modules on pseudo-terminals,
// through the real receive thread and line, as on a bench.
class CliTest : public ::testing::Test {
  protected:
    // The rates the runs remember go to this test's own settings folder.
    CliTest() { ::setenv("XDG_CONFIG_HOME", m_settings.Path().c_str(), 1); }
    ~CliTest() override { ::unsetenv("XDG_CONFIG_HOME"); }

    struct SRun {
        int status = -1;
        std::string out;
        std::string err;
    };

    // Starts a simulated module; the test is skipped where no pty can be had.
    CPtySimulator& StartModule(SSimConfig config = {}) {
        m_modules.push_back(std::make_unique<CPtySimulator>(config));
        std::string error;
        if (!m_modules.back()->Start(error)) {
            m_skip = error;
        }
        return *m_modules.back();
    }
    bool Skipped() const { return !m_skip.empty(); }

    // Runs the command against `module` at its rate, quietly.
    SRun Run(CPtySimulator& module, std::vector<std::string> args, uint32_t baud = 115200) {
        std::vector<std::string> all = {
            "--port", module.SlavePath(), "--baud", std::to_string(baud), "-q", "--timeout", "5"};
        all.insert(all.end(), args.begin(), args.end());
        return RunArgs(all);
    }
    static SRun RunArgs(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        SRun run;
        run.status = RunCli(args, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }
    std::string Path(const std::string& name) const { return (folder.Path() / name).string(); }

    CTempFolder folder;

  private:
    CTempFolder m_settings;
    std::vector<std::unique_ptr<CPtySimulator>> m_modules;
    std::string m_skip;
};

#define SKIP_WITHOUT_PTY()                                  \
    do {                                                    \
        if (Skipped()) {                                    \
            GTEST_SKIP() << "no pseudo-terminal available"; \
        }                                                   \
    } while (false)

}  // namespace sondrix::test
