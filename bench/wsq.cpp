// WSQ codec speed at the ratio the image page saves with (5): encoding with
// all its rate-control passes, and decoding, of the 260 x 300 synthetic
// reference image and of a simulated 500 x 500 print. Counters: bytes (the
// stream's length), ratio (pixels per stream byte) and psnr_dB (decoded
// image against the source).
//
// Instruction counts: `bench_wsq --once encode|decode synth|print500` makes
// exactly one call of the codec (after preparing its input), so that
//   valgrind --tool=callgrind --toggle-collect='sondrix::WsqEncode*' bench_wsq --once encode synth
// counts the instructions of one encoding (WsqDecode* for a decoding).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/wsq_codec.h"
#include "sim/finger_model.h"

namespace sondrix {
namespace {

struct Image {
    std::string name;
    int width;
    int height;
    std::vector<uint8_t> pixels;
};

Image Synth() {
    const std::string path = std::string(SONDRIX_TESTDATA_DIR) + "/wsq/synth_260x300.raw";
    std::ifstream in(path, std::ios::binary);
    Image image{"synth", 260, 300, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})};
    if (image.pixels.size() != 260u * 300u) {
        // Measuring the codec on a short buffer would read past it.
        std::fprintf(stderr, "bench_wsq: %s is missing or not a 260 x 300 image\n", path.c_str());
        std::exit(1);
    }
    return image;
}

Image Print500() {
    return {"print500", 500, 500, RenderFingerprint(SFinger{7, 2}, 500, 500)};
}

std::vector<uint8_t> Encode(const Image& image) {
    std::vector<uint8_t> stream(kWsqEncodedCapacity);
    size_t length = 0;
    if (WsqEncode(image.pixels.data(), image.width, image.height, kWsqSaveRatio, stream.data(),
                  stream.size(), &length, nullptr) != 0) {
        return {};
    }
    stream.resize(length);
    return stream;
}

bool Decode(const std::vector<uint8_t>& stream, std::vector<uint8_t>& pixels) {
    int width = 0;
    int height = 0;
    return WsqDecode(stream.data(), stream.size(), pixels.data(), pixels.size(), &width, &height,
                     nullptr) == 0;
}

void SetCounters(benchmark::State& state, const Image& image, const std::vector<uint8_t>& stream) {
    std::vector<uint8_t> decoded(image.pixels.size());
    if (stream.empty() || !Decode(stream, decoded)) {
        state.SkipWithError("the codec failed");
        return;
    }
    double squares = 0.0;
    for (size_t i = 0; i < decoded.size(); ++i) {
        const double d = static_cast<double>(decoded[i]) - image.pixels[i];
        squares += d * d;
    }
    const double mse = squares / static_cast<double>(decoded.size());
    state.counters["bytes"] = static_cast<double>(stream.size());
    state.counters["ratio"] = static_cast<double>(image.pixels.size()) / stream.size();
    state.counters["psnr_dB"] = 10.0 * std::log10(255.0 * 255.0 / mse);
}

void EncodeBenchmark(benchmark::State& state, const Image& image) {
    std::vector<uint8_t> stream;
    for (auto _ : state) {
        stream = Encode(image);
        benchmark::DoNotOptimize(stream.data());
    }
    SetCounters(state, image, stream);
}

void DecodeBenchmark(benchmark::State& state, const Image& image) {
    const std::vector<uint8_t> stream = Encode(image);
    std::vector<uint8_t> decoded(image.pixels.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(Decode(stream, decoded));
    }
    SetCounters(state, image, stream);
}

// One encoding or decoding, for instruction counting.
int RunOnce(const std::string& what, const std::string& name) {
    const Image image = name == "print500" ? Print500() : Synth();
    const std::vector<uint8_t> stream = Encode(image);
    if (stream.empty()) {
        return 1;
    }
    if (what == "decode") {
        std::vector<uint8_t> decoded(image.pixels.size());
        return Decode(stream, decoded) ? 0 : 1;
    }
    return what == "encode" ? 0 : 2;
}

}  // namespace
}  // namespace sondrix

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
        return sondrix::RunOnce(argv[2], argv[3]);
    }
    static const sondrix::Image images[] = {sondrix::Synth(), sondrix::Print500()};
    for (const sondrix::Image& image : images) {
        benchmark::RegisterBenchmark(("WsqEncode/" + image.name).c_str(), sondrix::EncodeBenchmark,
                                     image)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("WsqDecode/" + image.name).c_str(), sondrix::DecodeBenchmark,
                                     image)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
