#pragma once

#include <filesystem>

namespace sondrix {

// The folder of the running program's executable; the working folder when
// the program's own path cannot be read.
std::filesystem::path ProgramFolder();

}  // namespace sondrix
