#include "files/template_file.h"

#include <gtest/gtest.h>

#include "files/files_test_support.h"
#include "files/read_file.h"

namespace sondrix {
namespace {

using namespace test;

TEST(TemplateFile, LoadsUpTo65535BytesWhole) {
    CTempFolder folder;
    Bytes largest(65535);
    for (size_t i = 0; i < largest.size(); ++i) {
        largest[i] = static_cast<uint8_t>(i * 7);
    }
    WriteBytes(folder / "t.min", largest);
    Bytes loaded;
    ASSERT_EQ(LoadTemplateFile(folder / "t.min", loaded), EFileStatus::Ok);
    EXPECT_EQ(loaded, largest);
    largest.push_back(0);
    WriteBytes(folder / "t.min", largest);
    EXPECT_EQ(LoadTemplateFile(folder / "t.min", loaded), EFileStatus::TooBig);
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(LoadTemplateFile(folder / "none.min", loaded), EFileStatus::NotFound);
}

TEST(TemplateFile, SaveReplacesAnExistingFileAndLeavesNothingElse) {
    CTempFolder folder;
    ASSERT_EQ(SaveTemplateFile(folder / "t.min", Bytes{1, 2, 3}), EFileStatus::Ok);
    ASSERT_EQ(SaveTemplateFile(folder / "t.min", Bytes{9}), EFileStatus::Ok);
    EXPECT_EQ(ReadBytes(folder / "t.min"), Bytes{9});
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"t.min"});
    EXPECT_EQ(SaveTemplateFile(folder / "no" / "t.min", Bytes{1}), EFileStatus::IoError);
}

TEST(ReadWholeFile, NoticesAFileWhoseContentOutgrowsItsSize) {
    if (!std::filesystem::exists("/proc/self/status")) {
        GTEST_SKIP() << "no /proc on this system";
    }
    // Kernel status files report size 0 but have content.
    Bytes bytes;
    EXPECT_EQ(ReadWholeFile(std::filesystem::path("/proc/self/status"), 100000, bytes),
              EFileStatus::SizeChanged);
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace sondrix
