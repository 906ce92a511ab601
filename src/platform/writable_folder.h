#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/native_file.h"

namespace sondrix {

// Where the program writes the files it makes on its own (downloaded records,
// the colour capture): its own folder when it may write there (a build tree,
// a portable copy), else a folder of the user's.
struct SWritableFolder {
    std::filesystem::path folder;
    bool perUser = false;  // the per-user folder, which may not exist yet
};

// Reads one environment variable; nullopt when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The choice itself on Linux. The per-user folder is "$XDG_DATA_HOME/sondrix/records";
// an XDG_DATA_HOME that is unset, empty or relative counts as missing (as the
// XDG base directory rules say) and "$HOME/.local/share" stands in for it.
// Without a usable HOME either, the working folder is all there is.
SWritableFolder ChooseWritableFolder(const std::filesystem::path& programFolder,
                                     bool programFolderWritable, const EnvironmentLookup& env);

// The choice for this process: the folder of the running program, whether
// this user may create files in it, and this process's environment (with the
// account's home folder standing in for a missing HOME). On Windows the
// per-user folder is %LOCALAPPDATA%\Sondrix\records.
SWritableFolder WritableFolderOfThisProgram();

// Where Wireshark looks for this user's own Lua plugins:
// "$HOME/.local/lib/wireshark/plugins" on Linux, "%APPDATA%\Wireshark\plugins"
// on Windows. Nullopt, with the reason, when that home folder is not known.
std::optional<std::filesystem::path> PersonalWiresharkPluginFolder(std::string& error);

// Where this user's settings of the program live, beside the window's own:
// "$XDG_CONFIG_HOME/sondrix" (by default "$HOME/.config/sondrix") on Linux,
// "%APPDATA%\Sondrix" on Windows. Nullopt, with the reason, when neither
// is known.
std::optional<std::filesystem::path> UserSettingsFolder(std::string& error);

// Where Wireshark looks for the Lua plugins of every user: the folder
// $WIRESHARK_PLUGIN_DIR names, as Wireshark itself takes it, else the
// system's own (/usr/lib/<multiarch>/wireshark/plugins on Debian, where the
// package puts the dissector; %ProgramFiles%\Wireshark\plugins on Windows).
// Nullopt when it is not known.
std::optional<std::filesystem::path> GlobalWiresharkPluginFolder();

// Creates `folder` and its parents (on Linux mode 0700 for those it makes, as
// the XDG rules ask for a user's data); false with the system's reason otherwise.
bool CreateFolder(const CFilePath& folder, std::string& reason);

}  // namespace sondrix
