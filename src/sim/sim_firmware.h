#pragma once

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's firmware and backup-firmware transfers.
class CSimFirmware : public CSimCommandGroup {
  public:
    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;
};

}  // namespace sondrix
