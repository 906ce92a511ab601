#include "device/configuration.h"

#include <array>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/option_numbers.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CConfiguration>;

}  // namespace

bool CConfiguration::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_SET_SENSOR_OPTION, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_SECURITY_LEVEL, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_LATENT_ADAPTIVE, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_LOG_OPTION, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_CAPTURE_PERIOD, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_SET_LFD_LEVEL, &CConfiguration::OnPlainSet},
        SRouteOf{CMD_GET_SENSOR_OPTION, &CConfiguration::OnGetSensorOption},
        SRouteOf{CMD_GET_SECURITY_LEVEL, &CConfiguration::OnGetSecurityLevel},
        SRouteOf{CMD_GET_LATENT_ADAPTIVE, &CConfiguration::OnGetLatentAdaptive},
        SRouteOf{CMD_GET_LOG_OPTION, &CConfiguration::OnGetLogOption},
        SRouteOf{CMD_GET_LOG_OPTION_EX, &CConfiguration::OnGetLogOptionEx},
        SRouteOf{CMD_GET_LFD_LEVEL, &CConfiguration::OnGetLfdLevel},
        SRouteOf{CMD_SET_SYSTEM_OPTION, &CConfiguration::OnSetSystemOption},
        SRouteOf{CMD_GET_SYSTEM_OPTION, &CConfiguration::OnGetSystemOption},
        SRouteOf{CMD_SAVE_SYSTEM_OPTIONS, &CConfiguration::OnSaveSystemOptions},
        SRouteOf{CMD_SET_TEMPLATE_COUNT, &CConfiguration::OnSetTemplateCount},
        SRouteOf{CMD_SET_DEFAULT_OPTIONS, &CConfiguration::OnSetDefaultOptions},
        SRouteOf{CMD_SET_EMULATION_MODE, &CConfiguration::OnSetEmulationMode},
        SRouteOf{CMD_SET_ID_LENGTH, &CConfiguration::OnSetIdLength},
    };
    return Dispatch<CConfiguration>(*this, kRoutes, packet);
}

void CConfiguration::OnPlainSet(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnGetSensorOption(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnGetSecurityLevel(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnGetLatentAdaptive(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnGetLogOption(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnGetLogOptionEx(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnGetLfdLevel(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnSetSystemOption(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnGetSystemOption(CPacket& packet) {
    if (!Succeeded(packet) || packet.dataSize < 8) {
        return;
    }
    const uint32_t option = GetU32BE(packet.data);
    const uint32_t value = GetU32BE(packet.data + 4);
    CImageDlg& main = m_dlg.imageDlg;
    switch (option) {
        case kOptionIdLength:
            m_dlg.idLength = static_cast<int>(value) + 1;
            if (main.newModule == 1) {
                m_dlg.PacketManager().SendGetSystemOption(kOptionEmulationMode);
            }
            break;
        case kOptionEmulationMode:
            if (main.newModule == 1) {
                main.newModule = 0;
                if (value == 0xFF || value == 1 || value == 2) {
                    m_dlg.emulationMode = value;
                }
                m_dlg.PacketManager().SendGetSystemInfo();
            }
            break;
        default:
            break;
    }
}

void CConfiguration::OnSaveSystemOptions(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnSetTemplateCount(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnSetDefaultOptions(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnSetEmulationMode(CPacket& packet) {
    Succeeded(packet);
}

void CConfiguration::OnSetIdLength(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
