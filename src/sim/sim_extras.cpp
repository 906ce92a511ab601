#include "sim/sim_extras.h"

#include "sim/sim_module.h"

namespace sondrix {

bool CSimExtras::Handle(const CPacket& /*request*/, std::vector<SSimReply>& /*out*/) {
    return false;
}

}  // namespace sondrix
