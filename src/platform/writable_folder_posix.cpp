#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/program_folder.h"
#include "platform/writable_folder.h"

namespace sondrix {

namespace {

std::optional<std::string> HomeOfAccount() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

}  // namespace

SWritableFolder WritableFolderOfThisProgram() {
    const std::filesystem::path program = ProgramFolder();
    const bool writable = ::access(program.c_str(), W_OK | X_OK) == 0;
    return ChooseWritableFolder(program, writable,
                                [](const std::string& name) -> std::optional<std::string> {
                                    if (const char* value = std::getenv(name.c_str())) {
                                        return std::string(value);
                                    }
                                    return name == "HOME" ? HomeOfAccount() : std::nullopt;
                                });
}

std::optional<std::filesystem::path> PersonalWiresharkPluginFolder(std::string& error) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        error = "cannot find the home folder (HOME is not set)";
        return std::nullopt;
    }
    return std::filesystem::path(home) / ".local" / "lib" / "wireshark" / "plugins";
}

std::optional<std::filesystem::path> UserSettingsFolder(std::string& error) {
    // A relative or empty XDG_CONFIG_HOME counts as missing, as the XDG rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && std::filesystem::path(config).is_absolute()) {
        return std::filesystem::path(config) / "sondrix";
    }
    const char* home = std::getenv("HOME");
    std::optional<std::string> folder =
        home != nullptr && *home != '\0' ? std::optional<std::string>(home) : HomeOfAccount();
    if (!folder) {
        error = "cannot find the home folder (HOME is not set)";
        return std::nullopt;
    }
    return std::filesystem::path(*folder) / ".config" / "sondrix";
}

std::optional<std::filesystem::path> GlobalWiresharkPluginFolder() {
    if (const char* folder = std::getenv("WIRESHARK_PLUGIN_DIR"); folder != nullptr && *folder) {
        return std::filesystem::path(folder);
    }
    return std::filesystem::path(SONDRIX_WIRESHARK_GLOBAL_PLUGINS);
}

bool CreateFolder(const CFilePath& folder, std::string& reason) {
    // Parents are made one by one so that each new one gets the private mode.
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder.Path()) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = std::strerror(errno);
            return false;
        }
    }
    struct stat made {};
    if (::stat(folder.Path().c_str(), &made) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(made.st_mode)) {
        reason = std::strerror(ENOTDIR);
        return false;
    }
    return true;
}

}  // namespace sondrix
