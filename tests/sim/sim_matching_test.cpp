#include "sim/sim_matching.h"

#include <gtest/gtest.h>

#include <string>

#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "sim/sim_module.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::SSeenPacket;
using test::Wire;
using Bytes = std::vector<uint8_t>;

std::vector<SSeenPacket> Parse(const std::vector<SSimReply>& replies) {
    CPacketParser parser;
    std::vector<SSeenPacket> answers;
    for (const SSimReply& reply : replies) {
        for (uint8_t b : reply.bytes) {
            if (parser.Feed(b) == CPacketParser::EEvent::Packet) {
                answers.push_back(test::Snapshot(0, parser.rxPacket, 1));
            }
        }
    }
    return answers;
}

SSeenPacket Ask(CSimModule& module, const Bytes& request) {
    const std::vector<SSeenPacket> answers = Parse(module.Receive(request.data(), request.size()));
    EXPECT_EQ(answers.size(), 1u);
    return answers.empty() ? SSeenPacket{} : answers.front();
}

// A zero-filled field of `size` bytes holding `text`.
Bytes Field(const std::string& text, size_t size) {
    Bytes field(size, 0);
    std::copy(text.begin(), text.end(), field.begin());
    return field;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Id(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(SimMatching, MasterModeOpensFreelyUntilAMasterExists) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 2});
    // Registration needs master mode.
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 1)).param1, RESULT_NOT_MASTER_MODE);
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 3)).param1, RESULT_SUCCESS);
    EXPECT_TRUE(module.Matching().MasterMode());
    EXPECT_EQ(Ask(module, Wire(CMD_LEAVE_MASTER_MODE)).param1, RESULT_SUCCESS);

    SSimUser& master = *module.UserDb().Find(Id("2"));
    master.authority = 1;
    master.password = Id("42");
    SSeenPacket a = Ask(module, Wire(CMD_ENTER_MASTER_MODE, 3));
    EXPECT_EQ(a.param1, RESULT_FAILED);
    EXPECT_EQ(a.param2, 3u) << "a credential is asked for";
    EXPECT_FALSE(module.Matching().MasterMode());

    // By finger: the master's finger, not another user's.
    module.PlaceFinger(SFinger{1, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 0, 0, Field("2", 16))).param1, RESULT_FAILED);
    module.PlaceFinger(kNoFinger);
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 0, 0, Field("2", 16))).param1,
              RESULT_CAPTURE_TIMEOUT);
    module.PlaceFinger(SFinger{2, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 0, 0, Field("1", 16))).param1, RESULT_FAILED)
        << "user 1 is no master";
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 0, 0, Field("2", 16))).param1,
              RESULT_SUCCESS);
    module.Matching().SetMasterMode(false);

    // By password, by template, by the device password.
    EXPECT_EQ(
        Ask(module, Wire(CMD_ENTER_MASTER_MODE, 1, 0, Cat(Field("2", 16), Field("41", 16)))).param1,
        RESULT_FAILED);
    EXPECT_EQ(
        Ask(module, Wire(CMD_ENTER_MASTER_MODE, 1, 0, Cat(Field("2", 16), Field("42", 16)))).param1,
        RESULT_SUCCESS);
    module.Matching().SetMasterMode(false);
    const Bytes templ = MakeTemplate(SFinger{2, 0}, 404, kTemplateAnsi378);
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 4, 0, Cat(Field("2", 16), templ))).param1,
              RESULT_SUCCESS);
    module.Matching().SetMasterMode(false);
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 2, 0, Field("42", 16))).param1, RESULT_FAILED)
        << "no device password is set";
    Ask(module, Wire(CMD_SET_MASTER_PASSWORD, 0, 0, Field("777", 16)));
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 2, 0, Field("777", 16))).param1,
              RESULT_SUCCESS);
    // A short credential is no credential.
    module.Matching().SetMasterMode(false);
    EXPECT_EQ(Ask(module, Wire(CMD_ENTER_MASTER_MODE, 1, 0, Field("2", 16))).param1, RESULT_FAILED);
}

TEST(SimMatching, RegisterCountsScansByTemplateMode) {
    CSimModule module({0x4D06, 0x0301, 115200, 0});  // series 1
    module.Options()[kOptionTemplateMode] = 4;
    module.Matching().SetMasterMode(true);
    const Bytes block = Cat(Field("10", 11), Field("99", 16));
    module.PlaceFinger(SFinger{5, 1});
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 0, 1)).param1, RESULT_INVALID_PARAMETER)
        << "no registration waits for a second scan";
    SSeenPacket a = Ask(module, Wire(CMD_REGISTER, 0, 0, block));
    EXPECT_EQ(a.param1, RESULT_SUCCESS);
    EXPECT_EQ(a.param2, 0u);
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 0, 4)).param1, RESULT_INVALID_PARAMETER)
        << "out of order";
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 0, 1)).param2, 0u);
    module.PlaceFinger(SFinger{5, 2});
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 0, 3)).param1, RESULT_SUCCESS);
    a = Ask(module, Wire(CMD_REGISTER, 0, 4));
    EXPECT_EQ(a.param1, RESULT_SUCCESS);
    EXPECT_EQ(a.param2, 2u) << "stored with two fingers";
    const SSimUser* user = module.UserDb().Find(Id("10"));
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->fingers, (std::vector<SFinger>{{5, 1}, {5, 2}}));
    EXPECT_EQ(user->password, Id("99"));
    EXPECT_NE(user->registered[0], 0) << "the module clock stamps the registration";

    // The same ID again, then a generated one, then a different finger.
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 0, 0, block)).param1, RESULT_USED_ID);
    module.UserDb().Seed(1);
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 1, 0x10)).param1, RESULT_SUCCESS);
    module.PlaceFinger(SFinger{6, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 1, 1)).param1, RESULT_DIFFERENT_FINGERPRINT);
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER, 1, 3)).param1, RESULT_INVALID_PARAMETER)
        << "the failed registration is gone";
    EXPECT_EQ(module.UserDb().Count(), 1u);
    Ask(module, Wire(CMD_REGISTER, 1, 0x10));
    Ask(module, Wire(CMD_REGISTER, 1, 2));
    Ask(module, Wire(CMD_REGISTER, 1, 3));
    Ask(module, Wire(CMD_REGISTER, 1, 5));
    const SSimUser* generated = module.UserDb().Find(Id("2"));
    ASSERT_NE(generated, nullptr) << "the lowest free number";
    EXPECT_EQ(generated->authority, 1);
}

TEST(SimMatching, StepRegistrationKeepsTheAccountAcrossAFailedScan) {
    CSimModule module;
    module.Options()[kOptionIdLength] = 7;  // an 8-byte ID field
    module.Matching().SetMasterMode(true);
    const Bytes first = Cat(Field("5555", 8), Field("1", 16));
    module.PlaceFinger(SFinger{9, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x00, first)).param1, RESULT_SUCCESS);
    module.PlaceFinger(kNoFinger);
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x02)).param1, RESULT_CAPTURE_TIMEOUT);
    module.PlaceFinger(SFinger{9, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x02)).param1, RESULT_SUCCESS);
    // Finger 1: a different second scan fails, the account stays open.
    module.PlaceFinger(SFinger{9, 1});
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x10)).param1, RESULT_SUCCESS);
    module.PlaceFinger(SFinger{9, 2});
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x12)).param1, RESULT_DIFFERENT_FINGERPRINT);
    // The host starts that finger again with the account's ID.
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x10, first)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x12)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0xA0)).param1, RESULT_INVALID_PARAMETER)
        << "there is no eleventh finger";
    const SSeenPacket stored = Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x04));
    EXPECT_EQ(stored.param1, RESULT_SUCCESS);
    EXPECT_EQ(stored.param2, 2u);
    EXPECT_EQ(module.UserDb().Find(Id("5555"))->fingers, (std::vector<SFinger>{{9, 0}, {9, 2}}));
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x04)).param1, RESULT_FAILED)
        << "nothing left to store";
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x00, Field("5555", 8))).param1,
              RESULT_INVALID_DATA_SIZE)
        << "the password field is missing";
}

// The ID field and index an identification reports, by module.
struct SLayoutCase {
    uint16_t model;
    uint32_t emulation;
    uint32_t idLengthOption;
    size_t size;  // ID field + index byte
};

class SimIdentifyLayout : public ::testing::TestWithParam<SLayoutCase> {};

TEST_P(SimIdentifyLayout, AnswersTheIdFieldAndIndexTheProgramReads) {
    const SLayoutCase& c = GetParam();
    CSimModule module({c.model, 0x0301, 115200, 0});
    module.Options()[kOptionEmulationMode] = c.emulation;
    module.Options()[kOptionIdLength] = c.idLengthOption;
    SSimUser user;
    user.id = Id("123");
    user.fingers = {SFinger{4, 0}, SFinger{4, 1}};
    module.UserDb().Add(user);
    module.PlaceFinger(SFinger{4, 1});
    const SSeenPacket a = Ask(module, Wire(CMD_IDENTIFY, 1));
    ASSERT_EQ(a.param1, RESULT_SUCCESS);
    ASSERT_EQ(a.data.size(), c.size);
    EXPECT_EQ(a.data.back(), 1) << "the index of the second finger";
    EXPECT_EQ(std::string(a.data.begin(), a.data.begin() + 4), std::string("123\0", 4));
    // Instant identification keeps the 11-byte field on every older module.
    const SSeenPacket instant =
        Ask(module, Wire(CMD_INSTANT_IDENTIFY, 1, 0, MakeTemplate(SFinger{4, 1}, 404, 0)));
    EXPECT_EQ(instant.data.size(), c.size == 11 ? 12u : c.size);
}

INSTANTIATE_TEST_SUITE_P(Modules, SimIdentifyLayout,
                         ::testing::Values(SLayoutCase{0x4D06, 0xFF, 15, 12},  // series 1
                                           SLayoutCase{0x4D0B, 0xFF, 15, 11},  // series 2
                                           SLayoutCase{kModelHlxM18, 1, 15, 12},
                                           SLayoutCase{kModelHlxM18, 2, 15, 11},
                                           SLayoutCase{kModelHlxM18, 0xFF, 8, 10}));

TEST(SimMatching, MatchingAnswersByTheFingerAndTheTemplates) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 3});
    module.PlaceFinger(SFinger{2, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_VERIFY, 0, 0, Field("2", 16))).param1, RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_VERIFY, 0, 0, Field("3", 16))).param1, RESULT_FAILED);
    EXPECT_EQ(Ask(module, Wire(CMD_VERIFY, 0, 0, Field("9", 16))).param1, RESULT_INVALID_ID);
    EXPECT_EQ(Ask(module, Wire(CMD_VERIFY, 1, 0, Field("2", 16))).param1, RESULT_INVALID_DATA_SIZE);
    EXPECT_EQ(Ask(module, Wire(CMD_VERIFY, 1, 0, Cat(Field("2", 16), Field("", 16)))).param1,
              RESULT_FAILED)
        << "a user without a password never passes by password";

    const SSeenPacket got = Ask(module, Wire(CMD_GET_TEMPLATE, 3));
    ASSERT_EQ(got.param1, RESULT_SUCCESS);
    EXPECT_EQ(got.data, MakeTemplate(SFinger{2, 0}, 404, kTemplateAnsi378));
    EXPECT_EQ(Ask(module, Wire(CMD_GET_TEMPLATE, 4)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_INSTANT_MATCH, 0, 0, got.data)).param1, RESULT_SUCCESS);
    Bytes damaged = got.data;
    damaged[30] ^= 1;
    EXPECT_EQ(Ask(module, Wire(CMD_INSTANT_MATCH, 0, 0, damaged)).param1, RESULT_INVALID_DATA);
    module.PlaceFinger(SFinger{2, 1});
    EXPECT_EQ(Ask(module, Wire(CMD_INSTANT_MATCH, 0, 0, got.data)).param1, RESULT_FAILED);
    EXPECT_EQ(Ask(module, Wire(CMD_INSTANT_VERIFY, 0, 0, Cat(Field("2", 16), got.data))).param1,
              RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_INSTANT_VERIFY, 0, 0, Field("2", 8))).param1,
              RESULT_INVALID_DATA_SIZE);
    EXPECT_EQ(Ask(module, Wire(CMD_INSTANT_IDENTIFY, 1, 0,
                               MakeTemplate(SFinger{50, 0}, 404, kTemplateDravik)))
                  .param1,
              RESULT_FAILED);

    // Every scan leaves the image whose quality the module then reports.
    const SSeenPacket quality = Ask(module, Wire(CMD_GET_IMAGE_QUALITY));
    EXPECT_EQ(quality.param1, RESULT_SUCCESS);
    EXPECT_EQ(quality.param2, static_cast<uint32_t>(ImageQuality(SFinger{2, 1})));
}

TEST(SimMatching, ModificationTakesItsRequestsInPairs) {
    CSimModule module({0x4D06, 0x0301, 115200, 1});  // series 1, template mode 2
    const Bytes id = Field("1", 11);
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 1, 1, id)).param1, RESULT_NOT_MASTER_MODE);
    module.Matching().SetMasterMode(true);
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 1, 2, id)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 3, 10, id)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x21, 0, id)).param1, RESULT_INVALID_PARAMETER)
        << "a second scan without a first";
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x23, 0, id)).param1, RESULT_WRONG_TEMPLATE_MODE)
        << "one finger per user in template mode 2";

    module.PlaceFinger(SFinger{8, 8});
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x20, 0, id)).param1, RESULT_SUCCESS);
    module.PlaceFinger(SFinger{8, 9});
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x21, 0, id)).param1, RESULT_DIFFERENT_FINGERPRINT);
    EXPECT_EQ(module.UserDb().Find(Id("1"))->fingers, (std::vector<SFinger>{{1, 0}}));
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x20, 0, id)).param1, RESULT_SUCCESS);
    module.PlaceFinger(SFinger{8, 8});
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x22, 0, id)).param1, RESULT_SUCCESS)
        << "a different finger is allowed with 0x22";
    EXPECT_EQ(module.UserDb().Find(Id("1"))->fingers, (std::vector<SFinger>{{8, 9}}));

    const Bytes a = MakeTemplate(SFinger{3, 3}, 404, kTemplateDravik);
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x10, 0, Cat(id, Bytes(404, 7)))).param1,
              RESULT_INVALID_DATA);
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x10, 0, Cat(id, a))).param1, RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_MODIFY_USER, 0x11, 0, Cat(id, a))).param1, RESULT_SUCCESS);
    EXPECT_EQ(module.UserDb().Find(Id("1"))->fingers, (std::vector<SFinger>{{3, 3}}));
}

TEST(SimMatching, AutoOnReportsEachFingerLaidOnTheSensor) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 2});
    std::vector<SSimReply> sent;
    module.SetSpontaneousSink([&sent](SSimReply reply) { sent.push_back(std::move(reply)); });
    module.PlaceFinger(SFinger{2, 0});
    EXPECT_TRUE(sent.empty()) << "Auto-On is off";

    EXPECT_EQ(Ask(module, Wire(CMD_AUTO_ON, 1)).param1, RESULT_SUCCESS);
    module.Matching().SetAutoOnTiming(300, 100);
    module.PlaceFinger(SFinger{2, 0});
    module.PlaceFinger(kNoFinger);
    module.PlaceFinger(SFinger{30, 0});
    const std::vector<SSeenPacket> results = Parse(sent);
    ASSERT_EQ(results.size(), 2u) << "lifting the finger reports nothing";
    EXPECT_EQ(results[0].command, CMD_AUTO_IDENTIFY_RESULT);
    EXPECT_EQ(results[0].param1, RESULT_SUCCESS);
    EXPECT_EQ(results[0].errorCode, (300u << 16) | 100u);
    ASSERT_EQ(results[0].data.size(), 16u);
    EXPECT_EQ(results[0].data[0], '2');
    EXPECT_EQ(results[0].data[1], 0);
    EXPECT_EQ(results[1].param1, RESULT_FAILED);

    EXPECT_EQ(Ask(module, Wire(CMD_AUTO_ON, 0)).param1, RESULT_SUCCESS);
    sent.clear();
    module.PlaceFinger(SFinger{2, 0});
    EXPECT_TRUE(sent.empty());
}

TEST(SimMatching, CancelSaysWhetherTheModuleWasBusy) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_CANCEL)).param1, RESULT_IDLE);
    module.Matching().SetMasterMode(true);
    Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x01));
    EXPECT_EQ(Ask(module, Wire(CMD_CANCEL)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_REGISTER_STEP, 0, 0x02)).param1, RESULT_INVALID_PARAMETER)
        << "the cancelled registration is gone";
    Ask(module, Wire(CMD_CAPTURE_IMAGE));
    EXPECT_EQ(Ask(module, Wire(CMD_CANCEL)).param1, RESULT_SUCCESS) << "an image half sent";
}

}  // namespace
}  // namespace sondrix
