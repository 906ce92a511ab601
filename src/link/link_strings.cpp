#include "link/link_strings.h"

#include <algorithm>
#include <array>

namespace sondrix {

std::span<const SStringEntry> LinkStrings() {
    static constexpr std::array<SStringEntry, 3> kTable = {{
        {IDS_LINK_QUEUE_FULL, "m_QueueRead FULL!"},
        {IDS_LINK_CHECKSUM_ERROR, "Checksum error occurred!!!"},
        {IDS_LINK_FIRMWARE_GAVE_UP, "Upgrade process was canceled! (COMMUNICATION ERROR)"},
    }};
    return kTable;
}

const char* LinkString(int id) {
    const std::span<const SStringEntry> table = LinkStrings();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [id](const SStringEntry& e) { return e.id == id; });
    return it == table.end() ? "" : it->text;
}

}  // namespace sondrix
