#include "app/about_dlg.h"

#include "ui/strings.h"

namespace sondrix {

CAboutDlg::CAboutDlg(CSondrixDlg& main) : CPageBase(main, "about", "About") {
    AddControl(kPicture, EControlKind::Picture);
    AddStatic(kVersionLine, {}, {}, LoadString(IDS_VERSION_LINE));

    const std::string creator = LoadString(IDS_ABOUT_GROUP_CREATOR);
    AddEdit(kCommand, LoadString(IDS_ABOUT_COMMAND), creator, kHeaderFieldLimit);
    AddEdit(kParam1, LoadString(IDS_ABOUT_PARAM1), creator, kHeaderFieldLimit);
    AddEdit(kParam2, LoadString(IDS_ABOUT_PARAM2), creator, kHeaderFieldLimit);
    // The person never types the data size; Data's edit handler writes it.
    AddEdit(kDataSize, LoadString(IDS_ABOUT_DATA_SIZE), creator, kHeaderFieldLimit).enabled = false;
    AddEdit(kErrorCode, LoadString(IDS_ABOUT_ERROR_CODE), creator, kHeaderFieldLimit);
    AddEdit(kData, LoadString(IDS_ABOUT_DATA), creator);
    AddButton(kSend, LoadString(IDS_ABOUT_SEND), creator);
    AddStatic(kHexNote, {}, creator, LoadString(IDS_ABOUT_HEX_NOTE));
}

}  // namespace sondrix
