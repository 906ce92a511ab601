#pragma once

#include <cstdint>
#include <span>

#include "link/packet.h"

namespace sondrix {

class CSondrixDlg;

// Base of the five response handlers: each owns the answers of one command
// group and reaches the pages and the shared state through the main dialog.
class CCommandHandler {
  public:
    explicit CCommandHandler(CSondrixDlg& dlg) : m_dlg(dlg) {}
    virtual ~CCommandHandler() = default;

    // Hands an answer to the method of its command; false when the command
    // is not one of this handler's.
    bool Handle(CPacket& packet);
    // Whether this handler has a method for `command`; nothing is called.
    bool Routes(uint32_t command);

    template <class THandler>
    struct SRoute {
        uint32_t command;
        void (THandler::*method)(CPacket&);
    };

  protected:
    virtual bool Route(CPacket& packet) = 0;

    template <class THandler>
    bool Dispatch(THandler& handler, std::span<const SRoute<THandler>> routes, CPacket& packet) {
        for (const auto& route : routes) {
            if (route.command == packet.command) {
                if (!m_probing) {
                    (handler.*route.method)(packet);
                }
                return true;
            }
        }
        return false;
    }

    // The common error report for a result that is not success; true when
    // the answer was a success and the caller goes on.
    bool Succeeded(const CPacket& packet);

    CSondrixDlg& m_dlg;

  private:
    bool m_probing = false;
};

}  // namespace sondrix
