// Which password wins when one is given in several ways: the file named,
// then the command line, then the environment, then a prompt on the
// terminal; for the master's password and for a user's alike.
#include "cli/cli_secrets.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

#include "files/files_test_support.h"

namespace sondrix::test {
namespace {

// Standard input on a pseudo-terminal, where a person types `line` once the
// program asks (the prompt turns the echo off and drops what was typed
// before it).
class CTypist {
  public:
    explicit CTypist(std::string line) {
        int terminal = -1;
        if (openpty(&m_keyboard, &terminal, nullptr, nullptr, nullptr) != 0) {
            return;
        }
        m_savedStdin = dup(STDIN_FILENO);
        dup2(terminal, STDIN_FILENO);
        close(terminal);
        std::cin.clear();
        m_typing = std::thread([this, typed = std::move(line) + "\n"] {
            // At most 5 s; a prompt never shown types nothing.
            for (int i = 0; i < 500 && !m_done; ++i) {
                termios state{};
                if (tcgetattr(m_keyboard, &state) == 0 && (state.c_lflag & ECHO) == 0) {
                    m_asked = write(m_keyboard, typed.data(), typed.size()) > 0;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~CTypist() {
        m_done = true;
        if (m_typing.joinable()) {
            m_typing.join();
        }
        if (m_savedStdin >= 0) {
            dup2(m_savedStdin, STDIN_FILENO);
            close(m_savedStdin);
        }
        if (m_keyboard >= 0) {
            close(m_keyboard);
        }
        std::cin.clear();
    }
    bool Opened() const { return m_keyboard >= 0; }
    // Whether the program asked and got the line.
    bool Asked() {
        m_done = true;
        if (m_typing.joinable()) {
            m_typing.join();
        }
        return m_asked;
    }

  private:
    int m_keyboard = -1;
    int m_savedStdin = -1;
    std::thread m_typing;
    std::atomic<bool> m_done{false};
    bool m_asked = false;
};

// Which of the other three ways give the password too (the file "111",
// the option "222", the environment "333"); "444" is typed on the terminal.
struct SSources {
    bool file = false;
    bool option = false;
    bool environment = false;
};

class SecretsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        unsetenv(kMasterPasswordVariable);
        unsetenv(kPasswordVariable);
    }

    // The password TakeSecrets settles on.
    std::string Taken(bool master, const SSources& given) {
        const std::string file = (folder.Path() / "password").string();
        std::ofstream(file) << "111\n";
        SCliOptions options;
        options.command = "verify";
        if (master) {
            options.masterId = "7";
            options.masterPasswordFile = given.file ? file : "";
            options.masterPassword = given.option ? "222" : "";
        } else {
            options.password = true;
            options.passwordFile = given.file ? file : "";
            options.passwordValue = given.option ? "222" : "";
        }
        const char* variable = master ? kMasterPasswordVariable : kPasswordVariable;
        if (given.environment) {
            setenv(variable, "333", 1);
        } else {
            unsetenv(variable);
        }
        CTypist terminal("444");
        EXPECT_TRUE(terminal.Opened());
        TakeSecrets(options);
        EXPECT_EQ(terminal.Asked(), !given.file && !given.option && !given.environment)
            << "the terminal is asked only when nothing else gives the password";
        return master ? options.masterPassword : options.passwordValue;
    }

    CTempFolder folder;
};

TEST_F(SecretsTest, TheFileThenTheOptionThenTheEnvironmentThenThePromptWin) {
    for (const bool master : {true, false}) {
        SCOPED_TRACE(master ? "the master's password" : "a user's password");
        EXPECT_EQ(Taken(master, {true, true, true}), "111");
        EXPECT_EQ(Taken(master, {false, true, true}), "222");
        EXPECT_EQ(Taken(master, {false, false, true}), "333");
        EXPECT_EQ(Taken(master, {false, false, false}), "444");
    }
}

}  // namespace
}  // namespace sondrix::test
