// The receive path: bytes go through the ring in bursts of varying size and
// are parsed block-wise from its contiguous spans, as the program does; a
// second parser takes the same bytes one at a time. Both must report the
// same events and the same packets.

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_target.h"
#include "link/comm_queue.h"
#include "link/packet_parser.h"
#include "platform/byte_reader.h"

namespace {

using sondrix::CCommQueue;
using sondrix::CPacket;
using sondrix::CPacketParser;
using Event = CPacketParser::EEvent;

struct SSeen {
    Event event;
    uint32_t command, param1, param2, dataSize, errorCode;
    uint32_t dataSum;
    uint8_t shortPacket[6];
};

SSeen Describe(Event event, const CPacketParser& parser) {
    SSeen seen{event, 0, 0, 0, 0, 0, 0, {}};
    if (event == Event::Packet || event == Event::DataChecksumError) {
        const CPacket& p = parser.rxPacket;
        sondrix::fuzz::Require(p.dataSize <= CPacket::kMaxData, "packet larger than its buffer");
        seen.command = p.command;
        seen.param1 = p.param1;
        seen.param2 = p.param2;
        seen.dataSize = p.dataSize;
        seen.errorCode = p.errorCode;
        seen.dataSum = p.ComputeDataChecksum();
        if (event == Event::Packet) {
            // A packet without payload has no data sum on the wire.
            sondrix::fuzz::Require(p.HeaderCheck() && (p.dataSize == 0 || p.DataCheck()),
                                   "a packet with a bad sum reported as good");
        }
    } else if (event == Event::ShortPacket) {
        std::memcpy(seen.shortPacket, parser.shortPacket, sizeof seen.shortPacket);
    }
    return seen;
}

bool Same(const SSeen& a, const SSeen& b) {
    return a.event == b.event && a.command == b.command && a.param1 == b.param1 &&
           a.param2 == b.param2 && a.dataSize == b.dataSize && a.errorCode == b.errorCode &&
           a.dataSum == b.dataSum && std::memcmp(a.shortPacket, b.shortPacket, 6) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Layout: count of burst sizes (0..15), the sizes (one byte each, 0 taken
    // as 256), then the line's bytes.
    sondrix::CByteReader input(data, size);
    uint8_t splitCount = 0;
    if (!input.U8(splitCount)) {
        return 0;
    }
    splitCount &= 15;
    std::vector<uint32_t> bursts;
    for (uint8_t i = 0, b = 0; i < splitCount && input.U8(b); ++i) {
        bursts.push_back(b == 0 ? 256 : b);
    }
    if (bursts.empty()) {
        bursts.push_back(4096);
    }
    const uint8_t* line = data + input.Position();
    const size_t lineSize = input.Remaining();

    // The parsers hold a 64 KiB packet each: keep them off the stack.
    auto blockParser = std::make_unique<CPacketParser>();
    auto byteParser = std::make_unique<CPacketParser>();
    auto ring = std::make_unique<CCommQueue>();
    std::vector<SSeen> blockEvents;
    std::vector<SSeen> byteEvents;

    for (size_t i = 0; i < lineSize; ++i) {
        const Event e = byteParser->Feed(line[i]);
        if (e != Event::None) {
            byteEvents.push_back(Describe(e, *byteParser));
        }
    }

    size_t sent = 0;
    size_t burst = 0;
    while (sent < lineSize || ring->Count() != 0) {
        // The receive thread's burst, when the ring has room for it.
        const uint32_t want = static_cast<uint32_t>(
            std::min<size_t>(bursts[burst++ % bursts.size()], lineSize - sent));
        if (want != 0 && ring->PushChunk(line + sent, want)) {
            sent += want;
        }
        // The UI thread drains what lies back to back, a span at a time.
        const uint8_t* span = nullptr;
        const uint32_t available = ring->Contiguous(span);
        size_t offset = 0;
        while (offset < available) {
            size_t used = 0;
            const Event e = blockParser->Feed(span + offset, available - offset, used);
            sondrix::fuzz::Require(used <= available - offset,
                                   "parser took more than it was given");
            sondrix::fuzz::Require(used != 0 || e != Event::None, "parser made no progress");
            offset += used;
            if (e != Event::None) {
                blockEvents.push_back(Describe(e, *blockParser));
            }
        }
        ring->Consume(available);
    }

    sondrix::fuzz::Require(blockEvents.size() == byteEvents.size(),
                           "block-wise and byte-wise parsing disagree on the event count");
    for (size_t i = 0; i < blockEvents.size(); ++i) {
        sondrix::fuzz::Require(Same(blockEvents[i], byteEvents[i]),
                               "block-wise and byte-wise parsing disagree on an event");
    }
    sondrix::fuzz::Require(blockParser->parseState == byteParser->parseState,
                           "the parsers end in different states");
    return 0;
}
