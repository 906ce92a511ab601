// A record written to a disk that fills up part-way. A low file size limit
// (POSIX setrlimit) stands in for the full disk.
#include <gtest/gtest.h>

#include "files/files_test_support.h"
#include "files/record_file.h"
#include "support/file_size_limit.h"

namespace sondrix {
namespace {

using namespace test;

TEST(RecordFileFullDisk, FailuresAreReportedAndKeepTheExistingFile) {
    CTempFolder root;
    const std::filesystem::path folder = root / "records";
    std::filesystem::create_directory(folder);
    const Bytes previous = {'o', 'l', 'd'};
    WriteBytes(folder / "1234.rec", previous);
    const Bytes record = OldRecord(1652, "1234");
    {
        const CFileSizeLimit full(100);
        EXPECT_EQ(SaveRecordFile(folder, record, kLegacyOther).status, EFileStatus::IoError);
    }
    EXPECT_EQ(ReadBytes(folder / "1234.rec"), previous);
    EXPECT_EQ(FileNames(folder), std::vector<std::string>{"1234.rec"});
}

}  // namespace
}  // namespace sondrix
