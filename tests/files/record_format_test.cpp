#include "files/record_format.h"

#include <gtest/gtest.h>

#include "files/files_test_support.h"
#include "files/format_code.h"

namespace sondrix {
namespace {

using namespace test;

EFileStatus Decode(const Bytes& record, const SRecordContext& context, SRecordInfo* info = nullptr,
                   std::optional<size_t> fileIdFieldLength = std::nullopt) {
    SRecordInfo ignored;
    return DecodeRecord(record, context, fileIdFieldLength, info ? *info : ignored);
}

TEST(RecordDecode, AcceptsOnlyTheSizesAndMarkersOfTheModule) {
    struct SCase {
        SRecordContext context;
        size_t size;
        uint8_t first;
        bool accepted;
    };
    const SCase cases[] = {{Extended(), 7999, 0xC3, true},    {Extended(), 8000, 0xC3, false},
                           {Extended(), 500, 0xC2, false},    {kSeries2Tm2, 827, 0, true},
                           {kSeries2Tm2, 843, 0, true},       {kSeries2Tm2, 844, 0, false},
                           {kLegacyTm2, 844, 0, true},        {kLegacyTm2, 860, 0, true},
                           {kLegacyTm2, 1499, 0xC1, true},    {kLegacyTm2, 1500, 0xC1, false},
                           {kLegacyTm2, 827, 0, false},       {kLegacyOther, 1652, 0, true},
                           {kLegacyOther, 1672, 0, true},     {kLegacyOther, 2999, 0xC2, true},
                           {kLegacyOther, 3000, 0xC2, false}, {kLegacyOther, 1499, 0xC1, false}};
    for (const SCase& c : cases) {
        Bytes record = MarkedRecord(c.size, c.first, 11, "7");
        PutTime(record, c.size - 8, kSomeTime);  // where the old form keeps it
        EXPECT_EQ(Decode(record, c.context), c.accepted ? EFileStatus::Ok : EFileStatus::Invalid)
            << c.size << " " << int{c.first};
    }
    EXPECT_EQ(Decode({0xC3}, Extended()), EFileStatus::Invalid);
}

TEST(RecordDecode, IdIsCutToTheModulesDisplayLength) {
    const std::string longId(30, '9');  // no NUL, and clear of the time field
    SRecordInfo extended, legacy, series2;
    ASSERT_EQ(Decode(MarkedRecord(900, 0xC3, 20, longId), Extended(20), &extended),
              EFileStatus::Ok);
    ASSERT_EQ(Decode(MarkedRecord(900, 0xC1, 11, longId), kLegacyTm2, &legacy), EFileStatus::Ok);
    ASSERT_EQ(Decode(OldRecord(827, longId), kSeries2Tm2, &series2), EFileStatus::Ok);
    EXPECT_EQ(extended.id.size(), 16u);
    EXPECT_EQ(legacy.id.size(), 11u);
    EXPECT_EQ(series2.id.size(), 10u);
}

TEST(RecordDecode, TimeIsCheckedFieldByFieldButNotTheYearOrMonthLength) {
    // Legacy records keep an 11-byte ID field whatever ID length the module has now.
    SRecordContext module = kLegacyOther;
    module.idFieldLength = 16;
    auto decodeTime = [&](const STime& time, SRecordInfo* info = nullptr) {
        return Decode(MarkedRecord(2000, 0xC2, 11, "5", time), module, info);
    };
    SRecordInfo info;
    ASSERT_EQ(decodeTime({2016, 2, 30, 12, 0, 0}, &info), EFileStatus::Ok);
    EXPECT_EQ(info.time->ToString(), "2016-02-30 12:00:00");
    EXPECT_EQ(decodeTime({9999, 12, 31, 24, 60, 60}), EFileStatus::Ok);
    EXPECT_EQ(decodeTime({2016, 2, 30, 25, 0, 0}), EFileStatus::BadTime);
    EXPECT_EQ(decodeTime({2016, 13, 1, 0, 0, 0}), EFileStatus::BadTime);
    EXPECT_EQ(decodeTime({2016, 1, 0, 0, 0, 0}), EFileStatus::BadTime);
    EXPECT_EQ(decodeTime({2016, 1, 1, 0, 0, 61}), EFileStatus::BadTime);
    // Series 2 / emulation 2 records carry no time: whatever lies there is not checked.
    ASSERT_EQ(Decode(MarkedRecord(900, 0xC1, 11, "5", {0, 99, 99, 99, 99, 99}), kSeries2Tm2, &info),
              EFileStatus::Ok);
    EXPECT_FALSE(info.time.has_value());
    // A time placed past the end of the record by a huge ID length is never read.
    EXPECT_EQ(Decode(MarkedRecord(200, 0xC3, 11, "5"), Extended(), nullptr, 256),
              EFileStatus::BadTime);
}

TEST(RecordFileId, ComesFromByte5ForMarkedRecordsElseFromByte1) {
    const Bytes marked = {0xC2, 'x', 0, 0, 0, '4', '2', 0, 'z'};
    const Bytes old = {0x01, '4', '2', 0, 0, '9'};
    EXPECT_EQ(RecordFileId(marked, kLegacyOther), "42");
    EXPECT_EQ(RecordFileId(old, kLegacyOther), "42");
    EXPECT_EQ(RecordFileId(old, Extended()), "9");
    // Without a NUL the ID runs to the end of the record, never past it, and
    // never into the bytes after its field.
    EXPECT_EQ(RecordFileId(Bytes{0xC3, 0, 0, 0, 0, 'a', 'b'}, Extended()), "ab");
    EXPECT_EQ(RecordFileId(Bytes{0xC3, 0, 0, 0, 0, 'a', 'b', 'c', 'd', 'e'}, Extended(4)), "abcd");
    Bytes fullOld = {0x00, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', 0xAB, 'x', 0};
    EXPECT_EQ(RecordFileId(fullOld, kLegacyOther), "12345678901");
    EXPECT_EQ(RecordFileId(fullOld, kSeries2Tm2), "1234567890");
    Bytes fullMarked(60, 'z');
    fullMarked[0] = 0xC1;
    EXPECT_EQ(RecordFileId(fullMarked, kLegacyTm2), std::string(11, 'z'));
}

TEST(RecordContext, LegacyLayoutForSeries1To3OrAnyEmulation) {
    EXPECT_EQ(SRecordContext::FromModule({3, kNoEmulation}, 2, 11, false).layout,
              ERecordLayout::Legacy);
    EXPECT_EQ(SRecordContext::FromModule({4, kNoEmulation}, 1, 16, true).layout,
              ERecordLayout::Extended);
    EXPECT_EQ(SRecordContext::FromModule({5, kEmulationSa}, 1, 11, false).layout,
              ERecordLayout::Legacy);
    const auto emulation2 = SRecordContext::FromModule({4, kEmulationSb}, 2, 10, false);
    EXPECT_EQ(emulation2.layout, ERecordLayout::Legacy);
    EXPECT_TRUE(emulation2.series2OrEmulation2 && emulation2.templateMode2);
}

TEST(FormatCode, DownloadByChoiceUploadBySize) {
    EXPECT_EQ(DownloadFormatCode(Extended(), 3), 0x22);
    EXPECT_EQ(DownloadFormatCode(kSeries2Tm2, 2), 0x13);
    EXPECT_EQ(DownloadFormatCode(kLegacyOther, 0), 0x02);
    EXPECT_EQ(DownloadFormatCode(kLegacyOther, 4), std::nullopt);
    EXPECT_EQ(UploadFormatCode(Extended(), 1652), 0x20);
    EXPECT_EQ(UploadFormatCode(kSeries2Tm2, 827), 0x01);
    EXPECT_EQ(UploadFormatCode(kSeries2Tm2, 844), 0x11);
    EXPECT_EQ(UploadFormatCode(kLegacyTm2, 844), 0x01);
    EXPECT_EQ(UploadFormatCode(kLegacyOther, 1652), 0x02);
    EXPECT_EQ(UploadFormatCode(kLegacyOther, 1672), 0x12);
}

}  // namespace
}  // namespace sondrix
