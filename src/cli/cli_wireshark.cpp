#include "cli/cli_wireshark.h"

#include <filesystem>
#include <optional>

#include "platform/native_file.h"
#include "platform/replacing_file.h"
#include "platform/writable_folder.h"

namespace sondrix {

namespace {

constexpr const char* kScriptName = "hlx.lua";

}  // namespace

bool InstallWiresharkPlugin(std::string& path, std::string& globalCopy, std::string& error) {
    namespace fs = std::filesystem;
    const std::optional<fs::path> folder = PersonalWiresharkPluginFolder(error);
    if (!folder) {
        return false;
    }
    path = Utf8FromPath(*folder / kScriptName);
    std::error_code code;
    fs::create_directories(*folder, code);
    if (code) {
        error = "cannot create " + Utf8FromPath(*folder) + ": " + code.message();
        return false;
    }
    CReplacingFile file(*folder / kScriptName);
    const std::string_view script = DissectorScript();
    if (!file.Open() ||
        !file.Write({reinterpret_cast<const uint8_t*>(script.data()), script.size()}) ||
        !file.Commit()) {
        error = "cannot write " + path + ": " + file.Error();
        return false;
    }
    globalCopy.clear();
    if (const std::optional<fs::path> global = GlobalWiresharkPluginFolder()) {
        if (fs::is_regular_file(*global / kScriptName, code)) {
            globalCopy = Utf8FromPath(*global / kScriptName);
        }
    }
    return true;
}

}  // namespace sondrix
