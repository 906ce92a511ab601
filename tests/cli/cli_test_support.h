#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
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

// A program run as a process of its own; killed with the test if it still runs.
class CChild {
  public:
    // sondrix-cli, its output in files.
    CChild(const std::vector<std::string>& args, const std::string& out, const std::string& err)
        : CChild(WithProgram(SONDRIX_CLI_PATH, args), [&](posix_spawn_file_actions_t& files) {
              posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                               0644);
              posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                               0644);
          }) {}
    // Any program (`argv` from its name on, found on the PATH), its standard
    // input and output on the terminal `terminal` (a pty's slave).
    CChild(const std::vector<std::string>& argv, int terminal)
        : CChild(argv, [terminal](posix_spawn_file_actions_t& files) {
              for (const int fd : {0, 1, 2}) {
                  posix_spawn_file_actions_adddup2(&files, terminal, fd);
              }
          }) {}
    ~CChild() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CChild(const CChild&) = delete;
    CChild& operator=(const CChild&) = delete;

    bool Started() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }
    // Waits up to `ms` for the program to end: its exit status (1000 + the
    // signal that killed it), or -1 while it runs on.
    int Wait(int ms) {
        for (int waited = 0; m_pid > 0; waited += 50) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
            }
            if (waited >= ms) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }
    // Signals the program, then waits up to 10 s for its exit status.
    int Stop(int signal) {
        kill(m_pid, signal);
        return Wait(10000);
    }

  private:
    CChild(std::vector<std::string> argv,
           const std::function<void(posix_spawn_file_actions_t&)>& redirect) {
        std::vector<char*> pointers;
        for (std::string& arg : argv) {
            pointers.push_back(arg.data());
        }
        pointers.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        redirect(files);
        if (posix_spawnp(&m_pid, pointers[0], &files, nullptr, pointers.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&files);
    }
    static std::vector<std::string> WithProgram(const char* program,
                                                std::vector<std::string> args) {
        args.insert(args.begin(), program);
        return args;
    }

    pid_t m_pid = -1;
};

// Waits up to 20 s for `ready`.
inline bool Eventually(const std::function<bool()>& ready) {
    for (int i = 0; i < 400; ++i) {
        if (ready()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

#define SKIP_WITHOUT_PTY()                                  \
    do {                                                    \
        if (Skipped()) {                                    \
            GTEST_SKIP() << "no pseudo-terminal available"; \
        }                                                   \
    } while (false)

}  // namespace sondrix::test
