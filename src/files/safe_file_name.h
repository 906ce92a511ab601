#pragma once

#include <string_view>

namespace sondrix {

// Whether `fileName` (including its extension) may be created inside a folder
// we chose without escaping it or surprising the person: 1..255 printable
// ASCII characters, no '/' or '\\', no "..", and no leading '.' (which would
// also make the file hidden). Record IDs come from the module and are untrusted.
bool IsSafeFileName(std::string_view fileName);

}  // namespace sondrix
