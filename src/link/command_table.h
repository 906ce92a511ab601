#pragma once

#include <cstdint>
#include <span>

#include "platform/message_numbers.h"

namespace sondrix {

// Command codes of the module protocol.
enum : uint32_t {
    CMD_CONNECT = 0x01,
    CMD_SET_BAUD_RATE = 0x02,
    CMD_03 = 0x03,
    CMD_GET_SYSTEM_INFO = 0x04,
    CMD_GET_MODULE_TYPE = 0x05,
    CMD_VERIFY = 0x11,
    CMD_IDENTIFY = 0x12,
    CMD_INSTANT_MATCH = 0x15,
    CMD_GET_TEMPLATE = 0x16,
    CMD_CANCEL = 0x17,
    CMD_INSTANT_VERIFY = 0x18,
    CMD_INSTANT_IDENTIFY = 0x19,
    CMD_AUTO_ON = 0x1A,
    CMD_AUTO_IDENTIFY_RESULT = 0x1B,
    CMD_20 = 0x20,
    CMD_21 = 0x21,
    CMD_DELETE_USER = 0x22,
    CMD_DELETE_ALL = 0x23,
    CMD_SET_MASTER_AUTHORITY = 0x24,
    CMD_25 = 0x25,
    CMD_LEAVE_MASTER_MODE = 0x26,
    CMD_SET_MASTER_PASSWORD = 0x27,
    CMD_28 = 0x28,
    CMD_29 = 0x29,
    CMD_2A = 0x2A,
    CMD_READ_CUSTOM_DATA = 0x2B,
    CMD_WRITE_CUSTOM_DATA = 0x2C,
    CMD_DELETE_CUSTOM_DATA = 0x2D,
    CMD_DELETE_MASTER_PASSWORD = 0x2E,
    CMD_ENTER_MASTER_MODE = 0x2F,
    CMD_GET_USER_LIST = 0x30,
    CMD_GET_MASTER_LIST = 0x31,
    CMD_GET_LOG_DATA = 0x32,
    CMD_REGISTER = 0x33,
    CMD_MODIFY_USER = 0x34,
    CMD_UPLOAD_RECORD = 0x35,
    CMD_DOWNLOAD_RECORD = 0x36,
    CMD_DELETE_LOG_DATA = 0x37,
    CMD_REGISTER_STEP = 0x38,
    CMD_SET_SENSOR_OPTION = 0x40,
    CMD_GET_SENSOR_OPTION = 0x41,
    CMD_SET_SECURITY_LEVEL = 0x42,
    CMD_GET_SECURITY_LEVEL = 0x43,
    CMD_SET_LATENT_ADAPTIVE = 0x44,
    CMD_GET_LATENT_ADAPTIVE = 0x45,
    CMD_46 = 0x46,
    CMD_47 = 0x47,
    CMD_SET_LOG_OPTION = 0x48,
    CMD_GET_LOG_OPTION = 0x49,
    CMD_SET_CAPTURE_PERIOD = 0x4A,
    CMD_GET_LOG_OPTION_EX = 0x4B,
    CMD_SET_SYSTEM_OPTION = 0x4C,
    CMD_GET_SYSTEM_OPTION = 0x4D,
    CMD_SAVE_SYSTEM_OPTIONS = 0x4E,
    CMD_SET_TEMPLATE_COUNT = 0x4F,
    CMD_SET_DEFAULT_OPTIONS = 0x50,
    CMD_SET_EMULATION_MODE = 0x51,
    CMD_SET_ID_LENGTH = 0x52,
    CMD_SET_LFD_LEVEL = 0x53,
    CMD_GET_LFD_LEVEL = 0x54,
    CMD_60 = 0x60,
    CMD_UPGRADE_RECORD = 0x61,
    CMD_GET_STATUS = 0x62,
    CMD_CAPTURE_IMAGE = 0x63,
    CMD_FIRMWARE_DATA = 0x64,
    CMD_SET_TIME = 0x65,
    CMD_GET_TIME = 0x66,
    CMD_GPIO_TEST = 0x67,
    CMD_GET_IMAGE_QUALITY = 0x68,
    CMD_SET_GPIO_CONFIG = 0x69,
    CMD_BACKUP_FIRMWARE_DATA = 0x6A,
    CMD_101 = 0x101,
    CMD_1F0 = 0x1F0,
    CMD_CAPTURE_COLOR_IMAGE = 0x1FD,
};

// Which response handler receives the answers to a command.
enum class EHandlerGroup {
    Ignored,
    Connection,
    Matching,
    DBManagement,
    Configuration,
    SystemManagement,
};

struct SCommandInfo {
    uint32_t code;
    const char* name;
    EHandlerGroup group;
    // Message number (WM_USER + n) that a received answer is posted as.
    uint32_t notification;
};

// Every command code the program sends or dispatches, in code order.
std::span<const SCommandInfo> CommandTable();
// The row of a code, or nullptr for codes the program does not know.
const SCommandInfo* FindCommand(uint32_t code);
// The row whose notification number is `notification`, or nullptr. Two codes
// share a notification (0x61 and 0x64): the first row is returned.
const SCommandInfo* FindCommandByNotification(uint32_t notification);

// Notification for a short (six-byte) packet by its code byte, or 0 to drop it.
uint32_t ShortPacketNotification(uint8_t code);

// Link-level notifications.
constexpr uint32_t WM_COMM_RECEIVE = WM_USER + 0x01;  // receive thread: a burst arrived
constexpr uint32_t WM_PACKET_TRACE =
    WM_USER + 0x02;  // sent synchronously: (packet*, 0 sent / 1 received)
constexpr uint32_t WM_CHECKSUM_ERROR = WM_USER + 0x06;  // (0 header / 1 payload)
constexpr uint32_t WM_QUEUE_FULL = WM_USER + 0x90;  // receive thread: a chunk did not fit the ring
constexpr uint32_t WM_PORT_LOST = WM_USER + 0x91;   // receive thread: the device went away
constexpr uint32_t WM_DELIVER_PACKET =
    WM_USER + 0x92;  // packet manager to itself: hand a packet on

}  // namespace sondrix
