// The whole program core against a module that answers at random: the real
// port, parser, dispatch and handlers, the pages driven by random clicks,
// typing and selections, and the scripted UI host confirming every box and
// popup and cancelling every file dialog. Time is virtual.
//
// Input: a stream of steps. The line answers every request with the next
// answer from the stream (a packet for the command asked, stray bytes, or
// nothing); between answers the person acts on a page.

#include <memory>
#include <string>
#include <vector>

#include "app/sondrix_dlg.h"
#include "fuzz_target.h"
#include "link/packet.h"
#include "link/packet_parser.h"
#include "platform/byte_reader.h"
#include "platform/message_loop.h"
#include "platform/scripted_ui_host.h"
#include "platform/serial_device.h"

namespace {

using namespace sondrix;

// A line whose far end answers from the fuzz input.
class CFuzzLine final : public ISerialDevice, private CWindow {
  public:
    // `input` reads `data`, the whole fuzz input.
    CFuzzLine(CMessageLoop& loop, CByteReader& input, const uint8_t* data)
        : CWindow(loop), m_input(input), m_data(data) {}
    bool Open(uint32_t, std::string&) override {
        m_open = true;
        return true;
    }
    void Close() override {
        m_open = false;
        m_rx.clear();
        KillTimer(kTimer);
    }
    bool IsOpen() const override { return m_open; }
    void Purge() override { m_rx.clear(); }
    size_t Write(const uint8_t* bytes, size_t count) override {
        if (!m_open) {
            return 0;
        }
        size_t offset = 0;
        while (offset < count) {
            size_t used = 0;
            const auto event = m_parser->Feed(bytes + offset, count - offset, used);
            offset += used;
            if (event == CPacketParser::EEvent::Packet) {
                Answer(m_parser->rxPacket.command);
            }
        }
        return count;
    }
    size_t Read(uint8_t* buffer, size_t capacity) override {
        const size_t n = std::min(capacity, m_rx.size());
        std::copy_n(m_rx.begin(), n, buffer);
        m_rx.erase(m_rx.begin(), m_rx.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
    EWait WaitForInput(int) override { return EWait::Woken; }
    void Wake() override {}
    std::string Path() const override { return "fuzz line"; }
    bool DeliversInputItself() const override { return true; }
    void SetInputHandler(std::function<void()> handler) override { m_handler = std::move(handler); }

  private:
    static constexpr uint32_t kTimer = 1;

    void Answer(uint32_t command) {
        uint8_t kind = 0;
        if (!m_input.U8(kind)) {
            return;  // the module has gone quiet
        }
        std::vector<uint8_t> bytes;
        switch (kind & 7) {
            case 0:
                return;  // no answer to this one
            case 1: {    // stray bytes
                uint8_t n = 0;
                m_input.U8(n);
                n = static_cast<uint8_t>(std::min<size_t>(n, m_input.Remaining()));
                bytes.assign(Here(), Here() + n);
                m_input.Skip(n);
                break;
            }
            default: {  // an answer to the command asked
                m_reply->ClearHeader();
                m_reply->command = command;
                uint8_t result = 1;
                if (kind & 8) {
                    m_input.U8(result);
                }
                m_reply->param1 = result;
                uint32_t param2 = 0;
                m_input.U32BE(param2);
                m_reply->param2 = param2;
                uint16_t dataSize = 0;
                m_input.U16BE(dataSize);
                dataSize = static_cast<uint16_t>(std::min<size_t>(dataSize, m_input.Remaining()));
                std::copy_n(Here(), dataSize, m_reply->data);
                m_input.Skip(dataSize);
                m_reply->dataSize = dataSize;
                if (kind & 16) {
                    uint8_t errorCode = 0;
                    m_input.U8(errorCode);
                    m_reply->errorCode = errorCode;
                }
                bytes = m_reply->Encode();
                if ((kind & 32) && bytes.size() > 1) {
                    bytes.back() ^= 0x01;  // a spoilt sum
                }
                break;
            }
        }
        m_rx.insert(m_rx.end(), bytes.begin(), bytes.end());
        SetTimer(kTimer, 1 + (kind >> 6) * 400);
    }
    const uint8_t* Here() const { return m_data + m_input.Position(); }
    void OnTimer(uint32_t id) override {
        if (id == kTimer) {
            KillTimer(kTimer);
            if (m_open && !m_rx.empty() && m_handler) {
                m_handler();
            }
        }
    }

    CByteReader& m_input;
    const uint8_t* m_data;
    bool m_open = false;
    std::vector<uint8_t> m_rx;
    std::function<void()> m_handler;
    std::unique_ptr<CPacketParser> m_parser = std::make_unique<CPacketParser>();
    std::unique_ptr<CPacket> m_reply = std::make_unique<CPacket>();
};

class CFuzzPorts final : public ISerialDeviceFactory {
  public:
    CFuzzPorts(CMessageLoop& loop, CByteReader& input, const uint8_t* data)
        : m_loop(loop), m_input(input), m_data(data) {}
    std::unique_ptr<ISerialDevice> Create(const std::string&) override {
        return std::make_unique<CFuzzLine>(m_loop, m_input, m_data);
    }

  private:
    CMessageLoop& m_loop;
    CByteReader& m_input;
    const uint8_t* m_data;
};

// One thing the person does on a page: click a control, type into an edit
// or pick an item of a list.
void Act(CDialogModel& page, CByteReader& input) {
    const std::vector<int>& ids = page.ControlIds();
    uint8_t pick = 0;
    if (ids.empty() || !input.U8(pick)) {
        return;
    }
    const int id = ids[pick % ids.size()];
    const SControl& control = page.Control(id);
    switch (control.kind) {
        case EControlKind::Edit: {
            uint8_t n = 0;
            input.U8(n);
            n = static_cast<uint8_t>(std::min<size_t>(n & 31, input.Remaining()));
            std::string text(n, '\0');
            for (char& c : text) {
                uint8_t b = 0;
                input.U8(b);
                c = static_cast<char>(b);
            }
            page.Type(id, text);
            break;
        }
        case EControlKind::Combo:
        case EControlKind::Tabs: {
            uint8_t index = 0;
            input.U8(index);
            if (!control.items.empty()) {
                page.Select(id, index % static_cast<int>(control.items.size()));
            }
            break;
        }
        default:
            page.Click(id);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CByteReader input(data, size);
    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CFuzzPorts ports(loop, input, data);
    auto dlg = std::make_unique<CSondrixDlg>(loop, ports, ui);
    dlg->OnInitDialog();
    dlg->imageDlg.Click(CImageDlg::kConnect);
    loop.RunFor(6000);
    CDialogModel* const pages[] = {&dlg->imageDlg, &dlg->basicDlg, &dlg->systemDlg, &dlg->dbDlg,
                                   &dlg->userDlg};
    uint8_t step = 0;
    for (int steps = 0; steps < 64 && input.U8(step); ++steps) {
        Act(*pages[step % 5], input);
        loop.RunFor(static_cast<uint32_t>(300 + (step >> 3) * 1200));
    }
    return 0;
}
