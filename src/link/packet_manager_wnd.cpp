#include "link/packet_manager_wnd.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "link/command_table.h"
#include "link/link_strings.h"
#include "link/registration_codes.h"
#include "platform/native_file.h"

namespace sondrix {

namespace {

constexpr size_t kMasterPasswordField = 16;

}  // namespace

CPacketManagerWnd::CPacketManagerWnd(CMessageLoop& loop, ISerialDeviceFactory& devices, IUiHost& ui)
    : CWindow(loop), port(loop, devices), m_ui(ui) {
    port.m_QueueRead.Clear();
    port.SetNotifyWindow(Handle());
}

CPacketManagerWnd::~CPacketManagerWnd() {
    port.Close();
}

bool CPacketManagerWnd::Create(IPacketManagerOwner* owner, HWND mainDialogWindowHandle) {
    mainDialog = owner;
    mainDialogWindow = mainDialogWindowHandle;
    return owner != nullptr;
}

void CPacketManagerWnd::Trace(CPacket& packet, int direction) {
    Loop().Send(mainDialogWindow, WM_PACKET_TRACE, reinterpret_cast<WPARAM>(&packet), direction);
}

void CPacketManagerWnd::SendTxPacket() {
    const uint32_t header[5] = {txPacket.command, txPacket.param1, txPacket.param2,
                                txPacket.dataSize, txPacket.errorCode};
    std::vector<uint8_t> wire = txPacket.Encode();
    if (!wire.empty()) {
        while (port.writeInProgress == 1) {
        }
        port.Write(wire.size(), wire.data());
    }
    txPacket.command = header[0];
    txPacket.param1 = header[1];
    txPacket.param2 = header[2];
    txPacket.dataSize = header[3];
    txPacket.errorCode = header[4];
    Trace(txPacket, 0);
}

void CPacketManagerWnd::SendFilled(uint32_t command, uint32_t param1, uint32_t param2,
                                   size_t dataSize) {
    txPacket.command = command;
    txPacket.param1 = param1;
    txPacket.param2 = param2;
    txPacket.dataSize = static_cast<uint32_t>(dataSize);
    txPacket.errorCode = 0;
    SendTxPacket();
}

void CPacketManagerWnd::SendCommand(uint32_t command, uint32_t param1, uint32_t param2) {
    SendFilled(command, param1, param2, 0);
}

bool CPacketManagerWnd::SendRegister(uint32_t authority, uint32_t scan,
                                     std::span<const uint8_t> block) {
    if (block.size() > CPacket::kMaxData) {
        return false;
    }
    std::copy(block.begin(), block.end(), txPacket.data);
    SendFilled(CMD_REGISTER, authority, scan, block.size());
    return true;
}

void CPacketManagerWnd::PutTextField(size_t offset, const std::string& text, size_t length) {
    if (length == 0 || offset + length > CPacket::kMaxData) {
        return;
    }
    uint8_t* field = txPacket.data + offset;
    std::memset(field, 0, length);
    const size_t count = std::min(text.size(), length - 1);
    std::memcpy(field, text.data(), count);
}

bool CPacketManagerWnd::SetPayload(size_t offset, std::span<const uint8_t> bytes) {
    // A caller without bytes sends a 4-byte data area, which we leave zeroed.
    const size_t count = bytes.empty() ? 4 : bytes.size();
    if (offset + count > CPacket::kMaxData) {
        return false;
    }
    if (bytes.empty()) {
        std::memset(txPacket.data + offset, 0, count);
    } else {
        std::memcpy(txPacket.data + offset, bytes.data(), count);
    }
    txPacket.dataSize = static_cast<uint32_t>(offset + count);
    return true;
}

void CPacketManagerWnd::SendGetSystemInfo() {
    SendCommand(CMD_GET_SYSTEM_INFO);
}

void CPacketManagerWnd::SendVerify(bool withPassword, const std::string& id,
                                   const std::string& password) {
    const size_t idLength = mainDialog->IdLength();
    const size_t passwordLength = mainDialog->PasswordLength();
    PutTextField(0, id, idLength);
    size_t size = idLength;
    if (withPassword) {
        PutTextField(idLength, password, passwordLength);
        size += passwordLength;
    }
    SendFilled(CMD_VERIFY, withPassword ? 1 : 0, 0, size);
}

bool CPacketManagerWnd::SendInstantMatch(std::span<const uint8_t> bytes, uint32_t value) {
    if (!SetPayload(0, bytes)) {
        return false;
    }
    SendFilled(CMD_INSTANT_MATCH, value, 0, txPacket.dataSize);
    return true;
}

void CPacketManagerWnd::SendGetTemplate(uint32_t value) {
    SendCommand(CMD_GET_TEMPLATE, value);
}

bool CPacketManagerWnd::SendInstantVerify(const std::string& id, std::span<const uint8_t> bytes) {
    const size_t idLength = mainDialog->IdLength();
    if (!SetPayload(idLength, bytes)) {
        return false;
    }
    PutTextField(0, id, idLength);
    SendFilled(CMD_INSTANT_VERIFY, 0, 0, txPacket.dataSize);
    return true;
}

bool CPacketManagerWnd::SendInstantIdentify(std::span<const uint8_t> bytes) {
    if (!SetPayload(0, bytes)) {
        return false;
    }
    SendFilled(CMD_INSTANT_IDENTIFY, 1, 0, txPacket.dataSize);
    return true;
}

void CPacketManagerWnd::SendIdCommand(uint32_t command, uint32_t param1, const std::string& id) {
    const size_t idLength = mainDialog->IdLength();
    PutTextField(0, id, idLength);
    SendFilled(command, param1, 0, idLength);
}

void CPacketManagerWnd::SendDeleteUser(const std::string& id) {
    SendIdCommand(CMD_DELETE_USER, 0, id);
}

void CPacketManagerWnd::SendSetMasterAuthority(uint32_t value, const std::string& id) {
    SendIdCommand(CMD_SET_MASTER_AUTHORITY, value, id);
}

void CPacketManagerWnd::SendSetMasterPassword(const std::string& password) {
    PutTextField(0, password, kMasterPasswordField);
    SendFilled(CMD_SET_MASTER_PASSWORD, 0, 0, kMasterPasswordField);
}

bool CPacketManagerWnd::SendWriteCustomData(uint32_t value, std::span<const uint8_t> bytes) {
    if (bytes.size() > CPacket::kMaxData) {
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), txPacket.data);
    SendFilled(CMD_WRITE_CUSTOM_DATA, value, static_cast<uint32_t>(bytes.size()), bytes.size());
    return true;
}

bool CPacketManagerWnd::SendEnterMasterMode(uint32_t type, const std::string& id,
                                            const std::string& password,
                                            std::span<const uint8_t> templ) {
    const size_t idLength = mainDialog->IdLength();
    size_t size = 0;
    switch (type) {
        case kMasterById:
            PutTextField(0, id, idLength);
            size = idLength;
            break;
        case kMasterByPassword:
            PutTextField(0, id, idLength);
            PutTextField(idLength, password, kMasterPasswordField);
            size = idLength + kMasterPasswordField;
            break;
        case kMasterByDevicePassword:
            PutTextField(0, password, kMasterPasswordField);
            size = kMasterPasswordField;
            break;
        case kMasterByTemplate: {
            const size_t templateSize = templ.empty()
                                            ? static_cast<size_t>(mainDialog->DefaultTemplateSize())
                                            : templ.size();
            if (idLength + templateSize > CPacket::kMaxData) {
                return false;
            }
            PutTextField(0, id, idLength);
            std::memset(txPacket.data + idLength, 0, templateSize);
            std::copy(templ.begin(), templ.end(), txPacket.data + idLength);
            size = idLength + templateSize;
            break;
        }
        default:
            break;
    }
    SendFilled(CMD_ENTER_MASTER_MODE, type, 0, size);
    return true;
}

void CPacketManagerWnd::SendGetUserList(uint32_t value1, uint32_t value2) {
    SendCommand(CMD_GET_USER_LIST, value1, value2);
}

void CPacketManagerWnd::SendGetMasterList(uint32_t value1, uint32_t value2) {
    SendCommand(CMD_GET_MASTER_LIST, value1, value2);
}

void CPacketManagerWnd::SendGetLogData(uint32_t type, uint32_t a, uint32_t b) {
    logRequestType = type;
    const uint32_t param2 = type == 0 ? b : (type == 3 || type == 4) ? a : 0;
    SendCommand(CMD_GET_LOG_DATA, type, param2);
    retryPacket = txPacket;
    SetTimer(kRetryTimer, kLogRetryMs);
}

bool CPacketManagerWnd::SendModifyUser(uint32_t first, uint32_t value, const std::string& id,
                                       const std::string& password,
                                       std::span<const uint8_t> templ) {
    const int kind = mainDialog->ModificationKind();
    if (kind < 0 || kind > 10) {
        return false;
    }
    const size_t idLength = mainDialog->IdLength();
    size_t size = idLength;
    uint32_t param2 = value;
    if (kind == 1) {
        const size_t passwordLength = mainDialog->PasswordLength();
        std::memset(txPacket.data, 0, std::min(idLength + passwordLength, CPacket::kMaxData));
        PutTextField(idLength, password, passwordLength);
        size = idLength + passwordLength;
        param2 = 0;
    } else if (kind >= 3 && kind <= 6) {
        const size_t templateSize =
            templ.empty() ? static_cast<size_t>(mainDialog->DefaultTemplateSize()) : templ.size();
        if (idLength + templateSize > CPacket::kMaxData) {
            return false;
        }
        std::memset(txPacket.data + idLength, 0, templateSize);
        std::copy(templ.begin(), templ.end(), txPacket.data + idLength);
        size = idLength + templateSize;
        param2 = 0;
    } else {
        std::memset(txPacket.data, 0, idLength);
    }
    PutTextField(0, id, idLength);
    SendFilled(CMD_MODIFY_USER, first, param2, size);
    return true;
}

bool CPacketManagerWnd::SendUploadRecord(uint32_t value, std::span<const uint8_t> bytes) {
    if (!SetPayload(0, bytes)) {
        return false;
    }
    SendFilled(CMD_UPLOAD_RECORD, value, 0, txPacket.dataSize);
    return true;
}

void CPacketManagerWnd::SendDownloadRecord(uint32_t value1, uint32_t value2,
                                           const std::string& id) {
    size_t size = 0;
    if (value1 == 0) {
        size = mainDialog->IdLength();
        PutTextField(0, id, size);
    }
    SendFilled(CMD_DOWNLOAD_RECORD, value1, value2, size);
}

bool CPacketManagerWnd::SendRegisterStep(uint32_t a, uint32_t b, uint32_t value,
                                         std::span<const uint8_t> bytes) {
    txPacket.dataSize = 0;
    if (b == 0 && !bytes.empty()) {
        if (!SetPayload(0, bytes)) {
            return false;
        }
    }
    SendFilled(CMD_REGISTER_STEP, value, b + 16 * a, txPacket.dataSize);
    return true;
}

void CPacketManagerWnd::SendGetSensorOption() {
    SendCommand(CMD_GET_SENSOR_OPTION);
}

void CPacketManagerWnd::SendSetSystemOption(uint32_t option, uint32_t value) {
    SendCommand(CMD_SET_SYSTEM_OPTION, option, value);
}

void CPacketManagerWnd::SendGetSystemOption(uint32_t value) {
    SendCommand(CMD_GET_SYSTEM_OPTION, value);
}

void CPacketManagerWnd::SendGetStatus() {
    // Give a packet that is arriving the time to finish first.
    if (!parser.Idle()) {
        Loop().Sleep(300);
    }
    SendCommand(CMD_GET_STATUS);
}

void CPacketManagerWnd::SendCaptureImage(uint32_t block) {
    SendCommand(CMD_CAPTURE_IMAGE, 0, block);
}

void CPacketManagerWnd::SendCaptureColorImage(uint32_t block) {
    SendCommand(CMD_CAPTURE_COLOR_IMAGE, 0, block);
}

bool CPacketManagerWnd::SendChunk(uint32_t command, const std::string& path, uint32_t index) {
    const uint64_t offset = uint64_t{index} * kFirmwareChunk;
    // param2 holds the last chunk's index in 8 bits: a longer file cannot be described.
    if (offset >= firmwareSize || lastChunk > 0xFF) {
        return false;
    }
    const size_t count =
        static_cast<size_t>(std::min<uint64_t>(firmwareSize - offset, kFirmwareChunk));
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    if (!file || !file.seekg(static_cast<std::streamoff>(offset))) {
        return false;
    }
    uint8_t* payload = txPacket.data;
    PutU32BE(payload, firmwareSize);
    if (!file.read(reinterpret_cast<char*>(payload + 4), static_cast<std::streamsize>(count))) {
        return false;
    }
    // The last chunk is padded as erased flash reads.
    std::memset(payload + 4 + count, kFirmwareFiller, kFirmwareChunk - count);
    firmwarePath = path;
    currentChunk = index;
    txPacket.command = command;
    txPacket.param1 = 0;
    txPacket.param2 = index * 256 + lastChunk;
    txPacket.dataSize = kFirmwarePayload;
    txPacket.errorCode = 0;
    retryPacket = txPacket;
    SendTxPacket();
    return true;
}

bool CPacketManagerWnd::SendFirmwareChunk(const std::string& path, uint32_t index) {
    return SendChunk(CMD_FIRMWARE_DATA, path, index);
}

bool CPacketManagerWnd::SendBackupFirmwareChunk(const std::string& path, uint32_t index) {
    return SendChunk(CMD_BACKUP_FIRMWARE_DATA, path, index);
}

void CPacketManagerWnd::SendSetTime(const std::array<uint8_t, 8>& bytes8) {
    std::memcpy(txPacket.data, bytes8.data(), 8);
    SendFilled(CMD_SET_TIME, 0, 0, 8);
}

void CPacketManagerWnd::SendGpioTest(uint32_t value1, uint32_t value2) {
    SendCommand(CMD_GPIO_TEST, value1, value2);
}

void CPacketManagerWnd::SendGetImageQuality() {
    SendCommand(CMD_GET_IMAGE_QUALITY);
}

void CPacketManagerWnd::SendSetGpioConfig(uint32_t value1, uint32_t value2) {
    SendCommand(CMD_SET_GPIO_CONFIG, value1, value2);
}

void CPacketManagerWnd::ResendChunk(uint32_t command) {
    if (command == CMD_BACKUP_FIRMWARE_DATA) {
        SendBackupFirmwareChunk(firmwarePath, currentChunk);
    } else {
        SendFirmwareChunk(firmwarePath, currentChunk);
    }
}

LRESULT CPacketManagerWnd::WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMM_RECEIVE:
            OnReceive();
            return 0;
        case WM_QUEUE_FULL:
            m_ui.MessageBox(LinkString(IDS_LINK_QUEUE_FULL));
            return 0;
        case WM_DELIVER_PACKET:
            Deliver();
            return 0;
        case WM_PORT_LOST:
            Loop().Post(mainDialogWindow, WM_PORT_LOST, wparam, lparam);
            return 0;
        default:
            return CWindow::WindowProc(message, wparam, lparam);
    }
}

void CPacketManagerWnd::OnReceive() {
    // While a notification that points into the parser's record waits for its
    // handler (or the handler runs), parsing on would overwrite the record:
    // the bytes wait in the ring and parsing resumes after the delivery.
    if (m_deliveryQueued || m_delivering) {
        return;
    }
    CCommQueue& queue = port.m_QueueRead;
    uint32_t count = queue.Count();
    if (count == 0) {
        return;
    }
    if (!parser.Idle() && abortReceive == 1) {
        parser.Reset();
    }
    while (count > 0) {
        const uint8_t* bytes = nullptr;
        size_t used = 0;
        const uint32_t span = std::min(count, queue.Contiguous(bytes));
        const CPacketParser::EEvent event = parser.Feed(bytes, span, used);
        queue.Consume(static_cast<uint32_t>(used));
        count -= static_cast<uint32_t>(used);
        switch (event) {
            case CPacketParser::EEvent::None:
            case CPacketParser::EEvent::Oversize:
                break;
            case CPacketParser::EEvent::Packet:
                Dispatch(parser.rxPacket);
                if (EndOfPass()) {
                    return;
                }
                break;
            case CPacketParser::EEvent::HeaderChecksumError:
                Loop().Post(mainDialogWindow, WM_CHECKSUM_ERROR, 0, 0);
                if (EndOfPass()) {
                    return;
                }
                break;
            case CPacketParser::EEvent::DataChecksumError:
                Loop().Post(mainDialogWindow, WM_CHECKSUM_ERROR, 1, 0);
                break;
            case CPacketParser::EEvent::ShortPacket:
                if (const uint32_t note = ShortPacketNotification(parser.shortPacket[2])) {
                    QueueDelivery(note, reinterpret_cast<WPARAM>(parser.shortPacket));
                    return;
                }
                break;
            case CPacketParser::EEvent::ShortChecksumError:
                Loop().Post(mainDialogWindow, WM_CHECKSUM_ERROR, 0, 0);
                break;
        }
    }
}

bool CPacketManagerWnd::EndOfPass() {
    if (m_deliveryQueued) {
        return true;  // parsing resumes once the packet is handed on
    }
    if (parser.rxPacket.dataSize == 0) {
        // The pass ends after a packet without payload; what is left is parsed
        // on the next notification, which we raise ourselves so that bytes
        // never wait for the next burst.
        ResumeIfQueued();
        return true;
    }
    return false;
}

void CPacketManagerWnd::ResumeIfQueued() {
    if (port.m_QueueRead.Count() > 0) {
        PostMessage(WM_COMM_RECEIVE, port.portNumber, 0);
    }
}

void CPacketManagerWnd::QueueDelivery(uint32_t notification, WPARAM address) {
    m_delivery = {notification, address};
    m_deliveryQueued = true;
    PostMessage(WM_DELIVER_PACKET, 0, 0);
}

void CPacketManagerWnd::Deliver() {
    if (!m_deliveryQueued) {
        return;
    }
    m_deliveryQueued = false;
    m_delivering = true;
    Loop().Send(mainDialogWindow, m_delivery.notification, m_delivery.address, 0);
    m_delivering = false;
    ResumeIfQueued();
}

void CPacketManagerWnd::Dispatch(CPacket& packet) {
    Trace(packet, 1);
    KillTimer(kRetryTimer);
    retryCount = 0;
    if (packet.errorCode == 2) {
        // The module saw a checksum error in what we sent.
        if (packet.command == CMD_FIRMWARE_DATA || packet.command == CMD_BACKUP_FIRMWARE_DATA) {
            ResendChunk(packet.command);
        } else {
            m_ui.MessageBox(LinkString(IDS_LINK_CHECKSUM_ERROR));
        }
        return;
    }
    const SCommandInfo* info = FindCommand(packet.command);
    if (!info) {
        return;
    }
    CPacket* posted = &packet;
    if (packet.command == CMD_CAPTURE_IMAGE || packet.command == CMD_CAPTURE_COLOR_IMAGE) {
        // Image chunks are handed on from a copy of their own.
        imagePacket.start = packet.start;
        imagePacket.command = packet.command;
        imagePacket.param1 = packet.param1;
        imagePacket.param2 = packet.param2;
        imagePacket.dataSize = packet.dataSize;
        imagePacket.errorCode = packet.errorCode;
        imagePacket.headerChecksum = packet.headerChecksum;
        std::memcpy(imagePacket.data, packet.data, packet.dataSize);
        imagePacket.dataChecksum = packet.dataChecksum;
        posted = &imagePacket;
    }
    QueueDelivery(info->notification, reinterpret_cast<WPARAM>(posted));
}

void CPacketManagerWnd::OnTimer(uint32_t id) {
    if (id != kRetryTimer) {
        return;
    }
    if (retryPacket.command != CMD_FIRMWARE_DATA &&
        retryPacket.command != CMD_BACKUP_FIRMWARE_DATA) {
        return;  // stays armed and fires again after its period
    }
    KillTimer(kRetryTimer);
    if (++retryCount >= kMaxFirmwareSends) {
        m_ui.MessageBox(LinkString(IDS_LINK_FIRMWARE_GAVE_UP), EIcon::Stop);
        retryCount = 0;
        return;
    }
    ResendChunk(retryPacket.command);
}

}  // namespace sondrix
