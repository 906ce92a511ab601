// The Authentication&User page against the simulated module, in process and
// on virtual time: master mode, registration, matching, templates,
// modification, deletion and Auto-On through the real code path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_matching.h"
#include "support/recording_dialog.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class UsersTest : public ::testing::Test, protected test::CSimSession {
  protected:
    UsersTest() {
        module.UserDb().Seed(3);
        // A box whose text is listed here lays that finger on the sensor
        // while it is open, as the person does between two scans.
        ui.SetBoxObserver([this](const CScriptedUiHost::SBox& box) {
            const auto it = fingerOnBox.find(box.text);
            if (it != fingerOnBox.end()) {
                module.PlaceFinger(it->second);
            }
        });
    }

    void Connect(const char* model) {
        ASSERT_TRUE(ConnectTo(model));
        Settle();
    }
    // Lets every answer arrive, then forgets what happened so far.
    void Settle() {
        loop.RunFor(2000);
        module.ClearRequests();
        ui.ClearRecords();
    }
    void EnterMaster() {
        Auth().Click(CBasicDlg::kEnterMaster);
        ASSERT_TRUE(WaitForLine("Enter master mode succeeded!!"));
        Settle();
    }
    bool WaitForLine(const std::string& text) {
        return loop.RunUntil([&] { return Line() == text; }, 20000);
    }
    bool WaitForBox(const std::string& text) {
        return loop.RunUntil([&] { return HasBox(text); }, 20000);
    }
    bool HasBox(const std::string& text) const {
        return std::ranges::any_of(ui.Boxes(), [&](const auto& box) { return box.text == text; });
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : ui.Boxes()) {
            texts.push_back(box.text);
        }
        return texts;
    }
    std::vector<uint32_t> Param2Of(uint32_t command) const {
        std::vector<uint32_t> values;
        for (const SSimRequest& r : module.Requests()) {
            if (r.command == command) {
                values.push_back(r.param2);
            }
        }
        return values;
    }
    const SSimRequest* FirstRequest(uint32_t command) const {
        const auto& all = module.Requests();
        const auto it = std::find_if(all.begin(), all.end(), [command](const SSimRequest& r) {
            return r.command == command;
        });
        return it == all.end() ? nullptr : &*it;
    }
    const SSimRequest* LastRequest(uint32_t command) const {
        const auto& all = module.Requests();
        const auto it = std::find_if(all.rbegin(), all.rend(), [command](const SSimRequest& r) {
            return r.command == command;
        });
        return it == all.rend() ? nullptr : &*it;
    }
    std::string Line() const { return dlg.Text(CSondrixDlg::kMessageLine); }
    CBasicDlg& Auth() { return dlg.basicDlg; }
    SSimUser* User(const std::string& id) { return module.UserDb().Find(Text(id)); }
    void MakeMaster(const std::string& id, const std::string& password) {
        SSimUser* user = User(id);
        ASSERT_NE(user, nullptr);
        user->authority = 1;
        user->password = Text(password);
    }
    std::string WriteTemplate(const std::string& name, const SFinger& finger, size_t size = 404) {
        const auto path = folder / name;
        test::WriteBytes(path, MakeTemplate(finger, size, kTemplateDravik));
        return path.string();
    }
    // Sets the module's master password as the Configuration tab would.
    void SetMasterPassword(const std::string& password) {
        Bytes field(16, 0);
        std::copy(password.begin(), password.end(), field.begin());
        const Bytes wire = test::Wire(CMD_SET_MASTER_PASSWORD, 0, 0, field);
        module.Receive(wire.data(), wire.size());
    }

    test::CTempFolder folder;
    std::map<std::string, FingerOnSensor> fingerOnBox;
};

TEST_F(UsersTest, MasterModeOpensTheUserControlsAndClosesThemAgain) {
    Connect("HLX-M18");
    for (int id : CBasicDlg::kMasterControls) {
        EXPECT_FALSE(Auth().IsEnabled(id)) << id;
    }
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Enter master mode succeeded!!"));
    EXPECT_TRUE(ui.Boxes().empty()) << "a module without masters lets the plain request in";
    EXPECT_EQ(dlg.masterMode, 1);
    EXPECT_EQ(Auth().Text(CBasicDlg::kEnterMaster), "Leave master mode");
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kEnterMaster), "Leave Master");
    EXPECT_TRUE(dlg.imageDlg.IsEnabled(CImageDlg::kUserRegister));
    for (int id : {CBasicDlg::kRegistrationId, CBasicDlg::kPassword, CBasicDlg::kRegister,
                   CBasicDlg::kModificationType, CBasicDlg::kDeleteAll}) {
        EXPECT_TRUE(Auth().IsEnabled(id)) << id;
    }
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kDifferentFinger)) << "series 5 scans the same finger";
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kDelete)) << "no deletion ID typed yet";
    Auth().Type(CBasicDlg::kDeletionId, "2");
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kDelete));

    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Leave master mode succeeded!!"));
    EXPECT_EQ(dlg.masterMode, 0);
    EXPECT_FALSE(module.Matching().MasterMode());
    EXPECT_EQ(Auth().Text(CBasicDlg::kEnterMaster), "Enter master mode");
    EXPECT_EQ(dlg.imageDlg.Text(CImageDlg::kEnterMaster), "Enter Master");
    EXPECT_FALSE(dlg.imageDlg.IsEnabled(CImageDlg::kUserRegister));
    for (int id : CBasicDlg::kMasterControls) {
        EXPECT_FALSE(Auth().IsEnabled(id)) << id;
    }
}

TEST_F(UsersTest, EachMasterMethodAsksForItsCredential) {
    Connect("HLX-M18");
    MakeMaster("2", "2468");
    const std::string templ = WriteTemplate("master.min", SFinger{2, 0});

    // Fingerprint: the master's finger lies on the sensor.
    module.PlaceFinger(SFinger{2, 0});
    ui.QueuePopupAnswer(true, "2");
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Enter master mode succeeded!!"));
    EXPECT_EQ(dlg.popupId.Text(CPopupIdDlg::kPrompt), "Input your ID");
    EXPECT_EQ(Param2Of(CMD_ENTER_MASTER_MODE).size(), 2u);
    EXPECT_EQ(LastRequest(CMD_ENTER_MASTER_MODE)->param1, 0u);
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Leave master mode succeeded!!"));

    // The wrong finger is turned away.
    module.PlaceFinger(SFinger{3, 0});
    ui.QueuePopupAnswer(true, "2");
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForBox("Enter master mode failed!!"));
    EXPECT_EQ(dlg.masterMode, 0);

    // Password: the ID, then the master's password, masked.
    Auth().Click(CBasicDlg::kPwMatching);
    EXPECT_FALSE(Auth().IsChecked(CBasicDlg::kFpMatching));
    ui.QueuePopupAnswer(true, "2");
    ui.QueuePopupAnswer(true, "2468");
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Enter master mode succeeded!!"));
    EXPECT_EQ(dlg.popupId.masked, 1);
    Bytes expected(16 + 16, 0);
    std::memcpy(expected.data(), "2", 1);
    std::memcpy(expected.data() + 16, "2468", 4);
    EXPECT_EQ(LastRequest(CMD_ENTER_MASTER_MODE)->data, expected);
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Leave master mode succeeded!!"));

    // Instant matching: the ID and a .min file of the master's finger.
    Auth().Click(CBasicDlg::kInstantMatchingMethod);
    ui.QueuePopupAnswer(true, "2");
    ui.QueueFiles({templ});
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Enter master mode succeeded!!"));
    EXPECT_EQ(LastRequest(CMD_ENTER_MASTER_MODE)->data.size(), 16u + 404u);
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Leave master mode succeeded!!"));

    // Device password: only the module's master password counts.
    SetMasterPassword("9999");
    Auth().Click(CBasicDlg::kDevicePassword);
    ui.ClearRecords();
    ui.QueuePopupAnswer(true, "1111");
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForBox("Enter master mode failed!!"));
    ui.QueuePopupAnswer(true, "9999");
    Auth().Click(CBasicDlg::kEnterMaster);
    ASSERT_TRUE(WaitForLine("Enter master mode succeeded!!"));
    EXPECT_EQ(LastRequest(CMD_ENTER_MASTER_MODE)->param1, 2u);
}

TEST_F(UsersTest, MainTabEntryPointsToThisPageWhenTheModuleWantsACredential) {
    Connect("HLX-M18");
    MakeMaster("1", "1");
    dlg.imageDlg.Click(CImageDlg::kEnterMaster);
    ASSERT_TRUE(
        WaitForBox("Any master information has been registered!!\nPlease try master "
                   "authentication in \"Authentication&User\" tab."));
    EXPECT_EQ(dlg.imageDlg.masterEntry, 0);
    EXPECT_TRUE(ui.ModalPopups().empty()) << "no credential is asked for there";
    EXPECT_EQ(dlg.masterMode, 0);
}

// Series 5 without emulation registers finger after finger with CMD_REGISTER_STEP.
TEST_F(UsersTest, StepRegistrationStoresTwoFingersThatThenMatch) {
    Connect("HLX-M18");
    EnterMaster();
    Auth().Type(CBasicDlg::kRegistrationId, "1234");
    Auth().Type(CBasicDlg::kPassword, "5678");
    module.PlaceFinger(SFinger{7, 2});
    fingerOnBox["Would you like register more finger?"] = SFinger{7, 3};
    // Lift, more (Yes), lift, more (No), then the success box.
    for (EAnswer answer : {EAnswer::Ok, EAnswer::Yes, EAnswer::Ok, EAnswer::No}) {
        ui.QueueAnswer(answer);
    }
    Auth().Click(CBasicDlg::kRegister);
    EXPECT_EQ(Line(), "Place your finger on the sensor.");
    ASSERT_TRUE(WaitForBox("Register succeeded!!"));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                              "Lift your fingertip!", "Would you like register more finger?",
                              "Lift your fingertip!", "Would you like register more finger?",
                              "Register succeeded!!"}));
    EXPECT_EQ(Param2Of(CMD_REGISTER_STEP), (std::vector<uint32_t>{0x00, 0x02, 0x10, 0x12, 0x04}));
    const SSimRequest* first = &module.Requests().front();
    ASSERT_EQ(first->command, CMD_REGISTER_STEP);
    ASSERT_EQ(first->data.size(), 16u + 16u) << "ID field of n bytes and the password field";
    EXPECT_EQ(std::string(first->data.begin(), first->data.begin() + 5), std::string("1234\0", 5));
    EXPECT_EQ(module.RequestCount(CMD_GET_IMAGE_QUALITY), 4u);
    const SSimUser* user = User("1234");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->fingers, (std::vector<SFinger>{{7, 2}, {7, 3}}));
    EXPECT_EQ(user->password, Text("5678"));
    EXPECT_EQ(Auth().Text(CBasicDlg::kRegistrationId), "");
    EXPECT_EQ(Auth().Text(CBasicDlg::kPassword), "");

    // Identification finds the second finger.
    ui.ClearRecords();
    Auth().Click(CBasicDlg::kIdentification);
    ASSERT_TRUE(WaitForLine("Image Quality = " + std::to_string(ImageQuality(SFinger{7, 3}))));
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"Identification Succeeded!!! (ID : 1234, Index : 1)"});

    // Verification with the first finger, then with a finger of someone else.
    module.PlaceFinger(SFinger{7, 2});
    ui.ClearRecords();
    ui.QueuePopupAnswer(true, "1234");
    Auth().Click(CBasicDlg::kVerification);
    ASSERT_TRUE(WaitForBox("Verification Succeeded!!! (Index : 0)"));
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Information);
    ASSERT_TRUE(WaitForLine("Image Quality = " + std::to_string(ImageQuality(SFinger{7, 2}))));
    module.PlaceFinger(SFinger{8, 0});
    ui.QueuePopupAnswer(true, "1234");
    Auth().Click(CBasicDlg::kVerification);
    ASSERT_TRUE(WaitForBox("Verification Failed!!!"));
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    ui.ClearRecords();
    Auth().Click(CBasicDlg::kIdentification);
    ASSERT_TRUE(WaitForBox("Identification Failed!!!"));

    // Password verification needs no finger.
    module.PlaceFinger(kNoFinger);
    Auth().Click(CBasicDlg::kPwVerification);
    ui.ClearRecords();
    ui.QueuePopupAnswer(true, "1234");
    ui.QueuePopupAnswer(true, "5678");
    Auth().Click(CBasicDlg::kVerification);
    ASSERT_TRUE(WaitForBox("Verification Succeeded!!! (Index : 0)"));
    EXPECT_EQ(LastRequest(CMD_VERIFY)->param1, 1u);
    ui.ClearRecords();
    ui.QueuePopupAnswer(true, "1234");
    ui.QueuePopupAnswer(true, "5679");
    Auth().Click(CBasicDlg::kVerification);
    ASSERT_TRUE(WaitForBox("Verification Failed!!!"));
    ui.QueuePopupAnswer(true, "4321");
    ui.QueuePopupAnswer(true, "5678");
    Auth().Click(CBasicDlg::kVerification);
    ASSERT_TRUE(WaitForBox("Invalid ID!!!")) << "the module's own result text";
}

TEST_F(UsersTest, StepRegistrationOffersToGoOnAfterAFailedScan) {
    Connect("HLX-M18");
    EnterMaster();
    Auth().Type(CBasicDlg::kRegistrationId, "4455");
    module.PlaceFinger(SFinger{5, 5});
    // The finger is lifted for good after the first scan: the second times out.
    fingerOnBox["Lift your fingertip!"] = kNoFinger;
    fingerOnBox["Do you want to register current account continuously?"] = SFinger{5, 5};
    ui.QueueAnswer(EAnswer::Ok);   // lift
    ui.QueueAnswer(EAnswer::Ok);   // "Capture Time Out!!!"
    ui.QueueAnswer(EAnswer::Yes);  // go on
    Auth().Click(CBasicDlg::kRegister);
    ASSERT_TRUE(WaitForBox("Do you want to register current account continuously?"));
    fingerOnBox.erase("Lift your fingertip!");
    ui.QueueAnswer(EAnswer::Ok);  // lift
    ui.QueueAnswer(EAnswer::No);  // no more fingers
    ASSERT_TRUE(WaitForBox("Register succeeded!!"));
    EXPECT_EQ(BoxTexts()[1], "Capture Time Out!!!");
    EXPECT_EQ(Param2Of(CMD_REGISTER_STEP), (std::vector<uint32_t>{0x00, 0x02, 0x00, 0x02, 0x04}));
    EXPECT_EQ(User("4455")->fingers, (std::vector<SFinger>{SFinger{5, 5}}));

    // An ID shorter than four characters is refused before anything is sent.
    module.ClearRequests();
    Auth().Type(CBasicDlg::kRegistrationId, "12");
    Auth().Click(CBasicDlg::kRegister);
    EXPECT_EQ(ui.LastBoxText(), "Plz check length of ID.\r\nThe length of ID need to be 4 or more");
    loop.RunFor(500);
    EXPECT_TRUE(module.Requests().empty());
}

// HLX-SA emulation reads the template mode first, then registers with CMD_REGISTER.
class RegisterFlowATest : public UsersTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(RegisterFlowATest, RegistersOneOrTwoFingersByTheTemplateMode) {
    const uint32_t mode = GetParam();
    module.Options()[kOptionEmulationMode] = 1;
    module.Options()[kOptionTemplateMode] = mode;
    Connect("HLX-M18");
    EnterMaster();
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kDifferentFinger)) << "the older protocol offers it";
    Auth().Type(CBasicDlg::kRegistrationId, "77");
    Auth().Type(CBasicDlg::kPassword, "1");
    module.PlaceFinger(SFinger{3, 1});
    fingerOnBox["Second finger register!"] = SFinger{3, 2};
    Auth().Click(CBasicDlg::kRegister);
    ASSERT_EQ(module.Requests().size(), 1u);
    EXPECT_EQ(module.Requests()[0].command, CMD_GET_SYSTEM_OPTION);
    EXPECT_EQ(module.Requests()[0].param1, kOptionTemplateMode);
    ASSERT_TRUE(WaitForBox("Register succeeded!!"));
    loop.RunFor(1000);
    const SSimRequest* first = FirstRequest(CMD_REGISTER);
    ASSERT_NE(first, nullptr);
    Bytes block(27, 0);
    std::memcpy(block.data(), "77", 2);
    block[11] = '1';
    EXPECT_EQ(first->data, block) << "an 11-byte ID field and a 16-byte password field";
    EXPECT_EQ(dlg.templateMode, static_cast<int>(mode));
    if (mode == 2) {
        EXPECT_EQ(BoxTexts(),
                  (std::vector<std::string>{"Lift your fingertip!", "Register succeeded!!"}));
        EXPECT_EQ(Param2Of(CMD_REGISTER), (std::vector<uint32_t>{0, 1}));
        EXPECT_EQ(User("77")->fingers, (std::vector<SFinger>{SFinger{3, 1}}));
    } else {
        EXPECT_EQ(BoxTexts(),
                  (std::vector<std::string>{"First finger register!", "Lift your fingertip!",
                                            "Second finger register!", "Lift your fingertip!",
                                            "Register succeeded!!"}));
        EXPECT_EQ(Param2Of(CMD_REGISTER), (std::vector<uint32_t>{0, 1, 3, 4}));
        EXPECT_EQ(User("77")->fingers, (std::vector<SFinger>{{3, 1}, {3, 2}}));
    }
    EXPECT_EQ(module.RequestCount(CMD_GET_IMAGE_QUALITY), mode == 2 ? 2u : 4u);

    // The older protocol's identification answer: an 11-byte ID field.
    ui.ClearRecords();
    Auth().Click(CBasicDlg::kIdentification);
    ASSERT_TRUE(WaitForBox(std::string("Identification Succeeded!!! (ID : 77, Index : ") +
                           (mode == 2 ? "0)" : "1)")));
}

INSTANTIATE_TEST_SUITE_P(TemplateModes, RegisterFlowATest, ::testing::Values(2u, 4u));

TEST_F(UsersTest, AnotherFingerAtTheSecondScanAbandonsTheRegistration) {
    module.Options()[kOptionEmulationMode] = 1;
    Connect("HLX-M18");
    EnterMaster();
    Auth().Type(CBasicDlg::kRegistrationId, "88");
    module.PlaceFinger(SFinger{4, 0});
    fingerOnBox["Lift your fingertip!"] = SFinger{4, 1};
    Auth().Click(CBasicDlg::kRegister);
    ASSERT_TRUE(WaitForBox("Different Fingerprint!!!"));
    loop.RunFor(2000);
    EXPECT_EQ(dlg.registration.step, CRegistration::kAbandonedStep);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"Lift your fingertip!", "Different Fingerprint!!!"}))
        << "the quality check that follows prompts nothing";
    EXPECT_EQ(User("88"), nullptr);

    // With "Different Finger" ticked the second scan may be another finger.
    ui.ClearRecords();
    Auth().Click(CBasicDlg::kDifferentFinger);
    module.PlaceFinger(SFinger{4, 0});
    Auth().Click(CBasicDlg::kRegister);
    ASSERT_TRUE(WaitForBox("Register succeeded!!"));
    EXPECT_EQ(LastRequest(CMD_REGISTER)->param2, 2u);
}

TEST_F(UsersTest, TemplatesTravelThroughMinFiles) {
    Connect("HLX-M18");
    const std::string saved = (folder / "got.min").string();
    module.PlaceFinger(SFinger{2, 0});
    Auth().Click(CBasicDlg::kFormatIso);
    ui.QueueFiles({saved});
    Auth().Click(CBasicDlg::kGetTemplate);
    EXPECT_EQ(ui.ModalPopups(), std::vector<std::string>{"message"});
    ASSERT_TRUE(WaitForLine("Image Quality = " + std::to_string(ImageQuality(SFinger{2, 0}))));
    EXPECT_EQ(LastRequest(CMD_GET_TEMPLATE)->param1, 2u);
    EXPECT_EQ(ui.FileDialogs().back().filter, "MIN files(*.min)|*.min|All files|*.*|");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"The template was saved as " + saved + "."});
    EXPECT_EQ(test::ReadBytes(saved), MakeTemplate(SFinger{2, 0}, 404, kTemplateIso19794));

    // Instant matching of the file with the finger on the sensor.
    ui.ClearRecords();
    ui.QueueFiles({saved});
    Auth().Click(CBasicDlg::kInstantMatching);
    ASSERT_TRUE(WaitForBox("Instant Matching succeeded!!"));
    EXPECT_EQ(LastRequest(CMD_INSTANT_MATCH)->param1, 0u) << "series 5 is not asked the format";
    module.PlaceFinger(SFinger{2, 1});
    ui.QueueFiles({saved});
    Auth().Click(CBasicDlg::kInstantMatching);
    ASSERT_TRUE(WaitForBox("Instant Matching failed!!"));

    // The stored users against the file: user 2 has that finger.
    ui.ClearRecords();
    ui.QueuePopupAnswer(true, "2");
    ui.QueueFiles({saved});
    Auth().Click(CBasicDlg::kInstantVerification);
    ASSERT_TRUE(WaitForBox("Instant Verification succeeded!! (Index : 0)"));
    EXPECT_EQ(Line(), "Instant Verification succeeded!!");
    ui.QueuePopupAnswer(true, "3");
    ui.QueueFiles({saved});
    Auth().Click(CBasicDlg::kInstantVerification);
    ASSERT_TRUE(WaitForBox("Instant Verification failed!!"));
    ui.QueueFiles({saved});
    Auth().Click(CBasicDlg::kInstantIdentification);
    ASSERT_TRUE(WaitForBox("Instant Identification succeeded!! (ID : 2, Index : 0)"));

    // Files too big for a packet, and empty ones, are refused before sending.
    const auto big = folder / "big.min";
    test::WriteBytes(big, Bytes(65536, 'x'));
    const auto empty = folder / "empty.min";
    test::WriteBytes(empty, {});
    module.ClearRequests();
    ui.ClearRecords();
    ui.QueueFiles({big.string()});
    Auth().Click(CBasicDlg::kInstantIdentification);
    ui.QueueFiles({empty.string()});
    Auth().Click(CBasicDlg::kInstantMatching);
    loop.RunFor(500);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Size is too big\r\nNot supported",
                                                    "The template file is empty."}));
    EXPECT_TRUE(module.Requests().empty());
}

TEST_F(UsersTest, Series2AsksTheFormatOfTheFileAndReadsItsIndexAtByte10) {
    Connect("HLX-M11");
    const std::string file = WriteTemplate("s2.min", SFinger{1, 0}, 400);
    ui.QueueFiles({file});
    ui.QueuePopupClicks({CPopupRadioDlg::kAnsi}, true);
    Auth().Click(CBasicDlg::kInstantMatching);
    ASSERT_TRUE(WaitForBox("Instant Matching succeeded!!"));
    EXPECT_EQ(LastRequest(CMD_INSTANT_MATCH)->param1, 3u);
    EXPECT_EQ(dlg.popupRadio.restriction, 1);

    ui.ClearRecords();
    Auth().Click(CBasicDlg::kIdentification);
    ASSERT_TRUE(WaitForBox("Identification Succeeded!!! (ID : 1, Index : 0)"));
}

TEST_F(UsersTest, ModificationChangesAuthorityPasswordAndLevel) {
    Connect("HLX-M18");
    EnterMaster();
    Auth().Type(CBasicDlg::kModificationId, "3");
    ASSERT_TRUE(Auth().IsEnabled(CBasicDlg::kModify));
    ui.QueuePopupAnswer(true, "1");
    Auth().Click(CBasicDlg::kModify);
    ASSERT_TRUE(WaitForBox("Authority modification succeeded!!"));
    EXPECT_EQ(User("3")->authority, 1);
    EXPECT_EQ(Auth().Text(CBasicDlg::kModificationId), "");
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kModify));

    Auth().Type(CBasicDlg::kModificationId, "3");
    Auth().Select(CBasicDlg::kModificationType, 1);
    ui.QueuePopupAnswer(true, "3141");
    Auth().Click(CBasicDlg::kModify);
    ASSERT_TRUE(WaitForBox("Password modification succeeded!!"));
    EXPECT_EQ(User("3")->password, Text("3141"));
    EXPECT_EQ(LastRequest(CMD_MODIFY_USER)->data.size(), 16u + 16u);

    Auth().Type(CBasicDlg::kModificationId, "3");
    Auth().Select(CBasicDlg::kModificationType, 2);
    ui.QueuePopupAnswer(true, "7");
    Auth().Click(CBasicDlg::kModify);
    ASSERT_TRUE(WaitForBox("User Security Level modification succeeded!!"));
    EXPECT_EQ(User("3")->securityLevel, 7);

    // A level the module does not know is its refusal to report.
    Auth().Type(CBasicDlg::kModificationId, "3");
    ui.QueuePopupAnswer(true, "0");
    Auth().Click(CBasicDlg::kModify);
    ASSERT_TRUE(WaitForBox("Invalid Parameter!!!"));

    // Template changes are not offered by series 5.
    ui.ClearRecords();
    Auth().Select(CBasicDlg::kModificationType, 7);
    EXPECT_EQ(ui.LastBoxText(), "Not supported function!!");
    EXPECT_EQ(Auth().Selection(CBasicDlg::kModificationType), 0);
}

TEST_F(UsersTest, Series1ChangesTemplatesFromTheSensorAndFromFiles) {
    Connect("HLX-M06");
    EnterMaster();
    // Sensor, same finger: two scans of the new finger.
    Auth().Type(CBasicDlg::kModificationId, "1");
    Auth().Select(CBasicDlg::kModificationType, 7);
    module.PlaceFinger(SFinger{9, 4});
    Auth().Click(CBasicDlg::kModify);
    ASSERT_EQ(module.Requests().front().command, CMD_GET_SYSTEM_OPTION)
        << "the template mode first";
    ASSERT_TRUE(WaitForBox("Template modification succeeded!!"));
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"Place your finger on the sensor.", "Lift your fingertip!",
                                        "Template modification succeeded!!"}));
    std::vector<uint32_t> codes;
    for (const SSimRequest& r : module.Requests()) {
        if (r.command == CMD_MODIFY_USER) {
            codes.push_back(r.param1);
            EXPECT_EQ(r.data.size(), 11u) << "the ID field alone";
        }
    }
    EXPECT_EQ(codes, (std::vector<uint32_t>{0x20, 0x21}));
    EXPECT_EQ(User("1")->fingers, (std::vector<SFinger>{SFinger{9, 4}}));

    // Host, different finger: two files, the second asked for by the answer.
    Settle();
    const std::string a = WriteTemplate("a.min", SFinger{6, 6});
    const std::string b = WriteTemplate("b.min", SFinger{6, 7});
    Auth().Type(CBasicDlg::kModificationId, "1");
    Auth().Select(CBasicDlg::kModificationType, 4);
    ui.QueueFiles({a});
    ui.QueueFiles({b});
    Auth().Click(CBasicDlg::kModify);
    ASSERT_TRUE(WaitForBox("Template modification succeeded!!"));
    EXPECT_EQ(ui.FileDialogs().back().filter, "MIN files(*.min)|*.min|All files|*.*|");
    codes.clear();
    for (const SSimRequest& r : module.Requests()) {
        if (r.command == CMD_MODIFY_USER) {
            codes.push_back(r.param1);
            EXPECT_EQ(r.data.size(), 11u + 404u);
        }
    }
    EXPECT_EQ(codes, (std::vector<uint32_t>{0x10, 0x12}));
    EXPECT_EQ(User("1")->fingers, (std::vector<SFinger>{SFinger{6, 6}}));

    // Now that the template mode (2) is known, second-finger changes are refused.
    ui.ClearRecords();
    Auth().Select(CBasicDlg::kModificationType, 5);
    EXPECT_EQ(ui.LastBoxText(), "This function cannot be used in 2 template mode.");
    EXPECT_EQ(Auth().Selection(CBasicDlg::kModificationType), 0);
}

TEST_F(UsersTest, DeletionAsksFirst) {
    Connect("HLX-M18");
    EnterMaster();
    Auth().Type(CBasicDlg::kDeletionId, "2");
    ui.QueueAnswer(EAnswer::No);
    Auth().Click(CBasicDlg::kDelete);
    EXPECT_EQ(ui.Boxes().back().text, "Are you sure to delete?");
    EXPECT_EQ(ui.Boxes().back().buttons, EButtons::YesNo);
    loop.RunFor(500);
    EXPECT_EQ(module.RequestCount(CMD_DELETE_USER), 0u);
    EXPECT_EQ(module.UserDb().Count(), 3u);

    Auth().Click(CBasicDlg::kDelete);
    loop.RunFor(1000);
    ASSERT_EQ(module.RequestCount(CMD_DELETE_USER), 1u);
    EXPECT_EQ(LastRequest(CMD_DELETE_USER)->data.size(), 16u);
    EXPECT_EQ(User("2"), nullptr);
    EXPECT_EQ(module.UserDb().Count(), 2u);

    Auth().Click(CBasicDlg::kDeleteAll);
    loop.RunFor(1000);
    EXPECT_EQ(LastRequest(CMD_DELETE_ALL)->param1, 0u);
    EXPECT_EQ(module.UserDb().Count(), 0u);
}

TEST_F(UsersTest, AutoOnReportsWhatTheModuleIdentifiesByItself) {
    Connect("HLX-M18");
    Auth().Click(CBasicDlg::kAutoOn);
    ASSERT_TRUE(WaitForBox("Auto Identify configure succeeded!!!"));
    EXPECT_EQ(dlg.autoOnMode, 1);
    EXPECT_EQ(Auth().Text(CBasicDlg::kAutoOn), "Auto-On Disable");
    for (int id : CBasicDlg::kAutoOnControls) {
        EXPECT_FALSE(Auth().IsEnabled(id)) << id;
    }
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kAutoOn));

    // A stored finger: its user, with the module's timing.
    ui.ClearRecords();
    module.PlaceFinger(SFinger{3, 0});
    ASSERT_TRUE(loop.RunUntil([&] { return !ui.Boxes().empty(); }, 5000));
    EXPECT_EQ(ui.Boxes()[0].text,
              "Auto Identification succeeded!!! (ID : 3, Index : 0)\r\n"
              "Capture time = 250ms, 1:N time = 40ms");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
    EXPECT_EQ(Line(), "Auto Identification succeeded!!! (ID : 3, Index : 0)");

    // An unknown finger, and a capture that fails.
    ui.ClearRecords();
    module.PlaceFinger(SFinger{40, 0});
    module.Faults().captureOutcomes.push_back(RESULT_CAPTURE_FAIL);
    module.PlaceFinger(SFinger{3, 0});
    loop.RunFor(1000);
    ASSERT_EQ(ui.Boxes().size(), 2u);
    EXPECT_EQ(ui.Boxes()[0].text, "Auto Identification failed!!!");
    EXPECT_EQ(ui.Boxes()[0].caption, "Result");
    EXPECT_EQ(ui.Boxes()[1].text, "Capture Fail");

    // A module that sends templates: the save dialog takes it.
    ui.ClearRecords();
    module.Matching().SetAutoOnSendsTemplate(true);
    const std::string saved = (folder / "auto.min").string();
    ui.QueueFiles({saved});
    module.PlaceFinger(SFinger{1, 0});
    ASSERT_TRUE(WaitForBox("The template was saved as " + saved + "."));
    EXPECT_EQ(test::ReadBytes(saved), MakeTemplate(SFinger{1, 0}, 404, kTemplateDravik));
    EXPECT_EQ(module.RequestCount(CMD_GET_IMAGE_QUALITY), 0u);

    // Off again: the buttons come back as they were.
    Auth().Click(CBasicDlg::kAutoOn);
    ASSERT_TRUE(loop.RunUntil([&] { return dlg.autoOnMode == 0; }, 5000));
    EXPECT_EQ(Auth().Text(CBasicDlg::kAutoOn), "Auto-On Enable");
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kVerification));
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kInstantIdentification));
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kRegister)) << "still outside master mode";
    ui.ClearRecords();
    module.PlaceFinger(SFinger{3, 0});
    loop.RunFor(1000);
    EXPECT_TRUE(ui.Boxes().empty()) << "no reports once Auto-On is off";
}

TEST_F(UsersTest, OlderModulesReportAutoOnResultsWithoutTiming) {
    Connect("HLX-M06");
    Auth().Click(CBasicDlg::kAutoOn);
    ASSERT_TRUE(WaitForBox("Auto Identify configure succeeded!!!"));
    ui.ClearRecords();
    module.PlaceFinger(SFinger{2, 0});
    ASSERT_TRUE(WaitForBox("Auto Identification succeeded!!! (ID : 2, Index : 0)"));
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::None);
    EXPECT_EQ(ui.Boxes()[0].caption, "Result");
}

}  // namespace
}  // namespace sondrix
