// The Qt UI host: boxes, file dialogs and popups as real windows, driven
// from inside their nested loops as a person would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "qt/gradient_bar.h"
#include "qt/model_dialog.h"
#include "qt/page_view.h"
#include "qt/qt_test_support.h"
#include "qt/qt_ui_host.h"
#include "ui/popup_id_dlg.h"
#include "ui/popup_msg_dlg.h"
#include "ui/popup_progress_dlg.h"

namespace sondrix {
namespace {

class UiHostTest : public ::testing::Test {
  protected:
    UiHostTest() { test::TestApp(); }
    CQtUiHost host;
};

QPushButton* Button(CModelDialog* dialog, int id) {
    return qobject_cast<QPushButton*>(dialog->View().Widget(id));
}

TEST_F(UiHostTest, MessageBoxShowsTheIconAndButtonsAndReturnsThePressedOne) {
    struct SCase {
        EIcon icon;
        EButtons buttons;
        QMessageBox::Icon shownIcon;
        QMessageBox::StandardButtons shownButtons;
        QMessageBox::StandardButton press;
        EAnswer answer;
    };
    const SCase cases[] = {
        {EIcon::None, EButtons::Ok, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok,
         EAnswer::Ok},
        {EIcon::Stop, EButtons::Ok, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok,
         EAnswer::Ok},
        {EIcon::Question, EButtons::YesNo, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No, EAnswer::No},
        {EIcon::Warning, EButtons::OkCancel, QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, EAnswer::Cancel},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(IconName(c.icon) + std::string(" ") + ButtonsName(c.buttons));
        test::WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QStringLiteral("Identification Succeeded!!!"));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Result"));
            EXPECT_EQ(box->icon(), c.shownIcon);
            EXPECT_EQ(box->standardButtons(), c.shownButtons);
            box->button(c.press)->click();
        });
        EXPECT_EQ(host.MessageBox("Identification Succeeded!!!", c.icon, c.buttons, "Result"),
                  c.answer);
    }
}

TEST_F(UiHostTest, EscapeInABoxIsTheNegativeAnswer) {
    for (auto [buttons, answer] : {std::pair{EButtons::YesNo, EAnswer::No},
                                   std::pair{EButtons::OkCancel, EAnswer::Cancel}}) {
        test::WhenModalOpens([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        EXPECT_EQ(host.MessageBox("Delete all users?", EIcon::Question, buttons), answer);
    }
}

TEST_F(UiHostTest, ReturnInABoxPressesItsFirstButton) {
    for (auto [buttons, answer] :
         {std::pair{EButtons::YesNo, EAnswer::Yes}, std::pair{EButtons::OkCancel, EAnswer::Ok},
          std::pair{EButtons::Ok, EAnswer::Ok}}) {
        test::WhenModalOpens([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        EXPECT_EQ(host.MessageBox("Delete all users?", EIcon::Question, buttons), answer);
    }
}

TEST(FileFilterTest, WindowsFiltersBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters("RAW files(*.raw)|*.raw|256 Gray Color Bitmap files(*.bmp)|*.bmp|"),
              (QStringList{"RAW files(*.raw)", "256 Gray Color Bitmap files(*.bmp)"}));
    EXPECT_EQ(QtNameFilters("All files|*.*|"), QStringList{"All files (*)"});
    EXPECT_EQ(QtNameFilters("Images|*.bmp;*.raw|"), QStringList{"Images (*.bmp *.raw)"});
    EXPECT_EQ(QtNameFilters("Any(*.*)|*.*|"), QStringList{"Any(*)"});
    EXPECT_EQ(QtNameFilters("MIN files(*.min)|*.min||Rest|*.x|"), QStringList{"MIN files(*.min)"});
    EXPECT_TRUE(QtNameFilters("").isEmpty());
    EXPECT_EQ(QtDefaultSuffix("*.RAW"), QStringLiteral("RAW"));
    EXPECT_EQ(QtDefaultSuffix(".min"), QStringLiteral("min"));
    EXPECT_EQ(QtDefaultSuffix("log"), QStringLiteral("log"));
}

TEST_F(UiHostTest, SaveDialogAsksBeforeOverwritingAndAddsTheDefaultSuffix) {
    QTemporaryDir folder;
    SFileDialog request;
    request.save = true;
    request.filter = "LOG files(*.log)|*.log|All files|*.*|";
    request.defaultExtension = "*.LOG";
    request.overwritePrompt = true;
    test::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->nameFilters(), (QStringList{"LOG files(*.log)", "All files (*)"}));
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("LOG"));
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->setDirectory(folder.path());
        dialog->selectFile(QStringLiteral("events"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::vector<std::string> paths = host.FileDialog(request);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], (folder.path() + QStringLiteral("/events.LOG")).toStdString());
}

TEST_F(UiHostTest, OpenDialogPicksSeveralExistingFilesOrNoneOnCancel) {
    QTemporaryDir folder;
    for (const char* name : {"a.rec", "b.rec"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    SFileDialog request;
    request.filter = "Record Files(*.rec)|*.rec|All Files|*.*|";
    request.multiSelect = true;
    request.mustExist = true;
    test::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        dialog->setDirectory(folder.path());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QStringLiteral("\"a.rec\" \"b.rec\""));
        static_cast<QDialog*>(dialog)->accept();
    });
    std::vector<std::string> paths = host.FileDialog(request);
    std::sort(paths.begin(), paths.end());
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], folder.filePath(QStringLiteral("a.rec")).toStdString());
    EXPECT_EQ(paths[1], folder.filePath(QStringLiteral("b.rec")).toStdString());

    test::WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_TRUE(host.FileDialog(request).empty());
}

TEST_F(UiHostTest, InputPopupTakesTypedTextWithAnEmptyCaptionAndALargeFont) {
    CPopupIdDlg popup(host);
    popup.prompt = "Input your ID";
    popup.maxLength = 15;
    for (int masked : {0, 1}) {
        popup.masked = masked;
        test::WhenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<CModelDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->windowTitle().isEmpty());
            EXPECT_EQ(dialog->font().pointSize(), 14);
            auto* prompt = qobject_cast<QLabel*>(dialog->View().Widget(CPopupIdDlg::kPrompt));
            EXPECT_EQ(prompt->text(), QStringLiteral("Input your ID"));
            auto* edit = qobject_cast<QLineEdit*>(dialog->View().Widget(CPopupIdDlg::kEdit));
            EXPECT_EQ(edit->echoMode(), masked ? QLineEdit::Password : QLineEdit::Normal);
            QTest::keyClicks(edit, QStringLiteral("1234"));
            test::SaveScreenshot(*modal, QStringLiteral("popup_input"));
            QTest::mouseClick(Button(dialog, IDOK), Qt::LeftButton);
        });
        EXPECT_EQ(host.RunModal(popup), IDOK);
        EXPECT_EQ(popup.input, "1234");
    }
}

TEST_F(UiHostTest, TooLongInputShowsTheStopBoxOverThePopupAndEmptiesTheField) {
    CPopupIdDlg popup(host);
    popup.maxLength = 4;
    QString boxText;
    QString fieldAfter = QStringLiteral("unset");
    test::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<CModelDialog*>(modal);
        auto* edit = qobject_cast<QLineEdit*>(dialog->View().Widget(CPopupIdDlg::kEdit));
        test::WhenModalOpens([&](QWidget* box) {
            boxText = qobject_cast<QMessageBox*>(box)->text();
            EXPECT_EQ(qobject_cast<QMessageBox*>(box)->icon(), QMessageBox::Critical);
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        QTest::keyClicks(edit, QStringLiteral("12345"));
        fieldAfter = edit->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(host.RunModal(popup), IDCANCEL);
    EXPECT_EQ(boxText, QStringLiteral("Too Long Data!!"));
    EXPECT_TRUE(fieldAfter.isEmpty());
    EXPECT_TRUE(popup.Ended());
}

TEST_F(UiHostTest, MessagePopupEndsWithEnterAsOkAndWithTheCloseBoxAsCancel) {
    CPopupMsgDlg popup;
    popup.message = "Place your finger on the sensor.";
    test::WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<CModelDialog*>(modal);
        EXPECT_EQ(qobject_cast<QLabel*>(dialog->View().Widget(CPopupMsgDlg::kText))->text(),
                  QStringLiteral("Place your finger on the sensor."));
        test::SaveScreenshot(*modal, QStringLiteral("popup_message"));
        QTest::keyClick(modal, Qt::Key_Return);
    });
    EXPECT_EQ(host.RunModal(popup), IDOK);

    test::WhenModalOpens([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(host.RunModal(popup), IDCANCEL);
}

class ProgressPopupTest : public UiHostTest {
  protected:
    ~ProgressPopupTest() override {
        // A closed view goes later; it must go before its model.
        popup.Destroy();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CDialogModel owner{"owner", "Owner"};
    CPopupProgressDlg popup{host};
};

TEST_F(ProgressPopupTest, ShowsModelessWithTheBarAndCancelClosesIt) {
    popup.Create(&owner);
    CModelDialog* view = host.ModelessView(popup);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(view->isModal());
    EXPECT_FALSE(owner.IsWindowEnabled());
    EXPECT_EQ(qobject_cast<QLabel*>(view->View().Widget(CPopupProgressDlg::kText))->text(),
              QStringLiteral("Warning! Do not stop this process!"));
    EXPECT_NE(qobject_cast<CGradientBar*>(view->View().Widget(CPopupProgressDlg::kBar)), nullptr);
    popup.SetPos(50);
    test::SaveScreenshot(*view, QStringLiteral("popup_progress"));

    QPointer<CModelDialog> watched(view);
    QTest::mouseClick(Button(view, IDCANCEL), Qt::LeftButton);
    EXPECT_FALSE(popup.Exists());
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(host.ModelessView(popup), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 1000));
}

TEST_F(ProgressPopupTest, EscapeEndsItAsCancelDoesButNotDuringTheCaution) {
    popup.Create(&owner);
    CModelDialog* view = host.ModelessView(popup);
    ASSERT_NE(view, nullptr);
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(popup.Exists());
    EXPECT_TRUE(owner.IsWindowEnabled());

    popup.Create(&owner);
    popup.SetCaution();
    view = host.ModelessView(popup);
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(popup.Exists());
    EXPECT_TRUE(view->isVisible());
}

TEST_F(ProgressPopupTest, DuringTheCautionNeitherCancelNorTheCloseBoxEndsIt) {
    popup.Create(&owner);
    popup.SetCaution();
    CModelDialog* view = host.ModelessView(popup);
    EXPECT_EQ(qobject_cast<QLabel*>(view->View().Widget(CPopupProgressDlg::kText))->text(),
              QStringLiteral("Caution! Firmware Updating now!!"));
    EXPECT_FALSE(Button(view, IDCANCEL)->isEnabled());
    view->close();
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(popup.Exists());
    popup.Destroy();
    EXPECT_FALSE(view->isVisible());
    EXPECT_TRUE(owner.IsWindowEnabled());
}

}  // namespace
}  // namespace sondrix
