#include "sim/sim_configuration.h"

#include "sim/sim_module.h"

namespace sondrix {

bool CSimConfiguration::Handle(const CPacket& /*request*/, std::vector<SSimReply>& /*out*/) {
    return false;
}

}  // namespace sondrix
