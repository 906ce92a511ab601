// CModule: the calls' common machinery, the connection and master mode.
#include "app/module.h"

#include <cstdio>

#include "app/module_internal.h"
#include "app/packet_summary.h"
#include "app/rate_memory.h"
#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "link/model_table.h"
#include "link/registration_codes.h"
#include "link/result_codes.h"
#include "platform/byte_reader.h"

namespace sondrix {

namespace {

// How often a wait looks at the interrupt and the clock.
constexpr uint32_t kPollMs = 100;
// The longest a call waits for the answers still owed to it once it is done.
constexpr uint32_t kSettleMs = 3000;
// The rate tried first on a port with none remembered: the modules' usual one.
constexpr uint32_t kFirstRate = 115200;

}  // namespace

// ---- The UI host of a program: nobody to ask ----

EAnswer CModuleUiHost::MessageBox(const std::string&, EIcon, EButtons buttons, const std::string&) {
    // Boxes only report here: every question of a sequence is answered by the
    // call through the main dialog's answerer, and a question that is not
    // one of those is declined.
    return buttons == EButtons::YesNo ? EAnswer::No : EAnswer::Ok;
}

std::vector<std::string> CModuleUiHost::FileDialog(const SFileDialog&) {
    return {};
}

int CModuleUiHost::RunModal(CDialogModel&) {
    return IDCANCEL;
}

// ---- Outcomes ----

void CModule::COutcomes::OnOutcome(const SOutcome& outcome) {
    list.push_back({outcome, false, m_loop.NowMs()});
    switch (outcome.kind) {
        case SOutcome::EKind::Connected:
        case SOutcome::EKind::Deleted:
        case SOutcome::EKind::UserCount:
            users = outcome.count;
            break;
        case SOutcome::EKind::UserList:
            users = static_cast<int64_t>(outcome.ids.size());
            break;
        case SOutcome::EKind::Status:
            status = static_cast<uint32_t>(outcome.value);
            break;
        default:
            break;
    }
}

const SOutcome* CModule::COutcomes::Find(SOutcome::EKind kind) const {
    for (const SRecorded& recorded : list) {
        if (recorded.outcome.kind == kind) {
            return &recorded.outcome;
        }
    }
    return nullptr;
}

int64_t CModule::COutcomes::TimeOf(SOutcome::EKind kind) const {
    for (const SRecorded& recorded : list) {
        if (recorded.outcome.kind == kind) {
            return recorded.atMs;
        }
    }
    return 0;
}

void CModule::COutcomes::RecoverLastFailure() {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->outcome.kind == SOutcome::EKind::Failed) {
            it->recovered = true;
            return;
        }
    }
}

// ---- Construction ----

CModule::CModule(CMessageLoop& loop, ISerialDeviceFactory& devices, SSettings settings)
    : m_loop(loop),
      m_devices(devices),
      m_settings(std::move(settings)),
      m_ui(std::make_unique<CModuleUiHost>()),
      m_dlg(std::make_unique<CSondrixDlg>(loop, devices, *m_ui)),
      m_outcomes(std::make_unique<COutcomes>(loop)) {
    m_dlg->traceEverything = 1;
    m_dlg->Tracer().SetObserver([this](const STracedPacket& packet) { OnPacket(packet); });
    m_dlg->AddOutcomeObserver(m_outcomes.get());
    m_dlg->SetAnswerGate([this](const CPacket& packet) { return AcceptAnswer(packet); });
    m_dlg->SetQuestionAnswerer([this](EQuestion question) { return AnswerQuestion(question); });
    // The raw line is kept only for a trace that asks for it.
    m_dlg->RawLine().SetCapacity(0);
    m_dlg->imageDlg.codecDiagnostics = nullptr;
    m_lastPacketMs = loop.NowMs();
}

CModule::~CModule() {
    try {
        Close();
    } catch (const CModuleError&) {
        // The port is closed all the same.
    }
    m_dlg->Tracer().SetObserver({});
    m_dlg->RemoveOutcomeObserver(m_outcomes.get());
}

void CModule::SetRawLineLog(CRawLineLog* log) {
    m_dlg->PacketManager().port.SetRawLog(log);
}

void CModule::Start() {
    if (!m_started) {
        m_started = true;
        m_dlg->OnInitDialog();
    }
}

bool CModule::Connected() const {
    return m_dlg->moduleConnected == 1;
}

std::string CModule::Where() const {
    CCommPort& port = m_dlg->PacketManager().port;
    return PortDescription(m_dlg->portName, port.DevicePath());
}

// ---- Requests and answers ----

void CModule::OnPacket(const STracedPacket& packet) {
    m_lastPacketMs = m_loop.NowMs();
    CByteReader reader(packet.bytes.data(), packet.bytes.size());
    uint8_t start = 0;
    uint32_t command = 0;
    const bool whole = reader.U8(start) && reader.U32BE(command);
    if (packet.direction == 0) {
        if (whole && !m_listenOnly) {
            ++m_expected[command];
        }
    } else {
        ++m_received;
        if (m_wantFirstAnswer && !m_firstAnswer) {
            m_firstAnswer = packet;
        }
    }
    if (m_packetObserver) {
        m_packetObserver(packet);
    }
}

bool CModule::AcceptAnswer(const CPacket& packet) {
    const auto expected = m_expected.find(packet.command);
    if (expected == m_expected.end()) {
        // Nothing of ours asked for it: a late answer to a request given up,
        // or one of the module's own. Traced, and no further.
        return false;
    }
    if (--expected->second == 0) {
        m_expected.erase(expected);
    }
    // While a call is given up only the cancel's answer is acted on; the
    // others are taken off the line unread, so that no sequence carries on
    // (a backup would otherwise go on asking for the next record).
    return !m_givingUp || packet.command == CMD_CANCEL;
}

void CModule::Abandon() {
    m_expected.clear();
}

void CModule::Begin() {
    Abandon();
    m_outcomes->list.clear();
    m_progressShown = 0;
    m_cancel = false;
    m_cancelSent = false;
}

void CModule::CheckInterrupt() {
    if (m_closing) {
        return;
    }
    const int signal = m_interrupt ? m_interrupt() : 0;
    if (signal != 0) {
        GiveUp();
        throw CModuleError::Interrupted(signal);
    }
}

void CModule::Cancel() {
    m_cancel = true;
    // Wakes a wait at once, from whatever thread.
    m_loop.Post(m_dlg->Handle(), 0);
}

void CModule::GiveUp() {
    // A module still at work (waiting for a finger) is told to stop, so that
    // it does not answer the next program; a firmware transfer is only left.
    if (!m_expected.empty() && m_cancelTellsModule && !m_cancelSent && Connected()) {
        m_cancelSent = true;
        m_dlg->cancelPending = 1;
        m_givingUp = true;
        m_dlg->PacketManager().SendCommand(CMD_CANCEL);
        // The cancel's answer, and then the cancelled request's own (result
        // 13), which the next call would otherwise take for its answer.
        m_loop.RunUntil([this] { return m_expected.empty(); }, 1000);
        m_givingUp = false;
    }
    Abandon();
}

void CModule::Throw(EFailure failure, const std::string& message, uint32_t result) {
    throw CModuleError(failure, message, result);
}

void CModule::Await(const std::string& what, const std::function<bool()>& done,
                    SShownProgress shown) {
    while (true) {
        CheckInterrupt();
        if (m_cancel && !m_closing) {
            GiveUp();
            Throw(EFailure::Cancelled, "cancelled while " + what, RESULT_CANCELED);
        }
        ShowProgress(shown);
        for (const COutcomes::SRecorded& recorded : m_outcomes->list) {
            const SOutcome& outcome = recorded.outcome;
            if (outcome.kind != SOutcome::EKind::Failed || recorded.recovered) {
                continue;
            }
            // What the module still owes the failed work (an image quality)
            // arrives before the call ends, so the next call is not answered by it.
            Settle();
            const EFailure failure = outcome.failure == EFailure::Module && m_received == 0
                                         ? EFailure::NoModule
                                         : outcome.failure;
            // The result code and command say more than a text some codes share.
            std::string context = what;
            if (outcome.result != 0 && outcome.command != 0) {
                char code[64];
                std::snprintf(code, sizeof code, "result 0x%X to %s while ", outcome.result,
                              CommandName(outcome.command).c_str());
                context = code + what;
            }
            Throw(failure, outcome.text + " (" + context + ", module on " + Where() + ")",
                  outcome.result);
        }
        if (done()) {
            return;
        }
        if (m_loop.NowMs() - m_lastPacketMs > static_cast<int64_t>(m_settings.timeoutMs)) {
            const std::string silence =
                std::to_string(m_settings.timeoutMs / 1000) + " s while " + what + ".";
            GiveUp();
            if (m_received == 0) {
                Throw(EFailure::NoModule,
                      "No answer from the module on " + Where() + " for " + silence);
            }
            Throw(EFailure::Timeout,
                  "The module on " + Where() + " stopped answering for " + silence);
        }
        const size_t seen = m_outcomes->list.size();
        m_loop.RunUntil([&] { return m_outcomes->list.size() > seen || m_cancel || done(); },
                        kPollMs);
    }
}

void CModule::Settle() {
    m_loop.RunUntil([this] { return m_expected.empty(); },
                    std::min(kSettleMs, m_settings.timeoutMs));
    Abandon();
}

void CModule::ShowProgress(SShownProgress shown) {
    if (shown.task == nullptr) {
        return;
    }
    for (; m_progressShown < m_outcomes->list.size(); ++m_progressShown) {
        const SOutcome& outcome = m_outcomes->list[m_progressShown].outcome;
        if (outcome.kind == SOutcome::EKind::Progress && m_progress) {
            m_progress({shown.task, outcome.done, outcome.total, shown.unit});
        }
    }
}

bool CModule::AnswerQuestion(EQuestion question) {
    const bool yes = m_answers ? m_answers(question) : false;
    if (yes && question == EQuestion::RetryRegistration) {
        // The failed scan that asked it is not the end of the registration.
        m_outcomes->RecoverLastFailure();
    }
    return yes;
}

void CModule::Prompt(EQuestion question) {
    if (m_prompt) {
        m_prompt(question);
    }
}

void CModule::NeedConnection() const {
    if (!Connected()) {
        throw CModuleError(EFailure::Usage, "no module is connected");
    }
}

void CModule::NeedIdFits(const std::string& id, size_t longest) const {
    if (id.empty() || id.size() > longest) {
        throw CModuleError(EFailure::Usage, "the ID " + id + " is not 1 to " +
                                                std::to_string(longest) +
                                                " digits, which is what this module takes");
    }
}

size_t CModule::LongestId() const {
    // The ID field keeps one byte for the terminating zero.
    return static_cast<size_t>(std::max(m_dlg->idLength, 1)) - 1;
}

// ---- Connection ----

SModuleInfo CModule::Connect(const std::string& portName, uint32_t baud) {
    Start();
    Begin();
    m_listenOnly = false;
    m_received = 0;
    // The device behind the port is what a remembered rate belongs to.
    const std::unique_ptr<ISerialDevice> device = m_devices.Create(portName);
    const std::string key = device ? device->Path() : portName;
    CRateMemory rates(m_settings.rateFile);
    const uint32_t remembered = rates.Rate(key);
    const uint32_t first = baud != 0 ? baud : remembered != 0 ? remembered : kFirstRate;
    CImageDlg& page = m_dlg->imageDlg;
    page.ConnectTo(portName, first);
    try {
        Await("connecting", [&] {
            if (m_outcomes->Find(SOutcome::EKind::Ready) != nullptr) {
                return true;
            }
            // Asked for one rate, the search of the others is not ours.
            if (baud != 0 && page.autoSearchCount > 0) {
                page.AbandonConnect();
                Throw(EFailure::NoModule,
                      "No module answered on " + Where() + " at " + std::to_string(baud) + " bps.");
            }
            return false;
        });
    } catch (const CModuleError& error) {
        page.AbandonConnect();
        if (error.Failure() == EFailure::NoModule && baud == 0 && error.Signal() == 0) {
            Throw(EFailure::NoModule, error.what() + std::string(" No module answered on ") +
                                          Where() + " at any rate.");
        }
        throw;
    }
    // The attempts at other rates before are never answered.
    Abandon();
    std::string reason;
    rates.Remember(key, m_dlg->baudRate, reason);
    return InfoNow();
}

void CModule::Attach(const std::string& portName, uint32_t baud) {
    Start();
    Begin();
    m_listenOnly = true;
    CCommPort& port = m_dlg->PacketManager().port;
    port.SetListenOnly(true);
    if (!port.Open(portName, baud, 0)) {
        Throw(EFailure::Port, LoadString(IDS_CANNOT_OPEN_PORT) + port.LastError());
    }
    m_dlg->portName = portName;
    m_dlg->baudRate = baud;
}

void CModule::Listen(const std::function<void()>& tick) {
    while (!m_cancel) {
        CheckInterrupt();
        m_loop.RunFor(kPollMs);
        if (tick) {
            tick();
        }
    }
}

SModuleInfo CModule::InfoNow() {
    SModuleInfo info;
    const CSondrixDlg& dlg = *m_dlg;
    info.modelCode = dlg.modelCode;
    if (const SModelInfo* model = FindModelByCode(dlg.modelCode)) {
        info.model = model->name;
    }
    info.series = dlg.moduleSeries;
    info.firmware = dlg.firmwareVersion;
    char version[16];
    std::snprintf(version, sizeof version, "%x.%02x", (dlg.firmwareVersion >> 8) & 0xFF,
                  dlg.firmwareVersion & 0xFF);
    info.firmwareText = version;
    info.users = m_outcomes->users;
    info.status = m_outcomes->status;
    info.statusText = ModuleStatusText(m_outcomes->status);
    info.port = dlg.portName;
    CCommPort& port = m_dlg->PacketManager().port;
    info.device = port.DevicePath();
    info.lowLatency = port.LowLatency();
    info.baud = dlg.baudRate;
    return info;
}

SModuleInfo CModule::Info() {
    Status();
    return InfoNow();
}

uint32_t CModule::Status() {
    NeedConnection();
    Begin();
    m_dlg->PacketManager().SendGetStatus();
    Await("reading the status",
          [&] { return m_outcomes->Find(SOutcome::EKind::Status) != nullptr; });
    Settle();
    return m_outcomes->status;
}

// ---- Master mode ----

void CModule::EnterMaster() {
    NeedConnection();
    if (m_dlg->masterMode == 1) {
        return;
    }
    Begin();
    const auto entered = [&] {
        const SOutcome* mode = m_outcomes->Find(SOutcome::EKind::MasterMode);
        return mode != nullptr && mode->value == 1;
    };
    // An entry of the typed interface: the module's question for a
    // credential comes back here, not to a page.
    m_dlg->imageDlg.masterEntry = 0;
    m_dlg->PacketManager().SendCommand(CMD_ENTER_MASTER_MODE, 3);
    Await("entering master mode", [&] {
        return entered() || m_outcomes->Find(SOutcome::EKind::CredentialWanted) != nullptr;
    });
    if (!entered()) {
        const std::optional<SMasterCredential> credential =
            m_credential ? m_credential() : std::nullopt;
        if (!credential || credential->password.empty()) {
            Abandon();
            Throw(EFailure::Usage,
                  "the module on " + Where() +
                      " wants a master credential (a master's ID and password, or the "
                      "device password), and none was given");
        }
        if (!credential->id.empty()) {
            NeedIdFits(credential->id, LongestId());
        }
        Begin();
        CPacketManagerWnd& link = m_dlg->PacketManager();
        if (credential->id.empty()) {
            link.SendEnterMasterMode(kMasterByDevicePassword, {}, credential->password, {});
        } else {
            link.SendEnterMasterMode(kMasterByPassword, credential->id, credential->password, {});
        }
        Await("entering master mode", entered);
    }
    Settle();
    m_enteredMaster = true;
}

void CModule::LeaveMaster() {
    if (m_dlg->masterMode != 1 || !Connected()) {
        return;
    }
    Begin();
    m_dlg->PacketManager().SendCommand(CMD_LEAVE_MASTER_MODE);
    Await("leaving master mode", [&] {
        const SOutcome* mode = m_outcomes->Find(SOutcome::EKind::MasterMode);
        return mode != nullptr && mode->value == 0;
    });
    Settle();
    m_enteredMaster = false;
}

void CModule::Close() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    // Also after an interrupt or a failure: the module must not let the next
    // program in without a credential.
    m_closing = true;
    const uint32_t timeout = m_settings.timeoutMs;
    m_settings.timeoutMs = std::min<uint32_t>(timeout, 2000);
    try {
        if (m_enteredMaster && !m_settings.stayMaster && !m_listenOnly) {
            LeaveMaster();
        }
    } catch (const CModuleError&) {
        m_settings.timeoutMs = timeout;
        m_dlg->PacketManager().port.Close();
        throw;
    }
    m_settings.timeoutMs = timeout;
    m_dlg->PacketManager().port.Close();
}

}  // namespace sondrix
