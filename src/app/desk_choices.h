#pragma once

#include <cstdint>
#include <string>

namespace sondrix {

class CSondrixDlg;

// The person's choices that the desktop window keeps from one run to the
// next: the port and baud rate of the Main tab and the packet tracer option
// of Extra Functions. The window stores them; this is how they are read from
// and put back into the pages.
struct SDeskChoices {
    std::string portName;  // a row of the Port combo, e.g. "COM3"
    // The stable /dev/serial/by-id path of a discovered adapter, when one was
    // chosen: it finds the adapter again under another ttyUSB number.
    std::string portById;
    uint32_t baudRate = 0;
    int tracerMode = 0;  // 0 standard, 1 all packets, 2 off
};

SDeskChoices TakeDeskChoices(const CSondrixDlg& dialog);
// Selects what still fits the pages; a port no longer listed, a rate the
// combo lacks or a mode out of range leaves the page's own choice. A
// remembered adapter that is present wins over the port name.
void ApplyDeskChoices(CSondrixDlg& dialog, const SDeskChoices& choices);

}  // namespace sondrix
