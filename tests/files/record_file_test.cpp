#include "files/record_file.h"

#include <gtest/gtest.h>

#include "files/files_test_support.h"

namespace sondrix {
namespace {

using namespace test;

Bytes WithPrefix(uint8_t idLengthMinusOne, const Bytes& record) {
    Bytes file(2 + record.size());
    file[0] = 0xF1;
    file[1] = idLengthMinusOne;
    std::copy(record.begin(), record.end(), file.begin() + 2);
    return file;
}

class RecordFileLoad : public ::testing::Test {
  protected:
    EFileStatus Load(const std::string& name, const Bytes& bytes, const SRecordContext& context) {
        WriteBytes(m_folder / name, bytes);
        return LoadRecordFile(m_folder / name, context, row);
    }

    CTempFolder m_folder;
    SHostRecordRow row;
};

TEST_F(RecordFileLoad, OldFormLoadsTheSameRowWithOrWithoutPrefix) {
    const Bytes record = OldRecord(1652, "1234", true);
    for (const Bytes& file : {WithPrefix(0x0A, record), record}) {
        row = {};
        ASSERT_EQ(Load("a.rec", file, kLegacyOther), EFileStatus::Ok);
        EXPECT_EQ(row.id, "1234");
        EXPECT_EQ(row.authority, "MASTER");
        EXPECT_EQ(row.time, "2016-03-07 14:05:09");
        EXPECT_EQ(row.record, record);
    }
    ASSERT_EQ(Load("a.rec", OldRecord(827, "77"), kSeries2Tm2), EFileStatus::Ok);
    EXPECT_EQ(row.authority, "USER");
    EXPECT_EQ(row.time, "");
}

TEST_F(RecordFileLoad, ExtendedPrefixNamesTheIdLengthOfTheWritingModule) {
    const Bytes record = MarkedRecord(300, 0xC3, 16, "123456789012345");
    ASSERT_EQ(Load("a.rec", WithPrefix(0x0F, record), Extended(11)), EFileStatus::Ok);
    EXPECT_EQ(row.id, "123456789012345");
    EXPECT_EQ(row.time, "2016-03-07 14:05:09");
    EXPECT_EQ(Load("a.rec", record, Extended(11)), EFileStatus::BadTime);
}

TEST_F(RecordFileLoad, SizeLimitCountsTheRecordNotThePrefix) {
    EXPECT_EQ(Load("a.rec", WithPrefix(0x0A, MarkedRecord(7999, 0xC3, 11, "1")), Extended()),
              EFileStatus::Ok);
    EXPECT_EQ(Load("a.rec", Bytes(100000, 0xC3), Extended()), EFileStatus::Invalid);
    EXPECT_EQ(Load("a.rec", {0xF1}, Extended()), EFileStatus::Invalid);
}

TEST_F(RecordFileLoad, ExistenceComesFirstThenTheExactExtension) {
    const Bytes record = MarkedRecord(500, 0xC3, 11, "1");
    EXPECT_EQ(Load("a.REC", record, Extended()), EFileStatus::NotSupported);
    EXPECT_EQ(Load("a.txt", record, Extended()), EFileStatus::NotSupported);
    EXPECT_EQ(Load("a.mrc", record, Extended()), EFileStatus::MrcIgnored);
    EXPECT_EQ(LoadRecordFile(m_folder / "gone.txt", Extended(), row), EFileStatus::NotFound);
    std::filesystem::create_directory(m_folder / "dir.rec");
    EXPECT_EQ(LoadRecordFile(m_folder / "dir.rec", Extended(), row), EFileStatus::IoError);
}

class RecordFileSave : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directory(m_folder); }

    CTempFolder m_root;
    std::filesystem::path m_folder = m_root / "records";
};

TEST_F(RecordFileSave, M28FilesStartWithThePrefixAndPauseAfterIt) {
    SRecordContext m28 = kLegacyOther;
    m28.isM28 = true;
    const Bytes record = MarkedRecord(1672, 0xC2, 11, "55");
    std::vector<int> pauses;
    const auto pause = [&](int ms) { pauses.push_back(ms); };
    const SRecordSaveResult saved = SaveRecordFile(m_folder, record, m28, pause);
    ASSERT_EQ(saved.status, EFileStatus::Ok);
    EXPECT_EQ(saved.path, m_folder / "55.rec");
    EXPECT_EQ(ReadBytes(saved.path), WithPrefix(0x0A, record));
    EXPECT_EQ(pauses, std::vector<int>{10});

    ASSERT_EQ(SaveRecordFile(m_folder, record, kLegacyOther, pause).status, EFileStatus::Ok);
    EXPECT_EQ(ReadBytes(saved.path), record);
    EXPECT_EQ(pauses.size(), 1u);
    SHostRecordRow row;
    EXPECT_EQ(LoadRecordFile(saved.path, kLegacyOther, row), EFileStatus::Ok);
}

TEST_F(RecordFileSave, HostileIdsNeverBecomeFiles) {
    const std::string hostile[] = {"../x",      "a/b",
                                   "..",        ".",
                                   "",          std::string("a\x01", 2),
                                   "tab\there", "x\x7f",
                                   "\xc3\xa9",  std::string(255, '1')};
    for (const std::string& id : hostile) {
        Bytes record(400, 0);
        record[0] = 0xC3;
        Put(record, 5, id);
        const SRecordSaveResult saved = SaveRecordFile(m_folder, record, Extended(256));
        EXPECT_EQ(saved.status, EFileStatus::UnsafeName) << id;
        EXPECT_EQ(saved.id, id);
    }
    EXPECT_TRUE(FileNames(m_folder).empty());
    EXPECT_EQ(FileNames(m_root.Path()), std::vector<std::string>{"records"});
}

TEST_F(RecordFileSave, AMissingFolderIsAnInputOutputError) {
    EXPECT_EQ(SaveRecordFile(m_root / "missing", OldRecord(1652, "1234"), kLegacyOther).status,
              EFileStatus::IoError);
}

}  // namespace
}  // namespace sondrix
