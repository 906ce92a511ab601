// The answers of the Extra Functions commands, handed to the handlers as the
// packet manager would, without a module behind them.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "files/log_record.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"
#include "support/answer_packet.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

using test::Bytes;

Bytes LogRecord(uint32_t sequence, size_t size) {
    Bytes record(size, 0);
    PutU32BE(record.data(), sequence);
    record[4] = 2;
    record[5] = 3;
    record[7] = 1;
    test::PutTime(record, 8, test::kSomeTime);
    test::Put(record, 16, std::to_string(sequence * 11));
    return record;
}

// A CMD_GET_LOG_DATA payload: the count, two unused bytes, the records.
Bytes Chunk(const std::vector<Bytes>& records, uint16_t count) {
    Bytes data = {static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count), 0, 0};
    for (const Bytes& record : records) {
        data.insert(data.end(), record.begin(), record.end());
    }
    return data;
}

Bytes Chunk(const std::vector<Bytes>& records) {
    return Chunk(records, static_cast<uint16_t>(records.size()));
}

std::string Lines(const std::vector<Bytes>& records) {
    std::string text;
    for (const Bytes& record : records) {
        text += FormatLogLine(record) + "\r\n";
    }
    return text;
}

class ExtraRepliesTest : public ::testing::Test, protected test::CSimSession {
  protected:
    ExtraRepliesTest() { dlg.OnInitDialog(); }

    test::CAnswerPacket Answer;
    void LogAnswer(uint32_t option, uint32_t result, uint32_t param2, const Bytes& data) {
        dlg.PacketManager().logRequestType = option;
        dlg.PacketManager().txPacket.command = 0;  // tells whether anything goes out
        dlg.dbManagement.OnGetLogData(Answer(CMD_GET_LOG_DATA, result, param2, data));
    }
    bool Requested() { return dlg.PacketManager().txPacket.command == CMD_GET_LOG_DATA; }
    std::string FileText() const {
        const Bytes bytes = test::ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
    std::string Line() const { return dlg.Text(CSondrixDlg::kMessageLine); }

    test::CTempFolder folder;
    std::filesystem::path path = folder / "module.log";
};

TEST_F(ExtraRepliesTest, LogChunksGoToTheFileAndPagingAsksForTheNext) {
    dlg.logDownload.path = path;
    test::WriteBytes(path, Bytes(50, 'x'));
    const CPacket& sent = dlg.PacketManager().txPacket;
    const std::vector<Bytes> first = {LogRecord(1, 32), LogRecord(2, 32)};
    const std::vector<Bytes> second = {LogRecord(3, 32)};

    LogAnswer(3, RESULT_SUCCESS, 0x0005, Chunk(first));
    EXPECT_EQ(FileText(), std::string(50, 'x')) << "the old file stays until the log is whole";
    ASSERT_TRUE(Requested());
    EXPECT_EQ(sent.param1, 3u);
    EXPECT_EQ(sent.param2, 1u);
    EXPECT_TRUE(loop.HasTimer(dlg.PacketManager().Handle(), CPacketManagerWnd::kRetryTimer));

    LogAnswer(4, RESULT_SUCCESS, 0x0105, Chunk(second));
    ASSERT_TRUE(Requested());
    EXPECT_EQ(sent.param1, 4u);
    EXPECT_EQ(sent.param2, 2u);
    EXPECT_TRUE(ui.Boxes().empty());

    LogAnswer(3, RESULT_SUCCESS, 0x0505, Chunk(first));
    EXPECT_FALSE(Requested());
    EXPECT_EQ(FileText(), Lines(first) + Lines(second) + Lines(first));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Log data were saved successfully!!");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
    EXPECT_EQ(dlg.logDownload.store.Count(), 0u);

    // A single-record option asks for nothing more, whatever the module says.
    LogAnswer(1, RESULT_SUCCESS, 0x0001, Chunk(second));
    EXPECT_FALSE(Requested());
    EXPECT_EQ(FileText(), Lines(second));
    EXPECT_EQ(ui.LastBoxText(), "Log data were saved successfully!!");
}

TEST_F(ExtraRepliesTest, RecordSizeFollowsTheModuleLayoutAndTheDataBoundsTheCount) {
    dlg.logDownload.path = path;
    const std::vector<Bytes> older = {LogRecord(7, 28), LogRecord(8, 28)};
    dlg.moduleSeries = 3;
    LogAnswer(3, RESULT_SUCCESS, 0, Chunk(older));
    EXPECT_EQ(FileText(), Lines(older));

    dlg.moduleSeries = 5;
    dlg.emulationMode = 1;
    LogAnswer(3, RESULT_SUCCESS, 0, Chunk(older));
    EXPECT_EQ(FileText(), Lines(older)) << "an emulation mode keeps the older records";

    // Read as 32-byte records, 56 bytes hold one whole record only.
    dlg.emulationMode = 255;
    LogAnswer(3, RESULT_SUCCESS, 0, Chunk(older));
    const Bytes data = Chunk(older);
    EXPECT_EQ(FileText(), Lines({Bytes(data.begin() + 4, data.begin() + 36)}));
    LogAnswer(3, RESULT_SUCCESS, 0, Chunk({LogRecord(9, 32)}, 500));
    EXPECT_EQ(FileText(), Lines({LogRecord(9, 32)})) << "a count beyond the data";
}

TEST_F(ExtraRepliesTest, LogFailuresStopTheDownload) {
    dlg.logDownload.path = path;
    test::WriteBytes(path, Bytes{'k', 'e', 'p', 't'});
    LogAnswer(3, RESULT_SUCCESS, 0x0102, {});
    EXPECT_EQ(ui.LastBoxText(), "Logs are not existed!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_EQ(Line(), "Logs are not existed!!");
    EXPECT_FALSE(Requested());
    EXPECT_EQ(FileText(), "kept");

    LogAnswer(3, RESULT_FAILED, 0, {});
    EXPECT_EQ(ui.LastBoxText(), "Get log data failed!!");
    EXPECT_EQ(Line(), "Get log data failed!!");
    LogAnswer(3, RESULT_CANCELED, 0, {});
    EXPECT_EQ(ui.LastBoxText(), "Canceled!!!");
    LogAnswer(3, RESULT_NOT_SUPPORTED, 0, {});
    EXPECT_EQ(ui.LastBoxText(), ResultText(RESULT_NOT_SUPPORTED));

    dlg.logDownload.path = (folder / "no-such-folder" / "x.log").string();
    LogAnswer(3, RESULT_SUCCESS, 0x0003, Chunk({LogRecord(1, 32)}));
    EXPECT_FALSE(Requested()) << "a file that cannot be written ends the download";
    EXPECT_EQ(ui.LastBoxText(), "Cannot write the log file; the download was stopped: " +
                                    dlg.logDownload.path + " (" + std::strerror(ENOENT) + ")");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_EQ(FileText(), "kept");
}

TEST_F(ExtraRepliesTest, CustomDataShowsTheBytesThatArrivedAndFailuresTheirTexts) {
    // A zero byte adds nothing; param2 beyond the data shows what arrived.
    dlg.dbManagement.OnReadCustomData(
        Answer(CMD_READ_CUSTOM_DATA, RESULT_SUCCESS, 200, Bytes{'A', 'B', 0, 'C'}));
    EXPECT_EQ(dlg.userDlg.Text(CUserDlg::kReadData), "ABC");
    dlg.dbManagement.OnReadCustomData(
        Answer(CMD_READ_CUSTOM_DATA, RESULT_SUCCESS, 1, Bytes{'X', 'Y'}));
    EXPECT_EQ(dlg.userDlg.Text(CUserDlg::kReadData), "X");
    EXPECT_TRUE(ui.Boxes().empty());

    struct SCase {
        void (CDBManagement::*handler)(CPacket&);
        uint32_t result;
        std::string text;
        EIcon icon;
    };
    const SCase cases[] = {
        {&CDBManagement::OnReadCustomData, RESULT_FAILED, "Read custom data failed!!",
         EIcon::Information},
        {&CDBManagement::OnDeleteCustomData, RESULT_FAILED, "Delete custom block failed!!",
         EIcon::Stop},
        {&CDBManagement::OnDeleteLogData, RESULT_FAILED, "Delete log data failed!!", EIcon::Stop},
        {&CDBManagement::OnWriteCustomData, RESULT_INVALID_PARAMETER,
         ResultText(RESULT_INVALID_PARAMETER), EIcon::Stop},
    };
    for (const SCase& c : cases) {
        ui.ClearRecords();
        (dlg.dbManagement.*c.handler)(Answer(0, c.result, 0));
        ASSERT_EQ(ui.Boxes().size(), 1u) << c.text;
        EXPECT_EQ(ui.Boxes()[0].text, c.text);
        EXPECT_EQ(ui.Boxes()[0].icon, c.icon) << c.text;
        EXPECT_EQ(Line(), c.text);
    }
}

TEST_F(ExtraRepliesTest, ModuleClockIsDecodedOrAShortAnswerReported) {
    CUserDlg& page = dlg.userDlg;
    dlg.systemManagement.OnGetTime(
        Answer(CMD_GET_TIME, RESULT_SUCCESS, 0, {0x20, 0x24, 0x03, 0x09, 0x17, 0x05, 0x59}));
    EXPECT_EQ(page.Text(CUserDlg::kModuleTime), "2024-03-09 17:05:59");
    EXPECT_EQ(page.moduleMonth, 3);
    EXPECT_TRUE(ui.Boxes().empty());
    dlg.systemManagement.OnGetTime(Answer(CMD_GET_TIME, RESULT_SUCCESS, 0, {0x20, 0x24}));
    EXPECT_EQ(ui.LastBoxText(), "The module's time answer is too short to read!!");
    EXPECT_EQ(page.Text(CUserDlg::kModuleTime), "2024-03-09 17:05:59");
}

}  // namespace
}  // namespace sondrix
