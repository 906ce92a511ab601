#include <gtest/gtest.h>

#include "files/files_test_support.h"
#include "files/log_file.h"
#include "files/log_record.h"
#include "files/log_store.h"

namespace sondrix {
namespace {

using namespace test;

Bytes LogRecord(uint8_t sequence, uint8_t kind, size_t size = 32) {
    Bytes record(size, 0);
    record[3] = sequence;
    record[4] = kind;
    return record;
}

// Sequence 42, the given kind and event, value 1, 2016-03-07 14:05:09, ID at 16.
Bytes TimedRecord(uint8_t kind, uint8_t event, const std::string& id, size_t size = 32) {
    Bytes record = LogRecord(42, kind, size);
    record[5] = event;
    record[7] = 1;
    PutTime(record, 8, kSomeTime);
    Put(record, 16, id.substr(0, size - 16));
    return record;
}

TEST(LogLine, TimedKindsWriteValueTimeThenTheRightAlignedId) {
    const std::string head = "0x002a\t\tCOMMAND\t";
    const std::string tail = "\t\t1\t2016-03-07 14:05:09";
    EXPECT_EQ(FormatLogLine(TimedRecord(2, 2, "1234")),
              head + "Verification       " + tail + "       1234 \t");
    // Kind 2 takes 10 ID characters into 11 columns, kind 3 takes 15 into 16.
    const std::string id(16, '8');
    EXPECT_EQ(FormatLogLine(TimedRecord(2, 15, id)),
              head + "Instant Identify   " + tail + " 8888888888 \t");
    EXPECT_EQ(FormatLogLine(TimedRecord(3, 0, id)),
              head + "Enrollment         " + tail + " " + std::string(15, '8') + " \t");
    // A 28-byte record ends a kind 3 ID at its last byte.
    EXPECT_EQ(FormatLogLine(TimedRecord(3, 0, id, 28)),
              head + "Enrollment         " + tail + "    " + std::string(12, '8') + " \t");
}

TEST(LogLine, Kind0WritesIdThenValueAndNamesOnlyItsOwnEvents) {
    Bytes record = LogRecord(0, 0, 28);
    record[0] = 0x01;
    record[5] = 10;
    Put(record, 6, "9999999999");  // byte 15 ends the ID after nine characters
    record[16] = 0x12;
    record[17] = 0x34;
    EXPECT_EQ(FormatLogLine(record),
              "0x1000000\t\tCOMMAND\tDelete All         \t  999999999 \t\t4660");
    record[5] = 11;  // "Change FP" is named only in kinds 2 and 3
    EXPECT_EQ(FormatLogLine(record), "0x1000000\t\tCOMMAND\t  999999999 \t\t4660");
}

TEST(LogLine, ErrorUnknownAndShortRecords) {
    Bytes error = LogRecord(1, 1, 28);
    Put(error, 5, std::string(23, 'E'));  // byte 27 ends the text
    EXPECT_EQ(FormatLogLine(error), "0x0001\t\tERROR \t" + std::string(22, 'E'));
    Bytes unknown = LogRecord(5, 7, 8);
    unknown[7] = 0xAB;
    EXPECT_EQ(FormatLogLine(unknown), "0x0005\t\tUNKNOWN KIND 0x07\t00 00 00 05 07 00 00 ab");
    EXPECT_EQ(FormatLogLine(LogRecord(5, 0, 10)),
              "0x0005\t\tSHORT RECORD\t00 00 00 05 00 00 00 00 00 00");
    EXPECT_EQ(FormatLogLine(Bytes{1, 2, 3}), "0x0000\t\tSHORT RECORD\t01 02 03");
}

Bytes Chunk(uint16_t count, const std::vector<Bytes>& records) {
    Bytes data = {static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count), 0, 0};
    for (const Bytes& record : records) {
        data.insert(data.end(), record.begin(), record.end());
    }
    return data;
}

TEST(LogStore, StoresOnlyWholeRecordsThatArrivedAndFit) {
    CLogStore store;
    const Bytes first = LogRecord(1, 0, 28);
    const Bytes second = LogRecord(2, 0, 28);
    Bytes data = Chunk(10, {first, second});
    data.push_back(0xEE);  // part of a third record
    ASSERT_EQ(store.Store(data, 28), 2u);
    std::span<const uint8_t> record;
    ASSERT_TRUE(store.Next(record));
    EXPECT_EQ(Bytes(record.begin(), record.end()), first);
    ASSERT_TRUE(store.Next(record));
    EXPECT_EQ(Bytes(record.begin(), record.end()), second);
    EXPECT_FALSE(store.Next(record));

    EXPECT_EQ(store.Store(Chunk(0xFFFF, {}), 28), 0u);
    EXPECT_EQ(store.Store(Bytes{0, 1, 0}, 28), 0u);
    EXPECT_EQ(store.Store(Chunk(1, {first}), 0), 0u);
    Bytes huge = Chunk(0xFFFF, {});
    huge.resize(4 + 200000);
    EXPECT_EQ(store.Store(huge, 28), CLogStore::kCapacity / 28);
}

TEST(LogFile, TheChunksOfOneDownloadTakeTheFilesNameTogetherOnceTheLastIsIn) {
    CTempFolder folder;
    const auto path = folder / "module.log";
    const Bytes previous(100, 'x');
    WriteBytes(path, previous);
    const Bytes a = TimedRecord(2, 2, "1");
    const Bytes b = LogRecord(7, 9);
    const std::string lineA = FormatLogLine(a) + "\r\n";
    const std::string lineB = FormatLogLine(b) + "\r\n";
    auto text = [&] {
        const Bytes bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    CLogStore store;
    CLogFileWriter writer;
    store.Store(Chunk(1, {a}), 32);
    ASSERT_EQ(writer.WriteChunk(path, 0, store), EFileStatus::Ok);
    EXPECT_EQ(store.Count(), 0u);
    store.Store(Chunk(2, {b, a}), 32);
    ASSERT_EQ(writer.WriteChunk(path, 1, store), EFileStatus::Ok);
    EXPECT_EQ(ReadBytes(path), previous) << "the old log stays until the download is whole";
    ASSERT_EQ(writer.Finish(), EFileStatus::Ok);
    EXPECT_EQ(text(), lineA + lineB + lineA);
    EXPECT_EQ(writer.BytesWritten(), text().size());

    // A download that stops part-way, or starts again, leaves no trace.
    store.Store(Chunk(1, {b}), 32);
    ASSERT_EQ(writer.WriteChunk(path, 0, store), EFileStatus::Ok);
    writer.Abandon();
    store.Store(Chunk(1, {b}), 32);
    ASSERT_EQ(writer.WriteChunk(path, 0, store), EFileStatus::Ok);
    store.Store(Chunk(1, {a}), 32);
    ASSERT_EQ(writer.WriteChunk(path, 0, store), EFileStatus::Ok);
    ASSERT_EQ(writer.Finish(), EFileStatus::Ok);
    EXPECT_EQ(text(), lineA);
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"module.log"});

    store.Store(Chunk(1, {a}), 32);
    EXPECT_EQ(writer.WriteChunk(folder / "missing" / "x.log", 0, store), EFileStatus::IoError);
    EXPECT_NE(writer.Error(), "");
}

}  // namespace
}  // namespace sondrix
