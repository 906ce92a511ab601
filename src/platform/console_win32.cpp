#include <algorithm>
#include <cstdio>

#include "platform/console.h"
#include "platform/win32_api.h"
#include "platform/win32_text.h"

namespace sondrix {

namespace {

// The files `pattern` names, in name order; none when it names none.
std::vector<std::string> Expand(const std::wstring& pattern) {
    std::vector<std::string> names;
    if (pattern.find_first_of(L"*?") == std::wstring::npos) {
        return names;
    }
    const size_t slash = pattern.find_last_of(L"\\/:");
    const std::wstring folder = slash == std::wstring::npos ? L"" : pattern.substr(0, slash + 1);
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(Utf8FromWide(folder + name));
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        std::vector<std::string> files = Expand(wide[i]);
        if (files.empty()) {
            arguments.push_back(Utf8FromWide(wide[i]));
        }
        arguments.insert(arguments.end(), files.begin(), files.end());
    }
    ::LocalFree(wide);
    return arguments;
}

void UseUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
}

void ReachParentConsole() {
    const bool outputGiven = ::GetStdHandle(STD_OUTPUT_HANDLE) != nullptr &&
                             ::GetStdHandle(STD_OUTPUT_HANDLE) != INVALID_HANDLE_VALUE;
    if (outputGiven || !::AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

}  // namespace sondrix
