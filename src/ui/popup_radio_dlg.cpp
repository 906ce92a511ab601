#include "ui/popup_radio_dlg.h"

#include <array>

#include "ui/strings.h"

namespace sondrix {

namespace {

struct SFormatRadio {
    int id;
    int format;
};

constexpr std::array kFormatRadios = {
    SFormatRadio{CPopupRadioDlg::kDravikOld, 0}, SFormatRadio{CPopupRadioDlg::kDravik, 1},
    SFormatRadio{CPopupRadioDlg::kQdxA, 4}, SFormatRadio{CPopupRadioDlg::kIso, 2},
    SFormatRadio{CPopupRadioDlg::kAnsi, 3}};

}  // namespace

CPopupRadioDlg::CPopupRadioDlg() : CDialogModel("download-option", "") {
    const std::string option = LoadString(IDS_DOWNLOAD_OPTION);
    const std::string format = LoadString(IDS_TEMPLATE_FORMAT);
    AddRadio(kSelectedOnly, LoadString(IDS_DOWNLOAD_SELECTED), option);
    AddRadio(kAll, LoadString(IDS_DOWNLOAD_ALL), option);
    AddRadio(kDravikOld, LoadString(IDS_FORMAT_DRAVIK_OLD), format);
    AddRadio(kDravik, LoadString(IDS_FORMAT_DRAVIK), format);
    AddRadio(kQdxA, LoadString(IDS_FORMAT_QDXA), format);
    AddRadio(kIso, LoadString(IDS_FORMAT_ISO), format);
    AddRadio(kAnsi, LoadString(IDS_FORMAT_ANSI), format);
    AddButton(IDOK, "OK", {});
    AddButton(IDCANCEL, "Cancel", {});
}

void CPopupRadioDlg::OnInitDialog() {
    for (int id = kSelectedOnly; id <= kQdxA; ++id) {
        SetCheck(id, id == kSelectedOnly || id == kDravik);
        Enable(id, true);
    }
    downloadOption = 0;
    templateFormat = 1;
    if (restriction == 1) {
        Enable(kSelectedOnly, false);
        Enable(kAll, false);
        Enable(kDravikOld, false);
    } else if (restriction == 2) {
        Enable(kDravikOld, false);
        Enable(kQdxA, false);
    } else if (restriction == 3) {
        Enable(kQdxA, false);
    }
}

void CPopupRadioDlg::OnCommand(int id) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
        return;
    }
    if (id == kSelectedOnly || id == kAll) {
        SetCheck(kSelectedOnly, id == kSelectedOnly);
        SetCheck(kAll, id == kAll);
        downloadOption = id == kAll ? 1 : 0;
        return;
    }
    for (const SFormatRadio& radio : kFormatRadios) {
        if (radio.id == id) {
            for (const SFormatRadio& other : kFormatRadios) {
                SetCheck(other.id, other.id == id);
            }
            templateFormat = radio.format;
        }
    }
}

}  // namespace sondrix
