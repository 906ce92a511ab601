// "Save trace...": the popup's raw-line choice decides whether the pcapng
// gets the raw line as its second interface.
#include "app/trace_save_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/sondrix_dlg.h"
#include "app/trace_file.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "platform/scripted_ui_host.h"
#include "support/fake_serial.h"
#include "support/pcapng_reader.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

class TraceSaveDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dlg.OnInitDialog();
        ASSERT_TRUE(dlg.PacketManager().port.Open("COM1", 9600, 0));
        dlg.PacketManager().SendGetStatus();
        devices.last->Feed(garbageAndAnswer);
        loop.RunFor(0);
    }
    // Saves with the popup answered by `clicks`; the capture read back.
    test::SPcapng Save(std::vector<int> clicks, const std::string& name) {
        const std::string path = (folder.Path() / name).string();
        ui.QueuePopupClicks(std::move(clicks), true);
        ui.QueueFiles({path});
        dlg.traceSaveDlg.Run();
        test::SPcapng capture;
        EXPECT_EQ(test::ReadPcapng(path, capture), "");
        return capture;
    }

    const std::vector<uint8_t> answer = test::Wire(CMD_GET_STATUS, 1);
    std::vector<uint8_t> garbageAndAnswer = [this] {
        // Sized first: GCC 12 at -O2 misreads an insert after a two-byte list
        // as running past it (-Warray-bounds).
        std::vector<uint8_t> bytes(2 + answer.size());
        bytes[0] = 0x55;
        bytes[1] = 0xAA;
        std::copy(answer.begin(), answer.end(), bytes.begin() + 2);
        return bytes;
    }();
    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    test::CFakeSerialFactory devices;
    CSondrixDlg dlg{loop, devices, ui};
    test::CTempFolder folder;
};

TEST_F(TraceSaveDlgTest, TheRawLineGoesWithThePacketsWhenTickedAndTheChoiceIsKept) {
    test::SPcapng plain = Save({}, "plain.pcapng");
    EXPECT_EQ(plain.linkTypes, std::vector<uint16_t>{CTraceWriter::kLinkType});
    ASSERT_EQ(plain.packets.size(), 2u);

    const test::SPcapng raw = Save({CTraceSaveDlg::kRawLine}, "raw.pcapng");
    EXPECT_EQ(raw.linkTypes,
              (std::vector<uint16_t>{CTraceWriter::kLinkType, CTraceWriter::kRawLinkType}));
    // Written chunk, packet sent, read chunk (garbage included), packet received.
    ASSERT_EQ(raw.packets.size(), 4u);
    EXPECT_EQ(raw.packets[0].interface, CTraceWriter::kRawInterface);
    EXPECT_EQ(raw.packets[0].bytes, test::Wire(CMD_GET_STATUS));
    EXPECT_EQ(raw.packets[0].flags, CTraceWriter::kOutbound);
    EXPECT_EQ(raw.packets[1].interface, CTraceWriter::kPacketInterface);
    EXPECT_EQ(raw.packets[2].bytes, garbageAndAnswer);
    EXPECT_EQ(raw.packets[2].flags, CTraceWriter::kInbound);
    EXPECT_EQ(raw.packets[3].bytes, answer);
    EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine),
              "Trace saved: " + (folder / "raw.pcapng").string());

    // The box stays ticked for the next save; "Pkt Clear" empties the raw line too.
    EXPECT_EQ(Save({}, "again.pcapng").packets.size(), 4u);
    dlg.Click(CSondrixDlg::kPktClear);
    const test::SPcapng cleared = Save({}, "cleared.pcapng");
    EXPECT_EQ(cleared.linkTypes.size(), 2u);
    EXPECT_TRUE(cleared.packets.empty());

    // Cancel in the popup asks for no file.
    const size_t dialogs = ui.FileDialogs().size();
    ui.QueuePopupClicks({}, false);
    dlg.traceSaveDlg.Run();
    EXPECT_EQ(ui.FileDialogs().size(), dialogs);
}

}  // namespace
}  // namespace sondrix
