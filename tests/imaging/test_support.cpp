#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <stdexcept>

namespace sondrix::test {

std::string WsqTestDataPath(const std::string& name) {
    return std::string(SONDRIX_TESTDATA_DIR) + "/wsq/" + name;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> ReadWsqReference(const std::string& name) {
    const std::string path = WsqTestDataPath(name);
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    if (bytes.empty()) {
        throw std::runtime_error("the reference file " + path + " is empty");
    }
    return bytes;
}

std::vector<uint8_t> RidgeImage(int width, int height, unsigned seed) {
    std::vector<uint8_t> image(static_cast<size_t>(width) * height);
    unsigned state = seed;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x - width * 0.45;
            const double dy = y - height * 0.6;
            const double radius = std::sqrt(dx * dx + dy * dy);
            const double period = 7.0 + 3.0 * std::sin(y * 0.013 + seed);
            const double ridge = std::sin(radius / period * 2.0 * std::numbers::pi + 0.02 * dx);
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) % 21) - 10;
            const int value = static_cast<int>(128.0 + 90.0 * ridge) + noise;
            image[static_cast<size_t>(y) * width + x] =
                static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
        }
    }
    return image;
}

std::vector<WsqSegment> WsqSegments(const std::vector<uint8_t>& stream) {
    std::vector<WsqSegment> segments;
    size_t pos = 0;
    while (pos + 2 <= stream.size()) {
        WsqSegment segment;
        segment.offset = pos;
        segment.marker = static_cast<uint16_t>(stream[pos] << 8 | stream[pos + 1]);
        pos += 2;
        if (segment.marker != 0xFFA0 && segment.marker != 0xFFA1 && pos + 2 <= stream.size()) {
            const size_t length = static_cast<size_t>(stream[pos] << 8 | stream[pos + 1]);
            segment.payload.assign(
                stream.begin() + static_cast<long>(pos + 2),
                stream.begin() + static_cast<long>(std::min(pos + length, stream.size())));
            pos += length;
        }
        if (segment.marker == 0xFFA3) {
            const size_t start = pos;
            while (pos + 1 < stream.size() && !(stream[pos] == 0xFF && stream[pos + 1] != 0)) {
                pos += stream[pos] == 0xFF ? 2 : 1;
            }
            segment.data.assign(stream.begin() + static_cast<long>(start),
                                stream.begin() + static_cast<long>(pos));
        }
        segments.push_back(std::move(segment));
    }
    return segments;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    const double mse = sum / static_cast<double>(a.size());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        worst = std::max(worst, std::abs(static_cast<int>(a[i]) - b[i]));
    }
    return worst;
}

CCapturedStream::CCapturedStream() : m_file(std::tmpfile()) {}

CCapturedStream::~CCapturedStream() {
    std::fclose(m_file);
}

std::string CCapturedStream::Text() {
    std::fflush(m_file);
    std::rewind(m_file);
    std::string text;
    for (int c = std::fgetc(m_file); c != EOF; c = std::fgetc(m_file)) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

}  // namespace sondrix::test
