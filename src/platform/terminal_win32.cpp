#include <iostream>

#include "platform/terminal.h"
#include "platform/win32_api.h"
#include "platform/win32_text.h"

namespace sondrix {

namespace {

bool IsConsole(DWORD stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(stream), &mode) != 0;
}

// Reads from the console as UTF-16, so that a name or password with letters
// beyond the console's code page arrives whole.
bool ReadConsoleLine(HANDLE input, std::string& line) {
    std::wstring wide;
    for (;;) {
        wchar_t buffer[256];
        DWORD read = 0;
        if (!::ReadConsoleW(input, buffer, 256, &read, nullptr) || read == 0) {
            line = Utf8FromWide(wide);
            return !wide.empty();
        }
        wide.append(buffer, read);
        const size_t end = wide.find(L'\n');
        if (end != std::wstring::npos) {
            wide.resize(end);
            line = Utf8FromWide(wide);
            return true;
        }
    }
}

}  // namespace

bool StdinIsTerminal() {
    return IsConsole(STD_INPUT_HANDLE);
}

bool StderrIsTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}

bool ReadTerminalLine(const std::string& prompt, bool hidden, std::string& line) {
    std::cerr << prompt << std::flush;
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    if (!::GetConsoleMode(input, &saved)) {
        // Redirected input: a pipe or a file.
        if (!std::getline(std::cin, line)) {
            return false;
        }
    } else {
        if (hidden) {
            ::SetConsoleMode(input, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
        }
        const bool got = ReadConsoleLine(input, line);
        if (hidden) {
            ::SetConsoleMode(input, saved);
            // The console did not echo the Enter either.
            std::cerr << '\n' << std::flush;
        }
        if (!got) {
            return false;
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

}  // namespace sondrix
