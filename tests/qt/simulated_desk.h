#pragma once

#include <cstdint>

#include "app/sondrix_dlg.h"
#include "platform/message_loop.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_desk_ports.h"
#include "sim/sim_module.h"

namespace sondrix::test {

// What `sondrix --simulate` puts together, on the virtual clock: the
// program's dialog with a simulated HLX-M18 behind COM1 that starts with
// users "1".."users", and the system's ports behind the others.
struct SSimulatedDesk {
    explicit SSimulatedDesk(uint32_t users = 3) : module({kModelHlxM18, 0x0301, 115200, users}) {}

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module;
    CPortMap realPorts;
    CSimDeskPorts ports{loop, module, realPorts};
    CSondrixDlg dlg{loop, ports, ui};
};

}  // namespace sondrix::test
