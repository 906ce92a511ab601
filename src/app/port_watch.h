#pragma once

#include <cstdint>
#include <string>

#include "platform/message_loop.h"
#include "platform/serial_discovery.h"

namespace sondrix {

class CPortMap;
class CSondrixDlg;

// Keeps the Main tab's Port combo in step with the serial devices present:
// lists them when started and again whenever udev reports one coming or
// going, on the UI thread through the message loop.
class CPortWatch final : public CWindow {
  public:
    static constexpr uint32_t WM_PORTS_CHANGED = WM_USER + 1;

    CPortWatch(CSondrixDlg& dialog, const CPortMap& ports);

    // Lists the devices now and follows them from then on; false (with the
    // reason) when changes cannot be followed (the list is still filled).
    bool Start(std::string& error);
    // Lists the devices again and shows them.
    void Refresh();

    LRESULT WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam) override;

  private:
    CSondrixDlg& m_dialog;
    const CPortMap& m_ports;
    CSerialPortMonitor m_monitor;
};

}  // namespace sondrix
