#include "sim/sim_configuration.h"

#include <gtest/gtest.h>

#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "sim/sim_module.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::Wire;

// One request, its one answer.
test::SSeenPacket Ask(CSimModule& module, const std::vector<uint8_t>& request) {
    CPacketParser parser;
    std::vector<test::SSeenPacket> answers;
    for (const SSimReply& reply : module.Receive(request.data(), request.size())) {
        for (uint8_t b : reply.bytes) {
            if (parser.Feed(b) == CPacketParser::EEvent::Packet) {
                answers.push_back(test::Snapshot(0, parser.rxPacket, 1));
            }
        }
    }
    EXPECT_EQ(answers.size(), 1u);
    return answers.empty() ? test::SSeenPacket{} : answers.front();
}

// The option number and value of a generic answer's payload.
std::pair<uint32_t, uint32_t> Echo(const test::SSeenPacket& answer) {
    EXPECT_EQ(answer.data.size(), 8u);
    return answer.data.size() < 8
               ? std::pair<uint32_t, uint32_t>{}
               : std::pair{GetU32BE(answer.data.data()), GetU32BE(answer.data.data() + 4)};
}

uint32_t Get(CSimModule& module, uint32_t option) {
    const test::SSeenPacket a = Ask(module, Wire(CMD_GET_SYSTEM_OPTION, option));
    EXPECT_EQ(a.param1, RESULT_SUCCESS) << std::hex << option;
    return Echo(a).second;
}

uint32_t Set(CSimModule& module, uint32_t option, uint32_t value) {
    return Ask(module, Wire(CMD_SET_SYSTEM_OPTION, option, value)).param1;
}

std::vector<uint8_t> PasswordField(const std::string& text) {
    std::vector<uint8_t> field(16, 0);
    std::copy(text.begin(), text.end(), field.begin());
    return field;
}

TEST(SimConfiguration, AnswersEveryOptionTheProgramReadsAndRefusesOthers) {
    CSimModule module({kModelHlxM18, 0x0301, 9600, 0});
    for (uint32_t option : {0x01u, 0x02u, 0x03u, 0x10u, 0x11u, 0x17u, 0x18u, 0x19u, 0x20u,
                            0x21u, 0x22u, 0x28u, 0x30u, 0x31u, 0x32u, 0x33u, 0x38u, 0x40u,
                            0x48u, 0x49u, 0x50u, 0x51u, 0x52u, 0x53u, 0x54u, 0x55u, 0xF0u}) {
        const test::SSeenPacket a = Ask(module, Wire(CMD_GET_SYSTEM_OPTION, option));
        EXPECT_EQ(a.param1, RESULT_SUCCESS) << std::hex << option;
        EXPECT_EQ(Echo(a).first, option);
    }
    EXPECT_EQ(Get(module, kOptionIdLength), 15u);
    EXPECT_EQ(Get(module, kOptionEmulationMode), 0xFFu);
    EXPECT_EQ(Get(module, kOptionChannel0Baud), 4u) << "its own line runs at 9600 bps";
    EXPECT_EQ(Get(module, kOptionTemplateMode), 2u);
    EXPECT_EQ(Get(module, kOptionUserCapacity), CSimConfiguration::kTemplateSlots / 2);
    EXPECT_EQ(Ask(module, Wire(CMD_GET_SYSTEM_OPTION, 0x99)).param1, RESULT_INVALID_PARAMETER);

    module.Config().modelCode = FindModelByName("HLX-M05")->code;
    EXPECT_EQ(Get(module, kOptionIdLength), 9u) << "a series-2 model keeps 9-digit IDs";
}

TEST(SimConfiguration, SetByNumberKeepsEveryOptionWithinItsRange) {
    CSimModule module;
    struct SCase {
        uint32_t option, refused, accepted;
    };
    for (const SCase& c :
         {SCase{kOptionRegisterQuality, 29, 30}, SCase{kOptionRegisterQuality, 101, 100},
          SCase{kOptionVerifyQuality, 9, 10}, SCase{kOptionIdentifyTimeout, 256, 255},
          SCase{kOptionIdentifyTimeout, 9, 10}, SCase{kOptionWiegandProtocol, 3, 2},
          SCase{kOptionVerifyLevel, 0, 9}, SCase{kOptionGain, 8, 7}, SCase{kOptionLatent, 2, 0},
          SCase{kOptionChannel1Baud, 6, 5}}) {
        const uint32_t before = Get(module, c.option);
        EXPECT_EQ(Set(module, c.option, c.refused), RESULT_INVALID_PARAMETER)
            << std::hex << c.option;
        EXPECT_EQ(Get(module, c.option), before);
        const test::SSeenPacket a = Ask(module, Wire(CMD_SET_SYSTEM_OPTION, c.option, c.accepted));
        EXPECT_EQ(a.param1, RESULT_SUCCESS);
        EXPECT_EQ(Echo(a), std::pair(c.option, c.accepted));
        EXPECT_EQ(Get(module, c.option), c.accepted);
    }
    // What follows from other settings is not set by number.
    EXPECT_EQ(Set(module, kOptionTemplateMode, 4), RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Set(module, kOptionUserCapacity, 1), RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Set(module, 0x99, 0), RESULT_INVALID_PARAMETER);
}

TEST(SimConfiguration, FixedPurposeCommandsShareTheNumberedOptions) {
    CSimModule module({kModelHlxM28, 0x0301, 115200, 0});
    EXPECT_EQ(Ask(module, Wire(CMD_SET_SENSOR_OPTION, 0, 3 << 16 | 60 << 8 | 100)).param1,
              RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_GET_SENSOR_OPTION)).param2, uint32_t{3 << 16 | 60 << 8 | 100});
    // One value out of range refuses all three.
    EXPECT_EQ(Ask(module, Wire(CMD_SET_SENSOR_OPTION, 0, 9 << 16 | 1 << 8 | 1)).param1,
              RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Get(module, kOptionBrightness), 60u);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_SECURITY_LEVEL, 0, 7 << 16 | 10)).param1,
              RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_LATENT_ADAPTIVE, 3, 0)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_GET_LATENT_ADAPTIVE, 0)).param1, RESULT_INVALID_PARAMETER);
    // HLX-M28 keeps its LFD level under its own number.
    EXPECT_EQ(Ask(module, Wire(CMD_SET_LFD_LEVEL, 0, 5)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Get(module, kOptionLfdLevelM28), 5u);
    EXPECT_EQ(Ask(module, Wire(CMD_GET_LFD_LEVEL)).param2, 5u);
}

TEST(SimConfiguration, SaveKeepsASnapshotAndDefaultsRestoreOnlyTheTunedValues) {
    CSimModule module;
    ASSERT_EQ(Set(module, kOptionVerifyQuality, 77), RESULT_SUCCESS);
    ASSERT_EQ(Ask(module, Wire(CMD_SET_ID_LENGTH, 8)).param1, RESULT_SUCCESS);
    EXPECT_NE(module.Configuration().SavedOptions().at(kOptionVerifyQuality), 77u);
    EXPECT_EQ(Ask(module, Wire(CMD_SAVE_SYSTEM_OPTIONS)).param1, RESULT_SUCCESS);
    EXPECT_EQ(module.Configuration().SavedOptions().at(kOptionVerifyQuality), 77u);

    EXPECT_EQ(Ask(module, Wire(CMD_SET_DEFAULT_OPTIONS)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Get(module, kOptionVerifyQuality), 40u);
    EXPECT_EQ(Get(module, kOptionIdLength), 8u) << "the ID length is no tuning value";
}

TEST(SimConfiguration, EmulationModeChangesWhatTheModuleReports) {
    CSimModule module;
    ASSERT_EQ(Ask(module, Wire(CMD_SET_TEMPLATE_COUNT, 4)).param1, RESULT_SUCCESS);
    test::SSeenPacket a = Ask(module, Wire(CMD_SET_EMULATION_MODE, 2));
    EXPECT_EQ(a.param1, RESULT_SUCCESS);
    EXPECT_EQ(a.param2, 2u);
    EXPECT_EQ(Get(module, kOptionEmulationMode), 2u);
    EXPECT_EQ(Get(module, kOptionIdLength), 9u);
    EXPECT_EQ(Get(module, kOptionTemplateMode), 2u) << "a new mode starts with two templates";
    EXPECT_EQ(Ask(module, Wire(CMD_SET_ID_LENGTH, 8)).param1, RESULT_NOT_SUPPORTED);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_TEMPLATE_COUNT, 4)).param1, RESULT_NOT_SUPPORTED);

    EXPECT_EQ(Ask(module, Wire(CMD_SET_EMULATION_MODE, 1)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Get(module, kOptionIdLength), 10u);
    EXPECT_EQ(Set(module, kOptionEmulationMode, 0xFF), RESULT_SUCCESS) << "also by number";
    EXPECT_EQ(Get(module, kOptionIdLength), 15u) << "its own length comes back";

    EXPECT_EQ(Ask(module, Wire(CMD_SET_EMULATION_MODE, 3)).param1, RESULT_INVALID_PARAMETER);
    module.UserDb().Seed(1);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_EMULATION_MODE, 1)).param1, RESULT_DB_NOT_EMPTY);
    EXPECT_EQ(Get(module, kOptionEmulationMode), 0xFFu);

    module.Config().modelCode = FindModelByName("HLX-M06")->code;
    module.UserDb().Clear();
    EXPECT_EQ(Ask(module, Wire(CMD_SET_EMULATION_MODE, 1)).param1, RESULT_NOT_SUPPORTED);
}

TEST(SimConfiguration, IdLengthAndTemplateCountNeedAnEmptyDatabase) {
    CSimModule module;
    test::SSeenPacket a = Ask(module, Wire(CMD_SET_ID_LENGTH, 8));
    EXPECT_EQ(a.param1, RESULT_SUCCESS);
    EXPECT_EQ(a.param2, 8u);
    EXPECT_EQ(Get(module, kOptionIdLength), 8u);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_ID_LENGTH, 16)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_ID_LENGTH, 3)).param1, RESULT_INVALID_PARAMETER);

    EXPECT_EQ(Ask(module, Wire(CMD_SET_TEMPLATE_COUNT, 1)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_TEMPLATE_COUNT, 4)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Get(module, kOptionUserCapacity), CSimConfiguration::kTemplateSlots / 4);
    EXPECT_EQ(module.Configuration().SavedOptions().at(kOptionTemplateMode), 4u)
        << "the count is saved at once";

    module.UserDb().Seed(2);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_ID_LENGTH, 9)).param1, RESULT_DB_NOT_EMPTY);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_TEMPLATE_COUNT, 2)).param1, RESULT_DB_NOT_EMPTY);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_ID_LENGTH, 8)).param1, RESULT_SUCCESS) << "no change";

    CSimModule lfd({kModelHlxM18Lfd, 0x0301, 115200, 0});
    EXPECT_EQ(Ask(lfd, Wire(CMD_SET_TEMPLATE_COUNT, 4)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(lfd, Wire(CMD_SET_TEMPLATE_COUNT, 1)).param1, RESULT_SUCCESS);
    EXPECT_EQ(Get(lfd, kOptionUserCapacity), CSimConfiguration::kTemplateSlots);
}

TEST(SimConfiguration, LineSpeedChangesAfterItsAnswer) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 0});
    EXPECT_EQ(Set(module, kOptionChannel0Baud, 6), RESULT_INVALID_PARAMETER);
    EXPECT_EQ(module.Config().baudRate, 115200u);
    EXPECT_EQ(Set(module, kOptionChannel0Baud, 4), RESULT_SUCCESS);
    EXPECT_EQ(module.Config().baudRate, 9600u);
    EXPECT_EQ(Get(module, kOptionChannel0Baud), 4u);

    EXPECT_EQ(Ask(module, Wire(CMD_SET_BAUD_RATE, 1, 5)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_BAUD_RATE, 0, 5)).param1, RESULT_SUCCESS);
    EXPECT_EQ(module.Config().baudRate, 14400u);
    // Channel 1 is a second line: setting it leaves this one alone.
    EXPECT_EQ(Set(module, kOptionChannel1Baud, 1), RESULT_SUCCESS);
    EXPECT_EQ(module.Config().baudRate, 14400u);
}

TEST(SimConfiguration, MasterPasswordIsSetWithinItsFieldAndDeleted) {
    CSimModule module;
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_PASSWORD, 0, 0, PasswordField("4711"))).param1,
              RESULT_SUCCESS);
    EXPECT_EQ(module.Configuration().MasterPassword(), (std::vector<uint8_t>{'4', '7', '1', '1'}));
    // Sixteen characters leave no room for the terminating zero.
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_PASSWORD, 0, 0, PasswordField(std::string(16, '1'))))
                  .param1,
              RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_PASSWORD, 0, 0, PasswordField(""))).param1,
              RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_PASSWORD, 0, 0, {'1', 0})).param1,
              RESULT_INVALID_DATA_SIZE);
    EXPECT_EQ(module.Configuration().MasterPassword().size(), 4u);
    EXPECT_EQ(Ask(module, Wire(CMD_DELETE_MASTER_PASSWORD)).param1, RESULT_SUCCESS);
    EXPECT_TRUE(module.Configuration().MasterPassword().empty());
}

}  // namespace
}  // namespace sondrix
