#pragma once

#include <cstdint>

namespace sondrix {

// The emulation modes a newer module may run in (its option 0x83).
enum EEmulationMode : uint32_t {
    kEmulationSa = 1,     // "HLX-SA Mode": behaves as a series 1 module
    kEmulationSb = 2,     // "HLX-SB Mode": behaves as a series 2 module
    kNoEmulation = 0xFF,  // the module's own protocol
};

// What a module family is, by name. The series comes from the model table
// and the emulation mode from the module's options; everything the program
// and the simulator decide by family asks one of these questions, so that
// no series or emulation number is compared anywhere else.
struct SModuleFamily {
    int series = 5;  // 1..5
    uint32_t emulation = kNoEmulation;

    bool EmulatesSa() const { return emulation == kEmulationSa; }
    bool EmulatesSb() const { return emulation == kEmulationSb; }
    bool Emulating() const { return EmulatesSa() || EmulatesSb(); }
    bool FirstSeries() const { return series == 1; }
    bool FirstOrThirdSeries() const { return series == 1 || series == 3; }
    bool SecondSeries() const { return series == 2; }
    // Series 1 to 3: the older models, whatever their options say.
    bool OlderSeries() const { return series >= 1 && series <= 3; }
    // Series 4 and 5: generic option commands, the ID-length setting, the
    // registration in steps.
    bool NewSeries() const { return series == 4 || series == 5; }
    // A new-series module in its own protocol.
    bool NativeNewSeries() const { return NewSeries() && !Emulating(); }
    // Series 1 or 3, or HLX-SA Mode: the 11-byte ID field, and the template
    // mode is read before a registration.
    bool SpeaksSa() const { return FirstOrThirdSeries() || EmulatesSa(); }
    // Series 2, or HLX-SB Mode: the 10-byte ID field, fixed-purpose option
    // commands, 400-byte templates and 512-byte image blocks.
    bool SpeaksSb() const { return SecondSeries() || EmulatesSb(); }
    // User lists and records in the legacy layout: series 1 to 3 or either
    // emulation; the others use the extended layout.
    bool LegacyLayout() const { return OlderSeries() || Emulating(); }
};

}  // namespace sondrix
