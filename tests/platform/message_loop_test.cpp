#include "platform/message_loop.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "platform/native_file.h"
#include "platform/port_map.h"
#include "platform/system_serial.h"

namespace sondrix {
namespace {

class CProbe : public CWindow {
  public:
    using CWindow::CWindow;
    LRESULT WindowProc(uint32_t message, WPARAM wparam, LPARAM) override {
        log.push_back("msg " + std::to_string(message) + ":" + std::to_string(wparam));
        return static_cast<LRESULT>(wparam) * 2;
    }
    void OnTimer(uint32_t id) override {
        log.push_back("timer " + std::to_string(id) + "@" + std::to_string(Loop().NowMs()));
        if (onTimer) {
            onTimer(id);
        }
    }
    std::vector<std::string> log;
    std::function<void(uint32_t)> onTimer;
};

TEST(MessageLoop, PostedMessagesArriveInOrderAndSentOnesAtOnce) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CProbe a(loop);
    CProbe b(loop);
    a.PostMessage(WM_USER + 1, 1);
    b.PostMessage(WM_USER + 2, 2);
    a.PostMessage(WM_USER + 3, 3);
    EXPECT_EQ(loop.Send(b.Handle(), WM_USER, 21), 42);
    EXPECT_EQ(b.log, std::vector<std::string>{"msg 1024:21"});
    EXPECT_EQ(loop.ProcessPending(), 3u);
    EXPECT_EQ(a.log, (std::vector<std::string>{"msg 1025:1", "msg 1027:3"}));
}

TEST(MessageLoop, MessagesAndTimersOfADestroyedWindowAreDropped) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    auto doomed = std::make_unique<CProbe>(loop);
    const HWND handle = doomed->Handle();
    doomed->PostMessage(WM_USER, 1);
    doomed->SetTimer(1, 10);
    doomed.reset();
    EXPECT_EQ(loop.Send(handle, WM_USER, 5), 0);
    EXPECT_FALSE(loop.HasTimer(handle, 1));
    loop.RunFor(100);  // must not touch the freed window
    CProbe fresh(loop);
    EXPECT_NE(fresh.Handle(), handle) << "handles are never reused";
}

TEST(MessageLoop, TimersArePeriodicAndTickAfterPostedMessages) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CProbe w(loop);
    w.SetTimer(1, 500);
    w.SetTimer(2, 200);
    loop.RunFor(1000);
    EXPECT_EQ(w.log,
              (std::vector<std::string>{"timer 2@200", "timer 2@400", "timer 1@500", "timer 2@600",
                                        "timer 2@800", "timer 1@1000", "timer 2@1000"}));
    w.log.clear();
    // Re-arming restarts the period; killing stops it.
    w.SetTimer(1, 300);
    w.KillTimer(2);
    w.PostMessage(WM_USER, 7);
    loop.RunFor(300);
    EXPECT_EQ(w.log, (std::vector<std::string>{"msg 1024:7", "timer 1@1300"}));
}

TEST(MessageLoop, TimerHandlerMayKillItsOwnTimerAndSleepMovesVirtualTime) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CProbe w(loop);
    w.onTimer = [&](uint32_t id) {
        w.KillTimer(id);
        loop.Sleep(200);
    };
    w.SetTimer(1, 500);
    loop.RunFor(2000);
    EXPECT_EQ(w.log, std::vector<std::string>{"timer 1@500"});
    EXPECT_EQ(loop.NowMs(), 2000);
}

TEST(MessageLoop, RunUntilStopsWhenThePredicateHolds) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CProbe w(loop);
    w.SetTimer(1, 100);
    EXPECT_TRUE(loop.RunUntil([&] { return w.log.size() == 3; }, 10000));
    EXPECT_EQ(loop.NowMs(), 300);
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 50));
    EXPECT_EQ(loop.NowMs(), 350);
}

// A window that answers every message with another, as a module that
// answers at once keeps the queue from ever running empty.
class CEcho : public CWindow {
  public:
    using CWindow::CWindow;
    LRESULT WindowProc(uint32_t message, WPARAM wparam, LPARAM) override {
        ++echoes;
        PostMessage(message, wparam + 1);
        return 0;
    }
    void OnTimer(uint32_t) override { ++ticks; }
    int echoes = 0;
    int ticks = 0;
};

TEST(MessageLoop, ATurnDeliversWhatWasQueuedWhenItBeganThenADueTimer) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CEcho echo(loop);
    echo.PostMessage(WM_USER);
    echo.PostMessage(WM_USER);
    EXPECT_EQ(loop.ProcessPending(), 2u) << "the two echoes wait for the next turn";
    EXPECT_EQ(echo.echoes, 2);
    EXPECT_TRUE(loop.HasPostedMessages());
    // A due timer yields to the busy queue for one turn, not for ever.
    echo.SetTimer(1, 0);
    loop.ProcessPending();
    EXPECT_EQ(echo.ticks, 0);
    loop.ProcessPending();
    EXPECT_EQ(echo.ticks, 1);
    EXPECT_EQ(echo.echoes, 6);
}

TEST(MessageLoop, RunUntilKeepsItsDeadlineWhileTheQueueNeverRunsEmpty) {
    CMessageLoop loop(CMessageLoop::EClock::Real);
    CEcho echo(loop);
    echo.SetTimer(1, 20);
    echo.PostMessage(WM_USER);
    const int64_t start = loop.NowMs();
    loop.RunFor(100);
    // Ends on time (a generous bound: a loaded machine may be slow), and the
    // timer ticked despite the flood.
    EXPECT_LT(loop.NowMs() - start, 5000);
    EXPECT_GE(echo.ticks, 1);
    EXPECT_GT(echo.echoes, 100);
}

TEST(MessageLoop, RealClockWakesForMessagesPostedFromAnotherThread) {
    CMessageLoop loop(CMessageLoop::EClock::Real);
    CProbe w(loop);
    int woken = 0;
    loop.SetWakeHook([&] { ++woken; });
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i) {
            w.PostMessage(WM_USER, static_cast<WPARAM>(i));
        }
    });
    EXPECT_TRUE(loop.RunUntil([&] { return w.log.size() == 100; }, 5000));
    poster.join();
    EXPECT_EQ(w.log.front(), "msg 1024:0");
    EXPECT_EQ(w.log.back(), "msg 1024:99");
    EXPECT_GE(woken, 100);
}

TEST(PortMap, DefaultsToSerialPortsAndAcceptsOverrides) {
    CPortMap ports;
    // The system's own devices (checked in the POSIX and Win32 tests).
    EXPECT_EQ(ports.DevicePath("COM1"), DefaultSerialDevicePath(1));
    EXPECT_EQ(ports.DevicePath("COM8"), DefaultSerialDevicePath(8));
    std::string error;
    EXPECT_TRUE(ports.Assign("COM2=/dev/ttyUSB0", error));
    EXPECT_EQ(ports.DevicePath("COM2"), "/dev/ttyUSB0");
    EXPECT_FALSE(ports.Assign("COM0=/dev/x", error));
    EXPECT_FALSE(ports.Assign("COM2", error));
    EXPECT_FALSE(ports.Assign("COM3=", error));
    EXPECT_NE(error.find("COMn=PATH"), std::string::npos);
    // Windows takes port names in any case, and so does the map.
    EXPECT_EQ(CPortMap::PortNumber("com1"), 1);
    EXPECT_EQ(CPortMap::ComName("com12"), "COM12");
    EXPECT_EQ(CPortMap::ComName("ttyUSB0"), "ttyUSB0");
}

TEST(PortMap, OpeningAMissingDeviceNamesThePathAndTheReason) {
    CPortMap ports;
    ports.Assign(1, "/nonexistent/ttyS99");
    auto device = ports.Create("COM1");
    ASSERT_NE(device, nullptr);
    std::string error;
    EXPECT_FALSE(device->Open(9600, error));
    EXPECT_FALSE(device->IsOpen());
    // The port the person chose, the device behind it and the reason, in
    // the system's words for a missing file.
    CNativeFile missing;
    ASSERT_FALSE(
        missing.Open(std::filesystem::path("/nonexistent/ttyS99"), CNativeFile::EMode::Read));
    const std::string reason = LastSystemErrorText();
    ASSERT_FALSE(reason.empty());
    EXPECT_EQ(error.rfind("COM1 (/nonexistent/ttyS99): " + reason, 0), 0u) << error;
}

}  // namespace
}  // namespace sondrix
