#include "ui/strings_configuration.h"

namespace sondrix {

std::span<const SStringEntry> ConfigurationStrings() {
    static constexpr SStringEntry kTable[] = {
        {0, ""},
    };
    return kTable;
}

}  // namespace sondrix
