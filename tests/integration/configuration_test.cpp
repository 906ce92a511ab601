#include <gtest/gtest.h>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_configuration.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

using D = CSystemDlg;

// The program core and a simulated module on virtual time, connected, with
// master authority, on the Configuration tab.
class ConfigurationTest : public ::testing::Test, protected test::CSimSession {
  protected:
    void Connect(const char* model) {
        ASSERT_TRUE(ConnectTo(model));
        dlg.masterMode = 1;
        Forget();
    }
    // Choosing the tab reads all options; the read ends with the page fill.
    void OpenTab() {
        dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabConfiguration);
        ASSERT_EQ(dlg.CurrentTab(), CSondrixDlg::kTabConfiguration);
        EXPECT_EQ(dlg.transferBusy, 1);
        ASSERT_TRUE(loop.RunUntil([&] { return dlg.transferBusy == 0; }, 5000));
        module.ClearRequests();
        ui.ClearRecords();
    }
    void Settle() { loop.RunFor(1000); }
    // Option numbers asked for, in order.
    std::vector<uint32_t> AskedOptions() const {
        std::vector<uint32_t> options;
        for (const SSimRequest& r : module.Requests()) {
            if (r.command == CMD_GET_SYSTEM_OPTION) {
                options.push_back(r.param1);
            }
        }
        return options;
    }
    std::vector<uint32_t> Commands() const {
        std::vector<uint32_t> commands;
        for (const SSimRequest& r : module.Requests()) {
            commands.push_back(r.command);
        }
        return commands;
    }
    uint32_t& Option(uint32_t option) { return module.Options()[option]; }
    // Types a value into a box and presses its Set button.
    void SetValue(int edit, const std::string& value, int set) {
        page.Type(edit, value);
        page.Click(set);
        Settle();
    }

    CSystemDlg& page = dlg.systemDlg;
};

TEST_F(ConfigurationTest, SeriesFiveReadFillsThePageInChainOrder) {
    Connect("HLX-M18");
    const std::map<uint32_t, uint32_t> values = {{kOptionGain, 4},
                                                 {kOptionBrightness, 70},
                                                 {kOptionContrast, 130},
                                                 {kOptionVerifyLevel, 6},
                                                 {kOptionIdentifyLevel, 7},
                                                 {kOptionRegisterQuality, 60},
                                                 {kOptionVerifyQuality, 45},
                                                 {kOptionCapturePeriod, 12},
                                                 {kOptionRelayTime, 20},
                                                 {kOptionIdentifyTimeout, 80},
                                                 {kOptionLog, 0},
                                                 {kOptionChannel1Baud, 4},
                                                 {kOptionWiegandProtocol, 2},
                                                 {kOptionSiteCode, 123},
                                                 {kOptionFullRotate, 1},
                                                 {kOptionAdaptiveCapture, 0},
                                                 {kOptionIdLength, 12},
                                                 {kOptionAdaptiveCount, 5},
                                                 {kOptionLatent, 1},
                                                 {kOptionLfdLevel, 2}};
    for (const auto& [option, value] : values) {
        Option(option) = value;
    }
    page.Type(D::kNewPassword, "123");
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabConfiguration);
    EXPECT_EQ(page.Text(D::kNewPassword), "") << "choosing the tab empties the passwords";
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.transferBusy == 0; }, 5000));
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_EQ(AskedOptions(), (std::vector<uint32_t>{0x54, 0x20, 0x22, 0x30, 0x31, 0x32, 0x33, 0x19,
                                                     0x18, 0x17, 0x02, 0x48, 0x49, 0x10, 0x11, 0x51,
                                                     0x21, 0x28, 0x52, 0x53, 0x38, 0xF0}));
    const std::vector<std::pair<int, const char*>> texts = {{D::kGain, "4"},
                                                            {D::kBrightness, "70"},
                                                            {D::kContrast, "130"},
                                                            {D::kVerificationLevel, "6"},
                                                            {D::kIdentificationLevel, "7"},
                                                            {D::kRegisterQuality, "60"},
                                                            {D::kVerifyQuality, "45"},
                                                            {D::kCapturePeriod, "12"},
                                                            {D::kRelayTime, "20"},
                                                            {D::kIdentifyTimeout, "80"},
                                                            {D::kSiteCode, "123"},
                                                            {D::kIdLength, "12"},
                                                            {D::kAdaptiveCount, "5"},
                                                            {D::kLfd, "2"},
                                                            {D::kUserCapacity, ""}};
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(page.Text(id), text) << id;
    }
    EXPECT_TRUE(page.IsChecked(D::kFullRotate));
    EXPECT_TRUE(page.IsChecked(D::kLatent));
    EXPECT_FALSE(page.IsChecked(D::kAdaptiveCapture));
    EXPECT_FALSE(page.IsChecked(D::kLog));
    EXPECT_EQ(page.Selection(D::kChannel0), 0) << "115200 bps";
    EXPECT_EQ(page.Selection(D::kChannel1), 5) << "code 4 is 9600 bps, the last row";
    EXPECT_EQ(page.Selection(D::kProtocol), 2);
    EXPECT_EQ(page.Selection(D::kEmulationMode), 0);
    EXPECT_TRUE(page.IsEnabled(D::kSetRelayTime));
    EXPECT_TRUE(page.IsEnabled(D::kSetChannel1));
    EXPECT_EQ(dlg.idLength, 13) << "the ID length setting plus its terminating zero";
}

TEST_F(ConfigurationTest, LfdModelReadsCountAndCapacityAndChangesTheCount) {
    Connect("HLX-M18_LFD");
    OpenTab();
    EXPECT_EQ(page.Control(D::kTemplateCount).items, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(page.Selection(D::kTemplateCount), 1);
    EXPECT_EQ(page.Text(D::kUserCapacity), "5000");

    page.Select(D::kTemplateCount, 0);
    page.Click(D::kSetTemplateCount);
    Settle();
    EXPECT_EQ(ui.Boxes().front().text, "Set and save template counts succeeded!!");
    EXPECT_EQ(Option(kOptionTemplateMode), 1u);
    EXPECT_EQ(AskedOptions(), (std::vector<uint32_t>{0x50, 0x03}));
    EXPECT_EQ(page.Selection(D::kTemplateCount), 0);
    EXPECT_EQ(page.Text(D::kUserCapacity), "10000");
    EXPECT_EQ(page.templateCountRefreshPending, 0);
    EXPECT_EQ(dlg.templateMode, 1);
}

TEST_F(ConfigurationTest, SeriesOneReadEndsWithCapacityAndTemplateMode) {
    Connect("HLX-M06");
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabConfiguration);
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.transferBusy == 0; }, 5000));
    EXPECT_EQ(AskedOptions(),
              (std::vector<uint32_t>{0x54, 0x20, 0x22, 0x30, 0x31, 0x32, 0x33, 0x19, 0x18, 0x17,
                                     0x02, 0x48, 0x49, 0x10, 0x11, 0x21, 0x28, 0x50, 0x03}));
    EXPECT_EQ(page.Text(D::kIdLength), "4");
    EXPECT_EQ(page.Text(D::kAdaptiveCount), "0");
    EXPECT_EQ(page.Text(D::kUserCapacity), "5000");
    EXPECT_EQ(page.Selection(D::kTemplateCount), 0);
    EXPECT_EQ(page.Text(D::kRegisterQuality), "50");
    EXPECT_EQ(dlg.idLength, 11);
}

TEST_F(ConfigurationTest, OlderModuleReadsFixedPurposeOptionsThenTheShortChain) {
    Connect("HLX-M05");
    Option(kOptionGain) = 3;
    Option(kOptionBrightness) = 50;
    Option(kOptionContrast) = 90;
    Option(kOptionVerifyLevel) = 8;
    Option(kOptionIdentifyLevel) = 2;
    Option(kOptionAdaptiveCapture) = 0;
    Option(kOptionCapturePeriod) = 14;
    Option(kOptionFullRotate) = 1;
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabConfiguration);
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.transferBusy == 0; }, 5000));
    EXPECT_EQ(Commands(), (std::vector<uint32_t>{
                              CMD_GET_SYSTEM_OPTION, CMD_GET_SENSOR_OPTION, CMD_GET_SECURITY_LEVEL,
                              CMD_GET_LATENT_ADAPTIVE, CMD_GET_LATENT_ADAPTIVE, CMD_GET_LOG_OPTION,
                              CMD_GET_LOG_OPTION_EX, CMD_GET_SYSTEM_OPTION, CMD_GET_SYSTEM_OPTION,
                              CMD_GET_SYSTEM_OPTION, CMD_GET_SYSTEM_OPTION}));
    EXPECT_EQ(AskedOptions(), (std::vector<uint32_t>{0x54, 0x32, 0x33, 0x17, 0x51}));
    EXPECT_EQ(module.Requests()[3].param1, 1u) << "latent first";
    EXPECT_EQ(module.Requests()[4].param1, 2u) << "then adaptive capture";
    const std::vector<std::pair<int, const char*>> texts = {{D::kGain, "3"},
                                                            {D::kBrightness, "50"},
                                                            {D::kContrast, "90"},
                                                            {D::kVerificationLevel, "8"},
                                                            {D::kIdentificationLevel, "2"},
                                                            {D::kCapturePeriod, "14"},
                                                            {D::kRegisterQuality, "50"},
                                                            {D::kVerifyQuality, "40"},
                                                            {D::kIdentifyTimeout, "50"},
                                                            {D::kRelayTime, "0"},
                                                            {D::kSiteCode, "0"},
                                                            {D::kUserCapacity, ""}};
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(page.Text(id), text) << id;
    }
    EXPECT_TRUE(page.IsChecked(D::kFullRotate));
    EXPECT_TRUE(page.IsChecked(D::kLatent));
    EXPECT_FALSE(page.IsChecked(D::kAdaptiveCapture));
    EXPECT_TRUE(page.IsChecked(D::kLog));
    EXPECT_EQ(dlg.configuration.shortChain, 0);
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(ConfigurationTest, EmulationModeChangeResetsThePagesAndReadsEverythingAgain) {
    Connect("HLX-M18");
    OpenTab();
    EXPECT_EQ(page.Text(D::kIdLength), "15");
    Option(kOptionChannel1Baud) = 2;
    page.Select(D::kEmulationMode, 2);
    page.Click(D::kSetEmulationMode);
    EXPECT_EQ(module.Requests().back().param1, 2u);
    Settle();
    ASSERT_FALSE(ui.Boxes().empty());
    EXPECT_EQ(ui.Boxes().front().text, "Set system option succeeded!!");
    EXPECT_EQ(ui.Boxes().size(), 1u) << "no connection box: the chain only refreshes";
    EXPECT_EQ(Option(kOptionEmulationMode), 2u);
    EXPECT_EQ(dlg.emulationMode, 2u);
    EXPECT_EQ(dlg.idLength, 10);
    EXPECT_EQ(dlg.templateMode, 2);
    EXPECT_EQ(dlg.basicDlg.Text(CBasicDlg::kEnterMaster), "Leave master mode");
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kEnterMaster), "Leave Master");
    EXPECT_TRUE(dlg.basicDlg.IsEnabled(CBasicDlg::kRegister));
    EXPECT_TRUE(dlg.imageDlg.IsEnabled(CImageDlg::kUserRegister));
    // Module information, status, then the older modules' read with channel 1.
    const std::vector<uint32_t> commands = Commands();
    EXPECT_EQ(std::vector<uint32_t>(commands.begin(), commands.begin() + 4),
              (std::vector<uint32_t>{CMD_SET_EMULATION_MODE, CMD_GET_SYSTEM_INFO, CMD_GET_STATUS,
                                     CMD_GET_SENSOR_OPTION}));
    EXPECT_EQ(AskedOptions(), (std::vector<uint32_t>{0x32, 0x33, 0x17, 0x51, 0x49}));
    EXPECT_EQ(page.optionRefresh, 0);
    EXPECT_EQ(page.Selection(D::kEmulationMode), 2);
    EXPECT_EQ(page.Selection(D::kChannel1), 2);
    EXPECT_EQ(page.Text(D::kIdLength), "4") << "the cleared page";

    // Back to the module's own mode: the full read, and its own ID length.
    module.ClearRequests();
    ui.ClearRecords();
    page.Select(D::kEmulationMode, 0);
    page.Click(D::kSetEmulationMode);
    EXPECT_EQ(module.Requests().back().param1, 0xFFu) << "\"Not Used\" is sent as 0xFF";
    Settle();
    EXPECT_EQ(dlg.emulationMode, 255u);
    EXPECT_EQ(AskedOptions().front(), 0x20u);
    EXPECT_EQ(AskedOptions().back(), 0xF0u);
    EXPECT_EQ(dlg.idLength, 16);
    EXPECT_EQ(page.Text(D::kIdLength), "15");
}

TEST_F(ConfigurationTest, EmulationModeRefusedWithUsersReadsTheModuleAsItStands) {
    Connect("HLX-M18");
    OpenTab();
    module.UserDb().Seed(3);
    page.Select(D::kEmulationMode, 1);
    page.Click(D::kSetEmulationMode);
    Settle();
    ASSERT_FALSE(ui.Boxes().empty());
    EXPECT_EQ(ui.Boxes().front().text, "DB is not empty!!!");
    EXPECT_EQ(ui.Boxes().front().icon, EIcon::Stop);
    EXPECT_EQ(dlg.emulationMode, 255u);
    EXPECT_EQ(Commands()[1], CMD_GET_SYSTEM_INFO);
    EXPECT_EQ(AskedOptions().front(), 0x20u) << "the page is read again";
    EXPECT_EQ(page.Selection(D::kEmulationMode), 0);
    EXPECT_EQ(page.optionRefresh, 0);
}

TEST_F(ConfigurationTest, SetActionsOfANewerModuleChangeTheModuleOptions) {
    Connect("HLX-M18");
    OpenTab();
    struct SCase {
        int edit;
        const char* value;
        int set;
        uint32_t option;
    };
    for (const SCase& c :
         {SCase{D::kGain, "5", D::kSetGain, kOptionGain},
          SCase{D::kBrightness, "33", D::kSetBrightness, kOptionBrightness},
          SCase{D::kContrast, "99", D::kSetContrast, kOptionContrast},
          SCase{D::kVerificationLevel, "3", D::kSetVerificationLevel, kOptionVerifyLevel},
          SCase{D::kIdentificationLevel, "9", D::kSetIdentificationLevel, kOptionIdentifyLevel},
          SCase{D::kRegisterQuality, "30", D::kSetRegisterQuality, kOptionRegisterQuality},
          SCase{D::kVerifyQuality, "100", D::kSetVerifyQuality, kOptionVerifyQuality},
          SCase{D::kCapturePeriod, "0", D::kSetCapturePeriod, kOptionCapturePeriod},
          SCase{D::kRelayTime, "7", D::kSetRelayTime, kOptionRelayTime},
          SCase{D::kIdentifyTimeout, "10", D::kSetIdentifyTimeout, kOptionIdentifyTimeout},
          SCase{D::kSiteCode, "4321", D::kSetSiteCode, kOptionSiteCode},
          SCase{D::kAdaptiveCount, "9", D::kSetAdaptiveCount, kOptionAdaptiveCount}}) {
        ui.ClearRecords();
        SetValue(c.edit, c.value, c.set);
        EXPECT_EQ(Option(c.option), std::stoul(c.value)) << c.edit;
        EXPECT_EQ(ui.LastBoxText(), "Set system option succeeded!!") << c.edit;
    }
    for (auto [check, option] :
         {std::pair{D::kLatent, kOptionLatent},
          std::pair{D::kAdaptiveCapture, kOptionAdaptiveCapture},
          std::pair{D::kFullRotate, kOptionFullRotate}, std::pair{D::kLog, kOptionLog}}) {
        const uint32_t before = Option(option);
        page.Click(check);
        Settle();
        EXPECT_EQ(Option(option), before == 0 ? 1u : 0u) << check;
    }
    page.Select(D::kProtocol, 1);
    page.Click(D::kSetProtocol);
    Settle();
    EXPECT_EQ(Option(kOptionWiegandProtocol), 1u);

    SetValue(D::kIdLength, "8", D::kSetIdLength);
    EXPECT_EQ(module.Requests().back().command, CMD_SET_ID_LENGTH);
    EXPECT_EQ(Option(kOptionIdLength), 8u);
    EXPECT_EQ(dlg.idLength, 9) << "later ID fields are nine bytes";
    EXPECT_EQ(ui.LastBoxText(), "Set system option succeeded!!");
}

TEST_F(ConfigurationTest, ChannelRowsAreSentAsBaudCodesAndTheLineMustBeJoinedAgain) {
    Connect("HLX-M18");
    OpenTab();
    page.Select(D::kChannel1, 4);
    page.Click(D::kSetChannel1);
    Settle();
    EXPECT_EQ(module.Requests().back().param2, 5u) << "14400 bps is code 5";
    EXPECT_EQ(Option(kOptionChannel1Baud), 5u);
    EXPECT_EQ(ui.LastBoxText(),
              "Succeeded! Reconnection is essentially required to use this baudrate.");
    EXPECT_FALSE(page.IsEnabled(D::kGetSystemInfo));
    EXPECT_FALSE(page.IsEnabled(D::kSaveSystemInfo));

    page.Select(D::kChannel0, 5);
    page.Click(D::kSetChannel0);
    Settle();
    EXPECT_EQ(module.Requests().back().param2, 4u) << "9600 bps is code 4";
    EXPECT_EQ(module.Config().baudRate, 9600u);
    // A tab change does not read through a line the module has left.
    module.ClearRequests();
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabMain);
    dlg.Select(CSondrixDlg::kTabs, CSondrixDlg::kTabConfiguration);
    EXPECT_TRUE(module.Requests().empty());
    EXPECT_EQ(dlg.transferBusy, 0);

    // A new connection finds the module at its new rate.
    dlg.imageDlg.Click(CImageDlg::kConnect);
    ui.ClearRecords();
    dlg.imageDlg.Click(CImageDlg::kConnect);
    ASSERT_TRUE(
        loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 10000));
    EXPECT_EQ(dlg.baudRate, 9600u);
}

TEST_F(ConfigurationTest, OlderModuleSetActionsUseTheFixedPurposeCommands) {
    Connect("HLX-M05");
    OpenTab();
    page.Type(D::kBrightness, "61");
    page.Type(D::kContrast, "101");
    SetValue(D::kGain, "4", D::kSetGain);
    EXPECT_EQ(module.Requests().back().command, CMD_SET_SENSOR_OPTION);
    EXPECT_EQ(module.Requests().back().param2, uint32_t{4 << 16 | 61 << 8 | 101});
    EXPECT_EQ(Option(kOptionBrightness), 61u);
    EXPECT_EQ(ui.LastBoxText(), "Set system option succeeded!!");

    page.Type(D::kVerificationLevel, "6");
    SetValue(D::kIdentificationLevel, "3", D::kSetIdentificationLevel);
    EXPECT_EQ(module.Requests().back().command, CMD_SET_SECURITY_LEVEL);
    EXPECT_EQ(module.Requests().back().param2, uint32_t{6 << 16 | 3});

    SetValue(D::kCapturePeriod, "21", D::kSetCapturePeriod);
    EXPECT_EQ(module.Requests().back().command, CMD_SET_CAPTURE_PERIOD);
    EXPECT_EQ(Option(kOptionCapturePeriod), 21u);
    SetValue(D::kLfd, "4", D::kSetLfd);
    EXPECT_EQ(module.Requests().back().command, CMD_SET_LFD_LEVEL);
    EXPECT_EQ(Option(kOptionLfdLevel), 4u);

    for (auto [check, command, param1] :
         {std::tuple{D::kLatent, CMD_SET_LATENT_ADAPTIVE, 1u},
          std::tuple{D::kAdaptiveCapture, CMD_SET_LATENT_ADAPTIVE, 2u},
          std::tuple{D::kLog, CMD_SET_LOG_OPTION, 0u}}) {
        page.Click(check);
        Settle();
        EXPECT_EQ(module.Requests().back().command, command);
        EXPECT_EQ(module.Requests().back().param1, param1);
        EXPECT_EQ(module.Requests().back().param2, page.IsChecked(check) ? 1u : 0u);
    }

    // Series 2 sets its line speed with the baud-rate command.
    ui.ClearRecords();
    page.Select(D::kChannel1, 5);
    page.Click(D::kSetChannel1);
    Settle();
    EXPECT_EQ(module.Requests().back().command, CMD_SET_BAUD_RATE);
    EXPECT_EQ(module.Requests().back().param2, 4u);
    EXPECT_EQ(module.Config().baudRate, 9600u);
    EXPECT_EQ(ui.LastBoxText(),
              "Succeeded! Reconnection is essentially required to use this baudrate.");
}

TEST_F(ConfigurationTest, RangeAndInputChecksSendNothing) {
    Connect("HLX-M18");
    OpenTab();
    struct SCase {
        int edit;
        const char* value;
        int set;
        const char* text;
    };
    for (const SCase& c :
         {SCase{D::kRegisterQuality, "29", D::kSetRegisterQuality,
                "Please input the correct value. (Range: 30 ~ 100)"},
          SCase{D::kRegisterQuality, "101", D::kSetRegisterQuality,
                "Please input the correct value. (Range: 30 ~ 100)"},
          SCase{D::kVerifyQuality, "9", D::kSetVerifyQuality,
                "Please input the correct value. (Range: 10 ~ 100)"},
          SCase{D::kIdentifyTimeout, "9", D::kSetIdentifyTimeout,
                "Please input the correct value. (Range: 10 ~ 255)"},
          SCase{D::kIdentifyTimeout, "256", D::kSetIdentifyTimeout,
                "Please input the correct value. (Range: 10 ~ 255)"},
          SCase{D::kCapturePeriod, "-1", D::kSetCapturePeriod, "Invalid Parameter!!!"},
          SCase{D::kGain, "", D::kSetGain, "Please input the numeral character only."}}) {
        ui.ClearRecords();
        SetValue(c.edit, c.value, c.set);
        ASSERT_EQ(ui.Boxes().size(), 1u) << c.value;
        EXPECT_EQ(ui.Boxes()[0].text, c.text);
        EXPECT_EQ(page.Text(c.edit), c.value) << "the typed value stays";
    }
    EXPECT_EQ(module.RequestCount(CMD_SET_SYSTEM_OPTION), 0u);
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::None);

    // A letter is refused as it is typed; the box returns to its value.
    ui.ClearRecords();
    page.Type(D::kGain, "12a");
    EXPECT_EQ(ui.LastBoxText(), "Please input the numeral character only.");
    EXPECT_EQ(page.Text(D::kGain), std::to_string(page.gain));
    page.Type(D::kSiteCode, "7x");
    EXPECT_EQ(ui.Boxes().size(), 1u) << "the site code is not checked as it is typed";

    // What the page lets through, the module may still refuse.
    ui.ClearRecords();
    SetValue(D::kGain, "8", D::kSetGain);
    EXPECT_EQ(ui.LastBoxText(), "Invalid Parameter!!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_EQ(Option(kOptionGain), 2u);
}

TEST_F(ConfigurationTest, MasterPasswordIsCheckedSetAndDeleted) {
    Connect("HLX-M18");
    OpenTab();
    struct SCase {
        const char* password;
        const char* confirm;
        const char* text;
    };
    const std::string sixteen(16, '7');
    for (const SCase& c :
         {SCase{"", "123", "Please type the password in both boxes"},
          SCase{"123", "", "Please type the password in both boxes"},
          SCase{"123", "124",
                "Both passwords are not matched. Please retype your password in both boxes"},
          SCase{sixteen.c_str(), sixteen.c_str(), "Too Long Data!!"}}) {
        ui.ClearRecords();
        page.Type(D::kNewPassword, c.password);
        page.Type(D::kConfirmPassword, c.confirm);
        page.Click(D::kSetPassword);
        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, c.text);
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    }
    EXPECT_EQ(module.RequestCount(CMD_SET_MASTER_PASSWORD), 0u);

    const std::string fifteen = "123456789012345";
    page.Type(D::kNewPassword, fifteen);
    page.Type(D::kConfirmPassword, fifteen);
    page.Click(D::kSetPassword);
    Settle();
    EXPECT_EQ(ui.LastBoxText(), "Set master password succeeded!!");
    EXPECT_EQ(module.Configuration().MasterPassword(),
              std::vector<uint8_t>(fifteen.begin(), fifteen.end()));
    EXPECT_EQ(page.Text(D::kNewPassword), "");
    EXPECT_EQ(page.Text(D::kConfirmPassword), "");

    ui.QueueAnswer(EAnswer::No);
    page.Click(D::kDeletePassword);
    Settle();
    EXPECT_EQ(ui.LastBoxText(), "Are you sure to delete master password?");
    EXPECT_EQ(module.RequestCount(CMD_DELETE_MASTER_PASSWORD), 0u);
    page.Click(D::kDeletePassword);
    Settle();
    EXPECT_EQ(ui.LastBoxText(), "Delete master password succeeded!!");
    EXPECT_TRUE(module.Configuration().MasterPassword().empty());

    module.Faults().forcedResult = 2;
    page.Type(D::kNewPassword, "1");
    page.Type(D::kConfirmPassword, "1");
    page.Click(D::kSetPassword);
    Settle();
    EXPECT_EQ(ui.LastBoxText(), "Set master password failed!!");
    EXPECT_EQ(page.Text(D::kNewPassword), "1") << "a failure keeps what was typed";
}

TEST_F(ConfigurationTest, SaveAndDefaultsOfANewerModule) {
    Connect("HLX-M18");
    OpenTab();
    SetValue(D::kVerifyQuality, "77", D::kSetVerifyQuality);
    ui.QueueAnswer(EAnswer::No);
    page.Click(D::kSaveSystemInfo);
    Settle();
    EXPECT_EQ(module.RequestCount(CMD_SAVE_SYSTEM_OPTIONS), 0u);
    page.Click(D::kSaveSystemInfo);
    Settle();
    EXPECT_EQ(ui.Boxes().back().text, "System options are successfully saved.");
    EXPECT_EQ(module.Configuration().SavedOptions().at(kOptionVerifyQuality), 77u);

    ui.ClearRecords();
    module.ClearRequests();
    page.Click(D::kSetDefault);
    EXPECT_EQ(dlg.transferBusy, 1);
    Settle();
    EXPECT_EQ(ui.Boxes().front().text, "Set default system options succeeded!!");
    EXPECT_EQ(AskedOptions().front(), 0x20u);
    EXPECT_EQ(page.Text(D::kVerifyQuality), "40") << "the module's default, read back";
    EXPECT_EQ(dlg.transferBusy, 0);

    module.Faults().forcedResult = 2;
    page.Click(D::kSaveSystemInfo);
    Settle();
    EXPECT_EQ(ui.Boxes().back().text, "Failed to save system options.");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
}

TEST_F(ConfigurationTest, DefaultsOfAnOlderModuleAreConfirmedByTheirRead) {
    Connect("HLX-M05");
    OpenTab();
    Option(kOptionRegisterQuality) = 90;
    page.Click(D::kSetDefault);
    Settle();
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Get default option succeeded!!");
    EXPECT_EQ(module.Requests()[1].command, CMD_GET_SENSOR_OPTION);
    EXPECT_EQ(page.Text(D::kRegisterQuality), "50");
    EXPECT_EQ(page.defaultsPending, 0);
}

TEST_F(ConfigurationTest, AFailedStepEndsTheReadAndKeepsThePage) {
    Connect("HLX-M18");
    OpenTab();
    const std::string before = page.Text(D::kRegisterQuality);
    Option(kOptionRegisterQuality) = 66;
    module.Options().erase(kOptionVerifyQuality);
    page.Click(D::kGetSystemInfo);
    Settle();
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Invalid Parameter!!!");
    EXPECT_EQ(AskedOptions().back(), 0x33u);
    EXPECT_EQ(page.Text(D::kRegisterQuality), before);
    EXPECT_EQ(dlg.transferBusy, 0) << "the tracer shows packets again";
}

}  // namespace
}  // namespace sondrix
