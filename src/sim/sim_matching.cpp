#include "sim/sim_matching.h"

#include "sim/sim_module.h"

namespace sondrix {

bool CSimMatching::Handle(const CPacket& /*request*/, std::vector<SSimReply>& /*out*/) {
    return false;
}

}  // namespace sondrix
