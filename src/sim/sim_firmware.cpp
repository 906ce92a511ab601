#include "sim/sim_firmware.h"

#include "sim/sim_module.h"

namespace sondrix {

bool CSimFirmware::Handle(const CPacket& /*request*/, std::vector<SSimReply>& /*out*/) {
    return false;
}

}  // namespace sondrix
