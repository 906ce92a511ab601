#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/interrupt_watch.h"

namespace sondrix {
namespace {

std::atomic<int> g_previousCalls{0};

TEST(InterruptWatchTest, SignalsReachTheHandlerOnAnOrdinaryThreadAndTheOldActionReturns) {
    struct sigaction mine {};
    struct sigaction old {};
    mine.sa_handler = [](int) { ++g_previousCalls; };
    sigemptyset(&mine.sa_mask);
    sigaction(SIGTERM, &mine, &old);

    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<int> seen;
    std::thread::id handlerThread;
    {
        // The handler locks and notifies: it is not in signal context.
        CInterruptWatch watch([&](int signal) {
            std::lock_guard lock(mutex);
            seen.push_back(signal);
            handlerThread = std::this_thread::get_id();
            arrived.notify_all();
        });
        ASSERT_TRUE(watch.Active()) << watch.Error();
        std::raise(SIGINT);
        std::raise(SIGTERM);
        std::unique_lock lock(mutex);
        ASSERT_TRUE(
            arrived.wait_for(lock, std::chrono::seconds(5), [&] { return seen.size() == 2; }));
        EXPECT_EQ(seen, (std::vector<int>{SIGINT, SIGTERM}));
        EXPECT_NE(handlerThread, std::this_thread::get_id());
        EXPECT_EQ(g_previousCalls, 0);

        const CInterruptWatch second([](int) {});
        EXPECT_FALSE(second.Active());
        EXPECT_NE(second.Error(), "");
    }
    std::raise(SIGTERM);
    EXPECT_EQ(g_previousCalls, 1);
    sigaction(SIGTERM, &old, nullptr);
}

}  // namespace
}  // namespace sondrix
