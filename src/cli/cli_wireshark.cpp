#include "cli/cli_wireshark.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace sondrix {

bool InstallWiresharkPlugin(std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        error = "cannot find the home folder (HOME is not set)";
        return false;
    }
    const fs::path folder = fs::path(home) / ".local" / "lib" / "wireshark" / "plugins";
    path = (folder / "hlx.lua").string();
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
        error = "cannot create " + folder.string() + ": " + code.message();
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
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
