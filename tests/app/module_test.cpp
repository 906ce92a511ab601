// The typed module interface against the in-process simulated module, on
// virtual time: what it owns, what it checks before sending, what it leaves
// behind.
#include "app/module.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/model_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "sim/sim_loopback.h"
#include "sim/sim_matching.h"

namespace sondrix {
namespace {

class ModuleTest : public ::testing::Test {
  protected:
    CModule& Open(uint16_t model = kModelHlxM18, CModule::SSettings settings = {}) {
        sim.Config().modelCode = model;
        settings.timeoutMs = settings.timeoutMs == 30000 ? 3000 : settings.timeoutMs;
        module = std::make_unique<CModule>(loop, devices, settings);
        module->SetPacketObserver(
            [this](const STracedPacket& packet) { traced.push_back(packet); });
        return *module;
    }
    // A request the module got from another program, which left before the
    // answer: the module is still at it.
    void Feed(uint32_t command, uint32_t param1, uint32_t param2, std::vector<uint8_t> data) {
        CPacket packet;
        packet.command = command;
        packet.param1 = param1;
        packet.param2 = param2;
        packet.dataSize = static_cast<uint32_t>(data.size());
        std::copy(data.begin(), data.end(), packet.data);
        const std::vector<uint8_t> wire = packet.Encode();
        sim.Receive(wire.data(), wire.size());
    }
    int Traced(uint32_t command, int direction) const {
        return static_cast<int>(std::count_if(traced.begin(), traced.end(), [&](const auto& p) {
            return p.direction == direction && p.bytes.size() > 4 && p.bytes[4] == command;
        }));
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CSimModule sim{{kModelHlxM18, 0x0301, 115200, 0}};
    CSimPortFactory devices{loop, sim};
    std::unique_ptr<CModule> module;
    std::vector<STracedPacket> traced;
    test::CTempFolder folder;
};

TEST_F(ModuleTest, ALateAnswerOfAnotherProgramsRequestIsTracedAndNotActedOn) {
    sim.Config().waitForFinger = true;
    sim.PlaceFinger(kNoFinger);
    Feed(CMD_ENTER_MASTER_MODE, 3, 0, {});
    Feed(CMD_REGISTER_STEP, 0, 0, std::vector<uint8_t>(32, '1'));
    ASSERT_TRUE(sim.HoldingAnswer());
    CModule& m = Open();
    m.Connect("COM1", 115200);
    sim.ClearRequests();
    // The cancel frees the module, which answers the registration step it was
    // waiting on: nobody here asked for that answer.
    EXPECT_EQ(m.CancelModule(), RESULT_SUCCESS);
    loop.RunFor(500);
    EXPECT_EQ(Traced(CMD_REGISTER_STEP, 1), 1) << "the late answer is traced";
    EXPECT_EQ(sim.RequestCount(CMD_REGISTER_STEP), 0u) << "and no registration follows it";
    EXPECT_EQ(sim.Requests().size(), 1u);
}

TEST_F(ModuleTest, AnswersOfCancelThatAreNotCancelledOrIdleAreFailures) {
    CModule& m = Open();
    m.Connect("COM1", 115200);
    for (uint32_t result : {RESULT_FAILED, RESULT_NOT_MASTER_MODE}) {
        sim.Faults().forcedResult = result;
        try {
            m.CancelModule();
            ADD_FAILURE() << "result " << result << " taken for a cancel";
        } catch (const CModuleError& error) {
            EXPECT_EQ(error.ExitStatus(), 1);
            EXPECT_EQ(error.Result(), result);
        }
    }
    sim.Faults().forcedResult = 0;
    EXPECT_EQ(m.CancelModule(), RESULT_IDLE);
}

// What the connected module cannot take is refused before anything that
// depends on it is sent.
TEST_F(ModuleTest, IdsCredentialsAndFingersAreCheckedAgainstTheModuleBeforeSending) {
    CModule& series1 = Open(FindModelByName("HLX-M06")->code);
    series1.Connect("COM1", 115200);
    sim.ClearRequests();
    const auto usage = [](auto call) {
        try {
            call();
        } catch (const CModuleError& error) {
            return error.Failure() == EFailure::Usage ? std::string(error.what()) : std::string();
        }
        return std::string();
    };
    EXPECT_NE(usage([&] { series1.Verify("12345678901", std::nullopt); }), "");
    SEnrolment enrolment;
    enrolment.id = "12345678901";
    EXPECT_NE(usage([&] { series1.Enroll(enrolment); }), "");
    EXPECT_EQ(sim.RequestCount(CMD_VERIFY) + sim.RequestCount(CMD_ENTER_MASTER_MODE), 0u);

    CModule& series5 = Open(kModelHlxM18);
    series5.Connect("COM1", 115200);
    sim.ClearRequests();
    enrolment.id = "123";
    EXPECT_NE(usage([&] { series5.Enroll(enrolment); }).find("4 digits or more"),
              std::string::npos);
    enrolment.id = "4242";
    enrolment.fingers = 11;
    EXPECT_NE(usage([&] { series5.Enroll(enrolment); }), "");
    EXPECT_EQ(sim.RequestCount(CMD_ENTER_MASTER_MODE), 0u);

    // A module with a master asks for a credential; none given is never
    // answered with an empty one.
    SSimUser master;
    master.id = {'9'};
    master.authority = 1;
    master.password = {'5'};
    sim.UserDb().Add(master);
    EXPECT_NE(usage([&] { series5.Users(); }).find("master credential"), std::string::npos);
    EXPECT_EQ(sim.RequestCount(CMD_ENTER_MASTER_MODE), 1u) << "only the question";
}

TEST_F(ModuleTest, MasterModeEnteredIsLeftAtTheEndUnlessToldToStay) {
    for (const bool stay : {false, true}) {
        CModule::SSettings settings;
        settings.stayMaster = stay;
        Open(kModelHlxM18, settings).Connect("COM1", 115200);
        module->Users();
        EXPECT_TRUE(sim.Matching().MasterMode());
        module.reset();
        EXPECT_EQ(sim.Matching().MasterMode(), stay);
        sim.Matching().SetMasterMode(false);
    }
}

TEST_F(ModuleTest, AFailedVerificationWaitsForTheImageQualityThatFollowsIt) {
    SSimUser seven;
    seven.id = {'7'};
    seven.fingers = {SFinger{1, 0}};
    sim.UserDb().Add(seven);
    sim.PlaceFinger(SFinger{2, 3});
    CModule& m = Open();
    m.Connect("COM1", 115200);
    const SMatch match = m.Verify("7", std::nullopt);
    EXPECT_FALSE(match.matched);
    EXPECT_EQ(match.text, "Verification Failed!!!");
    EXPECT_EQ(sim.RequestCount(CMD_GET_IMAGE_QUALITY), 1u);
    EXPECT_GE(match.quality, 0);
}

TEST_F(ModuleTest, TheRateThatAnsweredIsTriedFirstNextTime) {
    sim.Config().baudRate = 57600;
    CModule::SSettings settings;
    settings.rateFile = folder.Path() / "rates";
    const auto connect = [&] {
        const int64_t start = loop.NowMs();
        Open(kModelHlxM18, settings).Connect("COM1", 0);
        return loop.NowMs() - start;
    };
    EXPECT_GT(connect(), 2000) << "the search from 115200 down to 57600";
    std::ifstream file(settings.rateFile);
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, "57600\tsimulated module");
    EXPECT_LT(connect(), 200);
}

}  // namespace
}  // namespace sondrix
