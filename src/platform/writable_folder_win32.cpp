#include <string>
#include <system_error>

#include "platform/program_folder.h"
#include "platform/win32_api.h"
#include "platform/writable_folder.h"

namespace sondrix {

namespace {

// Whether files can be made in `folder`: a probe file that removes itself.
bool CanCreateFilesIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe =
        folder / (L".sondrix-probe-" + std::to_wstring(::GetCurrentProcessId()));
    const HANDLE file =
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::CloseHandle(file);
    return true;
}

// A variable of the environment as a path; nullopt when unset or relative.
std::optional<std::filesystem::path> FolderFromEnvironment(const wchar_t* name) {
    wchar_t value[MAX_PATH + 1] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length == 0 || length > MAX_PATH || !std::filesystem::path(value).is_absolute()) {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

}  // namespace

// A portable copy (a folder on a USB stick, an unpacked ZIP) keeps its records
// beside the program; an installed one (under Program Files, or installed
// for one user, with its uninstaller beside it: the person's records must not
// lie among the files an uninstaller removes) keeps them in
// %LOCALAPPDATA%\Sondrix\records.
SWritableFolder WritableFolderOfThisProgram() {
    const std::filesystem::path program = ProgramFolder();
    std::error_code error;
    const bool installed = std::filesystem::exists(program / L"Uninstall.exe", error);
    if (!installed && CanCreateFilesIn(program)) {
        return {program, false};
    }
    const std::optional<std::filesystem::path> local = FolderFromEnvironment(L"LOCALAPPDATA");
    if (!local) {
        return {std::filesystem::path("."), false};
    }
    return {*local / L"Sondrix" / L"records", true};
}

std::optional<std::filesystem::path> UserSettingsFolder(std::string& error) {
    const std::optional<std::filesystem::path> roaming = FolderFromEnvironment(L"APPDATA");
    if (!roaming) {
        error = "cannot find the user's application data folder (APPDATA is not set)";
        return std::nullopt;
    }
    return *roaming / L"Sondrix";
}

std::optional<std::filesystem::path> PersonalWiresharkPluginFolder(std::string& error) {
    const std::optional<std::filesystem::path> roaming = FolderFromEnvironment(L"APPDATA");
    if (!roaming) {
        error = "cannot find the user's application data folder (APPDATA is not set)";
        return std::nullopt;
    }
    return *roaming / L"Wireshark" / L"plugins";
}

std::optional<std::filesystem::path> GlobalWiresharkPluginFolder() {
    if (auto folder = FolderFromEnvironment(L"WIRESHARK_PLUGIN_DIR")) {
        return folder;
    }
    const std::optional<std::filesystem::path> programs = FolderFromEnvironment(L"ProgramFiles");
    if (!programs) {
        return std::nullopt;
    }
    return *programs / L"Wireshark" / L"plugins";
}

bool CreateFolder(const CFilePath& folder, std::string& reason) {
    // The new folders inherit the access rights of %LOCALAPPDATA%, which is
    // the user's own.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error)) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    if (error) {
        reason = error.message();
        return false;
    }
    return true;
}

}  // namespace sondrix
