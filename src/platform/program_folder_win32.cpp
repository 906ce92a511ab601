#include <string>
#include <system_error>

#include "platform/program_folder.h"
#include "platform/win32_api.h"

namespace sondrix {

std::filesystem::path ProgramFolder() {
    // Long paths: grow the buffer until the whole name fits.
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
        if (length == 0) {
            break;
        }
        if (length < self.size()) {
            self.resize(length);
            return std::filesystem::path(self).parent_path();
        }
        self.resize(self.size() * 2);
    }
    std::error_code error;
    return std::filesystem::current_path(error);
}

}  // namespace sondrix
