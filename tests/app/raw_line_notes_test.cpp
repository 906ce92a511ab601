#include <gtest/gtest.h>

#include "app/trace_file.h"

namespace sondrix {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Join(const Bytes& a, const Bytes& b) {
    Bytes joined = a;
    joined.insert(joined.end(), b.begin(), b.end());
    return joined;
}

// CMD_GET_STATUS with every other field 0: header checksum 0x62.
const Bytes kStatus = {0x7E, 0x00, 0x00, 0x00, 0x62, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x62};

TEST(RawLineNotesTest, EachChunkSaysWhatTheParserMadeOfIt) {
    CRawLineNotes notes;
    EXPECT_EQ(notes.Note(1, Join({0x00}, kStatus)), "1 byte skipped; CMD_GET_STATUS");
    // A packet over two reads.
    EXPECT_EQ(notes.Note(1, Bytes(kStatus.begin(), kStatus.begin() + 10)), "packet continues");
    // Meanwhile the other direction is read on its own.
    EXPECT_EQ(notes.Note(0, kStatus), "CMD_GET_STATUS");
    EXPECT_EQ(notes.Note(1, Bytes(kStatus.begin() + 10, kStatus.end())), "CMD_GET_STATUS");
    // 7E 01: a command's high bytes are never set, so the start was no start.
    EXPECT_EQ(notes.Note(1, {0x7E, 0x01, 0x02}), "3 bytes skipped");

    Bytes spoiled = kStatus;
    spoiled.back() = 0x63;
    EXPECT_EQ(notes.Note(1, spoiled), "CMD_GET_STATUS: bad header checksum");
    EXPECT_EQ(notes.Note(1, {0x7E, 0x5A, 0x01, 0x00, 0x00, 0xD9}), "short packet 7e5a010000d9");
    EXPECT_EQ(notes.Note(1, {0x7E, 0x5A, 0x01, 0x00, 0x00, 0xD8}),
              "short packet 7e5a010000d8: bad checksum");
    // CMD_CAPTURE_IMAGE announcing 70000 bytes (checksum 0x63 + 0x01 + 0x11 + 0x70).
    const Bytes oversized = {0x7E, 0x00, 0x00, 0x00, 0x63, 0x00, 0x00, 0x00, 0x00,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x11, 0x70, 0x00,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE5};
    EXPECT_EQ(notes.Note(1, Join(oversized, {0x55})),
              "CMD_CAPTURE_IMAGE: data size 70000 too large, header dropped; 1 byte skipped");
    // Three payload bytes FF FF FF sum to 0x2FD; 0x2FC is wrong.
    const Bytes payload = {0x7E, 0x00, 0x00, 0x00, 0x62, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                           0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x00, 0x00, 0x66, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0xFD};
    EXPECT_EQ(notes.Note(1, payload), "CMD_GET_STATUS");
    Bytes badData = payload;
    badData.back() = 0xFC;
    EXPECT_EQ(notes.Note(1, Join(badData, kStatus)),
              "CMD_GET_STATUS: bad data checksum; CMD_GET_STATUS");
}

}  // namespace
}  // namespace sondrix
