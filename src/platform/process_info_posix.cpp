#include <signal.h>

#include <cerrno>
#include <fstream>
#include <string>

#include "platform/process_info.h"

namespace sondrix {

bool ProcessRunning(unsigned long pid) {
    const auto id = static_cast<pid_t>(pid);
    if (id <= 0 || static_cast<unsigned long>(id) != pid) {
        return false;
    }
    if (::kill(id, 0) != 0 && errno != EPERM) {
        return false;
    }
    // The state follows the command name, which may itself hold ") ".
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    const size_t name = line.rfind(')');
    const char state = name != std::string::npos && name + 2 < line.size() ? line[name + 2] : 'R';
    return state != 'Z' && state != 'X';
}

}  // namespace sondrix
