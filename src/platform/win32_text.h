#pragma once

#include <string>
#include <string_view>

namespace sondrix {

// Text between the program's UTF-8 and the wide (UTF-16) strings of the
// Win32 API. Windows only.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The system's own description of a Win32 error code, in UTF-8 and without
// the trailing line break ("Access is denied.").
std::string SystemErrorText(unsigned long error);

}  // namespace sondrix
