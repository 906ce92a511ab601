#include "app/trace_save_dlg.h"

#include "app/sondrix_dlg.h"
#include "app/trace_file.h"

namespace sondrix {

CTraceSaveDlg::CTraceSaveDlg(CSondrixDlg& dlg)
    : CDialogModel("save-trace", "Save trace"), m_dlg(dlg) {
    AddCheck(kRawLine, "Include the raw line (every byte read and written)", {},
             "A second interface of the pcapng; bytes the parser skipped and packets with a bad "
             "checksum are only there.");
    AddButton(IDOK, "OK", {});
    AddButton(IDCANCEL, "Cancel", {});
}

void CTraceSaveDlg::OnInitDialog() {
    SetCheck(kRawLine, withRawLine);
}

void CTraceSaveDlg::OnCommand(int id) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
    }
}

void CTraceSaveDlg::Run() {
    IUiHost& ui = m_dlg.Ui();
    if (ui.RunModal(*this) != IDOK) {
        return;
    }
    withRawLine = IsChecked(kRawLine);
    SFileDialog request;
    request.save = true;
    request.filter = "Packet trace files(*.pcapng)|*.pcapng|Text files(*.txt)|*.txt|";
    request.defaultExtension = "*.pcapng";
    request.overwritePrompt = true;
    const std::vector<std::string> chosen = ui.FileDialog(request);
    if (chosen.empty()) {
        return;
    }
    const auto& packets = m_dlg.Tracer().Packets();
    const std::vector<SRawChunk> raw = m_dlg.RawLine().Copy();
    const CCommPort& port = m_dlg.PacketManager().port;
    std::string error;
    if (SaveTrace(chosen.front(), packets, port.portName + " " + port.DevicePath(), error,
                  withRawLine ? &raw : nullptr)) {
        m_dlg.ShowMessage("Trace saved: " + chosen.front());
    } else {
        ui.MessageBox(error, EIcon::Stop);
    }
}

}  // namespace sondrix
