#pragma once

#include <string>

#include "app/sondrix_dlg.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"

namespace sondrix::test {

// The program core and an in-process simulated module on virtual time: what
// the integration tests drive.
struct CSimSession {
    // Connects at 115200 bps to a module of `model`; true once the chain has
    // ended with "Connection Succeeded!!!".
    bool ConnectTo(const char* model) {
        module.Config().modelCode = FindModelByName(model)->code;
        dlg.OnInitDialog();
        dlg.imageDlg.Select(CImageDlg::kBaudRate, 5);
        dlg.imageDlg.Click(CImageDlg::kConnect);
        return loop.RunUntil(
            [&] {
                return dlg.connectPending == 0 && dlg.moduleConnected == 1 &&
                       ui.LastBoxText() == "Connection Succeeded!!!";
            },
            5000);
    }
    // Forgets the requests the module saw and the boxes shown so far.
    void Forget() {
        module.ClearRequests();
        ui.ClearRecords();
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module{{kModelHlxM18, 0x0301, 115200, 0}};
    CSimPortFactory devices{loop, module};
    CSondrixDlg dlg{loop, devices, ui};
};

}  // namespace sondrix::test
