#pragma once

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's user and master lists, record download and upload, authority changes,
// master password.
class CSimDatabase : public CSimCommandGroup {
  public:
    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;
};

}  // namespace sondrix
