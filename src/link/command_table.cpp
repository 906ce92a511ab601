#include "link/command_table.h"

#include <algorithm>
#include <array>

namespace sondrix {

namespace {

using G = EHandlerGroup;
constexpr uint32_t N(uint32_t offset) {
    return WM_USER + offset;
}

constexpr std::array kCommands = {
    SCommandInfo{CMD_CONNECT, "CMD_CONNECT", G::Connection, N(0x0A)},
    SCommandInfo{CMD_SET_BAUD_RATE, "CMD_SET_BAUD_RATE", G::Connection, N(0x0B)},
    SCommandInfo{CMD_03, "CMD_03", G::Ignored, N(0x0C)},
    SCommandInfo{CMD_GET_SYSTEM_INFO, "CMD_GET_SYSTEM_INFO", G::Connection, N(0x0D)},
    SCommandInfo{CMD_GET_MODULE_TYPE, "CMD_GET_MODULE_TYPE", G::Connection, N(0x0E)},
    SCommandInfo{CMD_VERIFY, "CMD_VERIFY", G::Matching, N(0x14)},
    SCommandInfo{CMD_IDENTIFY, "CMD_IDENTIFY", G::Matching, N(0x15)},
    SCommandInfo{CMD_INSTANT_MATCH, "CMD_INSTANT_MATCH", G::Matching, N(0x16)},
    SCommandInfo{CMD_GET_TEMPLATE, "CMD_GET_TEMPLATE", G::Matching, N(0x17)},
    SCommandInfo{CMD_CANCEL, "CMD_CANCEL", G::Matching, N(0x18)},
    SCommandInfo{CMD_INSTANT_VERIFY, "CMD_INSTANT_VERIFY", G::Matching, N(0x19)},
    SCommandInfo{CMD_INSTANT_IDENTIFY, "CMD_INSTANT_IDENTIFY", G::Matching, N(0x1A)},
    SCommandInfo{CMD_AUTO_ON, "CMD_AUTO_ON", G::Matching, N(0x1B)},
    SCommandInfo{CMD_AUTO_IDENTIFY_RESULT, "CMD_AUTO_IDENTIFY_RESULT", G::Matching, N(0x1C)},
    SCommandInfo{CMD_20, "CMD_20", G::Ignored, N(0x1E)},
    SCommandInfo{CMD_21, "CMD_21", G::Ignored, N(0x1F)},
    SCommandInfo{CMD_DELETE_USER, "CMD_DELETE_USER", G::DBManagement, N(0x21)},
    SCommandInfo{CMD_DELETE_ALL, "CMD_DELETE_ALL", G::DBManagement, N(0x22)},
    SCommandInfo{CMD_SET_MASTER_AUTHORITY, "CMD_SET_MASTER_AUTHORITY", G::DBManagement, N(0x23)},
    SCommandInfo{CMD_25, "CMD_25", G::Ignored, N(0x24)},
    SCommandInfo{CMD_LEAVE_MASTER_MODE, "CMD_LEAVE_MASTER_MODE", G::DBManagement, N(0x25)},
    SCommandInfo{CMD_SET_MASTER_PASSWORD, "CMD_SET_MASTER_PASSWORD", G::DBManagement, N(0x26)},
    SCommandInfo{CMD_28, "CMD_28", G::Ignored, N(0x2A)},
    SCommandInfo{CMD_29, "CMD_29", G::Ignored, N(0x2B)},
    SCommandInfo{CMD_2A, "CMD_2A", G::Ignored, N(0x2C)},
    SCommandInfo{CMD_READ_CUSTOM_DATA, "CMD_READ_CUSTOM_DATA", G::DBManagement, N(0x2D)},
    SCommandInfo{CMD_WRITE_CUSTOM_DATA, "CMD_WRITE_CUSTOM_DATA", G::DBManagement, N(0x2E)},
    SCommandInfo{CMD_DELETE_CUSTOM_DATA, "CMD_DELETE_CUSTOM_DATA", G::DBManagement, N(0x2F)},
    SCommandInfo{CMD_DELETE_MASTER_PASSWORD, "CMD_DELETE_MASTER_PASSWORD", G::DBManagement,
                 N(0x30)},
    SCommandInfo{CMD_ENTER_MASTER_MODE, "CMD_ENTER_MASTER_MODE", G::DBManagement, N(0x31)},
    SCommandInfo{CMD_GET_USER_LIST, "CMD_GET_USER_LIST", G::DBManagement, N(0x32)},
    SCommandInfo{CMD_GET_MASTER_LIST, "CMD_GET_MASTER_LIST", G::DBManagement, N(0x33)},
    SCommandInfo{CMD_GET_LOG_DATA, "CMD_GET_LOG_DATA", G::DBManagement, N(0x34)},
    SCommandInfo{CMD_REGISTER, "CMD_REGISTER", G::DBManagement, N(0x35)},
    SCommandInfo{CMD_MODIFY_USER, "CMD_MODIFY_USER", G::DBManagement, N(0x36)},
    SCommandInfo{CMD_UPLOAD_RECORD, "CMD_UPLOAD_RECORD", G::DBManagement, N(0x37)},
    SCommandInfo{CMD_DOWNLOAD_RECORD, "CMD_DOWNLOAD_RECORD", G::DBManagement, N(0x38)},
    SCommandInfo{CMD_DELETE_LOG_DATA, "CMD_DELETE_LOG_DATA", G::DBManagement, N(0x39)},
    SCommandInfo{CMD_REGISTER_STEP, "CMD_REGISTER_STEP", G::DBManagement, N(0x3A)},
    SCommandInfo{CMD_SET_SENSOR_OPTION, "CMD_SET_SENSOR_OPTION", G::Configuration, N(0x3C)},
    SCommandInfo{CMD_GET_SENSOR_OPTION, "CMD_GET_SENSOR_OPTION", G::Configuration, N(0x3D)},
    SCommandInfo{CMD_SET_SECURITY_LEVEL, "CMD_SET_SECURITY_LEVEL", G::Configuration, N(0x3E)},
    SCommandInfo{CMD_GET_SECURITY_LEVEL, "CMD_GET_SECURITY_LEVEL", G::Configuration, N(0x3F)},
    SCommandInfo{CMD_SET_LATENT_ADAPTIVE, "CMD_SET_LATENT_ADAPTIVE", G::Configuration, N(0x40)},
    SCommandInfo{CMD_GET_LATENT_ADAPTIVE, "CMD_GET_LATENT_ADAPTIVE", G::Configuration, N(0x41)},
    SCommandInfo{CMD_46, "CMD_46", G::Ignored, N(0x42)},
    SCommandInfo{CMD_47, "CMD_47", G::Ignored, N(0x43)},
    SCommandInfo{CMD_SET_LOG_OPTION, "CMD_SET_LOG_OPTION", G::Configuration, N(0x44)},
    SCommandInfo{CMD_GET_LOG_OPTION, "CMD_GET_LOG_OPTION", G::Configuration, N(0x45)},
    SCommandInfo{CMD_SET_CAPTURE_PERIOD, "CMD_SET_CAPTURE_PERIOD", G::Configuration, N(0x46)},
    SCommandInfo{CMD_GET_LOG_OPTION_EX, "CMD_GET_LOG_OPTION_EX", G::Configuration, N(0x47)},
    SCommandInfo{CMD_SET_SYSTEM_OPTION, "CMD_SET_SYSTEM_OPTION", G::Configuration, N(0x48)},
    SCommandInfo{CMD_GET_SYSTEM_OPTION, "CMD_GET_SYSTEM_OPTION", G::Configuration, N(0x49)},
    SCommandInfo{CMD_SAVE_SYSTEM_OPTIONS, "CMD_SAVE_SYSTEM_OPTIONS", G::Configuration, N(0x4A)},
    SCommandInfo{CMD_SET_TEMPLATE_COUNT, "CMD_SET_TEMPLATE_COUNT", G::Configuration, N(0x4B)},
    SCommandInfo{CMD_SET_DEFAULT_OPTIONS, "CMD_SET_DEFAULT_OPTIONS", G::Configuration, N(0x4C)},
    SCommandInfo{CMD_SET_EMULATION_MODE, "CMD_SET_EMULATION_MODE", G::Configuration, N(0x4D)},
    SCommandInfo{CMD_SET_ID_LENGTH, "CMD_SET_ID_LENGTH", G::Configuration, N(0x4E)},
    SCommandInfo{CMD_SET_LFD_LEVEL, "CMD_SET_LFD_LEVEL", G::Configuration, N(0x6E)},
    SCommandInfo{CMD_GET_LFD_LEVEL, "CMD_GET_LFD_LEVEL", G::Configuration, N(0x6F)},
    SCommandInfo{CMD_60, "CMD_60", G::Ignored, N(0x50)},
    SCommandInfo{CMD_UPGRADE_RECORD, "CMD_UPGRADE_RECORD", G::SystemManagement, N(0x51)},
    SCommandInfo{CMD_GET_STATUS, "CMD_GET_STATUS", G::SystemManagement, N(0x52)},
    SCommandInfo{CMD_CAPTURE_IMAGE, "CMD_CAPTURE_IMAGE", G::SystemManagement, N(0x53)},
    SCommandInfo{CMD_FIRMWARE_DATA, "CMD_FIRMWARE_DATA", G::SystemManagement, N(0x51)},
    SCommandInfo{CMD_SET_TIME, "CMD_SET_TIME", G::SystemManagement, N(0x55)},
    SCommandInfo{CMD_GET_TIME, "CMD_GET_TIME", G::SystemManagement, N(0x56)},
    SCommandInfo{CMD_GPIO_TEST, "CMD_GPIO_TEST", G::SystemManagement, N(0x57)},
    SCommandInfo{CMD_GET_IMAGE_QUALITY, "CMD_GET_IMAGE_QUALITY", G::SystemManagement, N(0x58)},
    SCommandInfo{CMD_SET_GPIO_CONFIG, "CMD_SET_GPIO_CONFIG", G::SystemManagement, N(0x59)},
    SCommandInfo{CMD_BACKUP_FIRMWARE_DATA, "CMD_BACKUP_FIRMWARE_DATA", G::SystemManagement,
                 N(0x8E)},
    SCommandInfo{CMD_101, "CMD_101", G::Ignored, N(0x82)},
    SCommandInfo{CMD_1F0, "CMD_1F0", G::Ignored, N(0x8C)},
    SCommandInfo{CMD_CAPTURE_COLOR_IMAGE, "CMD_CAPTURE_COLOR_IMAGE", G::SystemManagement, N(0x8D)},
};

struct SShortRoute {
    uint8_t code;
    uint32_t notification;
};

constexpr std::array kShortRoutes = {
    SShortRoute{0x01, N(0x64)}, SShortRoute{0x02, N(0x65)}, SShortRoute{0x12, N(0x66)},
    SShortRoute{0x17, N(0x67)}, SShortRoute{0x22, N(0x68)}, SShortRoute{0x23, N(0x69)},
    SShortRoute{0x2F, N(0x6A)}, SShortRoute{0x26, N(0x6B)}, SShortRoute{0x33, N(0x6C)},
    SShortRoute{0x62, N(0x6D)},
};

}  // namespace

std::span<const SCommandInfo> CommandTable() {
    return kCommands;
}

const SCommandInfo* FindCommand(uint32_t code) {
    auto it = std::find_if(kCommands.begin(), kCommands.end(),
                           [code](const SCommandInfo& c) { return c.code == code; });
    return it == kCommands.end() ? nullptr : &*it;
}

const SCommandInfo* FindCommandByNotification(uint32_t notification) {
    auto it = std::find_if(
        kCommands.begin(), kCommands.end(),
        [notification](const SCommandInfo& c) { return c.notification == notification; });
    return it == kCommands.end() ? nullptr : &*it;
}

uint32_t ShortPacketNotification(uint8_t code) {
    auto it = std::find_if(kShortRoutes.begin(), kShortRoutes.end(),
                           [code](const SShortRoute& r) { return r.code == code; });
    return it == kShortRoutes.end() ? 0 : it->notification;
}

}  // namespace sondrix
