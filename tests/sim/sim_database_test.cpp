// The simulated module's database commands, packet in, packet out.
#include "sim/sim_database.h"

#include <gtest/gtest.h>

#include "files/record_format.h"
#include "files/record_profile.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "sim/sim_matching.h"
#include "sim/sim_module.h"
#include "support/recording_dialog.h"

namespace sondrix {
namespace {

using test::Wire;
using Bytes = std::vector<uint8_t>;

test::SSeenPacket Ask(CSimModule& module, const Bytes& request) {
    const std::vector<SSimReply> replies = module.Receive(request.data(), request.size());
    CPacketParser parser;
    for (const SSimReply& reply : replies) {
        for (uint8_t b : reply.bytes) {
            if (parser.Feed(b) == CPacketParser::EEvent::Packet) {
                return test::Snapshot(0, parser.rxPacket, 1);
            }
        }
    }
    ADD_FAILURE() << "no answer";
    return {};
}

Bytes Field(const std::string& id, size_t size) {
    Bytes field(size, 0);
    std::copy(id.begin(), id.end(), field.begin());
    return field;
}

std::string EntryAt(const Bytes& data, size_t stride, size_t index) {
    const auto first = data.begin() + static_cast<long>(4 + index * stride);
    return {first, std::find(first, first + static_cast<long>(stride), 0)};
}

TEST(SimDatabase, EveryCommandNeedsMasterMode) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 2});
    for (uint32_t command :
         {CMD_GET_USER_LIST, CMD_GET_MASTER_LIST, CMD_DOWNLOAD_RECORD, CMD_UPLOAD_RECORD,
          CMD_SET_MASTER_AUTHORITY, CMD_DELETE_ALL, CMD_DELETE_USER}) {
        const auto answer = Ask(module, Wire(command, 0, 0, Field("1", 16)));
        EXPECT_EQ(answer.command, command);
        EXPECT_EQ(answer.param1, RESULT_NOT_MASTER_MODE);
    }
    EXPECT_EQ(module.UserDb().Count(), 2u);
}

TEST(SimDatabase, ListsArePagedWithTheLayoutsEntrySize) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 600});
    module.Matching().SetMasterMode(true);
    module.UserDb().Users()[6].authority = 1;
    auto page = Ask(module, Wire(CMD_GET_USER_LIST, 0, 2));
    EXPECT_EQ(page.param1, RESULT_SUCCESS);
    EXPECT_EQ(page.param2, 0x0202u) << "this page 2, last page 2";
    ASSERT_EQ(page.data.size(), 4u + 88 * 16);
    EXPECT_EQ((page.data[0] << 8) | page.data[1], 88);
    EXPECT_EQ(EntryAt(page.data, 16, 0), "513");
    EXPECT_EQ(Ask(module, Wire(CMD_GET_USER_LIST, 0, 3)).param1, RESULT_INVALID_PARAMETER);

    const auto masters = Ask(module, Wire(CMD_GET_MASTER_LIST, 0, 0));
    EXPECT_EQ(masters.param2, 0u);
    ASSERT_EQ(masters.data.size(), 4u + 16);
    EXPECT_EQ(EntryAt(masters.data, 16, 0), "7");

    const auto count = Ask(module, Wire(CMD_GET_USER_LIST, 1, 0));
    EXPECT_EQ(count.param2, 600u);
    EXPECT_EQ((count.data.at(0) << 8) | count.data.at(1), 600);

    // A legacy module: 11-byte entries, also with a longer ID setting.
    module.Config().modelCode = FindModelByName("HLX-M09")->code;
    module.Database().entriesPerPage = 250;
    page = Ask(module, Wire(CMD_GET_USER_LIST, 0, 1));
    EXPECT_EQ(page.param2, 0x0102u);
    ASSERT_EQ(page.data.size(), 4u + 250 * 11);
    EXPECT_EQ(EntryAt(page.data, 11, 0), "251");

    module.UserDb().Clear();
    page = Ask(module, Wire(CMD_GET_USER_LIST, 0, 0));
    EXPECT_EQ(page.param2, 0u);
    EXPECT_EQ(page.data, (Bytes{0, 0, 0, 0})) << "an empty list is one empty page";
}

TEST(SimDatabase, RecordsDecodeWithTheProgramsOwnReader) {
    struct SCase {
        const char* model;
        uint32_t templateMode;
        uint8_t code;
        size_t size;  // 0: any size the layout allows
    };
    for (const SCase& c : {SCase{"HLX-M18", 0, 0x20, 0}, SCase{"HLX-M18", 0, 0x22, 0},
                           SCase{"HLX-M09", 1, 0x02, 1652}, SCase{"HLX-M09", 1, 0x12, 0},
                           SCase{"HLX-M09", 2, 0x01, 844}, SCase{"HLX-M11", 2, 0x01, 827},
                           SCase{"HLX-M06", 2, 0x15, 0}}) {
        SCOPED_TRACE(std::string(c.model) + " code " + std::to_string(c.code));
        CSimModule module({FindModelByName(c.model)->code, 0x0301, 115200, 3});
        module.Matching().SetMasterMode(true);
        module.Options()[kOptionTemplateMode] = c.templateMode;
        SSimUser& user = module.UserDb().Users()[1];
        user.authority = 1;
        user.fingers.push_back(SFinger{2, 5});
        const SRecordContext context = module.Database().Context();

        const auto byId = Ask(module, Wire(CMD_DOWNLOAD_RECORD, 0, c.code, Field("2", 11)));
        ASSERT_EQ(byId.param1, RESULT_SUCCESS);
        if (c.size != 0) {
            EXPECT_EQ(byId.data.size(), c.size);
        }
        SRecordInfo info;
        ASSERT_EQ(DecodeRecord(byId.data, context, std::nullopt, info), EFileStatus::Ok);
        EXPECT_EQ(info.id, "2");
        EXPECT_TRUE(info.master);
        if (info.time) {
            EXPECT_EQ(info.time->ToString(), "2016-01-01 00:00:00");
        }
        EXPECT_EQ(RecordFileId(byId.data, context), "2");

        // First and next walk the module's records in their order.
        EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 1, c.code)).data,
                  module.Database().MakeRecord(module.UserDb().Users()[0], c.code));
        EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 2, c.code)).data, byId.data);
        EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 2, c.code)).param1, RESULT_SUCCESS);
        EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 2, c.code)).param1, RESULT_FAILED);

        // Upload gives back the same user, both fingers included.
        module.UserDb().Clear();
        EXPECT_EQ(Ask(module, Wire(CMD_UPLOAD_RECORD, c.code, 0, byId.data)).param1,
                  RESULT_SUCCESS);
        ASSERT_EQ(module.UserDb().Count(), 1u);
        EXPECT_EQ(module.UserDb().Users()[0].fingers, (std::vector<SFinger>{{2, 0}, {2, 5}}));
        EXPECT_EQ(module.UserDb().Users()[0].authority, 1);
    }
}

TEST(SimDatabase, CodesOfAnotherLayoutOrTemplateModeAreRefused) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 2});
    module.Matching().SetMasterMode(true);
    EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 1, 0x11)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 1, 0x23)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 3, 0x20)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 0, 0x20, Field("9", 16))).param1,
              RESULT_INVALID_ID);

    module.Config().modelCode = FindModelByName("HLX-M09")->code;
    module.Options()[kOptionTemplateMode] = 1;
    EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 1, 0x01)).param1, RESULT_WRONG_TEMPLATE_MODE);
    EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 1, 0x20)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_DOWNLOAD_RECORD, 1, 0x02)).param1, RESULT_SUCCESS);
}

TEST(SimDatabase, UploadRefusesRecordsItCannotStore) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 1});
    module.Matching().SetMasterMode(true);
    const Bytes good = module.Database().MakeRecord(module.UserDb().Users()[0], 0x20);
    module.UserDb().Clear();

    Bytes wrongMarker = good;
    wrongMarker[0] = 0xC2;
    Bytes noId = good;
    std::fill_n(noId.begin() + 5, 16, 0);
    Bytes damaged = good;
    damaged.back() ^= 0x01;  // the template's check sum no longer holds
    Bytes cut(good.begin(), good.begin() + 40);
    for (const auto& [record, result] :
         std::vector<std::pair<Bytes, uint32_t>>{{wrongMarker, RESULT_INVALID_DATA},
                                                 {noId, RESULT_INVALID_ID},
                                                 {damaged, RESULT_INVALID_DATA},
                                                 {cut, RESULT_INVALID_DATA_SIZE}}) {
        EXPECT_EQ(Ask(module, Wire(CMD_UPLOAD_RECORD, 0x20, 0, record)).param1, result);
    }
    EXPECT_EQ(Ask(module, Wire(CMD_UPLOAD_RECORD, 0x12, 0, good)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(module.UserDb().Count(), 0u);

    // An old-form code wants the old form's exact size.
    module.Config().modelCode = FindModelByName("HLX-M09")->code;
    module.Options()[kOptionTemplateMode] = 2;
    EXPECT_EQ(Ask(module, Wire(CMD_UPLOAD_RECORD, 0x01, 0, Bytes(843, 0))).param1,
              RESULT_INVALID_DATA);
}

TEST(SimDatabase, AuthorityAndDeletionByIdAndByAuthority) {
    CSimModule module({kModelHlxM18, 0x0301, 115200, 6});
    module.Matching().SetMasterMode(true);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_AUTHORITY, 1, 0, Field("2", 16))).param1,
              RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_AUTHORITY, 1, 0, Field("5", 16))).param1,
              RESULT_SUCCESS);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_AUTHORITY, 1, 0, Field("77", 16))).param1,
              RESULT_INVALID_ID);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_AUTHORITY, 2, 0, Field("1", 16))).param1,
              RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_SET_MASTER_AUTHORITY, 0, 0, Field("5", 16))).param1,
              RESULT_SUCCESS);
    EXPECT_EQ(module.UserDb().Users()[4].authority, 0);

    auto answer = Ask(module, Wire(CMD_DELETE_USER, 0, 0, Field("3", 16)));
    EXPECT_EQ(answer.param1, RESULT_SUCCESS);
    EXPECT_EQ(answer.param2, 5u);
    EXPECT_EQ(Ask(module, Wire(CMD_DELETE_USER, 0, 0, Field("3", 16))).param1, RESULT_INVALID_ID);

    answer = Ask(module, Wire(CMD_DELETE_ALL, 2));
    EXPECT_EQ(answer.param2, 4u) << "only master 2 goes";
    answer = Ask(module, Wire(CMD_DELETE_ALL, 1));
    EXPECT_EQ(answer.param2, 0u);
    module.UserDb().Seed(3);
    module.UserDb().Users()[0].authority = 1;
    EXPECT_EQ(Ask(module, Wire(CMD_DELETE_ALL, 1)).param2, 1u) << "the master stays";
    EXPECT_EQ(Ask(module, Wire(CMD_DELETE_ALL, 3)).param1, RESULT_INVALID_PARAMETER);
    EXPECT_EQ(Ask(module, Wire(CMD_DELETE_ALL, 0)).param2, 0u);
}

}  // namespace
}  // namespace sondrix
