// The matching answers and the Authentication&User page's own rules, driven
// directly: answers are handed to the handlers as the packet manager would,
// and what the program sends is read from the packet manager's last packet.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"
#include "support/answer_packet.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes IdAndIndex(const std::string& id, size_t field, uint8_t index) {
    Bytes data(field + 1, 0);
    std::copy(id.begin(), id.end(), data.begin());
    data[field] = index;
    return data;
}

class MatchingRepliesTest : public ::testing::Test, protected test::CSimSession {
  protected:
    MatchingRepliesTest() { dlg.OnInitDialog(); }

    test::CAnswerPacket Answer;
    // Forgets what was sent, so that Sent() tells whether anything went out.
    void ForgetSent() { dlg.PacketManager().txPacket.command = 0; }
    const CPacket& Sent() { return dlg.PacketManager().txPacket; }
    bool QualityAsked(int reason) {
        return Sent().command == CMD_GET_IMAGE_QUALITY &&
               dlg.systemManagement.qualityCheckReason == reason;
    }
    std::string Line() const { return dlg.Text(CSondrixDlg::kMessageLine); }
    CBasicDlg& Auth() { return dlg.basicDlg; }
    void Master() {
        dlg.masterMode = 1;
        Auth().SetMasterControls(true);
    }

    test::CTempFolder folder;
};

TEST_F(MatchingRepliesTest, VerificationShowsTheIndexAloneOnTheLine) {
    dlg.matching.OnVerify(Answer(CMD_VERIFY, RESULT_SUCCESS, 3));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Verification Succeeded!!! (Index : 3)");
    EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
    EXPECT_EQ(Line(), " (Index : 3)");
    EXPECT_TRUE(QualityAsked(4));

    ForgetSent();
    dlg.matching.OnVerify(Answer(CMD_VERIFY, RESULT_CANCELED, 0));
    EXPECT_EQ(ui.LastBoxText(), "Canceled!!!");
    EXPECT_EQ(Sent().command, 0u) << "no quality after a cancel";
}

TEST_F(MatchingRepliesTest, IdentificationReadsTheLayoutOfTheModule) {
    struct SCase {
        int series;
        uint32_t emulation;
        int idLength;
        Bytes data;
        std::string shown;
    };
    const std::vector<SCase> cases = {
        {1, 255, 11, IdAndIndex("1234567890", 11, 4), " (ID : 1234567890, Index : 4)"},
        {2, 255, 10, IdAndIndex("123456789", 10, 5), " (ID : 123456789, Index : 5)"},
        {5, 2, 10, IdAndIndex("77", 10, 6), " (ID : 77, Index : 6)"},
        {5, 1, 11, IdAndIndex("77", 11, 7), " (ID : 77, Index : 7)"},
        // An ID length of 8: the first 8 bytes are the ID, byte 9 the index.
        {4,
         255,
         9,
         {'1', '2', '3', '4', '5', '6', '7', '8', 'x', 9},
         " (ID : 12345678, Index : 9)"},
    };
    for (const SCase& c : cases) {
        dlg.moduleSeries = c.series;
        dlg.emulationMode = c.emulation;
        dlg.idLength = c.idLength;
        ui.ClearRecords();
        dlg.matching.OnIdentify(Answer(CMD_IDENTIFY, RESULT_SUCCESS, 0, c.data));
        EXPECT_EQ(ui.LastBoxText(), "Identification Succeeded!!!" + c.shown) << c.series;
        EXPECT_TRUE(QualityAsked(5));
    }
    // Series 2 answers instant identification with the 11-byte layout.
    dlg.moduleSeries = 2;
    dlg.emulationMode = 255;
    dlg.idLength = 10;
    Bytes data = IdAndIndex("42", 11, 8);
    data[10] = 1;  // byte 10 is no index here
    dlg.matching.OnInstantIdentify(Answer(CMD_INSTANT_IDENTIFY, RESULT_SUCCESS, 0, data));
    EXPECT_EQ(ui.LastBoxText(), "Instant Identification succeeded!! (ID : 42, Index : 8)");

    // An answer too short to hold its index is reported, not read past its end.
    ForgetSent();
    dlg.matching.OnIdentify(Answer(CMD_IDENTIFY, RESULT_SUCCESS, 0, Bytes{'4', '2', 0}));
    EXPECT_EQ(ui.LastBoxText(), "Invalid Data Size!!!");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);
    EXPECT_EQ(Sent().command, 0u);
}

TEST_F(MatchingRepliesTest, CancelClearsTheAbortFlagAndOnlyIdleIsQuiet) {
    dlg.PacketManager().abortReceive = 1;
    dlg.matching.OnCancel(Answer(CMD_CANCEL, RESULT_IDLE, 0));
    EXPECT_EQ(dlg.PacketManager().abortReceive, 0);
    EXPECT_EQ(Line(), "Status of device is idle.");
    EXPECT_TRUE(ui.Boxes().empty());
    dlg.matching.OnCancel(Answer(CMD_CANCEL, RESULT_SUCCESS, 0));
    EXPECT_EQ(ui.LastBoxText(), "Succeeded!!!");
}

TEST_F(MatchingRepliesTest, TemplateSavesReportTheirOutcome) {
    const Bytes templ(404, 0x5A);
    // A cancelled dialog writes and shows nothing; the quality still follows.
    dlg.matching.OnGetTemplate(Answer(CMD_GET_TEMPLATE, RESULT_SUCCESS, 0, templ));
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_TRUE(QualityAsked(2));

    const auto blocked = folder / "no-such-folder" / "t.min";
    ui.QueueFiles({blocked.string()});
    dlg.matching.OnGetTemplate(Answer(CMD_GET_TEMPLATE, RESULT_SUCCESS, 0, templ));
    EXPECT_EQ(ui.LastBoxText(), "The template could not be saved as " + blocked.string() + " (" +
                                    std::strerror(ENOENT) + ").");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Stop);

    dlg.matching.OnGetTemplate(Answer(CMD_GET_TEMPLATE, RESULT_FAILED, 0));
    EXPECT_EQ(ui.LastBoxText(), "Get template failed!!!");
    EXPECT_TRUE(QualityAsked(2));
}

TEST_F(MatchingRepliesTest, AutoOnResultsByModule) {
    dlg.moduleSeries = 4;
    dlg.emulationMode = 255;
    // Fifteen ID bytes without a terminator: byte 15 ends it.
    Bytes id(16, '7');
    dlg.matching.OnAutoIdentifyResult(
        Answer(CMD_AUTO_IDENTIFY_RESULT, RESULT_SUCCESS, 2, id, (300u << 16) | 100u));
    const std::string text = "Auto Identification succeeded!!! (ID : 777777777777777, Index : 2)";
    EXPECT_EQ(ui.LastBoxText(), text + "\r\nCapture time = 300ms, 1:N time = 100ms");
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Information);
    EXPECT_EQ(Line(), text);

    dlg.moduleSeries = 3;
    dlg.matching.OnAutoIdentifyResult(
        Answer(CMD_AUTO_IDENTIFY_RESULT, RESULT_SUCCESS, 1, id, (300u << 16) | 100u));
    EXPECT_EQ(ui.LastBoxText(), "Auto Identification succeeded!!! (ID : 7777777777, Index : 1)")
        << "older modules: ten ID bytes and no timing";
    EXPECT_EQ(ui.Boxes().back().caption, "Result");

    dlg.matching.OnAutoIdentifyResult(Answer(CMD_AUTO_IDENTIFY_RESULT, RESULT_EXTRACT_FAIL, 0));
    EXPECT_EQ(ui.LastBoxText(), "Extract Fail");
    // 404 bytes are a template: the save dialog opens.
    dlg.matching.OnAutoIdentifyResult(
        Answer(CMD_AUTO_IDENTIFY_RESULT, RESULT_SUCCESS, 0, Bytes(404, 1)));
    EXPECT_TRUE(ui.FileDialogs().back().save);
}

TEST_F(MatchingRepliesTest, AutoOnRefusalsAndTheControlsItHolds) {
    dlg.imageDlg.SetTimer(CImageDlg::kConnectTimer, 500);
    dlg.matching.OnAutoOn(Answer(CMD_AUTO_ON, RESULT_FAILED, 1));
    EXPECT_EQ(ui.LastBoxText(), "Beacuse of the Auto-On, cannot make connection. Please reboot.");
    EXPECT_FALSE(loop.HasTimer(dlg.imageDlg.Handle(), CImageDlg::kConnectTimer));
    dlg.matching.OnAutoOn(Answer(CMD_AUTO_ON, RESULT_FAILED, 0));
    EXPECT_EQ(ui.LastBoxText(), "Auto Identify configure failed!!!");

    // HLX-SB keeps its instant buttons (here disabled by the connection) as they are.
    dlg.emulationMode = 2;
    Auth().Enable(CBasicDlg::kInstantVerification, false);
    Master();
    Auth().Type(CBasicDlg::kModificationId, "5");
    dlg.matching.OnAutoOn(Answer(CMD_AUTO_ON, RESULT_SUCCESS, 0));
    EXPECT_EQ(dlg.autoOnMode, 1);
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kModify));
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kInstantVerification));
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kInstantIdentification));
    Auth().Type(CBasicDlg::kDeletionId, "9");
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kDelete)) << "typing does not wake it during Auto-On";
    dlg.matching.OnAutoOn(Answer(CMD_AUTO_ON, RESULT_SUCCESS, 0));
    EXPECT_EQ(dlg.autoOnMode, 0);
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kModify));
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kDelete));
    EXPECT_TRUE(Auth().IsEnabled(CBasicDlg::kRegister));
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kInstantVerification));
}

TEST_F(MatchingRepliesTest, EditsKeepDigitsWithinTheIdField) {
    dlg.idLength = 10;  // series 2: nine digits
    Auth().series2 = 1;
    Master();
    EXPECT_EQ(Auth().Control(CBasicDlg::kRegistrationId).limit, 10u);
    EXPECT_EQ(Auth().Control(CBasicDlg::kPassword).limit, 15u);
    Auth().Type(CBasicDlg::kRegistrationId, "123456789");
    EXPECT_EQ(Auth().registrationId, "123456789");
    Auth().Type(CBasicDlg::kRegistrationId, "1234567890");
    EXPECT_EQ(Auth().Text(CBasicDlg::kRegistrationId), "");
    EXPECT_EQ(ui.LastBoxText(), "Too Long Data!!");
    ui.ClearRecords();
    Auth().Type(CBasicDlg::kModificationId, "12a");
    EXPECT_EQ(Auth().Text(CBasicDlg::kModificationId), "");
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kModify));
    Auth().Type(CBasicDlg::kDeletionId, "1a2");
    EXPECT_EQ(Auth().Text(CBasicDlg::kDeletionId), "") << "a letter anywhere, as pasted";
    EXPECT_TRUE(ui.Boxes().empty()) << "IDs are emptied silently";
    Auth().Type(CBasicDlg::kPassword, "12a");
    EXPECT_EQ(ui.LastBoxText(), "Please input the numeral character only.");
    EXPECT_EQ(Auth().password, "");

    Auth().Click(CBasicDlg::kAutoGenerateId);
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kRegistrationId));
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kPassword));
    Auth().Reset();
    EXPECT_EQ(Auth().series2, 0);
    EXPECT_EQ(Auth().Control(CBasicDlg::kRegistrationId).limit, 16u);
    EXPECT_FALSE(Auth().IsChecked(CBasicDlg::kAutoGenerateId));
    EXPECT_FALSE(Auth().IsEnabled(CBasicDlg::kRegister));
}

TEST_F(MatchingRepliesTest, ModificationComboRefusesWhatTheModuleCannotDo) {
    Master();
    const auto choose = [&](int index) {
        ui.ClearRecords();
        Auth().Select(CBasicDlg::kModificationType, index);
        return Auth().Selection(CBasicDlg::kModificationType);
    };
    dlg.moduleSeries = 2;
    dlg.templateMode = 4;
    EXPECT_EQ(choose(3), 0);
    EXPECT_EQ(ui.LastBoxText(), "Not supported function!!");
    EXPECT_EQ(choose(5), 5);
    dlg.moduleSeries = 1;
    dlg.templateMode = 2;
    EXPECT_EQ(choose(5), 0);
    EXPECT_EQ(ui.LastBoxText(), "This function cannot be used in 2 template mode.");
    EXPECT_EQ(choose(7), 7);
    EXPECT_EQ(Auth().modificationType, 7);
    dlg.emulationMode = 1;
    EXPECT_EQ(choose(3), 0);
    EXPECT_EQ(choose(2), 2);
}

TEST_F(MatchingRepliesTest, StepRegistrationStopsAtTheTenthFinger) {
    dlg.moduleSeries = 5;
    Master();
    Auth().Click(CBasicDlg::kAutoGenerateId);
    Auth().StartRegistration();
    EXPECT_EQ(Sent().command, CMD_REGISTER_STEP);
    EXPECT_EQ(Sent().param2, 1u);
    EXPECT_EQ(Sent().dataSize, 0u) << "no ID check and no data with a generated ID";

    for (int finger = 1; finger <= 9; ++finger) {
        dlg.registration.step = 2;
        dlg.registration.ContinueAfterQuality(kQualityStepRegistration);  // "more?" Yes
        EXPECT_EQ(Sent().param2, static_cast<uint32_t>(finger << 4));
    }
    ui.ClearRecords();
    dlg.registration.step = 2;
    dlg.registration.ContinueAfterQuality(kQualityStepRegistration);
    ASSERT_EQ(ui.Boxes().size(), 2u);
    EXPECT_EQ(ui.Boxes()[1].text,
              "Maximum fingerprint count exceeded!!\nEntered fingerprints will be saved "
              "automatically.");
    EXPECT_EQ(Sent().param2, 4u) << "stored as after No";
    EXPECT_EQ(dlg.registration.fingerIndex, 0);
}

TEST_F(MatchingRepliesTest, FailuresEndTheSequencesWithoutFurtherPrompts) {
    dlg.moduleSeries = 2;
    dlg.templateMode = 4;
    Master();
    dlg.registration.step = 1;
    dlg.dbManagement.OnRegister(Answer(CMD_REGISTER, RESULT_FAILED, 0));
    EXPECT_EQ(ui.LastBoxText(), "Register failed!!");
    EXPECT_TRUE(QualityAsked(1));
    ui.ClearRecords();
    ForgetSent();
    dlg.registration.ContinueAfterQuality(kQualityRegistration);
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_EQ(Sent().command, 0u);

    // A failed first sensor scan asks for no second one.
    dlg.registration.modificationType = 7;
    dlg.registration.modificationCode = kModifyFirstSensor;
    dlg.dbManagement.OnModifyUser(Answer(CMD_MODIFY_USER, RESULT_FAILED, 0));
    EXPECT_EQ(ui.LastBoxText(), "Modification failed!!");
    EXPECT_TRUE(QualityAsked(8));
    ui.ClearRecords();
    ForgetSent();
    dlg.registration.ContinueAfterQuality(kQualityModification);
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_EQ(Sent().command, 0u);
}

TEST_F(MatchingRepliesTest, MasterCredentialFollowsTheMethodRadios) {
    dlg.imageDlg.masterEntry = 1;
    dlg.dbManagement.OnEnterMasterMode(Answer(CMD_ENTER_MASTER_MODE, RESULT_FAILED, 3));
    EXPECT_EQ(ui.Boxes().back().icon, EIcon::Information);
    EXPECT_EQ(dlg.imageDlg.masterEntry, 0);
    EXPECT_TRUE(ui.ModalPopups().empty());

    ForgetSent();
    Auth().Click(CBasicDlg::kPwMatching);
    ui.QueuePopupAnswer(true, "12");
    ui.QueuePopupAnswer(false);
    dlg.dbManagement.OnEnterMasterMode(Answer(CMD_ENTER_MASTER_MODE, RESULT_FAILED, 3));
    EXPECT_EQ(Sent().command, 0u) << "a cancelled password sends nothing";
    ui.QueuePopupAnswer(true, "12");
    ui.QueuePopupAnswer(true, "34");
    dlg.dbManagement.OnEnterMasterMode(Answer(CMD_ENTER_MASTER_MODE, RESULT_FAILED, 3));
    EXPECT_EQ(Sent().param1, 1u);
    EXPECT_EQ(Sent().dataSize, static_cast<uint32_t>(dlg.idLength + 16));

    dlg.dbManagement.OnEnterMasterMode(Answer(CMD_ENTER_MASTER_MODE, RESULT_FAILED, 0));
    EXPECT_EQ(ui.LastBoxText(), "Enter master mode failed!!");
}

}  // namespace
}  // namespace sondrix
