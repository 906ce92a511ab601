#include "cli/cli_wireshark.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/native_file.h"
#include "platform/writable_folder.h"

namespace sondrix {

bool InstallWiresharkPlugin(std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    const std::optional<fs::path> folder = PersonalWiresharkPluginFolder(error);
    if (!folder) {
        return false;
    }
    path = Utf8FromPath(*folder / "hlx.lua");
    std::error_code code;
    fs::create_directories(*folder, code);
    if (code) {
        error = "cannot create " + Utf8FromPath(*folder) + ": " + code.message();
        return false;
    }
    std::ofstream file(*folder / "hlx.lua", std::ios::binary | std::ios::trunc);
    const std::string_view script = DissectorScript();
    file.write(script.data(), static_cast<std::streamsize>(script.size()));
    file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace sondrix
