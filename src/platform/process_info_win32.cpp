#include "platform/process_info.h"
#include "platform/win32_api.h"

namespace sondrix {

bool ProcessRunning(unsigned long pid) {
    if (pid == 0) {
        return false;
    }
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        // Another user's process may not be looked at, yet it is there.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

}  // namespace sondrix
