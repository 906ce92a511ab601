#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/sondrix_dlg.h"
#include "cli/cli_progress.h"
#include "cli/cli_status.h"
#include "platform/message_loop.h"
#include "platform/scripted_ui_host.h"

namespace sondrix {

// The program core driven from the command line: the same main dialog,
// pages, packet manager and handlers as the window, acted on through the
// page models, with a scripted UI host answering the boxes, popups and file
// dialogs the way the command line asked. Every packet is traced; an
// observer may see each one.
class CCliSession {
  public:
    // `terminal`: the progress stream is a terminal, where a run's progress
    // is one line rewritten in place.
    CCliSession(CMessageLoop& loop, ISerialDeviceFactory& devices, std::ostream& progress,
                bool showProgress, bool terminal, uint32_t timeoutMs);
    ~CCliSession();
    CCliSession(const CCliSession&) = delete;
    CCliSession& operator=(const CCliSession&) = delete;

    // Connects on `portName` ("COM1"); with `baud` 0 the window's search over
    // every rate runs, otherwise only that rate is tried.
    void Connect(const std::string& portName, uint32_t baud);
    // Only opens the port at `baud` and listens: nothing is sent.
    void Attach(const std::string& portName, uint32_t baud);
    // Enters master mode, which the configuration, database and extra pages
    // need. When the module asks for a credential: the master's ID and
    // password, or with no ID the device password.
    void EnterMaster();
    // With `askOnTerminal` and no credential, the person at the terminal
    // answers what the module asks for (ID, password without echo).
    void SetMasterCredential(std::string id, std::string password, bool askOnTerminal) {
        m_masterId = std::move(id);
        m_masterPassword = std::move(password);
        m_askOnTerminal = askOnTerminal;
    }
    // Opens a tab as the person would; its guard's refusal is a failure.
    void OpenTab(int tab);
    // Master mode, the DataBase tab and its user list read.
    void OpenDataBase();

    // Runs the loop until `done`; a stop-icon box shown meanwhile, or the
    // module going quiet for the time-out, ends the command with a failure.
    void WaitFor(const std::function<bool()>& done, const std::string& what);
    // Runs until the next box that only reports (questions on the way are
    // answered as the host was told) and returns it; a stop-icon box is a failure
    // of `failureStatus`.
    const CScriptedUiHost::SBox& WaitForBox(const std::string& what,
                                            int failureStatus = kModuleErrorStatus);
    // Lets WaitForBox look only at boxes shown from now on.
    void MarkBoxes() { m_boxMark = m_ui.Boxes().size(); }
    // Takes the boxes shown so far as dealt with: no failure, no report.
    void SkipBoxes() { m_boxesSeen = m_boxMark = m_ui.Boxes().size(); }
    // Runs until every request has its answer and the line has been quiet a while.
    void Settle(const std::string& what);

    // Prints a progress line on the error stream (unless quiet).
    void Progress(const std::string& text);
    // Tells the person at the module what to do, quiet or not.
    void Prompt(const std::string& text);
    // How far a run has come: `done` of `total` `unit` (unless quiet).
    void ShowCount(const std::string& what, int64_t done, int64_t total, const std::string& unit);

    // Once `signal` holds a signal's number (set from any thread), the wait
    // under way ends the work with exit status 128 + that number.
    void SetInterrupt(const std::atomic<int>* signal) { m_interrupt = signal; }
    // Runs the loop, calling `tick` now and then, until interrupted.
    [[noreturn]] void RunUntilInterrupted(const std::function<void()>& tick);

    CSondrixDlg& Dlg() { return m_dlg; }
    CScriptedUiHost& Ui() { return m_ui; }
    CMessageLoop& Loop() { return m_loop; }
    // Called for every packet over the line (after the tracer has it).
    void SetPacketObserver(CPacketTracer::Observer observer) {
        m_packetObserver = std::move(observer);
    }
    // Also called for every packet: where the command line's trace goes.
    void SetTraceSink(CPacketTracer::Observer sink) { m_traceSink = std::move(sink); }
    // Answers seen so far, and the last one.
    uint64_t AnswersSeen() const { return m_answers; }
    const STracedPacket& LastAnswer() const { return m_lastAnswer; }

    static constexpr int kModuleErrorStatus = 1;

  private:
    void OnPacket(const STracedPacket& packet);
    void Start();
    // "COM1 (/dev/ttyUSB0)", for messages.
    std::string Device();
    // The progress popup's bar, as a share.
    void ShowBarProgress(const std::string& what);
    void CheckInterrupt();
    // "result 0x1234 to CMD_CONNECT", of the last answer.
    std::string AnswerContext() const;
    // Prints the message-line texts shown since the last look, but not the
    // one a failure is about to report.
    void FlushMessages(const std::string& reported);

    CMessageLoop& m_loop;
    CScriptedUiHost m_ui;
    CSondrixDlg m_dlg;
    std::ostream& m_progress;
    bool m_showProgress;
    uint32_t m_timeoutMs;
    size_t m_boxesSeen = 0;  // boxes checked for failures
    size_t m_boxMark = 0;    // where WaitForBox looks for the next report
    CCliProgress m_bar;
    int m_messageObserver = 0;
    std::string m_lastMessage;
    std::vector<std::string> m_pendingMessages;
    std::string m_lastPrinted;
    int64_t m_lastPacketMs = 0;
    bool m_awaitingAnswer = false;
    uint64_t m_answers = 0;
    STracedPacket m_lastAnswer;
    CPacketTracer::Observer m_packetObserver;
    CPacketTracer::Observer m_traceSink;
    std::string m_masterId;
    std::string m_masterPassword;
    const std::atomic<int>* m_interrupt = nullptr;
    bool m_askOnTerminal = false;
};

}  // namespace sondrix
