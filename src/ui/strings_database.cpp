#include "ui/strings_database.h"

namespace sondrix {

std::span<const SStringEntry> DatabaseStrings() {
    static constexpr SStringEntry kTable[] = {
        {0, ""},
    };
    return kTable;
}

}  // namespace sondrix
