// Ctrl-C itself reaches sondrix-cli.exe in the end-to-end run under Wine
// (tests/windows), which turns a SIGINT into the console's Ctrl-C event.
#include <gtest/gtest.h>

#include "platform/interrupt_watch.h"

namespace sondrix {
namespace {

TEST(InterruptWatchTest, OneWatchAtATimeAndANewOneOnceItIsGone) {
    {
        const CInterruptWatch watch([](int) {});
        ASSERT_TRUE(watch.Active()) << watch.Error();
        const CInterruptWatch second([](int) {});
        EXPECT_FALSE(second.Active());
        EXPECT_EQ(second.Error(), "another interrupt watch is active");
    }
    const CInterruptWatch again([](int) {});
    EXPECT_TRUE(again.Active()) << again.Error();
}

}  // namespace
}  // namespace sondrix
