// "Save trace..." in the main window's menu bar writes the tracer's packets,
// and the tracer view shows each row's time stamp as its tooltip.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <filesystem>

#include "app/sondrix_dlg.h"
#include "app/trace_file.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "platform/scripted_ui_host.h"
#include "qt/list_view.h"
#include "qt/main_window.h"
#include "qt/model_dialog.h"
#include "qt/qt_test_support.h"
#include "support/fake_serial.h"
#include "support/pcapng_reader.h"

namespace sondrix {
namespace {

class TraceSaveTest : public ::testing::Test {
  protected:
    TraceSaveTest() {
        test::TestApp();
        dialog.OnInitDialog();
        dialog.Tracer().SetClock([this] { return m_now += 1500; });
        window = std::make_unique<CMainWindow>(dialog);
        CPacket status;
        status.command = CMD_GET_STATUS;
        status.Encode();
        dialog.Tracer().TracePacket(status, 0);
        status.param1 = 1;
        status.dataSize = 3;
        status.data[0] = 0xAB;
        status.Encode();
        dialog.Tracer().TracePacket(status, 1);
    }
    ~TraceSaveTest() override { window.reset(); }

    CMessageLoop loop{CMessageLoop::EClock::Real};
    test::CFakeSerialFactory devices;
    CScriptedUiHost host;
    CSondrixDlg dialog{loop, devices, host};
    std::unique_ptr<CMainWindow> window;
    test::CTempFolder folder;

  private:
    int64_t m_now = 1700000000000000;
};

TEST_F(TraceSaveTest, SaveTraceWritesTheRowsPacketsAsPcapngAndText) {
    QAbstractItemModel* rows = window->TracerView()->model();
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->data(rows->index(1, 0), Qt::ToolTipRole).toString().toStdString(),
              CPacketTracer::TimeText(1700000000003000));

    const std::string path = (folder.Path() / "saved.pcapng").string();
    host.QueueFiles({path});
    window->SaveTraceAction()->trigger();
    ASSERT_EQ(host.FileDialogs().size(), 1u);
    EXPECT_TRUE(host.FileDialogs()[0].save);
    test::SPcapng capture;
    ASSERT_EQ(test::ReadPcapng(path, capture), "");
    ASSERT_EQ(capture.packets.size(), 2u);
    EXPECT_EQ(capture.packets[1].timeUs, 1700000000003000u);
    EXPECT_EQ(capture.packets[1].flags, CTraceWriter::kInbound);
    EXPECT_EQ(capture.packets[1].bytes.size(), CPacket::kHeaderSize + 3 + 4);
    EXPECT_EQ(test::ReadTextTrace(path + ".txt").size(), 3u);
    EXPECT_TRUE(host.Boxes().empty());

    // A place that cannot be written is said so, naming it.
    host.QueueFiles({(folder.Path() / "gone" / "x.pcapng").string()});
    window->SaveTraceAction()->trigger();
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_NE(host.LastBoxText().find("gone/x.pcapng"), std::string::npos);
    EXPECT_EQ(host.Boxes()[0].icon, EIcon::Stop);
}

TEST_F(TraceSaveTest, TheRawLineChoiceIsACheckBoxOfThePopup) {
    CTraceSaveDlg& popup = dialog.traceSaveDlg;
    popup.OnInitDialog();
    CModelDialog box(popup, window->font(), window.get());
    box.show();
    const auto boxes = box.findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text().toStdString(), "Include the raw line (every byte read and written)");
    EXPECT_FALSE(boxes[0]->isChecked());
    boxes[0]->click();
    EXPECT_TRUE(popup.IsChecked(CTraceSaveDlg::kRawLine));
    test::SaveScreenshot(box, QStringLiteral("save_trace_popup"));
}

}  // namespace
}  // namespace sondrix
