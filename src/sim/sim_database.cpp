#include "sim/sim_database.h"

#include "sim/sim_module.h"

namespace sondrix {

bool CSimDatabase::Handle(const CPacket& /*request*/, std::vector<SSimReply>& /*out*/) {
    return false;
}

}  // namespace sondrix
