#include <gtest/gtest.h>

#include <cstdio>

#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/packet_manager_wnd.h"
#include "platform/scripted_ui_host.h"
#include "support/fake_serial.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::CTempFolder;

// Splits one written packet into its header fields and payload, checking
// both checksums on the way.
struct SWritten {
    uint32_t command, param1, param2, dataSize, errorCode;
    std::vector<uint8_t> data;
};

SWritten Decode(const std::vector<uint8_t>& wire) {
    EXPECT_GE(wire.size(), 25u);
    EXPECT_EQ(wire[0], 0x7E);
    SWritten w{GetU32BE(&wire[1]),  GetU32BE(&wire[5]),  GetU32BE(&wire[9]),
               GetU32BE(&wire[13]), GetU32BE(&wire[17]), {}};
    uint32_t sum = 0;
    for (int i = 1; i < 21; ++i) {
        sum += wire[i];
    }
    EXPECT_EQ(GetU32BE(&wire[21]), sum);
    if (w.dataSize > 0) {
        EXPECT_EQ(wire.size(), w.dataSize + 29u);
        w.data.assign(wire.begin() + 25, wire.begin() + 25 + w.dataSize);
        uint32_t dataSum = 0;
        for (uint8_t b : w.data) {
            dataSum += b;
        }
        EXPECT_EQ(GetU32BE(&wire[25 + w.dataSize]), dataSum);
    } else {
        EXPECT_EQ(wire.size(), 25u);
    }
    return w;
}

std::vector<uint8_t> Field(const std::string& text, size_t length) {
    std::vector<uint8_t> field(length, 0);
    std::copy(text.begin(), text.end(), field.begin());
    return field;
}

std::vector<uint8_t> Cat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class SendOperationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pm.Create(&dialog, dialog.Handle());
        ASSERT_TRUE(pm.port.Open("COM1", 57600, 0));
        line = devices.last;
    }
    SWritten Last() { return Decode(line->writes.back()); }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    test::CFakeSerialFactory devices;
    test::CRecordingDialog dialog{loop};
    CPacketManagerWnd pm{loop, devices, ui};
    test::CFakeSerial* line = nullptr;
};

TEST_F(SendOperationsTest, EverySendIsTracedWithHostValuesAfterTheWrite) {
    pm.SendGetStatus();
    ASSERT_EQ(line->writes.size(), 1u);
    EXPECT_EQ(line->writes[0], test::Wire(CMD_GET_STATUS));
    ASSERT_EQ(dialog.traces.size(), 1u);
    EXPECT_EQ(dialog.traces[0].direction, 0);
    EXPECT_EQ(dialog.traces[0].command, CMD_GET_STATUS);
    EXPECT_EQ(dialog.traces[0].address, &pm.txPacket);
}

TEST_F(SendOperationsTest, IdAndPasswordFieldsAreZeroTerminatedAndCut) {
    dialog.idLength = 11;
    pm.SendVerify(true, "1234", "5678");
    SWritten w = Last();
    EXPECT_EQ(w.command, CMD_VERIFY);
    EXPECT_EQ(w.param1, 1u);
    EXPECT_EQ(w.data, Cat(Field("1234", 11), Field("5678", 16)));

    // An ID as long as the field keeps its terminating zero.
    pm.SendVerify(false, "12345678901", "");
    w = Last();
    EXPECT_EQ(w.param1, 0u);
    EXPECT_EQ(w.data, Field("1234567890", 11));

    pm.SendDeleteUser("77");
    w = Last();
    EXPECT_EQ(w.command, CMD_DELETE_USER);
    EXPECT_EQ(w.data, Field("77", 11));

    pm.SendSetMasterAuthority(1, "8");
    w = Last();
    EXPECT_EQ(w.command, CMD_SET_MASTER_AUTHORITY);
    EXPECT_EQ(w.param1, 1u);

    pm.SendSetMasterPassword("secret");
    EXPECT_EQ(Last().data, Field("secret", 16));
}

TEST_F(SendOperationsTest, TemplateCarryingRequestsAndTheirLimits) {
    dialog.idLength = 9;
    const std::vector<uint8_t> templ(400, 0xAB);
    ASSERT_TRUE(pm.SendInstantVerify("42", templ));
    SWritten w = Last();
    EXPECT_EQ(w.dataSize, 409u);
    EXPECT_EQ(w.data, Cat(Field("42", 9), templ));

    // An empty template file sends a zeroed 4-byte data area.
    ASSERT_TRUE(pm.SendInstantIdentify({}));
    w = Last();
    EXPECT_EQ(w.param1, 1u);
    EXPECT_EQ(w.data, std::vector<uint8_t>(4, 0));

    // ID field plus a template that would overflow the payload: nothing is sent.
    const size_t before = line->writes.size();
    EXPECT_FALSE(pm.SendInstantVerify("42", std::vector<uint8_t>(65530, 1)));
    EXPECT_TRUE(pm.SendInstantMatch(std::vector<uint8_t>(65536, 1), 3));
    EXPECT_EQ(line->writes.size(), before + 1);
    EXPECT_EQ(Last().param1, 3u);
}

TEST_F(SendOperationsTest, EnterMasterModeFormsByType) {
    dialog.idLength = 11;
    pm.SendEnterMasterMode(1, "5", "99", {});
    EXPECT_EQ(Last().data, Cat(Field("5", 11), Field("99", 16)));
    pm.SendEnterMasterMode(2, "5", "99", {});
    EXPECT_EQ(Last().data, Field("99", 16));
    pm.SendEnterMasterMode(3, "5", "99", {});
    EXPECT_EQ(Last().dataSize, 0u);
    dialog.templateSize = 400;
    pm.SendEnterMasterMode(4, "5", "", {});
    EXPECT_EQ(Last().dataSize, 411u);
    pm.SendEnterMasterMode(4, "5", "", std::vector<uint8_t>(7, 3));
    EXPECT_EQ(Last().data, Cat(Field("5", 11), std::vector<uint8_t>(7, 3)));
}

TEST_F(SendOperationsTest, ModifyUserLayoutFollowsTheModificationKind) {
    dialog.idLength = 11;
    dialog.modificationKind = 1;
    pm.SendModifyUser(2, 9, "3", "1111", {});
    SWritten w = Last();
    EXPECT_EQ(w.param2, 0u);
    EXPECT_EQ(w.data, Cat(Field("3", 11), Field("1111", 16)));

    dialog.modificationKind = 0;
    pm.SendModifyUser(1, 1, "3", "", {});
    w = Last();
    EXPECT_EQ(w.param1, 1u);
    EXPECT_EQ(w.param2, 1u);
    EXPECT_EQ(w.data, Field("3", 11));

    dialog.modificationKind = 5;
    pm.SendModifyUser(0x13, 7, "3", "", std::vector<uint8_t>(10, 5));
    w = Last();
    EXPECT_EQ(w.param2, 0u);
    EXPECT_EQ(w.dataSize, 21u);

    const size_t before = line->writes.size();
    dialog.modificationKind = 11;
    EXPECT_FALSE(pm.SendModifyUser(1, 0, "3", "", {}));
    EXPECT_EQ(line->writes.size(), before);
}

TEST_F(SendOperationsTest, ListLogRecordAndRegisterStepParameters) {
    pm.SendGetLogData(0, 5, 9);
    EXPECT_EQ(Last().param2, 9u);
    pm.SendGetLogData(3, 5, 9);
    EXPECT_EQ(Last().param2, 5u);
    pm.SendGetLogData(4, 6, 9);
    EXPECT_EQ(Last().param2, 6u);
    EXPECT_EQ(pm.logRequestType, 4u);
    EXPECT_EQ(pm.retryPacket.param2, 6u);
    pm.SendGetLogData(1, 5, 9);
    EXPECT_EQ(Last().param2, 0u);

    dialog.idLength = 11;
    pm.SendDownloadRecord(0, 0x20, "12");
    EXPECT_EQ(Last().data, Field("12", 11));
    pm.SendDownloadRecord(2, 0x20, "12");
    EXPECT_EQ(Last().dataSize, 0u);

    const std::vector<uint8_t> block = Cat(Field("1234", 11), Field("", 16));
    pm.SendRegisterStep(0, 0, 1, block);
    SWritten w = Last();
    EXPECT_EQ(w.param1, 1u);
    EXPECT_EQ(w.param2, 0u);
    EXPECT_EQ(w.data, block);
    pm.SendRegisterStep(3, 2, 0, block);
    w = Last();
    EXPECT_EQ(w.param2, 0x32u);
    EXPECT_EQ(w.dataSize, 0u);

    const std::array<uint8_t, 8> time = {0x20, 0x16, 0x03, 0x01, 0x09, 0x05, 0x07, 0x00};
    pm.SendSetTime(time);
    EXPECT_EQ(Last().data, std::vector<uint8_t>(time.begin(), time.end()));
}

TEST_F(SendOperationsTest, FirmwareChunksCarrySizePrefixIndexAndFiller) {
    std::vector<uint8_t> image(10000);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint8_t>(i % 251);
    }
    // A folder of the test's own: a file of a fixed name in /tmp may be another user's.
    const CTempFolder folder;
    const std::string path = (folder / "fw_10000.bin").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);

    pm.firmwareSize = 10000;
    pm.lastChunk = (10000 - 1) / 4096;
    for (uint32_t index = 0; index <= 2; ++index) {
        ASSERT_TRUE(pm.SendFirmwareChunk(path, index));
        const SWritten w = Last();
        EXPECT_EQ(w.command, CMD_FIRMWARE_DATA);
        EXPECT_EQ(w.param2, index * 0x100 + 2);
        ASSERT_EQ(w.dataSize, 4100u);
        EXPECT_EQ(std::vector<uint8_t>(w.data.begin(), w.data.begin() + 4),
                  (std::vector<uint8_t>{0x00, 0x00, 0x27, 0x10}));
        const size_t count = std::min<size_t>(4096, 10000 - index * 4096);
        EXPECT_TRUE(std::equal(w.data.begin() + 4, w.data.begin() + 4 + count,
                               image.begin() + index * 4096));
        EXPECT_TRUE(std::all_of(w.data.begin() + 4 + count, w.data.end(),
                                [](uint8_t b) { return b == 0xFF; }));
    }
    EXPECT_EQ(pm.currentChunk, 2u);
    EXPECT_EQ(pm.retryPacket.param2, 0x202u);
    ASSERT_TRUE(pm.SendBackupFirmwareChunk(path, 1));
    EXPECT_EQ(Last().command, CMD_BACKUP_FIRMWARE_DATA);
    // A chunk beyond the file, or a file that is gone, sends nothing.
    const size_t before = line->writes.size();
    EXPECT_FALSE(pm.SendFirmwareChunk(path, 3));
    EXPECT_FALSE(pm.SendFirmwareChunk(path + ".missing", 0));
    EXPECT_EQ(line->writes.size(), before);
}

TEST_F(SendOperationsTest, StatusWaitsWhileAPacketIsArriving) {
    const int64_t start = loop.NowMs();
    pm.SendGetStatus();
    EXPECT_EQ(loop.NowMs(), start);
    line->Feed({0x7E, 0x00, 0x00});
    loop.RunFor(0);
    ASSERT_TRUE(pm.Receiving());
    pm.SendGetStatus();
    EXPECT_EQ(loop.NowMs(), start + 300);
}

TEST_F(SendOperationsTest, ClosedPortWritesNothingButStillTraces) {
    pm.port.Close();  // the device is released with the port
    pm.SendGetSystemInfo();
    EXPECT_EQ(pm.port.Write(1, pm.txPacket.data), 0u);
    EXPECT_EQ(dialog.traces.size(), 1u);
}

// Bytes written out by hand from the protocol layout (big-endian fields,
// header sum of bytes 1 to 20, payload sum), not by our encoder.
TEST_F(SendOperationsTest, OneRequestOfEachCommandFamilyHasItsKnownBytes) {
    dialog.idLength = 16;
    // Connection: the handshake, all fields zero; the header sum is the code.
    pm.SendCommand(CMD_CONNECT);
    EXPECT_EQ(line->writes.back(),
              (std::vector<uint8_t>{0x7E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}));
    // System: the clock of 1 March 2016, 09:05:07 as eight BCD bytes.
    pm.SendSetTime({0x20, 0x16, 0x03, 0x01, 0x09, 0x05, 0x07, 0x00});
    EXPECT_EQ(line->writes.back(),
              (std::vector<uint8_t>{0x7E, 0x00, 0x00, 0x00, 0x65, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x6D, 0x20, 0x16, 0x03, 0x01, 0x09,
                                    0x05, 0x07, 0x00, 0x00, 0x00, 0x00, 0x4F}));
    // Image: block 1 of a transfer, in param2.
    pm.SendCaptureImage(1);
    EXPECT_EQ(line->writes.back(),
              (std::vector<uint8_t>{0x7E, 0x00, 0x00, 0x00, 0x63, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x64}));
    // Matching: verify ID "42" in a zero-filled 16-byte field.
    pm.SendVerify(false, "42", "");
    EXPECT_EQ(line->writes.back(),
              (std::vector<uint8_t>{0x7E, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0x34, 0x32,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x66}));
    // Database: delete user "7".
    pm.SendDeleteUser("7");
    EXPECT_EQ(line->writes.back(),
              (std::vector<uint8_t>{0x7E, 0x00, 0x00, 0x00, 0x22, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x32, 0x37, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x37}));
    // Configuration: option 3 (template mode) set to 2.
    pm.SendSetSystemOption(kOptionTemplateMode, 2);
    EXPECT_EQ(line->writes.back(),
              (std::vector<uint8_t>{0x7E, 0x00, 0x00, 0x00, 0x4C, 0x00, 0x00, 0x00, 0x03,
                                    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x51}));
}

}  // namespace
}  // namespace sondrix
