#include <gtest/gtest.h>

#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/packet_manager_wnd.h"
#include "platform/scripted_ui_host.h"
#include "support/fake_serial.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::CTempFolder;

using test::Wire;

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

class PacketManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pm.Create(&dialog, dialog.Handle()));
        ASSERT_TRUE(pm.port.Open("COM1", 115200, 0));
        line = devices.last;
    }
    // The module sends bytes in one burst; the program handles what follows.
    void Burst(const std::vector<uint8_t>& bytes) {
        line->Feed(bytes);
        loop.RunFor(0);
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    test::CFakeSerialFactory devices;
    test::CRecordingDialog dialog{loop};
    CPacketManagerWnd pm{loop, devices, ui};
    test::CFakeSerial* line = nullptr;
};

TEST_F(PacketManagerTest, GoodPacketIsTracedThenPostedWithItsNotification) {
    Burst(Cat({{0x00, 0x13}, Wire(CMD_GET_STATUS, 1, 4)}));
    ASSERT_EQ(dialog.traces.size(), 1u);
    ASSERT_EQ(dialog.notifications.size(), 1u);
    const auto& trace = dialog.traces[0];
    const auto& note = dialog.notifications[0];
    EXPECT_EQ(trace.direction, 1);
    EXPECT_LT(trace.order, note.order) << "the trace comes before the notification";
    EXPECT_EQ(note.message, WM_USER + 0x52);
    EXPECT_EQ(note.param1, 1u);
    EXPECT_EQ(note.param2, 4u);
    EXPECT_EQ(note.address, &pm.parser.rxPacket);
}

TEST_F(PacketManagerTest, CommandHighBytesMustBeZeroButThirdByteMayBeSet) {
    // 7E 01 ...: not a command; scanning resumes and finds the next packet.
    Burst(Cat({{0x7E, 0x01, 0x02}, Wire(CMD_CONNECT, 1, 7)}));
    ASSERT_EQ(dialog.notifications.size(), 1u);
    EXPECT_EQ(dialog.notifications[0].command, CMD_CONNECT);

    // A stray start byte and one other byte right before a packet: the
    // packet's own start byte begins a new search, whatever that byte was
    // (0x5A would open a short packet, which swallows what follows).
    for (int stray = 1; stray <= 0xFF; ++stray) {
        if (stray == 0x5A) {
            continue;
        }
        Burst(Cat({{0x7E, static_cast<uint8_t>(stray)}, Wire(CMD_GET_STATUS, 1, stray)}));
        ASSERT_EQ(dialog.notifications.size(), static_cast<size_t>(stray + (stray > 0x5A ? 0 : 1)))
            << "lost after 7E " << stray;
        EXPECT_EQ(dialog.notifications.back().param2, static_cast<uint32_t>(stray));
    }
    const size_t before = dialog.notifications.size();

    // 7E 00 01 ...: second command byte set, rejected.
    auto bad = Wire(CMD_GET_TIME);
    bad[2] = 0x01;
    Burst(bad);
    EXPECT_EQ(dialog.traces.size(), before);

    // 7E 00 00 01 FD: command 0x1FD is accepted.
    Burst(Wire(CMD_CAPTURE_COLOR_IMAGE, 1, 0, {9, 8, 7}));
    ASSERT_EQ(dialog.notifications.size(), before + 1);
    EXPECT_EQ(dialog.notifications.back().message, WM_USER + 0x8D);
}

TEST_F(PacketManagerTest, PacketSplitAcrossManyBurstsIsAssembled) {
    const auto wire = Wire(CMD_GET_TIME, 1, 0, {0x20, 0x24, 0x03, 0x09, 0x17, 0x05, 0x59});
    for (uint8_t b : wire) {
        Burst({b});
    }
    ASSERT_EQ(dialog.notifications.size(), 1u);
    EXPECT_EQ(dialog.notifications[0].data,
              (std::vector<uint8_t>{0x20, 0x24, 0x03, 0x09, 0x17, 0x05, 0x59}));
}

TEST_F(PacketManagerTest, PassEndsAfterHeaderOnlyPacketAndTheRestFollowsWithoutNewBytes) {
    const auto both = Cat({Wire(CMD_CONNECT, 1), Wire(CMD_GET_MODULE_TYPE, 1, 0x4D12)});
    ASSERT_TRUE(pm.port.m_QueueRead.PushChunk(both.data(), static_cast<uint32_t>(both.size())));
    // One pass: the first packet is dispatched, the second waits.
    pm.WindowProc(WM_COMM_RECEIVE, 0, 0);
    EXPECT_EQ(dialog.Received(), 1u);
    EXPECT_EQ(pm.port.m_QueueRead.Count(), 25u);
    // The next notification, raised by the pass itself, handles it.
    loop.RunFor(0);
    ASSERT_EQ(dialog.notifications.size(), 2u);
    EXPECT_EQ(dialog.notifications[0].command, CMD_CONNECT);
    EXPECT_EQ(dialog.notifications[1].command, CMD_GET_MODULE_TYPE);
}

TEST_F(PacketManagerTest, EachNotificationShowsItsOwnPacketWhenTheNextArrivesBeforeItsHandler) {
    // Two bursts are queued before the program runs: the second packet must
    // not overwrite the first while the first waits for its handler.
    line->Feed(Wire(CMD_CONNECT, 1, 11));
    line->Feed(Wire(CMD_GET_MODULE_TYPE, 1, 0x4D12));
    line->Feed(Wire(CMD_VERIFY, 1, 5, {1, 2, 3}));
    line->Feed(Wire(CMD_GET_TIME, 1, 0, {4, 5}));
    loop.RunFor(0);
    ASSERT_EQ(dialog.notifications.size(), 4u);
    EXPECT_EQ(dialog.notifications[0].command, CMD_CONNECT);
    EXPECT_EQ(dialog.notifications[0].param2, 11u);
    EXPECT_EQ(dialog.notifications[1].param2, 0x4D12u);
    EXPECT_EQ(dialog.notifications[2].data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(dialog.notifications[3].data, (std::vector<uint8_t>{4, 5}));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_LT(dialog.traces[i].order, dialog.notifications[i].order);
    }
}

TEST_F(PacketManagerTest, ChecksumErrorsAreReportedAfterTheWholePacketAndNeverTraced) {
    auto badHeader = Wire(CMD_VERIFY, 1, 0, {1, 2, 3, 4});
    badHeader[24] ^= 1;
    // Header and half the payload: nothing reported yet.
    Burst(std::vector<uint8_t>(badHeader.begin(), badHeader.begin() + 27));
    EXPECT_TRUE(dialog.checksumErrors.empty());
    Burst(std::vector<uint8_t>(badHeader.begin() + 27, badHeader.end()));
    EXPECT_EQ(dialog.checksumErrors, std::vector<int>{0});

    auto badData = Wire(CMD_VERIFY, 1, 0, {1, 2, 3, 4});
    badData.back() ^= 1;
    Burst(badData);
    EXPECT_EQ(dialog.checksumErrors, (std::vector<int>{0, 1}));
    EXPECT_TRUE(dialog.traces.empty());
    EXPECT_TRUE(dialog.notifications.empty());

    // The stream is intact afterwards.
    Burst(Wire(CMD_VERIFY, 1, 3));
    EXPECT_EQ(dialog.notifications.size(), 1u);
}

TEST_F(PacketManagerTest, ShortPacketsAreForwardedByCodeAndCheckedBySum) {
    Burst({0x7E, 0x5A, 0x01, 0x00, 0x00, 0xD9});
    ASSERT_EQ(dialog.others.size(), 1u);
    EXPECT_EQ(dialog.others[0].first, WM_USER + 0x64);
    EXPECT_EQ(dialog.others[0].second, reinterpret_cast<WPARAM>(pm.parser.shortPacket));

    Burst({0x7E, 0x5A, 0x01, 0x00, 0x00, 0xD8});
    EXPECT_EQ(dialog.checksumErrors, std::vector<int>{0});

    Burst({0x7E, 0x5A, 0x05, 0x00, 0x00, 0xDD});  // good sum, unknown code: dropped
    EXPECT_EQ(dialog.others.size(), 1u);
    EXPECT_TRUE(dialog.traces.empty());
}

TEST_F(PacketManagerTest, OversizedDataSizeReturnsToSearch) {
    CPacket huge;
    huge.command = CMD_GET_LOG_DATA;
    huge.dataSize = 70000;
    huge.headerChecksum = huge.ComputeHeaderChecksum();
    std::vector<uint8_t> header(25);
    header[0] = 0x7E;
    PutU32BE(&header[1], huge.command);
    PutU32BE(&header[13], huge.dataSize);
    PutU32BE(&header[21], huge.headerChecksum);
    // The header, then bytes that would overrun the payload, then a good packet.
    Burst(Cat({header, std::vector<uint8_t>(3000, 0x11), Wire(CMD_GET_STATUS, 1)}));
    ASSERT_EQ(dialog.notifications.size(), 1u);
    EXPECT_EQ(dialog.notifications[0].command, CMD_GET_STATUS);
}

TEST_F(PacketManagerTest, ModuleReportedChecksumErrorShowsBoxOrResendsFirmwareChunk) {
    Burst(Wire(CMD_GET_STATUS, 1, 0, {}, 2));
    EXPECT_EQ(ui.LastBoxText(), "Checksum error occurred!!!");
    EXPECT_TRUE(dialog.notifications.empty());
    EXPECT_EQ(dialog.traces.size(), 1u) << "the answer itself is traced";

    // A folder of the test's own: a file of a fixed name in /tmp may be another user's.
    const CTempFolder folder;
    const std::string path = (folder / "fw_resend.bin").string();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::vector<uint8_t> bytes(5000, 0x42);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    pm.firmwareSize = 5000;
    pm.lastChunk = 1;
    ASSERT_TRUE(pm.SendFirmwareChunk(path, 1));
    const auto first = line->writes.back();
    Burst(Wire(CMD_FIRMWARE_DATA, 1, 0x101, {}, 2));
    EXPECT_EQ(line->writes.back(), first) << "the same chunk goes out again";
    EXPECT_EQ(line->writes.size(), 2u);
    EXPECT_EQ(ui.Boxes().size(), 1u);
}

TEST_F(PacketManagerTest, ImageAnswersArePostedFromTheirCopy) {
    std::vector<uint8_t> chunk(3720);
    for (size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<uint8_t>(i * 7);
    }
    // The image answer and another packet in one burst: the notification must
    // still show the image after the parser reused its record.
    line->Feed(Cat({Wire(CMD_CAPTURE_IMAGE, 1, 0x0014, chunk), Wire(CMD_GET_STATUS, 1)}));
    loop.RunFor(0);
    ASSERT_EQ(dialog.notifications.size(), 2u);
    EXPECT_EQ(dialog.notifications[0].address, &pm.imagePacket);
    EXPECT_EQ(pm.imagePacket.param2, 0x0014u);
    EXPECT_EQ(std::vector<uint8_t>(pm.imagePacket.data, pm.imagePacket.data + 3720), chunk);
}

TEST_F(PacketManagerTest, AbortReceiveDiscardsAHalfReceivedPacket) {
    const auto image = Wire(CMD_CAPTURE_IMAGE, 1, 0, std::vector<uint8_t>(100, 0x33));
    Burst(std::vector<uint8_t>(image.begin(), image.begin() + 60));
    pm.abortReceive = 1;
    Burst(Cat({std::vector<uint8_t>(image.begin() + 60, image.end()), Wire(CMD_CANCEL, 1)}));
    ASSERT_EQ(dialog.notifications.size(), 1u);
    EXPECT_EQ(dialog.notifications[0].command, CMD_CANCEL);
}

TEST_F(PacketManagerTest, FullRingDropsTheChunkThatDoesNotFit) {
    std::vector<uint8_t> filler(8000, 0x00);
    ASSERT_TRUE(pm.port.m_QueueRead.PushChunk(filler.data(), 8000));
    line->Feed(std::vector<uint8_t>(192, 0x00));
    EXPECT_EQ(pm.port.m_QueueRead.Count(), 8000u);
    line->Feed(std::vector<uint8_t>(191, 0x00));
    EXPECT_EQ(pm.port.m_QueueRead.Count(), 8191u);
    loop.RunFor(0);
    ASSERT_FALSE(ui.Boxes().empty());
    EXPECT_EQ(ui.Boxes()[0].text, "m_QueueRead FULL!");
    EXPECT_EQ(pm.port.m_QueueRead.Count(), 0u) << "the parser drained the ring";
}

TEST_F(PacketManagerTest, LogRetryTimerStaysArmedAndAnyGoodPacketKillsIt) {
    pm.SendGetLogData(3, 0, 0);
    EXPECT_TRUE(loop.HasTimer(pm.Handle(), CPacketManagerWnd::kRetryTimer));
    loop.RunFor(80000 * 2 + 10);
    EXPECT_TRUE(loop.HasTimer(pm.Handle(), CPacketManagerWnd::kRetryTimer));
    EXPECT_EQ(line->writes.size(), 1u) << "a log request is not resent by the timer";
    Burst(Wire(CMD_GET_STATUS, 1));
    EXPECT_FALSE(loop.HasTimer(pm.Handle(), CPacketManagerWnd::kRetryTimer));
}

TEST_F(PacketManagerTest, FirmwareChunkIsResentOnTimeoutAtMostTenTimes) {
    const CTempFolder folder;
    const std::string path = (folder / "fw_timeout.bin").string();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("firmware", f);
        std::fclose(f);
    }
    pm.firmwareSize = 8;
    pm.lastChunk = 0;
    ASSERT_TRUE(pm.SendFirmwareChunk(path, 0));
    // Chunk sends do not arm the timer; another operation may have.
    pm.SetTimer(CPacketManagerWnd::kRetryTimer, 1000);
    for (int tick = 0; tick < 40 && ui.Boxes().empty(); ++tick) {
        if (!loop.HasTimer(pm.Handle(), CPacketManagerWnd::kRetryTimer)) {
            pm.SetTimer(CPacketManagerWnd::kRetryTimer, 1000);
        }
        loop.RunFor(1000);
    }
    EXPECT_EQ(line->writes.size(), 10u) << "the first send and nine resends";
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Upgrade process was canceled! (COMMUNICATION ERROR)");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    EXPECT_EQ(pm.retryCount, 0);
}

}  // namespace
}  // namespace sondrix
