#include "cli/cli_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>

#include "cli/cli_options.h"
#include "link/command_table.h"
#include "platform/byte_reader.h"
#include "platform/port_map.h"
#include "platform/serial_device.h"
#include "platform/terminal.h"
#include "ui/strings.h"

namespace sondrix {

namespace {

// How long the line must stay quiet before a step counts as finished.
constexpr int64_t kQuietMs = 300;
// How often a wait looks at the boxes and the clock.
constexpr uint32_t kPollMs = 100;

}  // namespace

CCliSession::CCliSession(CMessageLoop& loop, ISerialDeviceFactory& devices, std::ostream& progress,
                         bool showProgress, bool terminal, uint32_t timeoutMs)
    : m_loop(loop),
      m_dlg(loop, devices, m_ui),
      m_progress(progress),
      m_showProgress(showProgress),
      m_timeoutMs(timeoutMs),
      m_bar(progress, terminal) {
    const std::string receiving = LoadString(IDS_RECEIVING_IMAGE);
    const std::string receivingPrefix = receiving.substr(0, receiving.find('%'));
    m_dlg.Tracer().SetObserver([this](const STracedPacket& packet) { OnPacket(packet); });
    m_messageObserver = m_dlg.AddObserver([this, receivingPrefix](int) {
        const std::string text = m_dlg.Text(CSondrixDlg::kMessageLine);
        if (text != m_lastMessage) {
            m_lastMessage = text;
            if (text.rfind(receivingPrefix, 0) == 0) {
                // An image transfer's share, one message a block.
                ShowCount("capture", std::atoi(text.c_str() + receivingPrefix.size()), 100, "%");
            } else if (!text.empty()) {
                // Printed at the next look at the boxes, unless a failure says it anyway.
                m_pendingMessages.push_back(text);
            }
        }
    });
    m_lastPacketMs = m_loop.NowMs();
    // The command line keeps the raw line only in a trace that asks for it.
    m_dlg.RawLine().SetCapacity(0);
}

CCliSession::~CCliSession() {
    m_bar.Break();
    m_dlg.RemoveObserver(m_messageObserver);
    m_dlg.Tracer().SetObserver({});
    m_dlg.PacketManager().port.Close();
}

void CCliSession::OnPacket(const STracedPacket& packet) {
    m_lastPacketMs = m_loop.NowMs();
    m_awaitingAnswer = packet.direction == 0;
    if (packet.direction == 1) {
        ++m_answers;
        m_lastAnswer = packet;
    }
    if (m_traceSink) {
        m_traceSink(packet);
    }
    if (m_packetObserver) {
        m_packetObserver(packet);
    }
}

void CCliSession::Progress(const std::string& text) {
    if (m_showProgress) {
        Prompt(text);
    }
}

void CCliSession::CheckInterrupt() {
    const int signal = m_interrupt != nullptr ? m_interrupt->load() : 0;
    if (signal != 0) {
        throw SCliFailure{kCliSignalBase + signal,
                          "interrupted by signal " + std::to_string(signal)};
    }
}

void CCliSession::RunUntilInterrupted(const std::function<void()>& tick) {
    while (true) {
        CheckInterrupt();
        m_loop.RunFor(kPollMs);
        tick();
    }
}

std::string CCliSession::Device() {
    return PortDescription(m_dlg.portName, m_dlg.PacketManager().port.DevicePath());
}

void CCliSession::Start() {
    m_dlg.OnInitDialog();
    // Every packet is traced, whatever the work, so that a trace is complete.
    m_dlg.userDlg.Select(CUserDlg::kTracerOption, CPacketTracer::kShowAll);
}

void CCliSession::Attach(const std::string& portName, uint32_t baud) {
    Start();
    CCommPort& port = m_dlg.PacketManager().port;
    if (!port.Open(portName, baud, static_cast<uint16_t>(CPortMap::PortNumber(portName)))) {
        throw SCliFailure{kCliPortError, LoadString(IDS_CANNOT_OPEN_PORT) + port.LastError()};
    }
    m_dlg.portName = portName;
    Progress("listening on " + Device() + " at " + std::to_string(baud) + " bps");
}

void CCliSession::Connect(const std::string& portName, uint32_t baud) {
    Start();
    CImageDlg& page = m_dlg.imageDlg;
    if (CPortMap::PortNumber(portName) != 0) {
        page.Select(CImageDlg::kPort, CPortMap::PortNumber(portName) - 1);
    } else {
        // A port of the system beyond the window's eight (COM12 on Windows).
        page.SetPortChoices({SPortChoice{portName, portName, {}, {}}});
        page.Select(CImageDlg::kPort, CPortMap::kPortCount);
    }
    if (baud != 0) {
        const auto& rates = CImageDlg::kBaudRates;
        page.Select(CImageDlg::kBaudRate,
                    static_cast<int>(std::find(rates.begin(), rates.end(), baud) - rates.begin()));
    }
    Progress("connecting on " + portName +
             (baud != 0 ? " at " + std::to_string(baud) + " bps" : ", searching every rate"));
    const size_t mark = m_ui.Boxes().size();
    page.Click(CImageDlg::kConnect);
    const std::string succeeded = LoadString(IDS_CONNECTION_SUCCEEDED);
    size_t seen = mark;
    while (true) {
        CheckInterrupt();
        for (; seen < m_ui.Boxes().size(); ++seen) {
            const CScriptedUiHost::SBox& box = m_ui.Boxes()[seen];
            if (box.text == succeeded) {
                m_boxesSeen = m_boxMark = m_ui.Boxes().size();
                FlushMessages({});
                return;
            }
            const int status = CliStatusOfBox(box.text);
            if (status == kCliNoModule) {
                FlushMessages(box.text);
                throw SCliFailure{kCliNoModule, box.text + " No module answered on " + Device() +
                                                    " at any rate."};
            }
            if (box.icon == EIcon::Stop) {
                FlushMessages(box.text);
                if (status != kCliModuleError) {
                    throw SCliFailure{status, box.text};
                }
                // The module answered, with an error: it is there, and said no.
                throw SCliFailure{
                    m_answers > 0 ? kCliModuleError : kCliNoModule,
                    box.text + " (" + AnswerContext() + " while connecting to " + Device() + ")"};
            }
        }
        FlushMessages({});
        // The window goes on to the other rates; asked for one rate, we stop here.
        if (baud != 0 && page.autoSearchCount > 0) {
            throw SCliFailure{kCliNoModule, "No module answered on " + Device() + " at " +
                                                std::to_string(baud) + " bps."};
        }
        // While the search runs a request goes out every attempt; once the
        // module has answered, its silence is a time-out like any other.
        if (m_loop.NowMs() - m_lastPacketMs > static_cast<int64_t>(m_timeoutMs)) {
            if (m_answers == 0) {
                throw SCliFailure{kCliNoModule, "No module answered on " + Device() + "."};
            }
            throw SCliFailure{kCliTimeout, "The module on " + Device() +
                                               " answered, then stopped answering for " +
                                               std::to_string(m_timeoutMs / 1000) +
                                               " s while connecting."};
        }
        const int attempt = page.autoSearchCount;
        m_loop.RunUntil(
            [&] { return m_ui.Boxes().size() > seen || page.autoSearchCount != attempt; }, kPollMs);
    }
}

std::string CCliSession::AnswerContext() const {
    CByteReader reader(m_lastAnswer.bytes.data(), m_lastAnswer.bytes.size());
    uint8_t start = 0;
    uint32_t command = 0;
    uint32_t result = 0;
    if (!reader.U8(start) || !reader.U32BE(command) || !reader.U32BE(result)) {
        return "the module answered";
    }
    const SCommandInfo* info = FindCommand(command);
    char text[96];
    std::snprintf(text, sizeof text, "result 0x%X to %s", result,
                  info != nullptr ? info->name : "an unknown command");
    return text;
}

void CCliSession::ShowCount(const std::string& what, int64_t done, int64_t total,
                            const std::string& unit) {
    // Nothing to show before the size of the run is known.
    if (m_showProgress && total > 0) {
        m_bar.Update(what, done, total, unit, m_loop.NowMs());
    }
}

void CCliSession::Prompt(const std::string& text) {
    // A box often repeats the message line, or the prompt just given.
    if (text != m_lastPrinted) {
        m_bar.Break();
        m_lastPrinted = text;
        m_progress << "sondrix-cli: " << text << std::endl;
    }
}

void CCliSession::FlushMessages(const std::string& reported) {
    for (const std::string& text : m_pendingMessages) {
        if (text != reported) {
            Progress(text);
        }
    }
    m_pendingMessages.clear();
}

void CCliSession::EnterMaster() {
    if (m_dlg.masterMode == 1) {
        return;
    }
    OpenTab(CSondrixDlg::kTabAuthUser);
    CBasicDlg& page = m_dlg.basicDlg;
    if (!m_masterPassword.empty()) {
        // Asked for, the credential goes into the popups as the person types it.
        const bool withId = !m_masterId.empty();
        page.Click(withId ? CBasicDlg::kPwMatching : CBasicDlg::kDevicePassword);
        if (withId) {
            m_ui.QueuePopupAnswer(true, m_masterId);
        }
        m_ui.QueuePopupAnswer(true, m_masterPassword);
    } else if (m_askOnTerminal) {
        // Nothing given: what the module asks for, the person types.
        m_ui.SetPopupAnswerer([](CDialogModel& popup) {
            const auto* input = dynamic_cast<const CPopupIdDlg*>(&popup);
            std::string text;
            const bool typed =
                input != nullptr && ReadTerminalLine(input->prompt + " ", input->masked != 0, text);
            CScriptedUiHost::AnswerPopup(popup, typed, text);
        });
    }
    page.Click(CBasicDlg::kEnterMaster);
    try {
        WaitFor([&] { return m_dlg.masterMode == 1; }, "entering master mode");
    } catch (...) {
        m_ui.SetPopupAnswerer({});
        throw;
    }
    // A module that asked for no credential leaves it queued, where the
    // next popup of the command would take it.
    m_ui.DropQueuedPopups();
    m_ui.SetPopupAnswerer({});
}

void CCliSession::OpenTab(int tab) {
    const size_t mark = m_ui.Boxes().size();
    m_dlg.SelectTab(tab);
    if (m_dlg.CurrentTab() != tab) {
        const std::string text =
            m_ui.Boxes().size() > mark ? m_ui.Boxes().back().text : std::string("refused");
        m_boxesSeen = m_boxMark = m_ui.Boxes().size();
        throw SCliFailure{kCliModuleError, text};
    }
}

void CCliSession::OpenDataBase() {
    EnterMaster();
    OpenTab(CSondrixDlg::kTabDataBase);
    if (m_dlg.moduleSeries == 2) {
        m_dlg.dbDlg.Click(CDbDlg::kGetList);
    }
    Settle("reading the user list");
}

void CCliSession::WaitFor(const std::function<bool()>& done, const std::string& what) {
    while (true) {
        CheckInterrupt();
        for (; m_boxesSeen < m_ui.Boxes().size(); ++m_boxesSeen) {
            const CScriptedUiHost::SBox& box = m_ui.Boxes()[m_boxesSeen];
            if (box.icon == EIcon::Stop) {
                ++m_boxesSeen;
                FlushMessages(box.text);
                throw SCliFailure{CliStatusOfBox(box.text),
                                  box.text + " (" + what + ", module on " + Device() + ")"};
            }
            if (box.buttons == EButtons::Ok) {
                Progress(box.text);
            }
        }
        const bool finished = done();
        if (finished && m_showProgress) {
            m_bar.Complete(m_loop.NowMs());
        }
        FlushMessages({});
        if (finished) {
            return;
        }
        ShowBarProgress(what);
        const int64_t quiet = m_loop.NowMs() - m_lastPacketMs;
        if (quiet > static_cast<int64_t>(m_timeoutMs)) {
            throw SCliFailure{kCliTimeout, "No answer from the module on " + m_dlg.portName +
                                               " for " + std::to_string(m_timeoutMs / 1000) +
                                               " s while " + what + "."};
        }
        m_loop.RunUntil([&] { return m_ui.Boxes().size() > m_boxesSeen || done(); }, kPollMs);
    }
}

const CScriptedUiHost::SBox& CCliSession::WaitForBox(const std::string& what, int failureStatus) {
    // Questions on the way were answered by the host; the box that ends the
    // work only reports.
    const auto next = [&]() -> std::optional<size_t> {
        for (size_t i = m_boxMark; i < m_ui.Boxes().size(); ++i) {
            if (m_ui.Boxes()[i].buttons == EButtons::Ok) {
                return i;
            }
        }
        return std::nullopt;
    };
    try {
        WaitFor([&] { return next().has_value(); }, what);
    } catch (SCliFailure& failure) {
        if (failure.status == kCliModuleError) {
            failure.status = failureStatus;
        }
        throw;
    }
    const size_t found = *next();
    m_boxMark = found + 1;
    return m_ui.Boxes()[found];
}

void CCliSession::ShowBarProgress(const std::string& what) {
    const CPopupProgressDlg& popup = m_dlg.popupProgress;
    if (popup.Exists() && popup.bar.upper > popup.bar.lower) {
        ShowCount(
            what,
            (popup.bar.position - popup.bar.lower) * 100 / (popup.bar.upper - popup.bar.lower), 100,
            "%");
    }
}

void CCliSession::Settle(const std::string& what) {
    WaitFor([&] { return !m_awaitingAnswer && m_loop.NowMs() - m_lastPacketMs >= kQuietMs; }, what);
}

}  // namespace sondrix
