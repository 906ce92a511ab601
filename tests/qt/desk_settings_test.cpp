// What the window keeps between runs, in a settings file under a scratch
// XDG configuration folder: kept by one run, found by the next, forgotten
// on request, and a damaged or unwritable file costs one line on standard
// error and nothing else.
#include "qt/desk_settings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "app/sondrix_dlg.h"
#include "qt/list_view.h"
#include "qt/main_window.h"
#include "qt/qt_front_end.h"
#include "qt/qt_test_support.h"
#include "qt/qt_ui_host.h"
#include "qt/sim_panel.h"
#include "qt/simulated_desk.h"

namespace sondrix {
namespace {

const QRect kDesk(0, 0, 1920, 1050);

// One run of the window, without its event loop.
struct SRun : test::SSimulatedDesk {
    SRun() : SSimulatedDesk(0) {
        dlg.OnInitDialog();
        window = std::make_unique<CMainWindow>(dlg);
        window->FitToScreen(kDesk);
        desk = AddDesktopParts(*window, realPorts, &ports, kDesk);
    }
    ~SRun() { window.reset(); }

    std::unique_ptr<CMainWindow> window;
    SDeskPanel desk;
};

class DeskSettingsTest : public ::testing::Test {
  protected:
    DeskSettingsTest() {
        test::TestApp();
        QCoreApplication::setOrganizationName(QStringLiteral("sondrix"));
        QCoreApplication::setApplicationName(QStringLiteral("sondrix"));
        // Qt reads the XDG folder once per process; the path is set again
        // for each test's own folder.
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }
    void CheckDamagedFile(const QByteArray& garbage);
    QString FilePath() const { return m_config.path() + QStringLiteral("/sondrix/sondrix.conf"); }
    void WriteFile(const QByteArray& bytes) const {
        QDir().mkpath(m_config.path() + QStringLiteral("/sondrix"));
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_config;
};

TEST_F(DeskSettingsTest, WhatOneRunKeepsTheNextFindsUnlessReset) {
    QList<int> kept;
    {
        SRun first;
        CDeskSettings settings(false);
        settings.Restore(*first.window, first.dlg);
        first.dlg.imageDlg.Select(CImageDlg::kPort, 2);
        first.dlg.imageDlg.Select(CImageDlg::kBaudRate, 4);
        first.dlg.userDlg.Select(CUserDlg::kTracerOption, 1);
        first.window->resize(1100, 800);
        first.desk.show->trigger();  // the panel is closed
        first.window->Splitter()->setSizes({400, 300});
        kept = first.window->Splitter()->sizes();
        settings.KeepFolder(QStringLiteral("open-rec"), m_config.path());
        settings.Keep(*first.window, first.dlg);
        ASSERT_TRUE(settings.Save());
    }
    ASSERT_TRUE(QFile::exists(FilePath()));
    // The keys other parts of the program read too.
    const QSettings stored(FilePath(), QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("port/name")).toString(), QStringLiteral("COM3"));
    EXPECT_EQ(stored.value(QStringLiteral("port/baud")).toUInt(), 57600u);
    {
        SRun second;
        CDeskSettings settings(false);
        settings.Restore(*second.window, second.dlg);
        EXPECT_EQ(second.dlg.imageDlg.Selection(CImageDlg::kPort), 2);
        EXPECT_EQ(second.dlg.imageDlg.Selection(CImageDlg::kBaudRate), 4);
        EXPECT_EQ(second.dlg.userDlg.TracerMode(), 1);
        EXPECT_EQ(second.window->size(), QSize(1100, 800));
        EXPECT_FALSE(second.desk.show->isChecked());
        EXPECT_EQ(second.window->Splitter()->sizes(), kept);
        EXPECT_EQ(settings.Folder(QStringLiteral("open-rec")), m_config.path());
        EXPECT_TRUE(settings.Folder(QStringLiteral("save-rec")).isEmpty());
    }
    {
        SRun third;
        CDeskSettings settings(true);
        settings.Restore(*third.window, third.dlg);
        EXPECT_EQ(third.dlg.imageDlg.Selection(CImageDlg::kPort), 0);
        EXPECT_EQ(third.dlg.userDlg.TracerMode(), 0);
        EXPECT_TRUE(settings.Folder(QStringLiteral("open-rec")).isEmpty());
    }
}

TEST_F(DeskSettingsTest, ADamagedFileIsMovedAsideWithOneLineAndReplacedAtTheEnd) {
    // Bytes Qt takes for settings of some kind, and bytes it gives up on.
    QByteArray garbage;
    for (int i = 0; i < 512; ++i) {
        garbage.append(static_cast<char>((i * 167 + 13) % 256));
    }
    garbage.append("\n[port]\nname=COM5\n");
    for (const QByteArray& damage : {garbage, QByteArray("[port\nname=COM5\n")}) {
        SCOPED_TRACE(damage.left(20).toHex().toStdString());
        CheckDamagedFile(damage);
    }
}

void DeskSettingsTest::CheckDamagedFile(const QByteArray& garbage) {
    WriteFile(garbage);
    SRun run;
    testing::internal::CaptureStderr();
    CDeskSettings settings(false);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(FilePath().toStdString()), std::string::npos) << said;
    settings.Restore(*run.window, run.dlg);
    EXPECT_EQ(run.dlg.imageDlg.Selection(CImageDlg::kPort), 0) << "nothing taken from it";
    QFile aside(FilePath() + QStringLiteral(".damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);
    settings.Keep(*run.window, run.dlg);
    EXPECT_TRUE(settings.Save());
    const QSettings stored(FilePath(), QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("port/name")).toString(), QStringLiteral("COM1"));
}

TEST_F(DeskSettingsTest, AFileThatCannotBeWrittenCostsOneLine) {
    // A plain file where the folder of the settings should be.
    QFile blocker(m_config.path() + QStringLiteral("/sondrix"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SRun run;
    CDeskSettings settings(false);
    settings.Restore(*run.window, run.dlg);
    settings.Keep(*run.window, run.dlg);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.Save());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST(FileDialogKindTest, EachKindOfFileDialogHasItsOwnFolder) {
    SFileDialog request;
    request.save = true;
    request.filter = "Packet trace files(*.pcapng)|*.pcapng|Text files(*.txt)|*.txt|";
    request.defaultExtension = "*.pcapng";
    EXPECT_EQ(FileDialogKind(request), "save-pcapng");
    request.save = false;
    request.defaultExtension.clear();
    request.filter = "Record Files(*.rec)|*.REC;*.rec|";
    EXPECT_EQ(FileDialogKind(request), "open-rec");
}

}  // namespace
}  // namespace sondrix
