#include "cli/cli_secrets.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/native_file.h"
#include "platform/terminal.h"

namespace sondrix {

namespace {

// The module keeps at most 15 digits of a password.
constexpr size_t kPasswordDigits = 15;

std::string FirstLine(const std::string& path) {
    std::ifstream file(PathFromUtf8(path));
    std::string line;
    if (!file || (!std::getline(file, line) && !file.eof())) {
        throw SCliFailure{kCliFileError, "cannot read the password file " + path};
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.empty()) {
        throw SCliFailure{kCliUsage, "the password file " + path + " is empty"};
    }
    return line;
}

// One password from the first source that has it; empty when none has.
std::string Take(const std::string& file, const std::string& given, const char* variable,
                 const std::string& prompt, bool confirm) {
    if (!file.empty()) {
        return FirstLine(file);
    }
    if (!given.empty()) {
        return given;
    }
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
        return value;
    }
    std::string typed;
    if (StdinIsTerminal() && ReadTerminalLine(prompt + ": ", true, typed) && confirm) {
        std::string again;
        if (!ReadTerminalLine("Again: ", true, again) || again != typed) {
            throw SCliFailure{kCliUsage, "the passwords typed differ"};
        }
    }
    return typed;
}

void CheckDigits(const std::string& password, const std::string& what) {
    if (password.empty() || password.size() > kPasswordDigits ||
        !std::all_of(password.begin(), password.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        throw SCliFailure{kCliUsage, what + " is 1 to 15 digits"};
    }
}

}  // namespace

void TakeSecrets(SCliOptions& options) {
    const std::string sources = std::string(" (--master-password-file FILE, ") +
                                kMasterPasswordVariable + ", or a terminal to ask on)";
    if (!options.masterId.empty() || !options.masterPasswordFile.empty() ||
        !options.masterPassword.empty()) {
        options.masterPassword =
            Take(options.masterPasswordFile, options.masterPassword, kMasterPasswordVariable,
                 "Master password" +
                     (options.masterId.empty() ? std::string() : " of " + options.masterId),
                 false);
        if (options.masterPassword.empty()) {
            throw SCliFailure{kCliUsage, "--master-id needs the master's password" + sources};
        }
        CheckDigits(options.masterPassword, "the master password");
    } else if (const char* value = std::getenv(kMasterPasswordVariable);
               value != nullptr && *value != '\0') {
        // Alone: the module's device password, kept for when the module asks.
        options.masterPassword = value;
        CheckDigits(options.masterPassword, "the master password");
    }
    options.password = options.password || !options.passwordFile.empty();
    if (options.password) {
        options.passwordValue = Take(options.passwordFile, options.passwordValue, kPasswordVariable,
                                     "Password", options.command == "enroll");
        if (options.passwordValue.empty()) {
            throw SCliFailure{kCliUsage, std::string("--password needs the password (--password=P, "
                                                     "--password-file FILE, ") +
                                             kPasswordVariable + ", or a terminal to ask on)"};
        }
        CheckDigits(options.passwordValue, "the password");
    }
}

}  // namespace sondrix
