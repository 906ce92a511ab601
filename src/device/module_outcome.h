#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sondrix {

// How a piece of work failed, by what a caller can do about it. The command
// line turns each into its exit status.
enum class EFailure : uint8_t {
    Module,     // the module answered with an error
    Usage,      // a request or argument this module cannot take
    Port,       // the port could not be opened, or the line went away
    NoModule,   // nothing answered on the port
    File,       // a file could not be read or written
    Timeout,    // the module answered, then stopped answering
    Cancelled,  // the caller gave the work up
};

// A question a sequence of the module asks the person on the way; the page
// shows it as a box, a program answers it in code.
enum class EQuestion : uint8_t {
    LiftFinger,         // lift the finger and place it again (OK/cancel)
    SecondFinger,       // place the second finger (OK/cancel)
    FirstFinger,        // place the first finger (OK/cancel)
    AnotherFinger,      // register one more finger? (yes/no)
    MaxFingers,         // no more fingers fit; store what was scanned (OK/cancel)
    RetryRegistration,  // the scan failed: go on with the same user? (yes/no)
    PlaceFinger,        // place the finger for the scan (OK/cancel)
};

// What became of an answer of the module (or of a step of a sequence), as
// values: the window turns these into its texts, every other front end reads
// them. Fields a kind does not use keep their defaults.
struct SOutcome {
    enum class EKind : uint8_t {
        Failed,            // failure, result, text
        Connected,         // CMD_CONNECT answered: count = users
        Ready,             // the connection chain ended: the module is identified
        Status,            // value = status code (0 idle, 1-2 busy, 3 upload, 4 Auto-On)
        Progress,          // done of total (blocks, records, chunks, pages)
        Image,             // an image arrived whole (the Main tab's buffer holds it)
        Quality,           // value = image quality, index = why it was asked
        QualityFailed,     // the module had no image to rate
        Matched,           // verify, identify, instant match: id (may be empty), index
        NotMatched,        // the finger or template matched nobody
        Question,          // question: a sequence waits for the person's answer
        Registered,        // id: a user was stored
        Modified,          // value = the modification code that completed
        Deleted,           // count = users left on the module
        Authority,         // id, value 1 master, 0 user
        MasterMode,        // value 1 entered, 0 left
        CredentialWanted,  // the module asks for a master credential
        UserList,          // ids, masters (flags, same order)
        UserCount,         // count = users on the module
        RecordSaved,       // id, path
        RecordNotSaved,    // id or path, text = why (failure File)
        RecordRefused,     // path, result: the module refused an uploaded record
        TransferDone,      // count handled, value = how many were lost
        LogSaved,          // path, count = records written
        Time,              // bytes = packed BCD: century, year, month, day, hour, minute, second
        TimeSet,
        Option,       // index = option number, value
        OptionsRead,  // the read of all options ended
        OptionSet,    // index = option number, value
        FirmwareDone,
        CancelAnswered,  // result of CMD_CANCEL (1 cancelled, 16 idle)
        Done,            // a request that only reports completed
    };

    SOutcome() = default;
    explicit SOutcome(EKind what) : kind(what) {}
    // Setters, for outcomes written in one expression.
    SOutcome& Command(uint32_t v) { return Set(command, v); }
    SOutcome& Failure(EFailure v) { return Set(failure, v); }
    SOutcome& Text(std::string v) { return Set(text, std::move(v)); }
    SOutcome& Id(std::string v) { return Set(id, std::move(v)); }
    SOutcome& Path(std::string v) { return Set(path, std::move(v)); }
    SOutcome& Index(int64_t v) { return Set(index, v); }
    SOutcome& Value(int64_t v) { return Set(value, v); }
    SOutcome& Count(int64_t v) { return Set(count, v); }
    SOutcome& Progress(int64_t doneSoFar, int64_t all) {
        done = doneSoFar;
        return Set(total, all);
    }
    SOutcome& Bytes(std::vector<uint8_t> v) { return Set(bytes, std::move(v)); }

    EKind kind = EKind::Done;
    uint32_t command = 0;  // the answer's command, 0 for a step of the program's own
    uint32_t result = 0;   // the answer's result code
    EFailure failure = EFailure::Module;
    EQuestion question = EQuestion::LiftFinger;
    std::string text;  // what the window shows for it, for people only
    std::string id;
    std::string path;
    int64_t index = -1;
    int64_t value = 0;
    int64_t count = 0;
    int64_t done = 0;
    int64_t total = 0;
    std::vector<std::string> ids;
    std::vector<uint8_t> masters;
    std::vector<uint8_t> bytes;

  private:
    template <typename T, typename V>
    SOutcome& Set(T& field, V&& v) {
        field = std::forward<V>(v);
        return *this;
    }
};

// Sees every outcome, on the thread of the message loop.
class IOutcomeObserver {
  public:
    virtual ~IOutcomeObserver() = default;
    virtual void OnOutcome(const SOutcome& outcome) = 0;
};

}  // namespace sondrix
