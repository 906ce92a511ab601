#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "link/model_table.h"
#include "link/packet.h"
#include "link/packet_parser.h"
#include "sim/finger_model.h"
#include "sim/sim_users.h"

namespace sondrix {

class CSimCommandGroup;
class CSimConfiguration;
class CSimMatching;
class CSimDatabase;
class CSimExtras;
class CSimFirmware;

// What the simulated module is: the model it reports, its firmware version,
// its own line speed and the users it holds.
struct SSimConfig {
    uint16_t modelCode = kModelHlxM18;
    uint32_t firmwareVersion = 0x0301;
    uint32_t baudRate = 115200;
    uint32_t userCount = 0;         // users "1".."n" the module starts with
    uint32_t captureDelayMs = 0;    // a scan: from the capture request to the first chunk
    uint32_t captureTimeoutMs = 0;  // how long an empty sensor is watched before result 7
    // An empty sensor is watched until a Cancel comes instead: a scan then
    // answers nothing until CMD_CANCEL, which it answers with result 13.
    bool waitForFinger = false;
    // The fingers a person puts on the sensor, one a scan in turn; the last
    // one stays. Empty: person 1's first finger.
    std::vector<SFinger> fingers = {};
};

// Misbehaviour on demand, for testing how the program copes.
struct SSimFaults {
    bool silent = false;           // answer nothing
    bool corruptChecksum = false;  // spoil the header checksum of every answer
    bool reportLinkError = false;  // answer with errorCode 2 (checksum error seen)
    uint32_t forcedResult = 0;     // when not 0, every answer carries this result
    uint32_t replyDelayMs = 0;     // extra time before each answer
    bool garbageBefore = false;    // send stray bytes before each answer
    // Answers still given before the module falls silent; -1: no limit.
    int answersLeft = -1;
    // Bytes sent ahead of the next answers, one entry each: truncated
    // packets, a header whose payload never comes, an oversized header.
    std::deque<std::vector<uint8_t>> bytesBefore;
    // Results forced on the next captures, one each, in order; 0 lets that
    // capture go normally.
    std::deque<uint32_t> captureOutcomes;
    // When set, the answer to this block of an image transfer is held back
    // until a Cancel arrives (a module busy reading its sensor); the Cancel's
    // answer and the held block then go out `heldGapMs` apart, the Cancel's
    // first unless `heldBlockFirst`.
    std::optional<uint32_t> holdImageBlock;
    bool heldBlockFirst = false;
    uint32_t heldGapMs = 50;
};

// An answer and how long after the request it goes out.
struct SSimReply {
    std::vector<uint8_t> bytes;
    uint32_t delayMs = 0;
};

// A received request as the module saw it (tests read them back).
struct SSimRequest {
    uint32_t command = 0;
    uint32_t param1 = 0;
    uint32_t param2 = 0;
    uint32_t errorCode = 0;
    std::vector<uint8_t> data;
};

// A software HLX module. It parses host packets with the program's own
// parser and answers as a module does. Commands it does not implement are
// answered with result 24 (not supported), as a module answers an unknown
// command, so the program always gets an answer to report.
class CSimModule {
  public:
    explicit CSimModule(SSimConfig config = {});
    ~CSimModule();

    // Feeds bytes received from the host; returns the answers they cause.
    std::vector<SSimReply> Receive(const uint8_t* bytes, size_t count);

    SSimConfig& Config() { return m_config; }
    SSimFaults& Faults() { return m_faults; }
    const SModelInfo* Model() const { return FindModelByCode(m_config.modelCode); }

    CSimUserDb& UserDb() { return m_users; }
    CSimConfiguration& Configuration() { return *m_configuration; }
    CSimMatching& Matching() { return *m_matching; }
    CSimDatabase& Database() { return *m_database; }
    CSimExtras& Extras() { return *m_extras; }
    CSimFirmware& Firmware() { return *m_firmware; }

    // Queues an answer (subject to the injected faults). `errorCode` carries
    // what a few answers report there (the Auto-On timing).
    void Answer(std::vector<SSimReply>& out, uint32_t command, uint32_t result, uint32_t param2,
                const uint8_t* data = nullptr, uint32_t size = 0, uint32_t errorCode = 0);
    // Packets the module sends of its own accord (Auto-On results) go to this
    // sink, which the transport sets while the line is open; without one they
    // are lost, as on a line nobody listens to.
    using SpontaneousSink = std::function<void(SSimReply)>;
    void SetSpontaneousSink(SpontaneousSink sink) { m_sink = std::move(sink); }

    // An answer waits for a Cancel (a scan of an empty sensor, a held image block).
    bool HoldingAnswer() const { return !m_held.empty(); }

    // The latest requests, oldest first: at most kRequestHistory, so that a
    // module that runs for days keeps a bounded record.
    static constexpr size_t kRequestHistory = 4096;
    const std::deque<SSimRequest>& Requests() const { return m_requests; }
    // Requests of `command` since the last ClearRequests, however many.
    size_t RequestCount(uint32_t command) const;
    void ClearRequests();
    // Bytes that arrived but formed no good packet (checksum errors, noise).
    size_t RejectedPackets() const { return m_rejected; }

    // The module clock, as seconds of a broken-down local time: the offset
    // to the host's local time set by CMD_SET_TIME.
    int64_t ClockOffsetSeconds() const { return m_clockOffset; }
    // The module clock now as packed BCD: century, year, month, day, hour,
    // minute, second.
    std::array<uint8_t, 7> ModuleTime() const;

    std::map<uint32_t, uint32_t>& Options() { return m_options; }

    // What CMD_GET_STATUS reports: 0 idle, 1 and 2 busy, 3 database upload,
    // 4 Auto-On.
    uint32_t Status() const { return m_status; }
    void SetStatus(uint32_t status) { m_status = status; }

    // Sends an answer nobody asked for now, as a module still answering an
    // earlier host does (through the same sink).
    void SendUnasked(uint32_t command, uint32_t result, uint32_t param2,
                     const std::vector<uint8_t>& data = {});

    // The virtual finger on the sensor; a capture without one times out.
    // A finger laid on it may make the module report of its own accord.
    void PlaceFinger(FingerOnSensor finger);
    const FingerOnSensor& Finger() const { return m_finger; }
    // The image of the last capture, as the module holds it.
    const std::vector<uint8_t>& CapturedImage() const { return m_image; }
    // A scan of the sensor for `command` (matching, registration): the finger
    // becomes the last image, whose quality CMD_GET_IMAGE_QUALITY reports.
    // Nothing, with `command` answered by the failure, when the scan fails.
    FingerOnSensor ScanFinger(uint32_t command, std::vector<SSimReply>& out);

  private:
    void Handle(const CPacket& request, std::vector<SSimReply>& out);
    // Sends what the module says of its own accord, when somebody listens.
    void Spontaneous(std::vector<SSimReply>& replies);
    void OnSetTime(const CPacket& request, std::vector<SSimReply>& out);
    void OnGetTime(std::vector<SSimReply>& out);
    void OnCaptureImage(const CPacket& request, std::vector<SSimReply>& out);
    // Sends the held image answer with the Cancel's answer, in the chosen order.
    void ReleaseHeldAnswer(std::vector<SSimReply>& out, size_t cancelAnswer);
    void OnCaptureColourImage(const CPacket& request, std::vector<SSimReply>& out);
    // A new scan of the sensor into `image`; false (answered) when it fails.
    bool Scan(uint32_t command, std::vector<uint8_t>& image, bool colour,
              std::vector<SSimReply>& out);
    // Answers block `block` of `image` cut into `chunk`-byte blocks.
    void SendImageBlock(uint32_t command, const std::vector<uint8_t>& image, uint32_t chunk,
                        uint32_t block, uint32_t delayMs, std::vector<SSimReply>& out);
    // Image bytes per answer: 512 on series-2 modules and in emulation mode 2.
    uint32_t ImageChunkSize() const;

    SSimConfig m_config;
    SSimFaults m_faults;
    std::unique_ptr<CPacketParser> m_parser;
    std::unique_ptr<CPacket> m_reply;
    std::deque<SSimRequest> m_requests;
    std::map<uint32_t, size_t> m_requestCounts;
    size_t m_rejected = 0;
    int64_t m_clockOffset = 0;
    // Option number -> value; a number not held here is refused as invalid.
    std::map<uint32_t, uint32_t> m_options;
    FingerOnSensor m_finger = SFinger{1, 0};
    size_t m_nextFinger = 0;  // of the configured fingers, the one the next scan takes
    std::vector<uint8_t> m_image;
    std::vector<uint8_t> m_colourImage;
    // The print rendered last, and for which finger, size and kind.
    struct SPrint {
        SFinger finger;
        int width = 0;
        int height = 0;
        bool colour = false;
        std::vector<uint8_t> pixels;
    };
    SPrint m_print;
    // The image answer held back until a Cancel (see SSimFaults::holdImageBlock).
    std::vector<SSimReply> m_held;
    uint32_t m_status = 0;
    int m_imageQuality = 0;
    CSimUserDb m_users;
    std::unique_ptr<CSimConfiguration> m_configuration;
    std::unique_ptr<CSimMatching> m_matching;
    std::unique_ptr<CSimDatabase> m_database;
    std::unique_ptr<CSimExtras> m_extras;
    std::unique_ptr<CSimFirmware> m_firmware;
    SpontaneousSink m_sink;
};

// Seconds since 1970 of the host's local wall-clock time read as if it were UTC.
int64_t LocalWallSeconds();

}  // namespace sondrix
