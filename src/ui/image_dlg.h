#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/port_map.h"
#include "ui/gradient_progress_ctrl.h"
#include "ui/page_base.h"
#include "ui/strings.h"

namespace sondrix {

// The Main tab (dialog 132): image capture and display, continuous capture,
// module information, the connection controls and the quick menu.
class CImageDlg : public CPageBase {
  public:
    // Timer 1: the connection time-out.
    static constexpr uint32_t kConnectTimer = 1;
    // How long a connection attempt waits for the module's answer.
    static constexpr uint32_t kConnectWaitMs = 500;

    // Controls.
    static constexpr int kImage = 1019;  // picture: the fingerprint image
    static constexpr int kCapture = 1026;
    static constexpr int kOpen = 1028;
    static constexpr int kSave = 1029;
    static constexpr int kColor = 1164;       // created hidden and disabled
    static constexpr int kContinuous = 1027;  // "Capture Start" / "Capture End"
    static constexpr int kSucceededCount = 1021;
    static constexpr int kFailedCount = 1022;
    static constexpr int kConnect = 1030;  // "Connect" / "Disconnect"
    static constexpr int kStatus = 1032;
    static constexpr int kCancel = 1031;
    static constexpr int kTtl = 1089;  // created hidden and disabled
    static constexpr int kBaudRate = 1119;
    static constexpr int kPort = 1117;
    static constexpr int kFpVerify = 1033;
    static constexpr int kPwVerify = 1034;
    static constexpr int kIdentify = 1035;
    static constexpr int kEnterMaster = 1040;
    static constexpr int kUserRegister = 1036;
    static constexpr int kDelete = 1037;
    static constexpr int kDeviceName = 1013;
    static constexpr int kFwVersion = 1014;
    static constexpr int kInfoPort = 1015;
    static constexpr int kInfoBaudRate = 1016;
    static constexpr int kUserCounts = 1017;
    static constexpr int kInfoStatus = 1018;
    // Which rate a connection attempt is trying: the search over the rates
    // is otherwise silent for up to seven attempts.
    static constexpr int kSearchRate = 1901;

    // The command-button set, enabled and disabled together. User Register
    // and Delete follow it when it is disabled, but are enabled with it only
    // in master mode.
    static constexpr std::array<int, 10> kCommandButtons = {
        kCapture, kOpen,     kSave,     kContinuous, kStatus,
        kCancel,  kFpVerify, kPwVerify, kIdentify,   kEnterMaster};
    static constexpr std::array<int, 2> kMasterButtons = {kUserRegister, kDelete};

    // The baud combo's rows in bits per second, in row order.
    static constexpr std::array<uint32_t, 6> kBaudRates = {9600,  14400, 19200,
                                                           38400, 57600, 115200};

    // The chosen rate, then each rate of the combo from the slowest up.
    static constexpr int kConnectAttempts = 1 + static_cast<int>(kBaudRates.size());

    static constexpr size_t kImageBufferSize = 360004;
    // Firmware whose first image after a capture is stale.
    static constexpr uint32_t kStaleImageFirmware = 0x124;
    static constexpr size_t kClearedBytes = 120000;  // whitened by page creation and Capture
    // The colour sensor's picture: 320 x 240, three bytes a pixel.
    static constexpr int kColourWidth = 320;
    static constexpr int kColourHeight = 240;
    static constexpr size_t kColourBytes = size_t{kColourWidth} * kColourHeight * 3;
    static constexpr size_t kColourCleared = 153600;
    static constexpr const char* kColourFile = "fp.bmp";

    explicit CImageDlg(CSondrixDlg& main);

    // Connect while disconnected, on the chosen port at the chosen rate, then
    // at every rate from the slowest up: opens the port when needed and sends
    // CMD_CONNECT with the connection time-out armed.
    void Connect();
    void ConnectTo(const std::string& portName, uint32_t firstRate);
    // Gives a search up where it stands: the port closes, nothing more is tried.
    void AbandonConnect();
    // The display of a module that answered CMD_CONNECT.
    void ShowConnected(uint32_t userCount);
    void Disconnect();
    // Enables or disables the command-button set (User Register and Delete
    // are enabled with it only in master mode).
    void EnableCommandButtons(bool enable);
    // Image size and ID field length of the model; false (with the box) for
    // a model without an image size.
    bool SelectImageSize(uint32_t modelCode);
    void OnTimer(uint32_t id) override;
    // Starts a capture: the popup (unless capturing continuously), then
    // CMD_CAPTURE_IMAGE for block 0.
    void CaptureProcedure();
    // The capture itself, once the person is ready: block 0 is asked for.
    void StartCapture();
    // Copies one received chunk into the image, never past the buffer or
    // the current image size, and shows the image.
    void StoreImageChunk(size_t offset, const uint8_t* bytes, size_t count);
    // One image of a continuous run arrived (true) or failed: count it,
    // clear the picture for the next one and capture again at once.
    void ContinueCapture(bool succeeded);
    // The hidden "Color" button: a 320 x 240 colour capture into "fp.bmp".
    void ColourCapture();
    // Stores a colour chunk; the buffer holds the raw colour bytes.
    void StoreColourChunk(size_t offset, const uint8_t* bytes, size_t count);
    // Writes the received colour image as "fp.bmp"; false with a message
    // when the file cannot be written.
    bool WriteColourImage();
    // Open and Save: RAW, BMP or WSQ files of the connected model's size.
    void OpenImageFile();
    void SaveImageFile();

    // The Port combo: COM1..COM8, then the discovered devices not mapped to
    // one of them. The entry in use stays while its line is open, even when
    // its device has gone.
    void SetPortChoices(std::vector<SPortChoice> choices);
    const std::vector<SPortChoice>& PortChoices() const { return m_shownChoices; }
    // The port name of the chosen entry: "COM3", or a discovered device's.
    std::string SelectedPortName() const;
    // The stable path of the chosen device; empty for a COMn entry.
    std::string SelectedByIdPath() const;
    // Chooses the discovered device with this stable path, if it is present.
    bool SelectByIdPath(const std::string& byId);
    // Tooltip lines on COM1..COM8; the chosen device's details follow them.
    void SetPortNotes(std::string notes);

    // Page state.
    std::vector<uint8_t> imageBuffer;  // 8-bit grey, rows top to bottom; 0xFF is white
    int32_t imageWidth = 4;
    int32_t imageHeight = 4;
    int imagePresent = 0;  // 0: the placeholder is drawn
    // Where the WSQ codec writes its diagnostic lines; nullptr silences them.
    std::FILE* codecDiagnostics = stderr;
    int32_t succeededCount = 0;
    int32_t failedCount = 0;
    int32_t autoSearchCount = 0;  // unanswered connection attempts
    int newModule = 0;            // series 4 and 5: read options 0x52 and 0xF0
    int discardNextImage = 0;     // drop the next CMD_CAPTURE_IMAGE answer unseen
    int masterEntry = 0;          // Enter Master of the quick menu started the entry
    // The repeat-capture flag is the main dialog's `repeatCapture`.
    std::array<SRgb, 256> greyPalette{};  // entry i = (i, i, i)

  protected:
    void OnCommand(int id) override;
    void OnSelChange(int id) override;

  private:
    // One attempt of the search at the main dialog's rate.
    void Attempt();
    void ShowPortChoices();
    void ShowPortTooltip();
    void ToggleContinuousCapture();
    // The quick menu.
    void QuickVerify(bool withPassword);
    void QuickIdentify();
    void QuickEnterMaster();
    void QuickRegister();
    void QuickDelete();
    // The ID popup (masked for passwords); false when it was not closed with OK.
    bool AskText(EStringId prompt, size_t maxLength, bool masked, std::string& text);

    std::vector<SPortChoice> m_discoveredChoices;  // as last discovered
    std::vector<SPortChoice> m_shownChoices;       // as the combo shows them
    std::string m_portNotes;
};

}  // namespace sondrix
