// The answers of the option commands, handed to the handlers as the packet
// manager would, without a module behind them.
#include <gtest/gtest.h>

#include <memory>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"
#include "support/answer_packet.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

using D = CSystemDlg;

class ConfigurationRepliesTest : public ::testing::Test, protected test::CSimSession {
  protected:
    ConfigurationRepliesTest() { dlg.OnInitDialog(); }

    // Hands `command`'s answer to its handler; returns the request it sent,
    // if any (command 0: none).
    const CPacket& Reply(uint32_t command, uint32_t result, uint32_t param2 = 0,
                         const std::vector<uint8_t>& data = {}) {
        CPacket& answer = m_answer(command, result, param2, data);
        dlg.PacketManager().txPacket.command = 0;
        EXPECT_TRUE(dlg.configuration.Handle(answer));
        return dlg.PacketManager().txPacket;
    }
    // A generic answer carrying an option number and its value.
    const CPacket& OptionReply(uint32_t command, uint32_t option, uint32_t value) {
        std::vector<uint8_t> data(8);
        PutU32BE(data.data(), option);
        PutU32BE(data.data() + 4, value);
        return Reply(command, RESULT_SUCCESS, 0, data);
    }
    const CPacket& Read(uint32_t option, uint32_t value = 0) {
        return OptionReply(CMD_GET_SYSTEM_OPTION, option, value);
    }
    std::string LastText() const { return ui.LastBoxText(); }

    CSystemDlg& page = dlg.systemDlg;
    CConfiguration& handler = dlg.configuration;

  private:
    test::CAnswerPacket m_answer;
};

TEST_F(ConfigurationRepliesTest, GenericSetAnswerTextFollowsTheEchoedOption) {
    struct SCase {
        uint32_t option;
        const char* text;
    };
    for (const SCase& c : {SCase{0x30, "Set system option succeeded!!"},
                           SCase{0x55, "Set system option succeeded!!"},
                           SCase{0x48,
                                 "Succeeded! Reconnection is essentially required to use "
                                 "this baudrate."},
                           SCase{0x49,
                                 "Succeeded! Reconnection is essentially required to use "
                                 "this baudrate."},
                           SCase{0x99, "Succeeded! But unknown parameter."},
                           SCase{0x03, "Succeeded! But unknown parameter."}}) {
        ui.ClearRecords();
        EXPECT_EQ(OptionReply(CMD_SET_SYSTEM_OPTION, c.option, 1).command, 0u);
        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, c.text) << std::hex << c.option;
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
        EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), c.text);
    }
    OptionReply(CMD_SET_SYSTEM_OPTION, kOptionIdLength, 8);
    EXPECT_EQ(dlg.idLength, 9);
    EXPECT_EQ(LastText(), "Set system option succeeded!!");
    EXPECT_EQ(OptionReply(CMD_SET_SYSTEM_OPTION, kOptionEmulationMode, 1).command,
              CMD_GET_SYSTEM_INFO);
    // A success that does not say what it set.
    Reply(CMD_SET_SYSTEM_OPTION, RESULT_SUCCESS);
    EXPECT_EQ(LastText(), "Succeeded! But unknown parameter.");
}

TEST_F(ConfigurationRepliesTest, GenericSetRefusalsByResult) {
    EXPECT_EQ(Reply(CMD_SET_SYSTEM_OPTION, RESULT_NOT_SUPPORTED).command, 0u);
    EXPECT_EQ(LastText(), "Not supported function!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Information);

    EXPECT_EQ(Reply(CMD_SET_SYSTEM_OPTION, RESULT_DB_NOT_EMPTY).command, 0u);
    EXPECT_EQ(LastText(), "DB is not empty!!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    page.optionRefresh = 1;
    const CPacket& sent = Reply(CMD_SET_SYSTEM_OPTION, RESULT_DB_NOT_EMPTY);
    EXPECT_EQ(sent.command, CMD_GET_SYSTEM_OPTION);
    EXPECT_EQ(sent.param1, kOptionBrightness);
    EXPECT_EQ(page.optionRefresh, 0);

    EXPECT_EQ(Reply(CMD_SET_SYSTEM_OPTION, RESULT_INVALID_PARAMETER).command, 0u);
    EXPECT_EQ(LastText(), "Invalid Parameter!!!");
}

TEST_F(ConfigurationRepliesTest, ReadChainStepsDependOnTheModule) {
    dlg.moduleSeries = 1;
    EXPECT_EQ(Read(kOptionSiteCode).param1, kOptionGain) << "series 1 has no full rotation";
    dlg.moduleSeries = 3;
    EXPECT_EQ(Read(kOptionSiteCode).param1, kOptionFullRotate);
    EXPECT_EQ(Read(kOptionAdaptiveCapture).param1, kOptionUserCapacity);
    dlg.moduleSeries = 5;
    EXPECT_EQ(Read(kOptionAdaptiveCapture).param1, kOptionIdLength);
    dlg.emulationMode = 1;
    EXPECT_EQ(Read(kOptionAdaptiveCapture).param1, kOptionUserCapacity);
    EXPECT_EQ(Read(kOptionLfdLevel).param1, kOptionBrightness);
    dlg.emulationMode = 2;
    EXPECT_EQ(Read(kOptionLfdLevelM28).command, CMD_GET_SENSOR_OPTION);
    dlg.emulationMode = 255;
    EXPECT_EQ(Read(kOptionRelay).param1, kOptionChannel1) << "answers nobody asked for";
    EXPECT_EQ(Read(kOptionChannel1).param1, kOptionLatent);

    EXPECT_EQ(Read(kOptionUserCapacity, 5000).param1, kOptionTemplateMode);
    EXPECT_EQ(handler.pendingAction, CConfiguration::kReadAll);

    dlg.imageDlg.newModule = 1;
    EXPECT_EQ(Read(kOptionIdLength, 9).param1, kOptionEmulationMode);
    EXPECT_EQ(dlg.idLength, 10);
    dlg.imageDlg.newModule = 0;
    EXPECT_EQ(Read(kOptionIdLength, 7).param1, kOptionAdaptiveCount);
    EXPECT_EQ(page.Option(kOptionIdLength), 7u);
    // A corrupt ID length leaves the field length alone.
    Read(kOptionIdLength, 0xFFFFFFFF);
    EXPECT_EQ(dlg.idLength, 8);

    // Numbers that start nothing, even beyond the option block.
    EXPECT_EQ(Read(0x99).command, 0u);
    EXPECT_EQ(Read(0x12345).command, 0u);
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(ConfigurationRepliesTest, EmulationOptionEndsTheConnectionOrTheRead) {
    dlg.imageDlg.newModule = 1;
    EXPECT_EQ(Read(kOptionEmulationMode, 7).command, CMD_GET_SYSTEM_INFO);
    EXPECT_EQ(dlg.emulationMode, 255u) << "no such mode";
    EXPECT_EQ(dlg.imageDlg.newModule, 0);

    dlg.modelCode = kModelHlxM18Lfd;
    dlg.transferBusy = 1;
    EXPECT_EQ(Read(kOptionEmulationMode, 2).param1, kOptionUserCapacity);
    EXPECT_EQ(dlg.emulationMode, 2u);
    EXPECT_EQ(dlg.transferBusy, 1);

    dlg.modelCode = kModelHlxM18;
    EXPECT_EQ(Read(kOptionEmulationMode, 0xFF).command, 0u);
    EXPECT_EQ(dlg.emulationMode, 255u);
    EXPECT_EQ(dlg.transferBusy, 0) << "the page fill ends the read";
}

TEST_F(ConfigurationRepliesTest, TemplateModeGoesWhereThePendingActionSays) {
    page.StoreOption(kOptionUserCapacity, 2500);
    page.SetItems(D::kTemplateCount, {"2", "4"});
    handler.pendingAction = CConfiguration::kReadAll;
    page.templateCountRefreshPending = 1;
    dlg.transferBusy = 1;
    Read(kOptionTemplateMode, 4);
    EXPECT_EQ(dlg.templateMode, 4);
    EXPECT_EQ(page.Selection(D::kTemplateCount), 1);
    EXPECT_EQ(page.Text(D::kUserCapacity), "2500");
    EXPECT_EQ(page.templateCountRefreshPending, 0);
    EXPECT_EQ(handler.pendingAction, CConfiguration::kNoAction);
    EXPECT_EQ(dlg.transferBusy, 1) << "only the count is shown";

    // A registration waiting for the template mode takes it; the page stays.
    handler.pendingAction = CConfiguration::kRegistration;
    Read(kOptionTemplateMode, 2);
    EXPECT_EQ(dlg.templateMode, 2);
    EXPECT_EQ(page.Selection(D::kTemplateCount), 1);
    EXPECT_EQ(dlg.transferBusy, 1);
    EXPECT_EQ(handler.pendingAction, CConfiguration::kNoAction);

    handler.pendingAction = CConfiguration::kReadAll;
    Read(kOptionTemplateMode, 2);
    EXPECT_EQ(page.Selection(D::kTemplateCount), 0);
    EXPECT_EQ(dlg.transferBusy, 0) << "the read of all options ends in the fill";
}

TEST_F(ConfigurationRepliesTest, LfdLevelReadStartsTheReadOfAllOptions) {
    EXPECT_EQ(Reply(CMD_GET_LFD_LEVEL, RESULT_SUCCESS, 0x10004).param1, kOptionBrightness);
    EXPECT_EQ(page.Option(kOptionLfdLevel), 4u) << "the level is the low sixteen bits";
    EXPECT_EQ(dlg.transferBusy, 1);
    dlg.moduleSeries = 2;
    EXPECT_EQ(Reply(CMD_GET_LFD_LEVEL, RESULT_SUCCESS, 1).command, CMD_GET_SENSOR_OPTION);
}

TEST_F(ConfigurationRepliesTest, AFailedReadStepReportsAndEndsTheRead) {
    struct SCase {
        uint32_t command;
        const char* text;
    };
    for (const SCase& c :
         {SCase{CMD_GET_SENSOR_OPTION, "Get sensor option failed!!"},
          SCase{CMD_GET_SECURITY_LEVEL, "Get security level failed!!"},
          SCase{CMD_GET_LATENT_ADAPTIVE, "Get latent and adaptive option failed!!"},
          SCase{CMD_GET_LOG_OPTION, "Get log option failed!!"},
          SCase{CMD_GET_LOG_OPTION_EX, "Get log option failed!!"},
          SCase{CMD_GET_LFD_LEVEL, "Get security level failed!!"}}) {
        handler.shortChain = 1;
        handler.latentStep = 1;
        dlg.transferBusy = 1;
        EXPECT_EQ(Reply(c.command, RESULT_FAILED).command, 0u);
        EXPECT_EQ(LastText(), c.text);
        EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
        EXPECT_EQ(dlg.Text(CSondrixDlg::kMessageLine), c.text);
        EXPECT_EQ(handler.shortChain, 0);
        EXPECT_EQ(handler.latentStep, 0);
        EXPECT_EQ(dlg.transferBusy, 0);
    }
    Reply(CMD_GET_SENSOR_OPTION, RESULT_CANCELED);
    EXPECT_EQ(LastText(), "Canceled!!!");

    dlg.transferBusy = 1;
    Reply(CMD_GET_SYSTEM_OPTION, RESULT_SUCCESS, 0, {0, 0, 0, 0x20});
    EXPECT_EQ(LastText(), "Invalid Data Size!!!") << "an answer without its value";
    EXPECT_EQ(dlg.transferBusy, 0);
}

TEST_F(ConfigurationRepliesTest, FailedChangesClearTheFlagsTheyWouldLeaveSet) {
    page.templateCountRefreshPending = 1;
    Reply(CMD_SET_TEMPLATE_COUNT, RESULT_FAILED);
    EXPECT_EQ(LastText(), "Set template counts failed!!");
    EXPECT_EQ(page.templateCountRefreshPending, 0);

    page.optionRefresh = 1;
    EXPECT_EQ(Reply(CMD_SET_EMULATION_MODE, RESULT_NOT_SUPPORTED).command, 0u);
    EXPECT_EQ(page.optionRefresh, 0) << "else the next status answer would read all options";
    page.optionRefresh = 1;
    EXPECT_EQ(Reply(CMD_SET_EMULATION_MODE, RESULT_DB_NOT_EMPTY).command, CMD_GET_SYSTEM_INFO);
    EXPECT_EQ(page.optionRefresh, 1) << "the read that follows consumes it";

    dlg.transferBusy = 1;
    Reply(CMD_SET_DEFAULT_OPTIONS, RESULT_FAILED);
    EXPECT_EQ(LastText(), "Set default system options failed!!");
    EXPECT_EQ(dlg.transferBusy, 0);

    Reply(CMD_SET_ID_LENGTH, RESULT_SUCCESS, 8);
    EXPECT_EQ(dlg.idLength, 9);
    Reply(CMD_SET_ID_LENGTH, RESULT_FAILED, 3);
    EXPECT_EQ(dlg.idLength, 9);
}

TEST_F(ConfigurationRepliesTest, ResetLeavesNothingOfTheLastModule) {
    page.StoreOption(kOptionUserCapacity, 9);
    page.SetItems(D::kTemplateCount, {"1", "2"});
    page.Select(D::kTemplateCount, 1);
    page.optionRefresh = page.defaultsPending = page.templateCountRefreshPending = 1;
    page.Enable(D::kGetSystemInfo, false);
    page.Type(D::kGain, "7");
    page.Click(D::kSetGain);
    page.Reset();
    EXPECT_EQ(page.Text(D::kGain), "0");
    EXPECT_EQ(page.Text(D::kIdLength), "4");
    EXPECT_EQ(page.Control(D::kTemplateCount).items, std::vector<std::string>{"2"});
    EXPECT_EQ(page.Selection(D::kTemplateCount), 0);
    EXPECT_FALSE(page.optionHeld.test(kOptionUserCapacity));
    EXPECT_EQ(page.optionRefresh + page.defaultsPending + page.templateCountRefreshPending, 0);
    EXPECT_TRUE(page.IsEnabled(D::kGetSystemInfo));
    EXPECT_FALSE(page.IsEnabled(D::kSetRelayTime));
    EXPECT_FALSE(page.IsEnabled(D::kUsb));
}

}  // namespace
}  // namespace sondrix
