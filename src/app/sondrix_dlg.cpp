#include "app/sondrix_dlg.h"

#include <algorithm>

#include "link/command_table.h"
#include "link/result_codes.h"
#include "platform/native_file.h"
#include "platform/serial_device.h"
#include "ui/strings.h"
#include "ui/strings_users.h"

namespace sondrix {

namespace {

// How the window puts each question of a sequence to the person.
struct SQuestionBox {
    EQuestion question;
    int text;
    EIcon icon;
    EButtons buttons;
};

constexpr std::array<SQuestionBox, 7> kQuestionBoxes = {{
    {EQuestion::LiftFinger, IDS_LIFT_FINGER, EIcon::Information, EButtons::Ok},
    {EQuestion::SecondFinger, IDS_SECOND_FINGER, EIcon::Information, EButtons::Ok},
    {EQuestion::FirstFinger, IDS_FIRST_FINGER, EIcon::Information, EButtons::Ok},
    {EQuestion::AnotherFinger, IDS_MORE_FINGER, EIcon::Question, EButtons::YesNo},
    {EQuestion::MaxFingers, IDS_MAX_FINGERS, EIcon::Information, EButtons::Ok},
    {EQuestion::RetryRegistration, IDS_CONTINUE_REGISTRATION, EIcon::Question, EButtons::YesNo},
    {EQuestion::PlaceFinger, IDS_PLACE_FINGER, EIcon::Information, EButtons::Ok},
}};

}  // namespace

CSondrixDlg::CSondrixDlg(CMessageLoop& loop, ISerialDeviceFactory& devices, IUiHost& ui)
    : CDialogModel("sondrix", "Sondrix"),
      CWindow(loop),
      popupId(ui),
      popupProgress(ui),
      connection(*this),
      matching(*this),
      dbManagement(*this),
      configuration(*this),
      systemManagement(*this),
      imageDlg(*this),
      basicDlg(*this),
      systemDlg(*this),
      dbDlg(*this),
      userDlg(*this),
      aboutDlg(*this),
      traceSaveDlg(*this),
      m_ui(ui),
      m_packetManager(loop, devices, ui),
      m_tracer(*this, kTracer, traceRows) {
    SControl& tabs = AddControl(kTabs, EControlKind::Tabs);
    tabs.items = {LoadString(IDS_TAB_MAIN),          LoadString(IDS_TAB_AUTH_USER),
                  LoadString(IDS_TAB_CONFIGURATION), LoadString(IDS_TAB_DATABASE),
                  LoadString(IDS_TAB_EXTRA),         LoadString(IDS_TAB_ABOUT)};
    tabs.selection = kTabMain;
    AddControl(kTracer, EControlKind::List);
    AddControl(kMessageLine, EControlKind::Edit).readOnly = true;
    AddControl(kHeader, EControlKind::Picture);
    AddButton(kPktClear, LoadString(IDS_PKT_CLEAR), {});
    m_packetManager.port.SetRawLog(&m_rawLine);
    AddOutcomeObserver(&basicDlg);
    AddOutcomeObserver(&dbDlg);
}

CSondrixDlg::~CSondrixDlg() = default;

void CSondrixDlg::OnInitDialog() {
    const SScreenSize screen = m_ui.ScreenSize();
    smallScreen = screen.width < 801 || screen.height <= 600 ? 1 : 0;
    Show(kHeader, smallScreen == 0);
    m_packetManager.Create(this, Handle());
    m_tracer.CreateColumns();
    ShowTab(kTabMain);
}

int CSondrixDlg::DefaultTemplateSize() const {
    return moduleSeries == 2 || emulationMode == 2 ? 400 : 404;
}

void CSondrixDlg::ShowMessage(const std::string& text) {
    SetText(kMessageLine, text);
}

bool CSondrixDlg::PrepareFolder(const CFilePath& folder, std::string& reason) {
    const std::string note = FolderNote(folder);
    if (note.empty()) {
        return true;
    }
    if (!CreateFolder(folder, reason)) {
        return false;
    }
    if (!m_folderNamed) {
        m_folderNamed = true;
        ShowMessage(note);
    }
    return true;
}

std::string CSondrixDlg::FolderNote(const CFilePath& folder) const {
    if (!writableFolder.perUser || folder.Path() != writableFolder.folder) {
        return {};
    }
    return LoadString(IDS_FILES_KEPT_IN) + Utf8FromPath(folder);
}

void CSondrixDlg::Report(const std::string& text, EIcon icon) {
    ShowMessage(text);
    m_ui.MessageBox(text, icon);
}

void CSondrixDlg::ShowResultError(uint32_t code) {
    Report(ResultText(code), EIcon::Stop);
    // The common report also shows "Succeeded!!!" where a command has no text of its own.
    if (code != RESULT_SUCCESS) {
        SOutcome failed;
        failed.kind = SOutcome::EKind::Failed;
        failed.result = code;
        failed.text = ResultText(code);
        Outcome(std::move(failed));
    }
}

void CSondrixDlg::Fail(const std::string& text, EFailure failure) {
    Report(text, EIcon::Stop);
    FailureOutcome(text, failure);
}

void CSondrixDlg::FailureOutcome(const std::string& text, EFailure failure) {
    SOutcome failed;
    failed.kind = SOutcome::EKind::Failed;
    failed.failure = failure;
    failed.text = text;
    Outcome(std::move(failed));
}

void CSondrixDlg::AddOutcomeObserver(IOutcomeObserver* observer) {
    m_outcomeObservers.push_back(observer);
}

void CSondrixDlg::RemoveOutcomeObserver(IOutcomeObserver* observer) {
    std::erase(m_outcomeObservers, observer);
}

void CSondrixDlg::Outcome(SOutcome outcome) {
    if (outcome.command == 0 && m_answer != nullptr) {
        outcome.command = m_answer->command;
        if (outcome.kind != SOutcome::EKind::Failed || outcome.result == 0) {
            outcome.result = m_answer->param1;
        }
    }
    // An observer may stop observing from its callback.
    const std::vector<IOutcomeObserver*> observers = m_outcomeObservers;
    for (IOutcomeObserver* observer : observers) {
        observer->OnOutcome(outcome);
    }
}

bool CSondrixDlg::Ask(EQuestion question) {
    SOutcome asked;
    asked.kind = SOutcome::EKind::Question;
    asked.question = question;
    Outcome(std::move(asked));
    if (m_answerer) {
        return m_answerer(question);
    }
    const auto* box =
        std::find_if(kQuestionBoxes.begin(), kQuestionBoxes.end(),
                     [question](const SQuestionBox& b) { return b.question == question; });
    const EAnswer answer = m_ui.MessageBox(LoadString(box->text), box->icon, box->buttons);
    return answer == EAnswer::Ok || answer == EAnswer::Yes;
}

CPageBase& CSondrixDlg::Page(int tab) {
    switch (tab) {
        case kTabAuthUser:
            return basicDlg;
        case kTabConfiguration:
            return systemDlg;
        case kTabDataBase:
            return dbDlg;
        case kTabExtra:
            return userDlg;
        case kTabAbout:
            return aboutDlg;
        default:
            return imageDlg;
    }
}

void CSondrixDlg::ShowTab(int tab) {
    if (tab < 0 || tab >= kTabCount) {
        return;
    }
    m_currentTab = tab;
    SetSelection(kTabs, tab);
}

void CSondrixDlg::Refuse(const std::string& text, EIcon icon, int landOn) {
    ShowMessage(text);
    m_ui.MessageBox(text, icon);
    ShowTab(landOn);
}

bool CSondrixDlg::Guard(int tab) {
    if (moduleConnected == 0 && tab != kTabAbout) {
        Refuse(LoadString(IDS_GUARD_CONNECTION), EIcon::None, kTabMain);
        return true;
    }
    if (continuousCapture == 1) {
        Refuse(LoadString(IDS_GUARD_CONTINUOUS), EIcon::None, kTabMain);
        return true;
    }
    if (autoOnMode == 1) {
        Refuse(LoadString(IDS_GUARD_AUTO_ON), EIcon::None, kTabAuthUser);
        return true;
    }
    const bool needsMaster = tab == kTabConfiguration || tab == kTabDataBase || tab == kTabExtra;
    if (needsMaster && masterMode == 0) {
        Refuse(LoadString(IDS_GUARD_MASTER), EIcon::None, kTabAuthUser);
        return true;
    }
    if (tab == kTabDataBase && moduleSeries == 2) {
        const uint32_t variant = firmwareVersion & 0x0F;
        const bool supported = variant == 1 || variant == 3 || variant == 6 || variant == 8 ||
                               modelCode == kModelHlxM05;
        if (!supported) {
            Refuse(LoadString(IDS_NOT_SUPPORTED_FUNCTION), EIcon::Stop, kTabAuthUser);
            return true;
        }
    }
    return false;
}

void CSondrixDlg::SelectTab(int tab) {
    if (tab < 0 || tab >= kTabCount || Guard(tab)) {
        return;
    }
    ShowTab(tab);
    if (tab == kTabConfiguration) {
        systemDlg.OnTabSelected();
    }
    if (tab == kTabDataBase) {
        dbDlg.OnTabShown();
    }
    if (tab == kTabExtra) {
        userDlg.ShowPage();
    }
}

void CSondrixDlg::OpenMakerPage() {
    m_ui.OpenUrl(kMakerAddress);
}

void CSondrixDlg::OnSelChange(int id) {
    if (id == kTabs) {
        const int wanted = Selection(kTabs);
        // The tab control already shows the new tab; the guards may move it.
        SetSelection(kTabs, m_currentTab);
        SelectTab(wanted);
    }
}

void CSondrixDlg::OnCommand(int id) {
    if (id == kPktClear) {
        m_tracer.Clear();
        m_rawLine.Clear();
    } else if (id == kHeader && smallScreen == 0) {
        OpenMakerPage();
    }
}

LRESULT CSondrixDlg::WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PACKET_TRACE) {
        if (traceEverything != 0 ||
            CPacketTracer::Accepts(userDlg.TracerMode(), transferBusy != 0)) {
            m_tracer.TracePacket(*reinterpret_cast<const CPacket*>(wparam),
                                 static_cast<int>(lparam));
        }
        return 0;
    }
    if (message == WM_PORT_LOST) {
        const std::string text =
            LoadString(IDS_PORT_LOST) +
            PortDescription(m_packetManager.port.portName, m_packetManager.port.DevicePath());
        ShowMessage(text);
        m_ui.MessageBox(text, EIcon::Stop);
        FailureOutcome(text, EFailure::Port);
        return 0;
    }
    if (FindCommandByNotification(message) != nullptr) {
        OnAnswer(message, *reinterpret_cast<CPacket*>(wparam));
    }
    // Checksum errors and short packets are not acted on.
    return 0;
}

void CSondrixDlg::OnAnswer(uint32_t notification, CPacket& packet) {
    if (m_gate && !m_gate(packet)) {
        return;
    }
    // A box opened while handling runs a nested loop that may hand on the
    // next answer: each outcome belongs to the answer being handled then.
    const CPacket* outer = m_answer;
    m_answer = &packet;
    Dispatch(notification, packet);
    m_answer = outer;
}

void CSondrixDlg::Dispatch(uint32_t notification, CPacket& packet) {
    if (notification == FindCommand(CMD_CAPTURE_IMAGE)->notification && repeatCapture == 1) {
        // That firmware's first image after a capture is stale: ask again.
        repeatCapture = 0;
        m_packetManager.SendCaptureImage(0);
        return;
    }
    if (packet.command == CMD_CANCEL) {
        matching.OnCancel(packet);
        pendingRawResponse = 0;
        return;
    }
    if (pendingRawResponse == 1) {
        pendingRawResponse = 0;  // the answer to a hand-made packet is only traced
        return;
    }
    if (packet.command == CMD_CONNECT) {
        imageDlg.KillTimer(CImageDlg::kConnectTimer);
    }
    switch (FindCommand(packet.command) ? FindCommand(packet.command)->group
                                        : EHandlerGroup::Ignored) {
        case EHandlerGroup::Connection:
            connection.Handle(packet);
            break;
        case EHandlerGroup::Matching:
            matching.Handle(packet);
            break;
        case EHandlerGroup::DBManagement:
            dbManagement.Handle(packet);
            break;
        case EHandlerGroup::Configuration:
            configuration.Handle(packet);
            break;
        case EHandlerGroup::SystemManagement:
            systemManagement.Handle(packet);
            break;
        case EHandlerGroup::Ignored:
            break;
    }
}

}  // namespace sondrix
