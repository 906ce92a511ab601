#pragma once

#include <cstdint>

namespace sondrix {

// CMD_REGISTER's second parameter: which scan of which finger.
enum ERegisterScan : uint32_t {
    kRegisterFirst = 0x00,           // the first scan; the ID in the data
    kRegisterFirstGenerated = 0x10,  // the first scan; the module picks the ID
    kRegisterSecondSame = 1,         // the same finger again
    kRegisterSecondDifferent = 2,    // a different finger
    kRegisterOtherFinger = 3,        // the first scan of the second finger
    kRegisterOtherSame = 4,
    kRegisterOtherDifferent = 5,
};

// Step codes of CMD_REGISTER_STEP; the finger index sits above them.
enum ERegisterStep : uint32_t {
    kStepFirst = 0,
    kStepFirstGenerated = 1,
    kStepSecond = 2,
    kStepStore = 4,
};

// Modification codes of CMD_MODIFY_USER. A template change takes two
// requests: the first code, then that code + 1 when the same finger is
// given again or + 2 for a different finger.
enum EModifyCode : uint32_t {
    kModifyAuthority = 0x01,
    kModifyPassword = 0x02,
    kModifySecurityLevel = 0x03,
    kModifyFirstHost = 0x10,
    kModifySecondHost = 0x13,
    kModifyFirstSensor = 0x20,
    kModifySecondSensor = 0x23,
};

// How CMD_ENTER_MASTER_MODE proves the master: its first parameter.
enum EMasterCredential : uint32_t {
    kMasterById = 0,
    kMasterByPassword = 1,  // the master's ID and password
    kMasterByDevicePassword = 2,
    kMasterPlain = 3,
    kMasterByTemplate = 4,
};

}  // namespace sondrix
