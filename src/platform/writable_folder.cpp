#include "platform/writable_folder.h"

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

}  // namespace sondrix
