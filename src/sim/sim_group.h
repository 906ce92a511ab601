#pragma once

#include <vector>

#include "link/packet.h"

namespace sondrix {

class CSimModule;
struct SSimReply;

// One command group of the simulated module (configuration, matching, the
// user database, ...): the answers to its commands and the state behind them.
// The module offers each request to its groups in turn.
class CSimCommandGroup {
  public:
    explicit CSimCommandGroup(CSimModule& module) : m_module(module) {}
    virtual ~CSimCommandGroup() = default;
    CSimCommandGroup(const CSimCommandGroup&) = delete;
    CSimCommandGroup& operator=(const CSimCommandGroup&) = delete;

    // Answers `request` and returns true when its command belongs to this
    // group; returns false, answering nothing, otherwise.
    virtual bool Handle(const CPacket& request, std::vector<SSimReply>& out) = 0;

  protected:
    CSimModule& m_module;
};

}  // namespace sondrix
