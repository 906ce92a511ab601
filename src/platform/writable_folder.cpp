#include "platform/writable_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

namespace sondrix {

namespace {

std::optional<std::filesystem::path> AbsoluteFromEnvironment(const EnvironmentLookup& env,
                                                             const std::string& name) {
    const std::optional<std::string> value = env(name);
    if (!value || value->empty() || !std::filesystem::path(*value).is_absolute()) {
        return std::nullopt;
    }
    return std::filesystem::path(*value);
}

// The folder of the running program; the working folder when its path cannot be read.
std::filesystem::path ProgramFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && self.has_parent_path()) {
        return self.parent_path();
    }
    return std::filesystem::current_path(error);
}

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

SWritableFolder ChooseWritableFolder(const std::filesystem::path& programFolder,
                                     bool programFolderWritable, const EnvironmentLookup& env) {
    if (programFolderWritable) {
        return {programFolder, false};
    }
    std::optional<std::filesystem::path> data = AbsoluteFromEnvironment(env, "XDG_DATA_HOME");
    if (!data) {
        const std::optional<std::filesystem::path> home = AbsoluteFromEnvironment(env, "HOME");
        if (!home) {
            return {std::filesystem::path("."), false};
        }
        data = *home / ".local" / "share";
    }
    return {*data / "sondrix" / "records", true};
}

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

bool CreateFolder(const std::filesystem::path& folder, std::string& reason) {
    // Parents are made one by one so that each new one gets the private mode.
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = std::strerror(errno);
            return false;
        }
    }
    struct stat made {};
    if (::stat(folder.c_str(), &made) != 0) {
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
