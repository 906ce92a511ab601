#include "device/connection.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/sondrix_dlg.h"
#include "files/bcd_time.h"
#include "link/command_table.h"
#include "link/model_table.h"
#include "platform/local_time.h"
#include "ui/strings.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CConnection>;

}  // namespace

bool CConnection::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_CONNECT, &CConnection::OnConnect},
        SRouteOf{CMD_SET_BAUD_RATE, &CConnection::OnSetBaudRate},
        SRouteOf{CMD_GET_SYSTEM_INFO, &CConnection::OnGetSystemInfo},
        SRouteOf{CMD_GET_MODULE_TYPE, &CConnection::OnGetModuleType},
    };
    return Dispatch<CConnection>(*this, kRoutes, packet);
}

void CConnection::OnConnect(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    m_dlg.imageDlg.ShowConnected(packet.param2);
    m_dlg.Outcome(SOutcome(SOutcome::EKind::Connected).Count(packet.param2));
    m_dlg.PacketManager().SendCommand(CMD_GET_MODULE_TYPE);
}

void CConnection::OnSetBaudRate(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    m_dlg.Outcome(SOutcome(SOutcome::EKind::OptionSet));
    const std::string& text = LoadString(IDS_BAUD_RECONNECT);
    m_dlg.Report(text, EIcon::Information);
}

void CConnection::OnGetSystemInfo(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    char version[16];
    std::snprintf(version, sizeof version, "%x.%02x", (packet.param2 >> 8) & 0xFF,
                  packet.param2 & 0xFF);
    m_dlg.imageDlg.SetText(CImageDlg::kFwVersion, version);
    m_dlg.firmwareVersion = packet.param2;
    if (m_dlg.imageDlg.newModule == 0 && m_dlg.systemDlg.optionRefresh == 0) {
        m_dlg.connectPending = 1;
    }
    const bool newSeries = m_dlg.moduleSeries == 4 || m_dlg.moduleSeries == 5;
    if (m_dlg.moduleSeries == 2 || m_dlg.emulationMode == 2) {
        ApplyEmulationControls();
        m_dlg.PacketManager().SendGetStatus();
        return;
    }
    if (newSeries && m_dlg.emulationMode == 255) {
        ApplyNewModuleControls();
    } else {
        ApplyClassicControls();
    }
    SendClock();
}

namespace {

void EnableAll(CDialogModel& page, std::initializer_list<int> ids, bool enable) {
    for (int id : ids) {
        page.Enable(id, enable);
    }
}

// Keeps `add` among the template-count choices and drops `remove`, then
// selects the first choice.
void OfferTemplateCounts(CSystemDlg& page, const std::string& remove, const std::string& add) {
    std::vector<std::string> items = page.Control(CSystemDlg::kTemplateCount).items;
    std::erase(items, remove);
    if (std::find(items.begin(), items.end(), add) == items.end()) {
        items.push_back(add);
        std::sort(items.begin(), items.end());
    }
    page.SetItems(CSystemDlg::kTemplateCount, std::move(items));
    page.SetSelection(CSystemDlg::kTemplateCount, 0);
}

}  // namespace

void CConnection::ApplyClassicControls() {
    CBasicDlg& auth = m_dlg.basicDlg;
    CSystemDlg& conf = m_dlg.systemDlg;
    auth.Enable(CBasicDlg::kFormatQdxA, false);
    EnableAll(conf,
              {CSystemDlg::kRelay, CSystemDlg::kLatent, CSystemDlg::kChannel1Check,
               CSystemDlg::kTemplateCount, CSystemDlg::kSetTemplateCount, CSystemDlg::kProtocol,
               CSystemDlg::kSetProtocol, CSystemDlg::kSiteCode, CSystemDlg::kSetSiteCode,
               CSystemDlg::kChannel0, CSystemDlg::kSetChannel0},
              true);
    EnableAll(conf,
              {CSystemDlg::kIdLength, CSystemDlg::kSetIdLength, CSystemDlg::kAdaptiveCount,
               CSystemDlg::kSetAdaptiveCount},
              false);
    const bool emulation = m_dlg.emulationMode == 1;
    EnableAll(conf, {CSystemDlg::kEmulationMode, CSystemDlg::kSetEmulationMode}, emulation);
    if (emulation) {
        EnableAll(conf, {CSystemDlg::kChannel1, CSystemDlg::kSetChannel1}, true);
        m_dlg.idLength = 11;
        m_dlg.passwordLength = 16;
    }
    // Early firmware of the first series knows neither standard template
    // format nor full-rotation matching.
    if (m_dlg.moduleSeries == 1 && m_dlg.firmwareVersion < 400) {
        EnableAll(auth, {CBasicDlg::kFormatIso, CBasicDlg::kFormatAnsi}, false);
        conf.Enable(CSystemDlg::kFullRotate, false);
    }
}

void CConnection::ApplyNewModuleControls() {
    CBasicDlg& auth = m_dlg.basicDlg;
    CSystemDlg& conf = m_dlg.systemDlg;
    auth.Enable(CBasicDlg::kFormatQdxA, false);
    const bool lfd = m_dlg.modelCode == kModelHlxM18Lfd;
    const std::string& one = LoadString(IDS_TEMPLATES_1);
    const std::string& four = LoadString(IDS_TEMPLATES_4);
    EnableAll(conf, {CSystemDlg::kTemplateCount, CSystemDlg::kSetTemplateCount}, lfd);
    OfferTemplateCounts(conf, lfd ? four : one, lfd ? one : four);
    EnableAll(conf, {CSystemDlg::kLfd, CSystemDlg::kSetLfd},
              lfd || m_dlg.modelCode == kModelHlxM28);
    EnableAll(conf, {CSystemDlg::kRelay, CSystemDlg::kChannel1Check}, false);
    EnableAll(conf,
              {CSystemDlg::kLatent, CSystemDlg::kRelayTime, CSystemDlg::kSetRelayTime,
               CSystemDlg::kProtocol, CSystemDlg::kSetProtocol, CSystemDlg::kSiteCode,
               CSystemDlg::kSetSiteCode, CSystemDlg::kChannel0, CSystemDlg::kSetChannel0,
               CSystemDlg::kChannel1, CSystemDlg::kSetChannel1, CSystemDlg::kIdLength,
               CSystemDlg::kSetIdLength, CSystemDlg::kAdaptiveCount, CSystemDlg::kSetAdaptiveCount},
              true);
}

void CConnection::ApplyEmulationControls() {
    CBasicDlg& auth = m_dlg.basicDlg;
    CSystemDlg& conf = m_dlg.systemDlg;
    EnableAll(auth,
              {CBasicDlg::kInstantMatchingMethod, CBasicDlg::kInstantVerification,
               CBasicDlg::kInstantIdentification},
              false);
    EnableAll(auth, {CBasicDlg::kFormatIso, CBasicDlg::kFormatAnsi, CBasicDlg::kFormatQdxA}, true);
    EnableAll(conf,
              {CSystemDlg::kProtocol, CSystemDlg::kSetProtocol, CSystemDlg::kSiteCode,
               CSystemDlg::kSetSiteCode, CSystemDlg::kChannel0, CSystemDlg::kSetChannel0,
               CSystemDlg::kIdLength, CSystemDlg::kSetIdLength, CSystemDlg::kAdaptiveCount,
               CSystemDlg::kSetAdaptiveCount, CSystemDlg::kTemplateCount,
               CSystemDlg::kSetTemplateCount, CSystemDlg::kRelay, CSystemDlg::kChannel1Check},
              false);
    EnableAll(conf, {CSystemDlg::kChannel1, CSystemDlg::kSetChannel1, CSystemDlg::kFullRotate},
              true);
    const bool emulation = m_dlg.emulationMode == 2;
    EnableAll(conf, {CSystemDlg::kEmulationMode, CSystemDlg::kSetEmulationMode}, emulation);
    if (emulation) {
        m_dlg.idLength = 10;
        m_dlg.passwordLength = 16;
    }
    // That module keeps no clock the person may set by hand.
    EnableAll(m_dlg.userDlg, {CUserDlg::kManualInput, CUserDlg::kGetTime, CUserDlg::kSetTime},
              false);
}

void CConnection::SendClock() {
    m_dlg.PacketManager().SendSetTime(EncodeBcdTime(LocalTime(std::time(nullptr))));
}

std::array<uint8_t, 8> EncodeBcdTime(const std::tm& time) {
    const std::array<uint8_t, 7> bytes = SBcdTime::FromTm(time).ToBytes();
    std::array<uint8_t, 8> sent{};  // the eighth byte stays 0
    std::copy(bytes.begin(), bytes.end(), sent.begin());
    return sent;
}

void CConnection::OnGetModuleType(CPacket& packet) {
    if (!Succeeded(packet)) {
        return;
    }
    CImageDlg& page = m_dlg.imageDlg;
    m_dlg.modelCode = packet.param2;
    if (const SModelInfo* model = FindModelByCode(packet.param2)) {
        page.SetText(CImageDlg::kDeviceName, std::string(model->name));
        if (model->series != 0) {
            m_dlg.moduleSeries = model->series;
            m_dlg.basicDlg.series2 = model->series == 2 ? 1 : 0;
            if (model->series >= 4) {
                page.newModule = 1;
            }
        }
    }
    page.SelectImageSize(packet.param2);
    m_dlg.PacketManager().SendGetSystemInfo();
}

}  // namespace sondrix
