#include "device/system_management.h"

#include <array>
#include <cstdio>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "ui/strings.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CSystemManagement>;

}  // namespace

const std::string& ModuleStatusText(uint32_t status) {
    static constexpr std::array kStatusTexts = {IDS_STATUS_IDLE, IDS_STATUS_BUSY, IDS_STATUS_BUSY,
                                                IDS_STATUS_DB_UPLOADING, IDS_STATUS_AUTO_ON};
    return LoadString(status < kStatusTexts.size() ? kStatusTexts[status] : IDS_STATUS_BUSY);
}

bool CSystemManagement::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_GET_STATUS, &CSystemManagement::OnGetStatus},
        SRouteOf{CMD_CAPTURE_IMAGE, &CSystemManagement::OnCaptureImage},
        SRouteOf{CMD_CAPTURE_COLOR_IMAGE, &CSystemManagement::OnCaptureColorImage},
        SRouteOf{CMD_UPGRADE_RECORD, &CSystemManagement::OnFirmwareData},
        SRouteOf{CMD_FIRMWARE_DATA, &CSystemManagement::OnFirmwareData},
        SRouteOf{CMD_BACKUP_FIRMWARE_DATA, &CSystemManagement::OnBackupFirmwareData},
        SRouteOf{CMD_SET_TIME, &CSystemManagement::OnSetTime},
        SRouteOf{CMD_GET_TIME, &CSystemManagement::OnGetTime},
        SRouteOf{CMD_GPIO_TEST, &CSystemManagement::OnGpioTest},
        SRouteOf{CMD_GET_IMAGE_QUALITY, &CSystemManagement::OnGetImageQuality},
        SRouteOf{CMD_SET_GPIO_CONFIG, &CSystemManagement::OnSetGpioConfig},
    };
    return Dispatch<CSystemManagement>(*this, kRoutes, packet);
}

void CSystemManagement::OnGetStatus(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    const std::string& status = ModuleStatusText(packet.param2);
    CImageDlg& page = m_dlg.imageDlg;
    page.SetText(CImageDlg::kInfoStatus, status);
    m_dlg.ShowMessage(LoadString(IDS_STATUS_PREFIX) + status);
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Status).Value(packet.param2));
    if (m_dlg.connectPending == 1) {
        m_dlg.connectPending = 0;
        m_dlg.Outcome(SOutcome(SOutcome::EKind::Ready));
        const std::string& text = LoadString(IDS_CONNECTION_SUCCEEDED);
        m_dlg.Report(text, EIcon::Information);
    }
    if (m_dlg.systemDlg.optionRefresh == 1) {
        m_dlg.systemDlg.optionRefresh = 0;
        if (m_dlg.emulationMode == 2) {
            m_dlg.PacketManager().SendGetSensorOption();
        } else {
            m_dlg.PacketManager().SendGetSystemOption(kOptionBrightness);
        }
    } else if (page.newModule == 1) {
        m_dlg.PacketManager().SendGetSystemOption(kOptionIdLength);
    }
}

bool CSystemManagement::DropImageAnswer() {
    CImageDlg& page = m_dlg.imageDlg;
    if (page.discardNextImage == 1) {
        page.discardNextImage = 0;
        return true;
    }
    if (m_dlg.cancelPending == 1) {
        m_dlg.cancelPending = 0;
        m_dlg.PacketManager().ResetParser();
        m_dlg.transferBusy = 0;
        m_dlg.ShowResultError(RESULT_CANCELED);
        return true;
    }
    return false;
}

void CSystemManagement::ShowImageProgress(uint32_t block, uint32_t lastBlock) {
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Progress).Progress(block + 1, lastBlock + 1));
    char text[64];
    std::snprintf(text, sizeof text, LoadString(IDS_RECEIVING_IMAGE).c_str(),
                  static_cast<int>(block * 100 / lastBlock));
    m_dlg.ShowMessage(text);
}

void CSystemManagement::OnCaptureImage(CPacket& packet) {
    if (DropImageAnswer()) {
        return;
    }
    CImageDlg& page = m_dlg.imageDlg;
    const bool continuous = m_dlg.continuousCapture == 1;
    if (packet.param1 != RESULT_SUCCESS) {
        if (continuous && packet.param1 != RESULT_CANCELED) {
            m_dlg.ShowMessage(ResultText(
                packet.param1 == RESULT_CAPTURE_TIMEOUT ? RESULT_CAPTURE_TIMEOUT : RESULT_FAILED));
            page.ContinueCapture(false);
            return;
        }
        m_dlg.transferBusy = 0;
        m_dlg.ShowResultError(packet.param1);
        return;
    }
    const uint32_t block = (packet.param2 >> 8) & 0xFF;
    const uint32_t lastBlock = packet.param2 & 0xFF;
    const size_t chunk = m_dlg.moduleSeries == 2 || m_dlg.emulationMode == 2 ? 512 : 3720;
    page.StoreImageChunk(block * chunk, packet.data, packet.dataSize);
    if (block < lastBlock) {
        ShowImageProgress(block, lastBlock);
        m_dlg.PacketManager().SendCaptureImage(block + 1);
        return;
    }
    // The last block (a one-block image is complete at once: 100 %).
    m_dlg.ShowMessage(LoadString(IDS_RECEIVING_COMPLETE));
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Progress).Progress(lastBlock + 1, lastBlock + 1));
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Image).Progress(lastBlock + 1, lastBlock + 1));
    if (continuous) {
        page.ContinueCapture(true);
        return;
    }
    qualityCheckReason = 3;
    m_dlg.PacketManager().SendGetImageQuality();
}

void CSystemManagement::OnCaptureColorImage(CPacket& packet) {
    if (DropImageAnswer()) {
        return;
    }
    if (packet.param1 != RESULT_SUCCESS) {
        if (packet.param1 == RESULT_CANCELED || m_dlg.continuousCapture == 0) {
            m_dlg.ShowResultError(packet.param1);
        }
        return;
    }
    CImageDlg& page = m_dlg.imageDlg;
    const uint32_t block = (packet.param2 >> 8) & 0xFF;
    const uint32_t lastBlock = packet.param2 & 0xFF;
    page.StoreColourChunk(size_t{block} * 3720, packet.data, packet.dataSize);
    if (block < lastBlock) {
        ShowImageProgress(block, lastBlock);
        m_dlg.PacketManager().SendCaptureColorImage(block + 1);
        return;
    }
    m_dlg.ShowMessage(LoadString(IDS_RECEIVING_COMPLETE));
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Image).Progress(lastBlock + 1, lastBlock + 1));
    if (page.WriteColourImage()) {
        m_dlg.Ui().MessageBox(LoadString(IDS_COLOR_IMAGES_STORED), EIcon::Information);
    }
}

void CSystemManagement::OnSetTime(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    // Inside the connection chain (or an option refresh) the status follows.
    if (m_dlg.connectPending == 1 || m_dlg.imageDlg.newModule == 1 ||
        m_dlg.systemDlg.optionRefresh == 1) {
        m_dlg.PacketManager().SendGetStatus();
        return;
    }
    m_dlg.Outcome(SOutcome(SOutcome::EKind::TimeSet));
    const std::string& text = LoadString(IDS_SET_TIME_SUCCEEDED);
    m_dlg.Report(text, EIcon::Information);
}

void CSystemManagement::OnGetTime(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    CByteReader reader(packet.data, packet.dataSize);
    SBcdTime time;
    if (!SBcdTime::Read(reader, time)) {
        m_dlg.Fail(LoadString(IDS_EXTRA_BAD_TIME_ANSWER));
        return;
    }
    const std::array<uint8_t, 7> bytes = time.ToBytes();
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Time).Bytes({bytes.begin(), bytes.end()}));
    m_dlg.userDlg.ShowModuleTime(time);
}

void CSystemManagement::OnGpioTest(CPacket& packet) {
    // A drive answers 0 and shows nothing; a read carries the level in its low byte.
    if (!Succeeded(packet) || packet.param2 == 0) {
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, LoadString(IDS_EXTRA_GPIO_VALUE).c_str(),
                  static_cast<int>(packet.param2 & 0xFF));
    m_dlg.ShowMessage(text);
    m_dlg.Ui().MessageBox(text);
}

void CSystemManagement::OnGetImageQuality(CPacket& packet) {
    // The answer ends the capture's transfer whatever it says.
    m_dlg.transferBusy = 0;
    if (packet.param1 == RESULT_FAILED) {
        m_dlg.ShowMessage(LoadString(IDS_QUALITY_FAILED));
        m_dlg.Outcome(SOutcome(SOutcome::EKind::QualityFailed).Index(qualityCheckReason));
        return;
    }
    if (!Succeeded(packet)) {
        return;
    }
    lastImageQuality = static_cast<int32_t>(packet.param2);
    m_dlg.Outcome(
        SOutcome(SOutcome::EKind::Quality).Index(qualityCheckReason).Value(lastImageQuality));
    char text[64];
    std::snprintf(text, sizeof text, LoadString(IDS_IMAGE_QUALITY).c_str(), lastImageQuality);
    m_dlg.ShowMessage(text);
    // Registration, modification and further fingers go on from here.
    if (qualityCheckReason == CRegistration::kRegistrationQuality ||
        qualityCheckReason == CRegistration::kModificationQuality ||
        qualityCheckReason == CRegistration::kStepRegistrationQuality) {
        m_dlg.registration.ContinueAfterQuality(qualityCheckReason);
    }
}

void CSystemManagement::OnSetGpioConfig(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    const std::string& text = LoadString(IDS_EXTRA_OPTION_SET);
    m_dlg.ShowMessage(text);
    m_dlg.Ui().MessageBox(text);
}

}  // namespace sondrix
