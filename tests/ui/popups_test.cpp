#include <gtest/gtest.h>

#include "platform/scripted_ui_host.h"
#include "ui/gradient_progress_ctrl.h"
#include "ui/popup_id_dlg.h"
#include "ui/popup_msg_dlg.h"
#include "ui/popup_progress_dlg.h"
#include "ui/popup_radio_dlg.h"

namespace sondrix {
namespace {

TEST(PopupIdDlg, InputLongerThanTheLimitIsEmptiedWithTooLongData) {
    CScriptedUiHost ui;
    CPopupIdDlg popup(ui);
    popup.prompt = "Input your ID";
    popup.maxLength = 4;
    ui.QueuePopup([&](CDialogModel& d) {
        EXPECT_EQ(d.Text(CPopupIdDlg::kPrompt), "Input your ID");
        EXPECT_FALSE(d.Control(CPopupIdDlg::kEdit).password) << "unmasked unless asked";
        d.Type(CPopupIdDlg::kEdit, "1234");
        EXPECT_EQ(d.Text(CPopupIdDlg::kEdit), "1234");
        d.Type(CPopupIdDlg::kEdit, "12345");
        EXPECT_EQ(d.Text(CPopupIdDlg::kEdit), "");
        d.Type(CPopupIdDlg::kEdit, "77");
        d.Click(IDOK);
    });
    EXPECT_EQ(ui.RunModal(popup), IDOK);
    EXPECT_EQ(popup.input, "77");
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Too Long Data!!");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);

    // The edit itself holds 16 characters at most, whatever the limit.
    popup.maxLength = 16;
    popup.masked = 1;
    ui.QueuePopup([&](CDialogModel& d) {
        EXPECT_TRUE(d.Control(CPopupIdDlg::kEdit).password);
        d.Type(CPopupIdDlg::kEdit, std::string(20, '9'));
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(ui.RunModal(popup), IDCANCEL);
    EXPECT_EQ(popup.input, "") << "a cancelled popup gives no input";
}

TEST(PopupMsgDlg, ShowsItsMessageAndEndsWithOk) {
    CScriptedUiHost ui;
    CPopupMsgDlg popup;
    popup.message = "Place your finger on the sensor.";
    EXPECT_EQ(ui.RunModal(popup), IDOK);
    EXPECT_EQ(popup.Text(CPopupMsgDlg::kText), "Place your finger on the sensor.");
}

TEST(PopupRadioDlg, RestrictionsDisableTheirChoicesAndClicksPickOne) {
    CScriptedUiHost ui;
    CPopupRadioDlg popup;
    const int all[] = {CPopupRadioDlg::kSelectedOnly, CPopupRadioDlg::kAll,
                       CPopupRadioDlg::kDravikOld,    CPopupRadioDlg::kDravik,
                       CPopupRadioDlg::kIso,          CPopupRadioDlg::kAnsi,
                       CPopupRadioDlg::kQdxA};
    struct SCase {
        int restriction;
        std::vector<int> disabled;
    };
    for (const SCase& c :
         {SCase{1,
                {CPopupRadioDlg::kSelectedOnly, CPopupRadioDlg::kAll, CPopupRadioDlg::kDravikOld}},
          SCase{2, {CPopupRadioDlg::kDravikOld, CPopupRadioDlg::kQdxA}},
          SCase{3, {CPopupRadioDlg::kQdxA}}, SCase{0, {}}}) {
        popup.restriction = c.restriction;
        ui.QueuePopupClicks({}, true);
        ASSERT_EQ(ui.RunModal(popup), IDOK);
        for (int id : all) {
            const bool disabled =
                std::find(c.disabled.begin(), c.disabled.end(), id) != c.disabled.end();
            EXPECT_EQ(popup.IsEnabled(id), !disabled)
                << "restriction " << c.restriction << " id " << id;
        }
        EXPECT_TRUE(popup.IsChecked(CPopupRadioDlg::kSelectedOnly));
        EXPECT_TRUE(popup.IsChecked(CPopupRadioDlg::kDravik));
        EXPECT_EQ(popup.templateFormat, 1);
    }
    popup.restriction = 1;
    ui.QueuePopupClicks({CPopupRadioDlg::kAll, CPopupRadioDlg::kQdxA}, true);
    ui.RunModal(popup);
    EXPECT_EQ(popup.downloadOption, 0) << "a disabled choice cannot be picked";
    EXPECT_EQ(popup.templateFormat, 4);
    EXPECT_TRUE(popup.IsChecked(CPopupRadioDlg::kQdxA));
    EXPECT_FALSE(popup.IsChecked(CPopupRadioDlg::kDravik));

    popup.restriction = 0;
    ui.QueuePopupClicks({CPopupRadioDlg::kAll, CPopupRadioDlg::kAnsi, CPopupRadioDlg::kDravikOld},
                        true);
    ui.RunModal(popup);
    EXPECT_EQ(popup.downloadOption, 1);
    EXPECT_EQ(popup.templateFormat, 0);
    EXPECT_FALSE(popup.IsChecked(CPopupRadioDlg::kSelectedOnly));
}

TEST(PopupProgressDlg, OwnerIsDisabledWhileItExistsAndCautionLocksCancel) {
    CScriptedUiHost ui;
    CPopupProgressDlg popup(ui);
    CDialogModel owner("owner", "");
    popup.Create(&owner);
    EXPECT_FALSE(owner.IsWindowEnabled());
    EXPECT_TRUE(popup.Exists());
    ASSERT_EQ(ui.OpenModeless().size(), 1u);
    EXPECT_EQ(popup.Text(CPopupProgressDlg::kText), "Warning! Do not stop this process!");
    EXPECT_EQ(popup.bar.upper, 100);
    EXPECT_EQ(popup.bar.step, 1);

    popup.SetCaution();
    EXPECT_EQ(popup.text, "Caution! Firmware Updating now!!");
    popup.Click(IDCANCEL);
    EXPECT_TRUE(popup.Exists()) << "Cancel is disabled once the last chunk is out";

    popup.Destroy();
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_TRUE(ui.OpenModeless().empty());

    popup.Create(&owner);
    EXPECT_TRUE(popup.IsEnabled(IDCANCEL)) << "a new popup starts with Cancel";
    popup.Click(IDCANCEL);
    EXPECT_FALSE(popup.Exists());
    EXPECT_TRUE(owner.IsWindowEnabled()) << "closing with Cancel re-enables the owner at once";
}

TEST(GradientProgressCtrl, EmptyAtBothBoundsAndBandedInBetween) {
    CGradientProgressCtrl bar;
    bar.startColour = {0, 0, 255};
    bar.endColour = {0, 0, 0};
    bar.backgroundColour = {255, 255, 255};
    bar.showText = 1;
    for (int position : {0, 100, -5, 120}) {
        bar.SetPos(position);
        const auto paint = bar.Paint(200);
        EXPECT_TRUE(paint.empty);
        EXPECT_TRUE(paint.bands.empty());
        EXPECT_TRUE(paint.text.empty());
    }
    bar.SetPos(50);
    auto paint = bar.Paint(200);
    ASSERT_FALSE(paint.empty);
    EXPECT_EQ(paint.text, "50%");
    // 255 bands of 200/255 px: the filled part (100 px) ends at the first band
    // edge beyond it (band 128 ends at 101), then the background fills the rest.
    ASSERT_EQ(paint.bands.size(), 130u);
    EXPECT_EQ(paint.bands[0].colour, (SRgb{0, 0, 255}));
    EXPECT_EQ(paint.bands[127].x1, 100);
    EXPECT_EQ(paint.bands[128].colour, (SRgb{0, 0, 127}));
    EXPECT_EQ(paint.bands[128].x1, 101);
    EXPECT_EQ(paint.bands[129].x0, 101);
    EXPECT_EQ(paint.bands[129].x1, 200);
    EXPECT_EQ(paint.bands[129].colour, (SRgb{255, 255, 255}));

    // Near the end the gradient reaches the last band but one.
    bar.SetPos(99);
    paint = bar.Paint(200);
    ASSERT_EQ(paint.bands.size(), 255u);
    EXPECT_EQ(paint.bands[253].x1, 199);
    EXPECT_EQ(paint.bands[253].colour, (SRgb{0, 0, 2}));
    EXPECT_EQ(paint.text, "99%");

    // Equal colours: no gradient, text only.
    bar.endColour = bar.startColour;
    paint = bar.Paint(200);
    EXPECT_TRUE(paint.bands.empty());
    EXPECT_EQ(paint.text, "99%");
}

TEST(GradientProgressCtrl, PercentageReadsOverBothEndsOfTheProgressPopupsBar) {
    // The progress popup's own bar: blue to black over white, grey text.
    CScriptedUiHost ui;
    CPopupProgressDlg popup(ui);
    popup.OnInitDialog();
    CGradientProgressCtrl& bar = popup.bar;
    ASSERT_EQ(bar.textColour, (SRgb{100, 100, 100}));
    bar.SetPos(60);
    const auto paint = bar.Paint(300);
    ASSERT_GE(paint.bands.size(), 2u);
    // Grey on blue or black is unreadable: white there; the grey stays on
    // the white background.
    EXPECT_EQ(paint.bands.front().ink, (SRgb{255, 255, 255}));
    EXPECT_EQ(paint.bands[paint.bands.size() - 2].ink, (SRgb{255, 255, 255}));
    EXPECT_EQ(paint.bands.back().ink, (SRgb{100, 100, 100}));

    // A colour that already stands out is kept, on any band.
    EXPECT_EQ(CGradientProgressCtrl::ReadableInk({255, 255, 0}, {0, 0, 0}), (SRgb{255, 255, 0}));
    // On a light band without contrast the ink turns black, not white.
    EXPECT_EQ(CGradientProgressCtrl::ReadableInk({230, 230, 230}, {255, 255, 0}), (SRgb{0, 0, 0}));
}

}  // namespace
}  // namespace sondrix
