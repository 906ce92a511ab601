#pragma once

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's option commands: system, sensor, security, log and LFD options, save,
// defaults, emulation mode, ID length.
class CSimConfiguration : public CSimCommandGroup {
  public:
    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;

  private:
    void OnGetSystemOption(const CPacket& request, std::vector<SSimReply>& out);
};

}  // namespace sondrix
