#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace sondrix {

// One module model: the 16-bit code it reports to CMD_GET_MODULE_TYPE, its
// name, its series and its image geometry. Program and simulator share it.
struct SModelInfo {
    uint16_t code;
    std::string_view name;
    int series;      // 1..5, or 0: the model leaves the series as it was
    int imageWidth;  // 0: the program has no image size for the model
    int imageHeight;
    int idFieldLength;  // 0: the model leaves the ID field length as it was
};

std::span<const SModelInfo> ModelTable();
const SModelInfo* FindModelByCode(uint32_t code);
const SModelInfo* FindModelByName(std::string_view name);

// Codes of the models that the program treats specially.
constexpr uint16_t kModelHlxM05 = 0x4D05;
constexpr uint16_t kModelHlxM18 = 0x4D12;
constexpr uint16_t kModelHlxM18Lfd = 0x4D92;
constexpr uint16_t kModelHlxM28 = 0x4D1C;

}  // namespace sondrix
