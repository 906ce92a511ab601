#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "app/sondrix_dlg.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "sim/pty_simulator.h"

namespace sondrix::bench {

// The program core on COM1, a pseudo-terminal with the simulated module at
// 115200 bps behind it, in real time.
struct CPtySession {
    explicit CPtySession(bool pacing) : simulator({kModelHlxM18, 0x0301, 115200, 0}) {
        simulator.SetPacing(pacing);
    }
    ~CPtySession() {
        if (dlg.moduleConnected == 1) {
            dlg.imageDlg.Click(CImageDlg::kConnect);
        }
    }
    // Starts the simulator and connects; false (with the benchmark skipped)
    // when either fails.
    bool Connect(benchmark::State& state) {
        std::string error;
        if (!simulator.Start(error)) {
            state.SkipWithError(error.c_str());
            return false;
        }
        ports.Assign(1, simulator.SlavePath());
        dlg.OnInitDialog();
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        if (!loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000)) {
            state.SkipWithError("no connection");
            return false;
        }
        return true;
    }

    CPtySimulator simulator;
    CPortMap ports;
    CMessageLoop loop{CMessageLoop::EClock::Real};
    CScriptedUiHost ui;
    CSondrixDlg dlg{loop, ports, ui};
};

}  // namespace sondrix::bench
