// Tracer throughput: packets go through the core tracer into the Qt item
// view of the main window's tracer (offscreen), with the 1000-row cap
// removing the oldest row for every new one. Target: 10,000 packets well
// under half a second.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/packet_tracer.h"
#include "link/command_table.h"
#include "link/packet.h"
#include "platform/dialog_model.h"
#include "qt/list_view.h"

namespace sondrix {
namespace {

constexpr int kPackets = 10000;
constexpr int kListId = 1002;

void BM_TraceTenThousandPackets(benchmark::State& state) {
    CPacket packet;
    packet.command = CMD_GET_STATUS;
    packet.dataSize = 100;
    for (uint32_t i = 0; i < packet.dataSize; ++i) {
        packet.data[i] = static_cast<uint8_t>(i);
    }
    for (auto _ : state) {
        CDialogModel dialog("bench", "");
        dialog.AddControl(kListId, EControlKind::List);
        int rows = 0;
        CPacketTracer tracer(dialog, kListId, rows);
        tracer.CreateColumns();
        CListView view(dialog.List(kListId), CListView::EStyle::Tracer);
        view.resize(805, 115);
        view.show();
        for (int i = 0; i < kPackets; ++i) {
            packet.param1 = static_cast<uint32_t>(i);
            tracer.TracePacket(packet, i % 2);
            // The window repaints between bursts as the event loop runs.
            if (i % 100 == 99) {
                QApplication::processEvents();
            }
        }
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.model()->rowCount());
    }
    state.SetItemsProcessed(state.iterations() * kPackets);
}
BENCHMARK(BM_TraceTenThousandPackets)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sondrix

// The application must go before the program's static objects do, so it
// lives in main rather than in a static.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
