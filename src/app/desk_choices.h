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

// Where a window keeps what it remembers between runs: values under keys of
// the form "group/name", the same keys on every system (a settings file on
// Linux, the registry under HKCU\Software\Sondrix on Windows).
class IDeskStore {
  public:
    virtual ~IDeskStore() = default;
    // The value kept under `key`, or empty.
    virtual std::string Value(const std::string& key) const = 0;
    virtual void SetValue(const std::string& key, const std::string& value) = 0;
    virtual void Remove(const std::string& key) = 0;
};

// The keys the windows keep their state under.
namespace desk_keys {
inline constexpr const char* kGeometry = "window/geometry";
inline constexpr const char* kState = "window/state";
inline constexpr const char* kSplitter = "window/splitter";
// The last folder of each kind of file dialog: "folders/open-bmp".
inline constexpr const char* kFolders = "folders/";
}  // namespace desk_keys

// The choices as `store` keeps them; what is missing or unreadable stays at
// its default.
SDeskChoices ReadDeskChoices(const IDeskStore& store);
void WriteDeskChoices(IDeskStore& store, const SDeskChoices& choices);

SDeskChoices TakeDeskChoices(const CSondrixDlg& dialog);
// Selects what still fits the pages; a port no longer listed, a rate the
// combo lacks or a mode out of range leaves the page's own choice. A
// remembered adapter that is present wins over the port name.
void ApplyDeskChoices(CSondrixDlg& dialog, const SDeskChoices& choices);

}  // namespace sondrix
