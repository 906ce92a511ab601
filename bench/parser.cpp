// Receive-path throughput: bytes go from the device through the ring and the
// packet manager's parser to the main dialog's notification, as on the line.
// Reports MB/s and the allocations made per megabyte received (target: 0).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <new>

#include "link/command_table.h"
#include "link/packet_manager_wnd.h"
#include "platform/scripted_ui_host.h"

namespace {

std::atomic<uint64_t> g_allocations{0};

}  // namespace

// Counting every allocation of the process: the receive path must make none.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace sondrix {
namespace {

// Replays a recorded byte stream in chunks of at most 2048 bytes.
class CReplayDevice final : public ISerialDevice {
  public:
    explicit CReplayDevice(const std::vector<uint8_t>& stream) : m_stream(stream) {}
    bool Open(uint32_t, std::string&) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    void Purge() override {}
    size_t Write(const uint8_t*, size_t count) override { return count; }
    size_t Read(uint8_t* buffer, size_t capacity) override {
        const size_t n = std::min({capacity, m_available, m_stream.size() - m_pos});
        std::copy_n(m_stream.begin() + static_cast<std::ptrdiff_t>(m_pos), n, buffer);
        m_pos = (m_pos + n) % m_stream.size();
        m_available -= n;
        return n;
    }
    EWait WaitForInput(int) override { return EWait::Woken; }
    void Wake() override {}
    std::string Path() const override { return "replay"; }
    bool DeliversInputItself() const override { return true; }
    void SetInputHandler(std::function<void()> h) override { m_handler = std::move(h); }
    void Arrive(size_t n) {
        m_available += n;
        m_handler();
    }

  private:
    const std::vector<uint8_t>& m_stream;
    size_t m_pos = 0;
    size_t m_available = 0;
    std::function<void()> m_handler;
};

class CReplayFactory final : public ISerialDeviceFactory {
  public:
    explicit CReplayFactory(const std::vector<uint8_t>& stream) : m_stream(stream) {}
    std::unique_ptr<ISerialDevice> Create(const std::string&) override {
        auto device = std::make_unique<CReplayDevice>(m_stream);
        last = device.get();
        return device;
    }
    CReplayDevice* last = nullptr;

  private:
    const std::vector<uint8_t>& m_stream;
};

class CCountingDialog : public CWindow, public IPacketManagerOwner {
  public:
    using CWindow::CWindow;
    int IdLength() const override { return 16; }
    int PasswordLength() const override { return 16; }
    int DefaultTemplateSize() const override { return 404; }
    int ModificationKind() const override { return 0; }
    LRESULT WindowProc(uint32_t message, WPARAM, LPARAM) override {
        packets += message == WM_USER + 0x53 ? 1 : 0;
        return 0;
    }
    uint64_t packets = 0;
};

// A stream of image-chunk answers (3720-byte payloads) and status answers.
std::vector<uint8_t> MakeStream(uint32_t payload) {
    std::vector<uint8_t> stream;
    auto packet = std::make_unique<CPacket>();
    for (int i = 0; i < 40; ++i) {
        packet->ClearHeader();
        packet->command = CMD_CAPTURE_IMAGE;
        packet->param1 = 1;
        packet->param2 = static_cast<uint32_t>(i << 8) | 39;
        packet->dataSize = payload;
        for (uint32_t b = 0; b < payload; ++b) {
            packet->data[b] = static_cast<uint8_t>(b * 7 + i);
        }
        const auto wire = packet->Encode();
        stream.insert(stream.end(), wire.begin(), wire.end());
    }
    return stream;
}

void BM_ReceivePath(benchmark::State& state) {
    const std::vector<uint8_t> stream = MakeStream(static_cast<uint32_t>(state.range(0)));
    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CScriptedUiHost ui;
    CReplayFactory devices(stream);
    CCountingDialog dialog(loop);
    auto pm = std::make_unique<CPacketManagerWnd>(loop, devices, ui);
    pm->Create(&dialog, dialog.Handle());
    pm->port.Open("COM1", 115200, 0);
    // Warm up once so that every buffer reaches its steady size.
    devices.last->Arrive(stream.size());
    loop.RunFor(0);

    const uint64_t allocationsBefore = g_allocations;
    uint64_t bytes = 0;
    for (auto _ : state) {
        for (size_t done = 0; done < stream.size();) {
            const size_t n = std::min<size_t>(2048, stream.size() - done);
            devices.last->Arrive(n);
            loop.RunFor(0);
            done += n;
        }
        bytes += stream.size();
    }
    const uint64_t allocations = g_allocations - allocationsBefore;
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["packets"] = static_cast<double>(dialog.packets);
    state.counters["allocs_per_MB"] =
        static_cast<double>(allocations) / (static_cast<double>(bytes) / 1e6);
}
BENCHMARK(BM_ReceivePath)->Arg(3720)->Arg(512)->Arg(0);

}  // namespace
}  // namespace sondrix

BENCHMARK_MAIN();
