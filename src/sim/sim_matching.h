#pragma once

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's verification, identification, instant matching, templates, Auto-On, master
// mode, registration, modification and deletion.
class CSimMatching : public CSimCommandGroup {
  public:
    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;
};

}  // namespace sondrix
