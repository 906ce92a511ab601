#include "app/headless_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <stdexcept>

#include "app/headless_runner.h"
#include "app/headless_script.h"
#include "app/headless_ui_host.h"
#include "link/command_table.h"
#include "sim/sim_loopback.h"
#include "sim/sim_module.h"

namespace sondrix {
namespace {

// ---------------------------------------------------------------- the parser

std::vector<SScriptCommand> Parse(const std::string& text, std::vector<std::string>* errors) {
    std::istringstream script(text);
    std::vector<SScriptCommand> commands;
    *errors = ParseScript(script, {"main", "auth"}, commands);
    return commands;
}

TEST(HeadlessScript, DecodesTextsTimeOutsAndNamesAsWritten) {
    std::vector<std::string> errors;
    const auto commands = Parse(
        "# connect\n"
        "\n"
        "type auth 1137   two  words  \r\n"
        "wait-message Status =  within 250\n"
        "wait-box Connection Succeeded!!!\n"
        "tab auth\n"
        "popup ok  my id\n"
        "popup-choose 1106 1109 cancel\n"
        "expect main 1030 text\n"
        "expect window 1001 selection -1\n",
        &errors);
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[0].line, 3);
    EXPECT_EQ(commands[0].target.page, 1);
    EXPECT_EQ(commands[0].text, "two  words");
    EXPECT_EQ(commands[1].text, "Status =");
    EXPECT_EQ(commands[1].ms, 250u);
    EXPECT_EQ(commands[2].text, "Connection Succeeded!!!");
    EXPECT_EQ(commands[2].ms, kDefaultWaitMs);
    EXPECT_EQ(commands[3].number, 1);
    EXPECT_TRUE(commands[4].on);
    EXPECT_EQ(commands[4].text, "my id");
    EXPECT_EQ(commands[5].ids, (std::vector<int>{1106, 1109}));
    EXPECT_FALSE(commands[5].on);
    EXPECT_EQ(commands[6].text, "") << "an empty text is a valid expectation";
    EXPECT_EQ(commands[7].target.kind, SScriptTarget::EKind::Window);
    EXPECT_EQ(commands[7].number, -1);
}

TEST(HeadlessScript, EveryMalformedLineIsNamedWithWhatWasExpected) {
    std::vector<std::string> errors;
    Parse(
        "click main 1030\n"
        "clik main 1030\n"
        "click mian 1030\n"
        "select main 1030\n"
        "check main 1040 maybe\n"
        "tab 6\n"
        "popup-choose ok\n"
        "wait-box within 20\n"
        "wait-box Done within soon\n"
        "click main 1030 now\n"
        "sleep -5\n",
        &errors);
    ASSERT_EQ(errors.size(), 10u);
    EXPECT_EQ(errors[0].rfind("line 2: 'clik' is not a command", 0), 0u) << errors[0];
    EXPECT_NE(errors[1].find("'mian' is not a page (main, auth, window, popup)"), std::string::npos)
        << errors[1];
    EXPECT_EQ(errors[2], "line 4: missing INDEX; expected: select PAGE ID INDEX");
    EXPECT_EQ(errors[3].rfind("line 5: 'maybe' is neither on nor off", 0), 0u) << errors[3];
    EXPECT_EQ(errors[4].rfind("line 6: '6' is not a valid tab", 0), 0u) << errors[4];
    EXPECT_EQ(errors[5].rfind("line 7:", 0), 0u);
    EXPECT_EQ(errors[6].rfind("line 8: missing TEXT", 0), 0u) << errors[6];
    EXPECT_EQ(errors[7].rfind("line 9: 'soon' is not a valid time", 0), 0u) << errors[7];
    EXPECT_EQ(errors[8].rfind("line 10: unexpected 'now'", 0), 0u) << errors[8];
    EXPECT_EQ(errors[9].rfind("line 11:", 0), 0u);
}

// ------------------------------------------------- the runner on a test window

constexpr int kTabs = 100;
constexpr int kLine = 101;

// The main window: two tabs and a message line; the second tab refuses to
// open while locked, as the program's guards do.
class CTestWindow : public CDialogModel {
  public:
    explicit CTestWindow(IUiHost& ui) : CDialogModel("window", "Test"), m_ui(ui) {
        AddControl(kTabs, EControlKind::Tabs).items = {"first", "second"};
        SetSelection(kTabs, 0);
        AddControl(kLine, EControlKind::Edit).readOnly = true;
    }
    bool locked = true;

  protected:
    void OnSelChange(int id) override {
        if (id == kTabs && locked) {
            SetSelection(kTabs, 0);
            SetText(kLine, "Locked");
            m_ui.MessageBox("Locked", EIcon::None);
        }
    }

  private:
    IUiHost& m_ui;
};

// A popup with a prompt, an edit and two radios, one of them disabled.
class CTestPopup : public CDialogModel {
  public:
    CTestPopup() : CDialogModel("input", "") {
        AddStatic(51, {}, {}, "Your ID");
        AddEdit(50, {}, {});
        AddRadio(60, "A", {});
        AddRadio(61, "B", {}).enabled = false;
        AddButton(IDOK, "OK", {});
        AddButton(IDCANCEL, "Cancel", {});
    }

  protected:
    void OnCommand(int id) override {
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(id);
        } else {
            SetCheck(id, true);
        }
    }
};

// The modeless popup: while open its owner is disabled; Cancel closes it.
class CTestProgress : public CDialogModel {
  public:
    CTestProgress(IUiHost& ui, CDialogModel& owner)
        : CDialogModel("progress", ""), m_ui(ui), m_owner(owner) {
        AddButton(IDCANCEL, "Cancel", {});
    }
    void Open() {
        m_owner.EnableWindow(false);
        m_ui.ShowModeless(*this);
    }

  protected:
    void OnCommand(int) override {
        m_ui.CloseModeless(*this);
        m_owner.EnableWindow(true);
    }

  private:
    IUiHost& m_ui;
    CDialogModel& m_owner;
};

// The first page: each button starts one kind of interaction and reports
// its outcome on the message line.
class CTestPage : public CDialogModel, public CWindow {
  public:
    CTestPage(CMessageLoop& loop, IUiHost& host, CTestWindow& main)
        : CDialogModel("first", ""), CWindow(loop), ui(host), window(main), progress(host, *this) {
        AddButton(10, "Ask", {});
        AddButton(11, "Input", {});
        AddButton(12, "Open", {});
        AddButton(13, "Later", {});
        AddButton(14, "Progress", {});
        AddButton(15, "Broken", {});
        AddButton(16, "Pick one", {});
        AddCheck(20, "Check", {});
        AddCheck(22, "Refuses", {});
        AddRadio(21, "One", {});
        AddCombo(30, {}, {}, {"a", "b", "c"});
        AddEdit(40, {}, {}, 4);
        AddButton(41, "Off", {}).enabled = false;
        // Never shown by the window.
        AddButton(42, "Hidden", {}).enabled = false;
        Show(42, false);
        AddControl(50, EControlKind::List);
        for (int row = 0; row < 3; ++row) {
            List(50).AppendRow({});
        }
    }

    void OnTimer(uint32_t id) override {
        KillTimer(id);
        window.SetText(kLine, "later");
        ui.MessageBox("Done", EIcon::Information);
    }

    IUiHost& ui;
    CTestWindow& window;
    CTestPopup popup;
    CTestProgress progress;

  protected:
    void OnCommand(int id) override {
        if (id == 10) {
            window.SetText(kLine,
                           AnswerName(ui.MessageBox("Delete?", EIcon::Question, EButtons::YesNo)));
        } else if (id == 11) {
            const bool ok = ui.RunModal(popup) == IDOK;
            window.SetText(kLine, ok ? "id " + popup.Text(50) : "no id");
        } else if (id == 12) {
            SFileDialog request;
            request.multiSelect = true;
            std::string line = "files";
            for (const std::string& path : ui.FileDialog(request)) {
                line += " " + path;
            }
            window.SetText(kLine, line);
        } else if (id == 13) {
            SetTimer(1, 300);
        } else if (id == 14) {
            progress.Open();
        } else if (id == 15) {
            throw std::runtime_error("no control 77");
        } else if (id == 16) {
            const size_t picked = ui.FileDialog(SFileDialog{}).size();
            ui.MessageBox("Picked\r\n" + std::to_string(picked), EIcon::None);
        } else if (id == 42) {
            window.SetText(kLine, "hidden pressed");
        } else if (id == 21) {
            SetCheck(21, true);
        } else if (id == 22) {
            SetCheck(22, false);
        }
    }
};

class HeadlessRunnerTest : public ::testing::Test {
  protected:
    HeadlessRunnerTest() { second.AddButton(1, "B", {}); }

    // Runs the script on virtual time; returns the exit status.
    int Run(const std::string& text) {
        CHeadlessRunner runner(loop, ui, log, {&window, kTabs, kLine, {&page, &second}});
        std::istringstream script(text);
        std::vector<SScriptCommand> commands;
        const auto errors = ParseScript(script, runner.PageNames(), commands);
        EXPECT_TRUE(errors.empty()) << errors.front();
        return runner.Run(commands);
    }
    bool Logged(const std::string& text) const { return out.str().find(text) != std::string::npos; }
    size_t Failures() const {
        size_t count = 0;
        for (size_t at = out.str().find("FAIL"); at != std::string::npos;
             at = out.str().find("FAIL", at + 1)) {
            ++count;
        }
        return count;
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    std::ostringstream out;
    CHeadlessLog log{loop, out};
    CHeadlessUiHost ui{log};
    CTestWindow window{ui};
    CTestPage page{loop, ui, window};
    CDialogModel second{"second", ""};
};

TEST_F(HeadlessRunnerTest, QueuedAnswersReachTheBoxesInOrderAndDefaultsAnswerTheRest) {
    EXPECT_EQ(Run("answer no\n"
                  "click first 10\n"
                  "expect window 101 text no\n"
                  "click first 10\n"
                  "expect window 101 text yes\n"),
              0)
        << out.str();
    EXPECT_TRUE(Logged("box question yes-no -> no (script): Delete?\n"));
    EXPECT_TRUE(Logged("box question yes-no -> yes: Delete?\n"));
    EXPECT_TRUE(Logged("] done: 2 checks, 0 failures\n"));
}

TEST_F(HeadlessRunnerTest, AnAnswerThatIsNoButtonOfTheBoxFails) {
    EXPECT_EQ(Run("answer cancel\nclick first 10\n"), 1);
    EXPECT_TRUE(Logged("FAIL line 2: the answer cancel is not a button of a yes-no box"));
}

TEST_F(HeadlessRunnerTest, PopupsAndFileDialogsTakeTheScriptedAnswers) {
    EXPECT_EQ(Run("popup ok 1234\n"
                  "click first 11\n"
                  "expect window 101 text id 1234\n"
                  "popup cancel\n"
                  "click first 11\n"
                  "expect window 101 text no id\n"
                  "file /tmp/a.rec /tmp/b.rec\n"
                  "click first 12\n"
                  "expect window 101 text files /tmp/a.rec /tmp/b.rec\n"
                  "file-cancel\n"
                  "click first 12\n"
                  "expect window 101 text files\n"
                  "answer yes\n"),
              0)
        << out.str();
    EXPECT_TRUE(Logged("popup input -> ok (script): Your ID\n"));
    EXPECT_TRUE(Logged("note: 1 queued box answer(s) never asked for"));
}

TEST_F(HeadlessRunnerTest, ChoicesAPersonCannotMakeFail) {
    EXPECT_EQ(Run("popup-choose 60 61 ok\n"
                  "click first 11\n"
                  "file /tmp/a.min /tmp/b.min\n"
                  "click first 16\n"
                  "wait-box Picked\\r\\n2\n"),
              1);
    EXPECT_TRUE(page.popup.IsChecked(60));
    EXPECT_FALSE(page.popup.IsChecked(61));
    EXPECT_TRUE(Logged("FAIL line 2: input 61 is disabled"));
    EXPECT_TRUE(Logged("popup input -> ok (script)")) << "OK is still pressed";
    EXPECT_TRUE(Logged("FAIL line 4: this file dialog takes one file, the script gave 2"));
    EXPECT_TRUE(Logged("box none ok -> ok: Picked\\r\\n2\n"));
    EXPECT_EQ(Failures(), 2u) << "a line break in a box is matched as the log shows it";
}

TEST_F(HeadlessRunnerTest, WaitsRunTheLoopUntilTheAnswerArrives) {
    EXPECT_EQ(Run("click first 13\n"
                  "wait-message later within 1000\n"
                  "wait-box Done\n"),
              0)
        << out.str();
    EXPECT_TRUE(Logged("[    300 ms] message: later\n"));
    EXPECT_TRUE(Logged("[    300 ms] box information ok -> ok: Done\n"));
    EXPECT_TRUE(Logged("  -> met after 300 ms\n"));
}

TEST_F(HeadlessRunnerTest, AMissedWaitFailsAndTheScriptGoesOn) {
    EXPECT_EQ(Run("click first 13\n"
                  "wait-box Done within 200\n"
                  "wait-box Done within 200\n"
                  "expect window 101 text later\n"),
              1)
        << out.str();
    EXPECT_TRUE(Logged("[    200 ms] FAIL line 2: no box with \"Done\" was shown within 200 ms\n"));
    EXPECT_TRUE(Logged("  -> met after 100 ms\n"));
    EXPECT_EQ(Failures(), 1u);
}

TEST_F(HeadlessRunnerTest, EachBoxSatisfiesOneWaitButTheMessageLineStaysReadable) {
    EXPECT_EQ(Run("click first 10\n"
                  "wait-box Delete?\n"
                  "wait-message yes\n"
                  "wait-message yes\n"
                  "wait-box Delete? within 100\n"),
              1);
    EXPECT_EQ(Failures(), 1u);
    EXPECT_TRUE(Logged("FAIL line 5:"));
}

TEST_F(HeadlessRunnerTest, StepsAPersonCannotTakeFailAndChangeNothing) {
    EXPECT_EQ(Run("click second 1\n"
                  "click first 41\n"
                  "click first 999\n"
                  "type window 101 hello\n"
                  "select first 30 3\n"
                  "check first 21 on\n"
                  "check first 21 off\n"
                  "check first 10 on\n"
                  "row first 50 3 on\n"
                  "click popup 2\n"
                  "expect first 30 selection 0\n"),
              1);
    EXPECT_EQ(Failures(), 9u) << out.str();
    EXPECT_TRUE(Logged("FAIL line 1: page second is not shown (the tab is first)"));
    EXPECT_TRUE(Logged("FAIL line 2: first 41 is disabled"));
    EXPECT_TRUE(Logged("FAIL line 3: first has no control 999"));
    EXPECT_TRUE(Logged("FAIL line 10: no popup is open"));
    EXPECT_EQ(window.Text(kLine), "");
}

TEST_F(HeadlessRunnerTest, PressReachesOnlyControlsTheWindowNeverShows) {
    EXPECT_EQ(Run("click first 42\n"
                  "press first 10\n"
                  "press first 999\n"
                  "press first 42\n"),
              1);
    EXPECT_EQ(Failures(), 3u) << out.str();
    EXPECT_TRUE(Logged("FAIL line 1: first 42 is hidden"));
    EXPECT_TRUE(Logged("FAIL line 2: first 10 is shown: a person clicks it (click)"));
    EXPECT_TRUE(Logged("FAIL line 3: first has no control 999"));
    EXPECT_EQ(window.Text(kLine), "hidden pressed");
    EXPECT_FALSE(page.IsVisible(42));
    EXPECT_FALSE(page.IsEnabled(42));
}

TEST_F(HeadlessRunnerTest, CheckAndRowChangeOnlyWhatDiffers) {
    EXPECT_EQ(Run("check first 20 on\n"
                  "check first 20 on\n"
                  "expect first 20 checked on\n"
                  "check first 21 on\n"
                  "check first 22 on\n"
                  "row first 50 1 on\n"
                  "row first 50 1 on\n"
                  "type first 40 abcdef\n"
                  "expect first 40 text abcd\n"
                  "select first 30 2\n"
                  "expect first 30 selection 2\n"),
              0)
        << out.str();
    EXPECT_TRUE(page.IsChecked(21));
    EXPECT_TRUE(page.List(50).Row(1).checked);
    EXPECT_FALSE(page.List(50).Row(0).checked);
    EXPECT_TRUE(Logged("  -> the edit takes 4 characters\n"));
    EXPECT_TRUE(Logged("> check first 22 on\n[      0 ms]   -> still off\n"))
        << "a handler that refuses the tick is visible in the log";
}

TEST_F(HeadlessRunnerTest, ExpectationsThatDoNotHoldFail) {
    EXPECT_EQ(Run("expect first 20 checked on\n"
                  "expect first 41 enabled off\n"
                  "expect first 10 text Asks\n"),
              1);
    EXPECT_EQ(Failures(), 2u);
    EXPECT_TRUE(Logged("FAIL line 3: first 10: expected \"Asks\", found \"Ask\""));
}

TEST_F(HeadlessRunnerTest, AGuardedTabChangeShowsTheBoxAndStaysOnTheTab) {
    EXPECT_EQ(Run("tab second\n"
                  "wait-box Locked\n"
                  "expect window 100 selection 0\n"),
              0);
    EXPECT_TRUE(Logged("message: Locked\n"));
    EXPECT_TRUE(Logged("  -> on tab first\n"));
    window.locked = false;
    EXPECT_EQ(Run("tab first\nselect window 100 1\nclick first 10\n"), 1);
    EXPECT_TRUE(Logged("  -> already on tab first\n"));
    EXPECT_EQ(window.Selection(kTabs), 1);
    EXPECT_TRUE(Logged("page first is not shown (the tab is second)"));
}

TEST_F(HeadlessRunnerTest, AModelessPopupTakesTheClicksUntilItIsClosed) {
    EXPECT_EQ(Run("click first 14\n"
                  "click first 10\n"
                  "expect popup 2 enabled on\n"
                  "click popup 2\n"
                  "click first 10\n"),
              1);
    EXPECT_EQ(Failures(), 1u) << out.str();
    EXPECT_TRUE(Logged("FAIL line 2: first 10: first is disabled"));
    EXPECT_TRUE(Logged("popup progress opened\n"));
    EXPECT_TRUE(Logged("popup progress closed\n"));
    EXPECT_EQ(ui.Boxes().size(), 1u);
}

TEST_F(HeadlessRunnerTest, AHandlerThatThrowsEndsTheRunWithAFailure) {
    EXPECT_EQ(Run("click first 15\nexpect first 20 checked off\n"), 1);
    EXPECT_TRUE(Logged("FAIL line 1: the program stopped with an error: no control 77\n"));
    EXPECT_FALSE(Logged("> expect")) << "nothing runs on a half-handled state";
}

// --------------------------------------------- the driver on the main window

class HeadlessDriverTest : public ::testing::Test {
  protected:
    int Run(CMessageLoop& loop, const std::string& text) {
        CSimPortFactory devices(loop, module);
        std::istringstream script(text);
        return RunHeadless(loop, devices, script, out);
    }
    bool Logged(const std::string& text) const { return out.str().find(text) != std::string::npos; }

    CSimModule module;
    std::ostringstream out;
};

TEST_F(HeadlessDriverTest, AGuardedTabChangePrintsTheGuardBoxAndTheMessageLine) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    EXPECT_EQ(Run(loop,
                  "tab auth\n"
                  "wait-box please make sure the connection\n"
                  "wait-message please make sure the connection\n"
                  "expect window 1001 selection 0\n"
                  "tab about\n"
                  "expect window 1001 selection 5\n"),
              0)
        << out.str();
    const std::string guard = "To use other functions, please make sure the connection. ";
    EXPECT_TRUE(Logged("] box none ok -> ok: " + guard + "\n"));
    EXPECT_TRUE(Logged("] message: " + guard + "\n"));
}

TEST_F(HeadlessDriverTest, AMalformedScriptIsNotRunAndExitsWithTwo) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    EXPECT_EQ(Run(loop, "tab auth\nclick main\n"), 2);
    EXPECT_TRUE(Logged("line 2: missing ID; expected: click PAGE ID\n"));
    EXPECT_FALSE(Logged("box")) << "nothing of the script ran";
}

TEST_F(HeadlessDriverTest, AFailedExpectationExitsWithOne) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    EXPECT_EQ(Run(loop, "expect window 1001 selection 3\n"), 1);
    EXPECT_TRUE(Logged("FAIL line 1: window 1001: expected \"3\", found \"0\""));
}

TEST_F(HeadlessDriverTest, AMissedWaitOnTheRealClockEndsAfterItsTimeOut) {
    CMessageLoop loop(CMessageLoop::EClock::Real);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(loop, "wait-message never within 80\n"), 1);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(80));
    EXPECT_LT(took, std::chrono::milliseconds(900));
    EXPECT_TRUE(Logged("FAIL line 1: the message line did not show \"never\" within 80 ms"));
}

// Continuous capture never leaves the queue empty when the module answers at
// once; a sleep of the script must still end when its time is up.
TEST_F(HeadlessDriverTest, ASleepDuringContinuousCaptureWithAnInstantModuleEndsOnTime) {
    CMessageLoop loop(CMessageLoop::EClock::Real);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(loop,
                  "select main 1119 5\n"
                  "click main 1030\n"
                  "wait-box Connection Succeeded!!!\n"
                  "click main 1027\n"
                  "sleep 1000\n"
                  "click main 1027\n"
                  "expect main 1027 text Capture Start\n"),
              0)
        << out.str().substr(0, 2000);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(30));
    EXPECT_GT(module.RequestCount(CMD_CAPTURE_IMAGE), 21u) << "several images were taken";
}

// The same run with the module at the line's pace, on virtual time: two
// minutes of continuous capture at 115200 bps are some seventeen images.
TEST_F(HeadlessDriverTest, TwoMinutesOfPacedContinuousCaptureTakeTwoMinutes) {
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CSimPortFactory devices(loop, module);
    devices.SetPacing(true);
    std::istringstream script(
        "select main 1119 5\n"
        "click main 1030\n"
        "wait-box Connection Succeeded!!!\n"
        "click main 1027\n"
        "sleep 120000\n"
        "click main 1027\n");
    const int64_t start = loop.NowMs();
    EXPECT_EQ(RunHeadless(loop, devices, script, out), 0) << out.str().substr(0, 2000);
    const int64_t took = loop.NowMs() - start;
    EXPECT_GE(took, 120000);
    EXPECT_LT(took, 125000);
    const size_t images = module.RequestCount(CMD_CAPTURE_IMAGE) / 21;
    EXPECT_GE(images, 15u);
    EXPECT_LE(images, 19u);
}

}  // namespace
}  // namespace sondrix
