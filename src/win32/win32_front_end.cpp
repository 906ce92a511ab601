#include "win32/win32_front_end.h"

#include <memory>

#include "app/desk_choices.h"
#include "app/port_watch.h"
#include "app/sondrix_dlg.h"
#include "platform/port_map.h"
#include "sim/sim_desk_ports.h"
#include "sim/sim_panel_dlg.h"
#include "win32/loop_pump.h"
#include "win32/main_window.h"
#include "win32/registry_store.h"
#include "platform/win32_gui_api.h"
#include "win32/win32_ui_host.h"

namespace sondrix {

double PrepareWindows() {
    // The manifest asks for per-monitor awareness (v2); this covers a
    // program started without it.
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(::GetProcAddress(
            ::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
        set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    } else {
        ::SetProcessDPIAware();
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

int RunWin32Window(CMessageLoop& loop, ISerialDeviceFactory& devices, const CPortMap& ports,
                   CSimDeskPorts* simulated, bool resetSettings) {
    const double scale = PrepareWindows();
    CRegistryStore store(resetSettings);
    // Declared in this order so that they go in reverse: the window before
    // the dialog it shows, the dialog (which stops the receive thread)
    // before the pump that its posts wake.
    CLoopPump pump(loop);
    CWin32UiHost host(pump, scale);
    host.SetStore(&store);
    CSondrixDlg dialog(loop, devices, host);
    dialog.OnInitDialog();
    dialog.imageDlg.SetPortNotes(ports.Notes(simulated ? CSimDeskPorts::kSimulatedPort : ""));
    CMainWindow window(dialog, host, scale);
    host.SetOwner(window.Handle());
    host.SetPopupFont(window.PopupFont());
    std::unique_ptr<CSimPanelDlg> panel;
    if (simulated != nullptr) {
        panel = std::make_unique<CSimPanelDlg>(loop, *simulated);
        window.AddSimPanel(*panel);
    }
    // The Port box lists the ports SetupAPI finds, again whenever the
    // system reports one coming or going.
    CPortWatch watch(dialog, ports);
    watch.Refresh();
    window.OnDevicesChanged([&watch] { watch.Refresh(); });
    ApplyDeskChoices(dialog, ReadDeskChoices(store));
    window.Restore(store);
    window.OnClosing([&] {
        window.Keep(store);
        WriteDeskChoices(store, TakeDeskChoices(dialog));
    });
    pump.SetAccelerators(window.Handle(), window.Accelerators());
    window.Show();
    pump.RunUntil([] { return false; });
    return 0;
}

}  // namespace sondrix
