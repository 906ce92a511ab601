#include "files/safe_file_name.h"

#include <algorithm>
#include <cstddef>

namespace sondrix {

namespace {

// NAME_MAX of the usual Linux file systems.
constexpr size_t kMaxFileNameLength = 255;

bool IsAllowedCharacter(char c) {
    return c >= 0x20 && c <= 0x7E && c != '/' && c != '\\';
}

}  // namespace

bool IsSafeFileName(std::string_view fileName) {
    return !fileName.empty() && fileName.size() <= kMaxFileNameLength && fileName.front() != '.' &&
           fileName.find("..") == std::string_view::npos &&
           std::all_of(fileName.begin(), fileName.end(), IsAllowedCharacter);
}

}  // namespace sondrix
