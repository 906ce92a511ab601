#include "link/model_table.h"

#include <algorithm>
#include <array>

namespace sondrix {

namespace {

// Codes are 0x4D ('M') followed by the model number; the live-finger
// variant of HLX-M18 sets the top bit of the number.
constexpr std::array kModels = {
    SModelInfo{0x4D01, "HLX-M01", 0, 248, 292, 0},
    SModelInfo{0x4D02, "HLX-M02", 0, 248, 292, 0},
    SModelInfo{0x4D03, "HLX-M03", 0, 248, 292, 0},
    SModelInfo{0x4D04, "HLX-M04", 0, 260, 300, 10},
    SModelInfo{kModelHlxM05, "HLX-M05", 2, 208, 274, 10},
    SModelInfo{0x4D06, "HLX-M06", 1, 260, 300, 11},
    SModelInfo{0x4D07, "HLX-M07", 1, 260, 300, 11},
    SModelInfo{0x4D08, "HLX-M08", 3, 260, 300, 11},
    SModelInfo{0x4D09, "HLX-M09", 3, 256, 320, 11},
    SModelInfo{0x4D0A, "HLX-M10", 0, 0, 0, 0},
    SModelInfo{0x4D0B, "HLX-M11", 2, 260, 300, 10},
    SModelInfo{0x4D0C, "HLX-M12", 2, 260, 300, 10},
    SModelInfo{0x4D0D, "HLX-M13", 2, 208, 274, 10},
    SModelInfo{0x4D0E, "HLX-M14", 4, 260, 300, 0},
    SModelInfo{0x4D0F, "HLX-M15", 4, 256, 320, 0},
    SModelInfo{0x4D10, "HLX-M16", 4, 208, 288, 0},
    SModelInfo{0x4D11, "HLX-M17", 4, 208, 274, 0},
    SModelInfo{kModelHlxM18, "HLX-M18", 5, 260, 300, 0},
    SModelInfo{kModelHlxM18Lfd, "HLX-M18_LFD", 5, 260, 300, 0},
    SModelInfo{0x4D13, "HLX-M19", 5, 256, 320, 0},
    SModelInfo{0x4D14, "HLX-M20", 5, 208, 288, 0},
    SModelInfo{0x4D15, "HLX-M21", 5, 208, 274, 0},
    SModelInfo{0x4D16, "HLX-M22", 4, 0, 0, 0},
    SModelInfo{0x4D17, "HLX-M23", 4, 0, 0, 0},
    SModelInfo{0x4D18, "HLX-M24", 5, 0, 0, 0},
    SModelInfo{0x4D19, "HLX-M25", 5, 260, 300, 0},
    SModelInfo{0x4D1A, "HLX-M26", 5, 208, 288, 0},
    SModelInfo{0x4D1B, "HLX-M27", 4, 208, 288, 0},
    SModelInfo{kModelHlxM28, "HLX-M28", 5, 260, 300, 0},
};

}  // namespace

std::span<const SModelInfo> ModelTable() {
    return kModels;
}

const SModelInfo* FindModelByCode(uint32_t code) {
    auto it = std::find_if(kModels.begin(), kModels.end(),
                           [code](const SModelInfo& m) { return m.code == code; });
    return it == kModels.end() ? nullptr : &*it;
}

const SModelInfo* FindModelByName(std::string_view name) {
    auto it = std::find_if(kModels.begin(), kModels.end(),
                           [name](const SModelInfo& m) { return m.name == name; });
    return it == kModels.end() ? nullptr : &*it;
}

}  // namespace sondrix
