// The generic page view: layout from the control list, and the binding in
// both directions without feedback.
#include "qt/page_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "platform/dialog_model.h"
#include "qt/list_view.h"
#include "qt/picture_widget.h"
#include "qt/qt_test_support.h"

namespace sondrix {
namespace {

// A page with one control of every kind, whose handlers log what reached
// them and rewrite input the way the real pages do.
class CSampleDlg : public CDialogModel {
  public:
    static constexpr int kPort = 10, kPortSet = 11, kGain = 12, kGainSet = 13, kStatus = 14,
                         kPin = 15;
    static constexpr int kLatent = 20, kRelay = 21, kUser = 22, kMaster = 23;
    static constexpr int kFirstAction = 30, kHiddenAction = 35;
    static constexpr int kList = 40, kNote = 50, kPicture = 51;

    CSampleDlg() : CDialogModel("sample", "Sample") {
        AddCombo(kPort, "Port:", "Connection", {"COM1", "COM2", "COM3"});
        AddButton(kPortSet, "Set", "Connection");
        AddEdit(kGain, "Gain", "Connection", 3);
        AddButton(kGainSet, "Set", "Connection");
        AddStatic(kStatus, "Status :", "Connection", "Idle");
        AddEdit(kPin, "PIN", "Connection").password = true;
        AddCheck(kLatent, "Latent", "Options");
        AddCheck(kRelay, "Relay", "Options");
        AddRadio(kUser, "User", "Options").checked = true;
        AddRadio(kMaster, "Master", "Options");
        for (int id = kFirstAction; id <= kHiddenAction; ++id) {
            AddButton(id, "Action " + std::to_string(id), "Actions");
        }
        Show(kHiddenAction, false);
        SControl list;
        list.id = kList;
        list.kind = EControlKind::List;
        list.group = "Users";
        AddControl(list);
        List(kList).SetColumns({{"", 24}, {"ID", 90}, {"Authority", 80}});
        AddStatic(kNote, {}, {}, "Values are hexadecimal.");
        AddControl(kPicture, EControlKind::Picture);
    }

    std::vector<std::string> log;

  protected:
    void OnCommand(int id) override {
        log.push_back("command " + std::to_string(id));
        if (id == kUser || id == kMaster) {
            SetCheck(kUser, id == kUser);
            SetCheck(kMaster, id == kMaster);
        }
        if (id == kRelay) {
            SetCheck(kRelay, false);  // this module has no relay
        }
    }
    void OnEditChange(int id) override {
        log.push_back("edit " + std::to_string(id) + " " + Text(id));
        const std::string& text = Text(id);
        if (text.find_first_not_of("0123456789") != std::string::npos) {
            SetText(id, {});
        }
    }
    void OnSelChange(int id) override {
        log.push_back("select " + std::to_string(id) + " " + std::to_string(Selection(id)));
    }
};

class PageViewTest : public ::testing::Test {
  protected:
    PageViewTest() {
        test::TestApp();
        view = std::make_unique<CPageView>(model);
        view->show();
    }
    template <class T>
    T* Widget(int id) {
        return qobject_cast<T*>(view->Widget(id));
    }

    CSampleDlg model;
    std::unique_ptr<CPageView> view;
};

int CentreY(QWidget* widget) {
    return widget->mapTo(widget->window(), widget->rect().center()).y();
}

TEST_F(PageViewTest, LaysControlsOutInGroupBoxesWithCaptionsBesideTheirFields) {
    for (const char* caption : {"Connection", "Options", "Actions", "Users"}) {
        ASSERT_NE(view->GroupBox(QString::fromLatin1(caption)), nullptr) << caption;
    }
    QGroupBox* connection = view->GroupBox(QStringLiteral("Connection"));
    auto* gain = Widget<QLineEdit>(CSampleDlg::kGain);
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->parentWidget(), connection);
    QLabel* caption = nullptr;
    for (QLabel* label : connection->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Gain")) {
            caption = label;
        }
    }
    ASSERT_NE(caption, nullptr);
    auto* set = Widget<QPushButton>(CSampleDlg::kGainSet);
    // Caption, field and the button after it share a row, in that order.
    EXPECT_EQ(CentreY(caption), CentreY(gain));
    EXPECT_EQ(CentreY(set), CentreY(gain));
    EXPECT_LT(caption->x(), gain->x());
    EXPECT_LT(gain->x(), set->x());
    EXPECT_EQ(Widget<QLabel>(CSampleDlg::kStatus)->text(), QStringLiteral("Idle"));
    EXPECT_NE(Widget<CListView>(CSampleDlg::kList), nullptr);
    EXPECT_NE(Widget<CPictureWidget>(CSampleDlg::kPicture), nullptr);
    EXPECT_FALSE(Widget<QPushButton>(CSampleDlg::kHiddenAction)->isVisible());
    EXPECT_TRUE(Widget<QPushButton>(CSampleDlg::kFirstAction)->isVisible());
    test::SaveScreenshot(*view, QStringLiteral("sample_page"));
}

TEST_F(PageViewTest, ThePersonsActionsReachTheModel) {
    QTest::mouseClick(Widget<QPushButton>(CSampleDlg::kGainSet), Qt::LeftButton);
    QTest::keyClicks(Widget<QLineEdit>(CSampleDlg::kGain), QStringLiteral("42"));
    QTest::keyClick(Widget<QComboBox>(CSampleDlg::kPort), Qt::Key_Down);
    test::ClickIndicator(Widget<QCheckBox>(CSampleDlg::kLatent));
    QTest::mouseDClick(Widget<CPictureWidget>(CSampleDlg::kPicture), Qt::LeftButton);
    EXPECT_EQ(model.log, (std::vector<std::string>{"command 13", "edit 12 4", "edit 12 42",
                                                   "select 10 1", "command 20", "command 51"}));
    EXPECT_EQ(model.Text(CSampleDlg::kGain), "42");
    EXPECT_TRUE(model.IsChecked(CSampleDlg::kLatent));
}

TEST_F(PageViewTest, ModelChangesShowWithoutReachingTheModelAgain) {
    model.SetText(CSampleDlg::kGain, "77");
    model.SetCheck(CSampleDlg::kRelay, true);
    model.SetItems(CSampleDlg::kPort, {"COM5", "COM6"});
    model.SetSelection(CSampleDlg::kPort, 1);
    model.SetText(CSampleDlg::kStatus, "Connected");
    model.Enable(CSampleDlg::kGainSet, false);
    model.SetTooltip(CSampleDlg::kPortSet, "Sets the port");
    EXPECT_TRUE(model.log.empty());

    EXPECT_EQ(Widget<QLineEdit>(CSampleDlg::kGain)->text(), QStringLiteral("77"));
    EXPECT_TRUE(Widget<QCheckBox>(CSampleDlg::kRelay)->isChecked());
    auto* port = Widget<QComboBox>(CSampleDlg::kPort);
    ASSERT_EQ(port->count(), 2);
    EXPECT_EQ(port->itemText(0), QStringLiteral("COM5"));
    EXPECT_EQ(port->currentIndex(), 1);
    EXPECT_EQ(Widget<QLabel>(CSampleDlg::kStatus)->text(), QStringLiteral("Connected"));
    EXPECT_FALSE(Widget<QPushButton>(CSampleDlg::kGainSet)->isEnabled());
    EXPECT_EQ(Widget<QPushButton>(CSampleDlg::kPortSet)->toolTip(),
              QStringLiteral("Sets the port"));
}

TEST_F(PageViewTest, TheModelsAnswerToAnActionIsWhatShows) {
    // The model empties a field that takes a letter.
    QTest::keyClicks(Widget<QLineEdit>(CSampleDlg::kGain), QStringLiteral("4x"));
    EXPECT_TRUE(Widget<QLineEdit>(CSampleDlg::kGain)->text().isEmpty());
    // The model, not Qt, decides which radio is checked: a second click on
    // the checked one leaves it checked.
    test::ClickIndicator(Widget<QRadioButton>(CSampleDlg::kMaster));
    test::ClickIndicator(Widget<QRadioButton>(CSampleDlg::kMaster));
    EXPECT_TRUE(Widget<QRadioButton>(CSampleDlg::kMaster)->isChecked());
    EXPECT_FALSE(Widget<QRadioButton>(CSampleDlg::kUser)->isChecked());
    // A check box the model keeps clear stays clear.
    test::ClickIndicator(Widget<QCheckBox>(CSampleDlg::kRelay));
    EXPECT_FALSE(Widget<QCheckBox>(CSampleDlg::kRelay)->isChecked());
}

TEST_F(PageViewTest, LimitsPasswordsAndReadOnlyFollowTheModel) {
    auto* gain = Widget<QLineEdit>(CSampleDlg::kGain);
    QTest::keyClicks(gain, QStringLiteral("12345"));
    EXPECT_EQ(gain->text(), QStringLiteral("123"));
    EXPECT_EQ(Widget<QLineEdit>(CSampleDlg::kPin)->echoMode(), QLineEdit::Password);
    model.SetPassword(CSampleDlg::kPin, false);
    EXPECT_EQ(Widget<QLineEdit>(CSampleDlg::kPin)->echoMode(), QLineEdit::Normal);
    model.SetLimit(CSampleDlg::kGain, 0);
    QTest::keyClicks(gain, QStringLiteral("4567890"));
    EXPECT_EQ(gain->text(), QStringLiteral("1234567890"));
}

TEST_F(PageViewTest, HiddenControlsTakeTheirCaptionAndAnEmptyGroupBoxAlong) {
    QLabel* caption = nullptr;
    for (QLabel* label : view->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Status :")) {
            caption = label;
        }
    }
    ASSERT_NE(caption, nullptr);
    model.Show(CSampleDlg::kStatus, false);
    EXPECT_FALSE(caption->isVisible());
    model.Enable(CSampleDlg::kGain, false);
    model.Show(CSampleDlg::kStatus, true);
    EXPECT_TRUE(caption->isVisible());

    QGroupBox* options = view->GroupBox(QStringLiteral("Options"));
    for (int id :
         {CSampleDlg::kLatent, CSampleDlg::kRelay, CSampleDlg::kUser, CSampleDlg::kMaster}) {
        model.Show(id, false);
    }
    EXPECT_FALSE(options->isVisible());
    model.Show(CSampleDlg::kRelay, true);
    EXPECT_TRUE(options->isVisible());
}

TEST_F(PageViewTest, ReportListShowsRowsAsTheyComeAndWritesChecksBack) {
    CListData& list = model.List(CSampleDlg::kList);
    auto* table = Widget<CListView>(CSampleDlg::kList);
    QAbstractItemModel* rows = table->model();
    EXPECT_TRUE(table->showGrid());
    EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(rows->headerData(1, Qt::Horizontal).toString(), QStringLiteral("ID"));
    EXPECT_EQ(table->columnWidth(1), 90);
    for (const char* id : {"1001", "1002", "1003"}) {
        list.AppendRow({{"", id, "User"}, false, {}});
    }
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->index(2, 1).data().toString(), QStringLiteral("1003"));

    // The person ticks row 1 in the view.
    table->resize(400, 200);
    const QRect cell = table->visualRect(rows->index(1, 0));
    const QPoint box(cell.left() + table->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                     cell.center().y());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, box);
    EXPECT_TRUE(list.Row(1).checked);
    // The model ticks row 2.
    list.SetChecked(2, true);
    EXPECT_EQ(rows->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);

    list.RemoveRow(0);
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(0, 1).data().toString(), QStringLiteral("1002"));
    EXPECT_EQ(rows->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    list.Clear();
    EXPECT_EQ(rows->rowCount(), 0);
}

TEST_F(PageViewTest, TwoViewsOfOneModelBothFollowItAndEitherMayGoFirst) {
    auto second = std::make_unique<CPageView>(model);
    model.SetText(CSampleDlg::kGain, "5");
    EXPECT_EQ(qobject_cast<QLineEdit*>(second->Widget(CSampleDlg::kGain))->text(),
              QStringLiteral("5"));
    EXPECT_EQ(Widget<QLineEdit>(CSampleDlg::kGain)->text(), QStringLiteral("5"));
    view.reset();
    model.SetText(CSampleDlg::kGain, "6");
    EXPECT_EQ(qobject_cast<QLineEdit*>(second->Widget(CSampleDlg::kGain))->text(),
              QStringLiteral("6"));
}

TEST(TooltipTest, LongTipsWrapAtThreeHundredPixels) {
    test::TestApp();
    const QFontMetrics metrics(QToolTip::font());
    const std::string tip =
        "Drawing fingerprint image continuously on the screen. results are shown below.";
    const QString wrapped = WrapTooltip(tip, metrics, 300);
    const QStringList lines = wrapped.split(QLatin1Char('\n'));
    EXPECT_GT(lines.size(), 1);
    for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), 300) << line.toStdString();
    }
    EXPECT_EQ(lines.join(QLatin1Char(' ')).toStdString(), tip);
    EXPECT_EQ(WrapTooltip("Cancel all works.", metrics, 300), QStringLiteral("Cancel all works."));
    EXPECT_TRUE(WrapTooltip("", metrics, 300).isEmpty());
}

}  // namespace
}  // namespace sondrix
