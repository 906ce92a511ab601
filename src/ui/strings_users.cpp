#include "ui/strings_users.h"

namespace sondrix {

std::span<const SStringEntry> UserStrings() {
    static constexpr SStringEntry kTable[] = {
        {0, ""},
    };
    return kTable;
}

}  // namespace sondrix
