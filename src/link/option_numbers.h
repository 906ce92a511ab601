#pragma once

#include <cstdint>

namespace sondrix {

// Numbers of the module options read and set with the generic option commands.
enum : uint32_t {
    kOptionRelay = 0x01,
    kOptionLog = 0x02,
    kOptionTemplateMode = 0x03,
    kOptionWiegandProtocol = 0x10,
    kOptionSiteCode = 0x11,
    kOptionIdentifyTimeout = 0x17,
    kOptionRelayTime = 0x18,
    kOptionCapturePeriod = 0x19,
    kOptionBrightness = 0x20,
    kOptionGain = 0x21,
    kOptionContrast = 0x22,
    kOptionAdaptiveCapture = 0x28,
    kOptionVerifyLevel = 0x30,
    kOptionIdentifyLevel = 0x31,
    kOptionRegisterQuality = 0x32,
    kOptionVerifyQuality = 0x33,
    kOptionLatent = 0x38,
    kOptionChannel1 = 0x40,
    kOptionChannel0Baud = 0x48,
    kOptionChannel1Baud = 0x49,
    kOptionUserCapacity = 0x50,
    kOptionFullRotate = 0x51,
    kOptionIdLength = 0x52,
    kOptionAdaptiveCount = 0x53,
    kOptionLfdLevel = 0x54,
    kOptionLfdLevelM28 = 0x55,
    kOptionEmulationMode = 0xF0,
};

}  // namespace sondrix
