// A long continuous-capture run against the in-process module, on virtual
// time: what the program keeps must not grow with the number of images.
#include <gtest/gtest.h>
#include <malloc.h>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "support/sim_session.h"

namespace sondrix {
namespace {

// Bytes the heap holds for the program now.
size_t HeapInUse() {
    return mallinfo2().uordblks;
}

class ContinuousSoakTest : public ::testing::Test, protected test::CSimSession {
  protected:
    bool RunUntilSucceeded(int count) {
        return loop.RunUntil([&] { return dlg.imageDlg.succeededCount >= count; }, 1u << 31);
    }
};

TEST_F(ContinuousSoakTest, TenThousandImagesLeaveTheHeapWhereTheFirstThousandLeftIt) {
    devices.SetPacing(true);
    ASSERT_TRUE(ConnectTo("HLX-M18"));
    dlg.imageDlg.Click(CImageDlg::kContinuous);
    ASSERT_EQ(dlg.continuousCapture, 1);
    // Every list and log reaches its cap within the first thousand images.
    ASSERT_TRUE(RunUntilSucceeded(1000));
    const size_t settled = HeapInUse();
    ASSERT_TRUE(RunUntilSucceeded(10000));
    const size_t after = HeapInUse();
    dlg.imageDlg.Click(CImageDlg::kContinuous);
    EXPECT_EQ(dlg.imageDlg.failedCount, 0);
    // At 115200 bps an image of 260 x 300 takes about 6.9 s on the line.
    EXPECT_NEAR(static_cast<double>(loop.NowMs()) / 10000, 6900, 300);
    // Nine thousand images more may not cost even eight bytes each; the
    // slack is for the allocator's own bookkeeping.
    EXPECT_LT(after, settled + 64 * 1024) << "grew by " << after - settled << " bytes";
}

}  // namespace
}  // namespace sondrix
