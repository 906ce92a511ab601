#include "ui/strings_extra.h"

namespace sondrix {

std::span<const SStringEntry> ExtraStrings() {
    static constexpr SStringEntry kTable[] = {
        {0, ""},
    };
    return kTable;
}

}  // namespace sondrix
