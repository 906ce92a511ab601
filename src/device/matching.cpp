#include "device/matching.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <span>
#include <system_error>

#include "app/sondrix_dlg.h"
#include "files/template_file.h"
#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/native_file.h"
#include "ui/strings_users.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CMatching>;

// Bytes of the user ID an Auto-On result carries, by protocol.
constexpr size_t kClassicAutoIdBytes = 10;
constexpr size_t kExtendedAutoIdBytes = 15;

// The ID text at the start of the data: at most `idBytes` bytes, ended early
// by a zero, never past what arrived.
std::string IdText(const CPacket& packet, size_t idBytes) {
    const size_t limit = std::min<size_t>(idBytes, packet.dataSize);
    const uint8_t* end = std::find(packet.data, packet.data + limit, uint8_t{0});
    return {packet.data, end};
}

// A match found, for whoever reads outcomes: the user (when the answer names
// one), the template's index and the text the window shows for it.
void Matched(CSondrixDlg& dlg, const std::string& text, std::string id = {}, int64_t index = -1) {
    dlg.Outcome(SOutcome(SOutcome::EKind::Matched).Text(text).Id(std::move(id)).Index(index));
}

// No match: the outcome, and the failure's text in a stop box and on the line.
void NotMatched(CSondrixDlg& dlg, int textId) {
    dlg.Outcome(SOutcome(SOutcome::EKind::NotMatched).Text(LoadString(textId)));
    ReportString(dlg, textId, EIcon::Stop);
}

// An Auto-On outcome: a plain box titled "Result" and the message line.
void ShowAutoResult(CSondrixDlg& dlg, const std::string& text) {
    dlg.ShowMessage(text);
    dlg.Ui().MessageBox(text, EIcon::None, EButtons::Ok, LoadString(IDS_RESULT_CAPTION));
}

}  // namespace

void ReportString(CSondrixDlg& dlg, int textId, EIcon icon) {
    dlg.Report(LoadString(textId), icon);
}

void RequestQualityCheck(CSondrixDlg& dlg, EQualityReason reason) {
    dlg.systemManagement.qualityCheckReason = reason;
    dlg.PacketManager().SendGetImageQuality();
}

bool CMatching::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_VERIFY, &CMatching::OnVerify},
        SRouteOf{CMD_IDENTIFY, &CMatching::OnIdentify},
        SRouteOf{CMD_INSTANT_MATCH, &CMatching::OnInstantMatch},
        SRouteOf{CMD_GET_TEMPLATE, &CMatching::OnGetTemplate},
        SRouteOf{CMD_CANCEL, &CMatching::OnCancel},
        SRouteOf{CMD_INSTANT_VERIFY, &CMatching::OnInstantVerify},
        SRouteOf{CMD_INSTANT_IDENTIFY, &CMatching::OnInstantIdentify},
        SRouteOf{CMD_AUTO_ON, &CMatching::OnAutoOn},
        SRouteOf{CMD_AUTO_IDENTIFY_RESULT, &CMatching::OnAutoIdentifyResult},
    };
    return Dispatch<CMatching>(*this, kRoutes, packet);
}

CMatching::SIdLayout CMatching::FieldLayout() const {
    const size_t field = static_cast<size_t>(std::max(m_dlg.idLength, 1));
    return {field - 1, field};
}

CMatching::SIdLayout CMatching::IdentifyLayout() const {
    if (m_dlg.Family().SpeaksSa()) {
        return {10, 11};
    }
    if (m_dlg.Family().SpeaksSb()) {
        return {9, 10};
    }
    return FieldLayout();
}

CMatching::SIdLayout CMatching::InstantIdentifyLayout() const {
    // Instant identification answers with the 11-byte ID field on every
    // older module, series 2 included.
    return m_dlg.Family().LegacyLayout() ? SIdLayout{10, 11} : FieldLayout();
}

bool CMatching::Found(const CPacket& packet, SIdLayout layout, int textId) {
    if (packet.dataSize <= layout.indexAt) {
        m_dlg.ShowResultError(RESULT_INVALID_DATA_SIZE);
        return false;
    }
    const std::string id = IdText(packet, layout.idBytes);
    const int index = packet.data[layout.indexAt];
    const std::string text =
        LoadString(textId) + FormatUserString(IDS_ID_INDEX_SUFFIX, id.c_str(), index);
    Matched(m_dlg, text, id, index);
    m_dlg.Report(text, EIcon::Information);
    return true;
}

void CMatching::OnVerify(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            const std::string index =
                FormatUserString(IDS_INDEX_SUFFIX, static_cast<int>(packet.param2));
            Matched(m_dlg, LoadString(IDS_VERIFY_SUCCEEDED) + index, {}, packet.param2);
            m_dlg.ShowMessage(index);
            m_dlg.Ui().MessageBox(LoadString(IDS_VERIFY_SUCCEEDED) + index, EIcon::Information);
            RequestQualityCheck(m_dlg, kQualityVerify);
            break;
        }
        case RESULT_FAILED:
            NotMatched(m_dlg, IDS_VERIFY_FAILED);
            RequestQualityCheck(m_dlg, kQualityVerify);
            break;
        default:  // "Canceled!!!" among them
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CMatching::OnIdentify(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            if (!Found(packet, IdentifyLayout(), IDS_IDENTIFY_SUCCEEDED)) {
                return;
            }
            RequestQualityCheck(m_dlg, kQualityIdentify);
            break;
        }
        case RESULT_FAILED:
            NotMatched(m_dlg, IDS_IDENTIFY_FAILED);
            RequestQualityCheck(m_dlg, kQualityIdentify);
            break;
        default:
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CMatching::OnInstantMatch(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS:
            Matched(m_dlg, LoadString(IDS_INSTANT_MATCH_SUCCEEDED));
            ReportString(m_dlg, IDS_INSTANT_MATCH_SUCCEEDED, EIcon::Information);
            RequestQualityCheck(m_dlg, kQualityInstantMatch);
            break;
        case RESULT_FAILED:
            NotMatched(m_dlg, IDS_INSTANT_MATCH_FAILED);
            RequestQualityCheck(m_dlg, kQualityInstantMatch);
            break;
        default:
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CMatching::SaveTemplate(const CPacket& packet) {
    SFileDialog request;
    request.save = true;
    request.filter = LoadString(IDS_MIN_FILTER_ALL);
    request.defaultExtension = LoadString(IDS_MIN_EXTENSION);
    request.overwritePrompt = true;
    const std::vector<std::string> chosen = m_dlg.Ui().FileDialog(request);
    if (chosen.empty()) {
        return;
    }
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(PathFromUtf8(chosen.front()), error);
    if (error) {
        path = PathFromUtf8(chosen.front());
    }
    const std::string shown = Utf8FromPath(path);
    const std::span<const uint8_t> bytes(packet.data, packet.dataSize);
    std::string reason;
    if (SaveTemplateFile(path, bytes, &reason) == EFileStatus::Ok) {
        m_dlg.Report(FormatUserString(IDS_TEMPLATE_SAVED, shown.c_str()), EIcon::Information);
    } else {
        const std::string failed = shown + " (" + reason + ")";
        m_dlg.Report(FormatUserString(IDS_TEMPLATE_NOT_SAVED, failed.c_str()), EIcon::Stop);
    }
}

void CMatching::OnGetTemplate(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            SOutcome templ;
            templ.kind = SOutcome::EKind::Done;
            templ.bytes.assign(packet.data,
                               packet.data + std::min<size_t>(packet.dataSize, CPacket::kMaxData));
            m_dlg.Outcome(std::move(templ));
            SaveTemplate(packet);
            RequestQualityCheck(m_dlg, kQualityTemplate);
            break;
        }
        case RESULT_FAILED:
            m_dlg.Fail(LoadString(IDS_GET_TEMPLATE_FAILED));
            RequestQualityCheck(m_dlg, kQualityTemplate);
            break;
        default:
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CMatching::OnCancel(CPacket& packet) {
    m_dlg.PacketManager().abortReceive = 0;
    // The cancel may have cut off the image answer that was to report it
    // (a partly received packet is dropped): the capture ends here then.
    // The pending flag stays: an image answer the module still sends after
    // this one must be reported as canceled, not drawn and followed up; the
    // next capture clears the flag.
    if (m_dlg.cancelPending == 1) {
        m_dlg.transferBusy = 0;
    }
    SOutcome answered;
    answered.kind = SOutcome::EKind::CancelAnswered;
    answered.text = ResultText(packet.param1);
    m_dlg.Outcome(std::move(answered));
    if (packet.param1 == RESULT_IDLE) {
        m_dlg.ShowMessage(ResultText(RESULT_IDLE));
        return;
    }
    // Even a success goes through the common report, which reads "Succeeded!!!".
    m_dlg.ShowResultError(packet.param1);
}

void CMatching::OnInstantVerify(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            const std::string& text = LoadString(IDS_INSTANT_VERIFY_SUCCEEDED);
            Matched(m_dlg, text, {}, packet.param2);
            m_dlg.ShowMessage(text);
            m_dlg.Ui().MessageBox(
                text + FormatUserString(IDS_INDEX_SUFFIX, static_cast<int>(packet.param2)),
                EIcon::Information);
            break;
        }
        case RESULT_FAILED:
            NotMatched(m_dlg, IDS_INSTANT_VERIFY_FAILED);
            break;
        default:
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CMatching::OnInstantIdentify(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            if (!Found(packet, InstantIdentifyLayout(), IDS_INSTANT_IDENTIFY_SUCCEEDED)) {
                return;
            }
            RequestQualityCheck(m_dlg, kQualityIdentify);
            break;
        }
        case RESULT_FAILED:
            NotMatched(m_dlg, IDS_INSTANT_IDENTIFY_FAILED);
            break;
        default:
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CMatching::OnAutoOn(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS:
            m_dlg.Outcome(SOutcome(SOutcome::EKind::Done).Value(m_dlg.autoOnMode == 1 ? 0 : 1));
            if (m_dlg.autoOnMode == 1) {
                m_dlg.autoOnMode = 0;
                m_dlg.basicDlg.SetAutoOnControls(true);
            } else {
                m_dlg.autoOnMode = 1;
                ReportString(m_dlg, IDS_AUTO_ON_SUCCEEDED, EIcon::Information);
                m_dlg.basicDlg.SetAutoOnControls(false);
            }
            break;
        case RESULT_FAILED:
            if (packet.param2 == 1) {
                m_dlg.imageDlg.KillTimer(CImageDlg::kConnectTimer);
                m_dlg.Fail(LoadString(IDS_AUTO_ON_BLOCKS_CONNECTION));
            } else {
                m_dlg.Fail(LoadString(IDS_AUTO_ON_FAILED));
            }
            break;
        default:
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

void CMatching::OnAutoIdentifyResult(CPacket& packet) {
    switch (packet.param1) {
        case RESULT_SUCCESS: {
            // Some modules send the template of the finger instead of an ID.
            if (packet.dataSize == 400 || packet.dataSize == 404) {
                SaveTemplate(packet);
                return;
            }
            const bool classic = m_dlg.Family().LegacyLayout();
            const std::string id =
                IdText(packet, classic ? kClassicAutoIdBytes : kExtendedAutoIdBytes);
            Matched(m_dlg, LoadString(IDS_AUTO_IDENTIFY_SUCCEEDED), id, packet.param2);
            const std::string text =
                LoadString(IDS_AUTO_IDENTIFY_SUCCEEDED) +
                FormatUserString(IDS_ID_INDEX_SUFFIX, id.c_str(), static_cast<int>(packet.param2));
            if (!classic && packet.errorCode != 0) {
                // Newer modules report how long the capture and the 1:N search took.
                m_dlg.ShowMessage(text);
                m_dlg.Ui().MessageBox(
                    text + FormatUserString(IDS_AUTO_TIMING,
                                            static_cast<int>(packet.errorCode >> 16),
                                            static_cast<int>(packet.errorCode & 0xFFFF)),
                    EIcon::Information);
            } else {
                ShowAutoResult(m_dlg, text);
            }
            break;
        }
        case RESULT_FAILED:
            m_dlg.Outcome(
                SOutcome(SOutcome::EKind::NotMatched).Text(LoadString(IDS_AUTO_IDENTIFY_FAILED)));
            ShowAutoResult(m_dlg, LoadString(IDS_AUTO_IDENTIFY_FAILED));
            break;
        case RESULT_CAPTURE_FAIL:
            ShowAutoResult(m_dlg, LoadString(IDS_AUTO_CAPTURE_FAIL));
            break;
        case RESULT_EXTRACT_FAIL:
            ShowAutoResult(m_dlg, LoadString(IDS_AUTO_EXTRACT_FAIL));
            break;
        default:
            m_dlg.ShowResultError(packet.param1);
            break;
    }
}

}  // namespace sondrix
