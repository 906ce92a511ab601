#pragma once

#include <string>

#include "win32/win32_handles.h"

namespace sondrix {

// Saves what the screen shows of `window`, frame included, as a 24-bit BMP;
// false when it cannot be written.
bool SaveScreenshot(WinHandle window, const std::string& path);

}  // namespace sondrix
