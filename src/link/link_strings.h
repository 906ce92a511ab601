#pragma once

#include <span>

namespace sondrix {

// A row of the program's string table.
struct SStringEntry {
    int id;
    const char* text;
};

// Texts of the serial link: the lowest area of the string table, kept here so
// that the link shows them through the UI host without knowing the pages
// (LoadString finds them like every other area's).
enum ELinkStringId : int {
    IDS_LINK_QUEUE_FULL = 9000,
    IDS_LINK_CHECKSUM_ERROR,
    IDS_LINK_FIRMWARE_GAVE_UP,
};

std::span<const SStringEntry> LinkStrings();
// The text of a link string id; an unknown id gives an empty text.
const char* LinkString(int id);

}  // namespace sondrix
