#include "app/port_watch.h"

#include "app/sondrix_dlg.h"
#include "platform/port_map.h"

namespace sondrix {

CPortWatch::CPortWatch(CSondrixDlg& dialog, const CPortMap& ports)
    : CWindow(dialog.Loop()),
      m_dialog(dialog),
      m_ports(ports),
      m_monitor(dialog.Loop(), Handle(), WM_PORTS_CHANGED) {}

bool CPortWatch::Start(std::string& error) {
    const bool watching = m_monitor.Start(error);
    Refresh();
    return watching;
}

void CPortWatch::Refresh() {
    m_dialog.imageDlg.SetPortChoices(m_ports.Choices(DiscoverSerialPorts()));
}

LRESULT CPortWatch::WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PORTS_CHANGED) {
        Refresh();
        return 0;
    }
    return CWindow::WindowProc(message, wparam, lparam);
}

}  // namespace sondrix
