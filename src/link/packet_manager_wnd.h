#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "link/comm_port.h"
#include "link/packet.h"
#include "link/packet_parser.h"
#include "platform/message_loop.h"
#include "platform/ui_host.h"

namespace sondrix {

// What the packet manager needs to know of the program that owns it: the
// module's field lengths and the modification kind chosen by the person.
class IPacketManagerOwner {
  public:
    virtual ~IPacketManagerOwner() = default;
    virtual int IdLength() const = 0;
    virtual int PasswordLength() const = 0;
    // Template bytes sent when a caller gives none: 400 or 404 by module.
    virtual int DefaultTemplateSize() const = 0;
    // Modification kind selected for CMD_MODIFY_USER (0..10).
    virtual int ModificationKind() const = 0;
};

// The hidden window that owns the serial port: builds and sends every
// command packet, turns the received bytes into packets and hands each good
// packet to the main dialog, first as a synchronous trace, then as a posted
// notification numbered by its command.
class CPacketManagerWnd : public CWindow {
  public:
    static constexpr uint32_t kRetryTimer = 0;
    static constexpr uint32_t kLogRetryMs = 80000;
    static constexpr uint32_t kFirmwareChunk = 4096;
    static constexpr uint32_t kFirmwarePayload = kFirmwareChunk + 4;
    static constexpr int kMaxFirmwareSends = 10;
    static constexpr uint8_t kFirmwareFiller = 0xFF;

    CPacketManagerWnd(CMessageLoop& loop, ISerialDeviceFactory& devices, IUiHost& ui);
    ~CPacketManagerWnd() override;

    bool Create(IPacketManagerOwner* owner, HWND mainDialogWindow);

    // Sends txPacket as its fields stand (errorCode included).
    void SendTxPacket();
    // Fills txPacket's header around the `dataSize` bytes already in its
    // data (no error code), then sends it.
    void SendFilled(uint32_t command, uint32_t param1, uint32_t param2, size_t dataSize);
    // The same with no payload.
    void SendCommand(uint32_t command, uint32_t param1 = 0, uint32_t param2 = 0);

    void SendGetSystemInfo();
    void SendVerify(bool withPassword, const std::string& id, const std::string& password);
    bool SendInstantMatch(std::span<const uint8_t> bytes, uint32_t value);
    void SendGetTemplate(uint32_t value);
    bool SendInstantVerify(const std::string& id, std::span<const uint8_t> bytes);
    bool SendInstantIdentify(std::span<const uint8_t> bytes);
    void SendDeleteUser(const std::string& id);
    void SendSetMasterAuthority(uint32_t value, const std::string& id);
    void SendSetMasterPassword(const std::string& password);
    bool SendWriteCustomData(uint32_t value, std::span<const uint8_t> bytes);
    bool SendEnterMasterMode(uint32_t type, const std::string& id, const std::string& password,
                             std::span<const uint8_t> templ);
    void SendGetUserList(uint32_t value1, uint32_t value2);
    void SendGetMasterList(uint32_t value1, uint32_t value2);
    void SendGetLogData(uint32_t type, uint32_t a, uint32_t b);
    bool SendModifyUser(uint32_t first, uint32_t value, const std::string& id,
                        const std::string& password, std::span<const uint8_t> templ);
    bool SendUploadRecord(uint32_t value, std::span<const uint8_t> bytes);
    void SendDownloadRecord(uint32_t value1, uint32_t value2, const std::string& id);
    // CMD_REGISTER for one scan (ERegisterScan) with its registration block.
    bool SendRegister(uint32_t authority, uint32_t scan, std::span<const uint8_t> block);
    bool SendRegisterStep(uint32_t a, uint32_t b, uint32_t value, std::span<const uint8_t> bytes);
    void SendGetSensorOption();
    void SendSetSystemOption(uint32_t option, uint32_t value);
    void SendGetSystemOption(uint32_t value);
    void SendGetStatus();
    void SendCaptureImage(uint32_t block);
    void SendCaptureColorImage(uint32_t block);
    bool SendFirmwareChunk(const std::string& path, uint32_t index);
    bool SendBackupFirmwareChunk(const std::string& path, uint32_t index);
    void SendSetTime(const std::array<uint8_t, 8>& bytes8);
    void SendGpioTest(uint32_t value1, uint32_t value2);
    void SendGetImageQuality();
    void SendSetGpioConfig(uint32_t value1, uint32_t value2);

    // Returns the receiver to the search state (Disconnect).
    void ResetParser() { parser.Reset(); }
    bool Receiving() const { return !parser.Idle(); }

    LRESULT WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam) override;
    void OnTimer(uint32_t id) override;

    CCommPort port;
    CPacketParser parser;  // assembles each received packet in parser.rxPacket
    CPacket imagePacket;
    CPacket retryPacket;
    CPacket txPacket;
    IPacketManagerOwner* mainDialog = nullptr;
    HWND mainDialogWindow = kNoWindow;
    std::string firmwarePath;
    uint32_t currentChunk = 0;
    int retryCount = 0;
    uint32_t logRequestType = 0;
    uint32_t firmwareSize = 0;
    uint32_t lastChunk = 0;
    int abortReceive = 0;

  private:
    void OnReceive();
    void Dispatch(CPacket& packet);
    // A received packet is handed to the main dialog from a message of our
    // own, posted where the notification belongs in the queue; parsing waits
    // until the handler is done with the record.
    void QueueDelivery(uint32_t notification, WPARAM address);
    void Deliver();
    void ResumeIfQueued();
    // After a finished packet: whether the receive pass stops here.
    bool EndOfPass();
    void Trace(CPacket& packet, int direction);
    // Copies an ID or password as a zero-terminated string into a zeroed
    // field of `length` bytes at `offset` of txPacket's payload.
    void PutTextField(size_t offset, const std::string& text, size_t length);
    bool SetPayload(size_t offset, std::span<const uint8_t> bytes);
    bool SendChunk(uint32_t command, const std::string& path, uint32_t index);
    void ResendChunk(uint32_t command);
    void SendIdCommand(uint32_t command, uint32_t param1, const std::string& id);

    IUiHost& m_ui;
    struct SDelivery {
        uint32_t notification = 0;
        WPARAM address = 0;
    } m_delivery;
    bool m_deliveryQueued = false;
    bool m_delivering = false;
};

}  // namespace sondrix
