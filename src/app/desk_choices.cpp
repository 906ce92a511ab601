#include "app/desk_choices.h"

#include <algorithm>

#include "app/sondrix_dlg.h"

namespace sondrix {

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
