#pragma once

#include <string>

namespace sondrix {

// The release every program of the project carries.
inline constexpr const char* kSondrixVersion = "2.20";

// What --version prints, the same way for every program: its name first.
inline std::string VersionLine(const std::string& program) {
    return program + " " + kSondrixVersion;
}

}  // namespace sondrix
