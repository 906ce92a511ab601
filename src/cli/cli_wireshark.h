#pragma once

#include <string>
#include <string_view>

namespace sondrix {

// The Wireshark dissector of the module protocol (a Lua plugin), generated
// at build time from the program's command and result tables.
std::string_view DissectorScript();

// Copies the dissector into the person's Wireshark plugin folder
// (~/.local/lib/wireshark/plugins/hlx.lua); false with `error` when it
// cannot be written. `path` tells where it went, `globalCopy` the copy
// Wireshark finds in its global folder (installed with the package), if any.
bool InstallWiresharkPlugin(std::string& path, std::string& globalCopy, std::string& error);

}  // namespace sondrix
