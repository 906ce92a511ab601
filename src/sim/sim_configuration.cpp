#include "sim/sim_configuration.h"

#include "link/command_table.h"
#include "link/result_codes.h"
#include "sim/sim_module.h"

namespace sondrix {

bool CSimConfiguration::Handle(const CPacket& request, std::vector<SSimReply>& out) {
    switch (request.command) {
        case CMD_GET_SYSTEM_OPTION:
            OnGetSystemOption(request, out);
            return true;
        default:
            return false;
    }
}

void CSimConfiguration::OnGetSystemOption(const CPacket& request, std::vector<SSimReply>& out) {
    const auto option = m_module.Options().find(request.param1);
    if (option == m_module.Options().end()) {
        m_module.Answer(out, CMD_GET_SYSTEM_OPTION, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    // The answer echoes the option number and carries its value.
    uint8_t data[8];
    PutU32BE(data, option->first);
    PutU32BE(data + 4, option->second);
    m_module.Answer(out, CMD_GET_SYSTEM_OPTION, RESULT_SUCCESS, 0, data, sizeof data);
}

}  // namespace sondrix
