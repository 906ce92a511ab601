#pragma once

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's custom data, the event log, GPIO configuration and test.
class CSimExtras : public CSimCommandGroup {
  public:
    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;
};

}  // namespace sondrix
