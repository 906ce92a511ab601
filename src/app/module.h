#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/module_error.h"
#include "app/packet_tracer.h"
#include "device/module_outcome.h"
#include "link/raw_line_log.h"
#include "platform/message_loop.h"
#include "platform/serial_device.h"

namespace sondrix {

class CSondrixDlg;
class CModuleUiHost;

// What the connected module is.
struct SModuleInfo {
    std::string model;  // "HLX-M18"
    uint32_t modelCode = 0;
    int series = 0;
    uint32_t firmware = 0;     // 0x0301
    std::string firmwareText;  // "3.01"
    int64_t users = 0;
    uint32_t status = 0;     // 0 idle, 1-2 busy, 3 database upload, 4 Auto-On
    std::string statusText;  // for people
    std::string port;        // the name asked for: "COM1", "ttyUSB0"
    std::string device;      // the device behind it
    bool lowLatency = false;
    uint32_t baud = 0;
};

// A fingerprint image: 8-bit grey, rows top to bottom.
struct SImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
    int32_t quality = -1;  // what the module rated it, -1 when it could not say
    // Writes the image as RAW, BMP or WSQ by the file's extension; throws a
    // file failure when it cannot be written. The WSQ codec's diagnostic
    // lines go to `diagnostics`.
    void Save(const std::filesystem::path& path, std::FILE* diagnostics = nullptr) const;
};

// The answer to a verification or identification.
struct SMatch {
    bool matched = false;
    std::string id;      // identification: the user found
    int32_t index = -1;  // which of the user's templates matched
    int64_t timeMs = 0;  // from the request to the module's answer
    int32_t quality = -1;
    std::string text;  // what the window shows for it, for people
};

struct SUser {
    std::string id;
    bool master = false;
};

// Who is registered, and how the questions on the way are answered.
struct SEnrolment {
    std::string id;
    std::string password;  // empty: none
    bool master = false;
    // How many fingers: 0 as the module's flow takes them (one on step
    // registration), else exactly so many (step registration: 1 to 10).
    int fingers = 0;
    // Whether to scan again after a failed scan; none: no.
    std::function<bool()> retry;
};

struct SEnrolled {
    std::string id;
    int fingers = 0;
    std::string text;  // what the window shows for it, for people
};

struct SDeletion {
    int64_t users = 0;  // users left on the module
    std::string text;   // what the window shows for it, for people
};

// One option of the module, by the name programs use.
struct SOptionValue {
    std::string name;  // "gain"
    uint32_t option = 0;
    enum class EKind : uint8_t { Number, Flag, Choice } kind = EKind::Number;
    int64_t value = 0;
    std::string text;  // how it reads: the number, on/off, or the choice's name
};

struct SBackup {
    int records = 0;  // records saved
    std::vector<std::filesystem::path> files;
};

struct SRestore {
    int records = 0;     // records the module took
    int64_t users = -1;  // users on the module afterwards
};

struct SLogDownload {
    std::filesystem::path path;
    int64_t records = 0;
    uint64_t bytes = 0;  // what was written (a device or a FIFO has no size to look at)
};

// A master credential: an ID and its password, or only the module's device
// password.
struct SMasterCredential {
    std::string id;
    std::string password;
};

// How far a long piece of work has come.
struct SProgress {
    std::string what;  // "capture", "backup", "restore", "firmware", "log"
    int64_t done = 0;
    int64_t total = 0;
    std::string unit;  // "blocks", "records", "chunks", "pages"
};

// How a call reports its progress: the task and unit of its SProgress.
struct SShownProgress {
    const char* task = nullptr;  // none: the call reports no progress
    const char* unit = nullptr;
};

// The typed interface to one HLX module: every bench task as a call that
// returns values or throws CModuleError with the kind of failure (and so the
// command line's exit status). It runs the same program core as the window
// (the handlers, the sequences), on a message loop it drives while a call
// waits, so callbacks come on the caller's thread. It owns its requests: an
// answer it did not ask for (a late answer to a request given up) is traced
// and dropped, never acted on. Master mode it entered is left again when it
// closes, unless told to stay.
class CModule {
  public:
    struct SSettings {
        uint32_t timeoutMs = 30000;  // longest silence of the module during a call
        bool stayMaster = false;
        // Where the rates that answered are remembered; empty: nowhere.
        std::filesystem::path rateFile;
    };

    CModule(CMessageLoop& loop, ISerialDeviceFactory& devices, SSettings settings);
    ~CModule();
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;

    // Hooks, all called on the thread that makes the calls.
    void SetProgress(std::function<void(const SProgress&)> progress) {
        m_progress = std::move(progress);
    }
    // What the person at the module is to do now (place, lift a finger...).
    void SetPrompt(std::function<void(EQuestion)> prompt) { m_prompt = std::move(prompt); }
    // Every packet over the line, sent or received.
    void SetPacketObserver(std::function<void(const STracedPacket&)> observer) {
        m_packetObserver = std::move(observer);
    }
    // Where the port's raw line goes (a trace that wants it); set before connecting.
    void SetRawLineLog(CRawLineLog* log);
    // Asked when the module wants a master credential; none: the call fails.
    void SetCredential(std::function<std::optional<SMasterCredential>()> credential) {
        m_credential = std::move(credential);
    }
    // Asked on the calling thread at every turn of a wait (at least every
    // 100 ms): the number of a signal that came, or 0. Once it names one, the
    // call under way ends with CModuleError::Interrupted. (A signal handler
    // sets an atomic the hook reads; an interpreter checks its own signals.)
    void SetInterrupt(std::function<int()> signal) { m_interrupt = std::move(signal); }
    // Gives up the call under way, from any thread: the module is told to
    // cancel, and the call throws a cancelled failure.
    void Cancel();

    // Connects on `portName`: at `baud` only, or with 0 at the rate that last
    // answered there (else 115200) and then at every rate from the slowest up.
    SModuleInfo Connect(const std::string& portName, uint32_t baud);
    // Only opens the port at `baud`: nothing is ever sent.
    void Attach(const std::string& portName, uint32_t baud);
    // Runs the line until interrupted or cancelled (packets go to the
    // observer), calling `tick` now and then.
    void Listen(const std::function<void()>& tick = {});
    bool Connected() const;
    // The connected module's facts with its status read now.
    SModuleInfo Info();
    uint32_t Status();
    // The longest user ID the module takes, in digits.
    size_t LongestId() const;
    // How many fingers a registration takes on this module: a range.
    std::pair<int, int> EnrolFingers();

    SImage Capture();
    SMatch Verify(const std::string& id, const std::optional<std::string>& password);
    SMatch Identify();
    SEnrolled Enroll(const SEnrolment& enrolment);
    // Deletes the users (an ID the module does not hold is a failure).
    SDeletion Delete(const std::vector<std::string>& ids);
    SDeletion DeleteAll();
    std::vector<SUser> Users();
    // Gives (true) or takes master authority; the users as they are afterwards.
    std::vector<SUser> SetMaster(const std::vector<std::string>& ids, bool master);
    SBackup Backup(const std::filesystem::path& folder);
    // Makes the folder a backup writes into, with its parents; a file
    // failure when there cannot be a folder there.
    static void MakeFolder(const std::filesystem::path& folder);
    SRestore Restore(const std::vector<std::filesystem::path>& files);
    // The log by option (0 Nth previous, 1 oldest unread, 2 last written,
    // 3 all, 4 oldest unread to last) into `path`.
    SLogDownload Log(const std::filesystem::path& path, uint32_t option, uint32_t n);
    // The option of Log by the name programs use ("all", "unread", "last",
    // "oldest-to-last", "nth"), or none.
    static std::optional<uint32_t> LogChoice(const std::string& name);
    // Packed BCD: century, year, month, day, hour, minute, second.
    std::array<uint8_t, 7> Time();
    void SetTime(const std::array<uint8_t, 7>& bcd);
    std::vector<SOptionValue> Options();
    // Sets one option by name ("on"/"off" for flags, a number, or a choice's
    // name) and returns the options as read back.
    std::vector<SOptionValue> SetOption(const std::string& name, const std::string& value);
    // Names of the options a module may have, for help texts.
    static std::vector<std::string> OptionNames();
    // What is wrong with `value` for the option `name` on any module, or empty.
    static std::string OptionValueError(const std::string& name, const std::string& value);
    // What is wrong with a date and time for a module's clock, in the
    // window's words, or empty.
    static std::string TimeError(int year, int month, int day, int hour, int minute, int second);
    // Sends the file; the module's completion text.
    std::string UpdateFirmware(const std::filesystem::path& file);
    // Sends a hand-made packet (its checksums made again) and returns the
    // first packet that comes back.
    STracedPacket SendRaw(uint32_t command, uint32_t param1, uint32_t param2, uint32_t errorCode,
                          const std::vector<uint8_t>& data);
    // Tells the module to stop what it does: its answer (1 cancelled, 16 idle).
    uint32_t CancelModule();

    void EnterMaster();
    void LeaveMaster();
    // Leaves master mode (unless told to stay) and closes the port.
    void Close();

    // The program core it drives, for tests that look inside.
    CSondrixDlg& Core() { return *m_dlg; }

  private:
    class COutcomes;
    void Start();
    // A call's wait: the loop runs until `done` holds; a failure outcome, the
    // module's silence, an interrupt or a cancel ends it with an error.
    // Progress outcomes are reported as `shown` (no task: not reported).
    void Await(const std::string& what, const std::function<bool()>& done,
               SShownProgress shown = {});
    // Runs until every request sent has its answer (bounded), then gives the
    // rest up: their late answers are dropped.
    void Settle();
    void Abandon();
    // Gives the work under way up: the module is told to stop where it would
    // otherwise go on waiting.
    void GiveUp();
    // A call begins: the outcomes of the last one are forgotten.
    void Begin();
    void NeedConnection() const;
    void NeedIdFits(const std::string& id, size_t longest) const;
    void CheckInterrupt();
    [[noreturn]] static void Throw(EFailure failure, const std::string& message,
                                   uint32_t result = 0);
    std::string Where() const;
    void OnPacket(const STracedPacket& packet);
    bool AcceptAnswer(const CPacket& packet);
    bool AnswerQuestion(EQuestion question);
    void Prompt(EQuestion question);
    void ShowProgress(SShownProgress shown);
    // Reads the template mode where the module's record layout depends on it.
    void ReadTemplateMode();
    std::vector<SOptionValue> ReadOptions();
    SModuleInfo InfoNow();
    // Waits for the match of a verification or identification and the
    // image quality that follows it.
    SMatch AwaitMatch(const std::string& what, int64_t sentMs);

    CMessageLoop& m_loop;
    ISerialDeviceFactory& m_devices;
    SSettings m_settings;
    std::unique_ptr<CModuleUiHost> m_ui;
    std::unique_ptr<CSondrixDlg> m_dlg;
    std::unique_ptr<COutcomes> m_outcomes;
    std::function<void(const SProgress&)> m_progress;
    std::function<void(EQuestion)> m_prompt;
    std::function<void(const STracedPacket&)> m_packetObserver;
    std::function<std::optional<SMasterCredential>()> m_credential;
    std::function<int()> m_interrupt;
    std::atomic<bool> m_cancel{false};
    // Requests sent and not answered yet, by command.
    std::map<uint32_t, int> m_expected;
    int64_t m_lastPacketMs = 0;
    uint64_t m_received = 0;
    bool m_wantFirstAnswer = false;
    std::optional<STracedPacket> m_firstAnswer;  // of a hand-made packet
    size_t m_progressShown = 0;
    bool m_started = false;
    bool m_listenOnly = false;
    bool m_enteredMaster = false;
    bool m_closing = false;
    bool m_closed = false;
    bool m_cancelSent = false;
    bool m_givingUp = false;  // answers but the cancel's are let pass
    // Whether giving the call up tells the module to cancel (not for firmware).
    bool m_cancelTellsModule = true;
    // Questions of the sequence under way, answered by the call.
    std::function<bool(EQuestion)> m_answers;
};

}  // namespace sondrix
