#include "app/desk_choices.h"

#include <algorithm>
#include <cstdlib>

#include "app/sondrix_dlg.h"

namespace sondrix {

namespace {

constexpr const char* kPortName = "port/name";
constexpr const char* kPortBaud = "port/baud";
constexpr const char* kPortById = "port/byId";
constexpr const char* kTracerMode = "tracer/mode";

// A number kept as text; `fallback` when there is none or it is not one.
long NumberOf(const std::string& text, long fallback) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    return text.empty() || end == nullptr || *end != '\0' ? fallback : value;
}

}  // namespace

SDeskChoices ReadDeskChoices(const IDeskStore& store) {
    SDeskChoices choices;
    choices.portName = store.Value(kPortName);
    choices.portById = store.Value(kPortById);
    choices.baudRate = static_cast<uint32_t>(std::max(NumberOf(store.Value(kPortBaud), 0), 0L));
    choices.tracerMode = static_cast<int>(NumberOf(store.Value(kTracerMode), 0));
    return choices;
}

void WriteDeskChoices(IDeskStore& store, const SDeskChoices& choices) {
    store.SetValue(kPortName, choices.portName);
    if (choices.portById.empty()) {
        store.Remove(kPortById);
    } else {
        store.SetValue(kPortById, choices.portById);
    }
    store.SetValue(kPortBaud, std::to_string(choices.baudRate));
    store.SetValue(kTracerMode, std::to_string(choices.tracerMode));
}

SDeskChoices TakeDeskChoices(const CSondrixDlg& dialog) {
    SDeskChoices choices;
    const SControl& port = dialog.imageDlg.Control(CImageDlg::kPort);
    if (port.selection >= 0 && static_cast<size_t>(port.selection) < port.items.size()) {
        choices.portName = port.items[static_cast<size_t>(port.selection)];
    }
    choices.portById = dialog.imageDlg.SelectedByIdPath();
    const int baud = dialog.imageDlg.Selection(CImageDlg::kBaudRate);
    if (baud >= 0 && static_cast<size_t>(baud) < CImageDlg::kBaudRates.size()) {
        choices.baudRate = CImageDlg::kBaudRates[static_cast<size_t>(baud)];
    }
    choices.tracerMode = dialog.userDlg.TracerMode();
    return choices;
}

void ApplyDeskChoices(CSondrixDlg& dialog, const SDeskChoices& choices) {
    const std::vector<std::string>& ports = dialog.imageDlg.Control(CImageDlg::kPort).items;
    const auto port = std::find(ports.begin(), ports.end(), choices.portName);
    if (port != ports.end()) {
        dialog.imageDlg.Select(CImageDlg::kPort, static_cast<int>(port - ports.begin()));
    }
    dialog.imageDlg.SelectByIdPath(choices.portById);
    const auto& rates = CImageDlg::kBaudRates;
    const auto rate = std::find(rates.begin(), rates.end(), choices.baudRate);
    if (rate != rates.end()) {
        dialog.imageDlg.Select(CImageDlg::kBaudRate, static_cast<int>(rate - rates.begin()));
    }
    const size_t modes = dialog.userDlg.Control(CUserDlg::kTracerOption).items.size();
    if (choices.tracerMode >= 0 && static_cast<size_t>(choices.tracerMode) < modes) {
        dialog.userDlg.Select(CUserDlg::kTracerOption, choices.tracerMode);
    }
}

}  // namespace sondrix
