#include "sim/finger_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "link/model_table.h"

namespace sondrix {
namespace {

struct SSize {
    int width;
    int height;
    bool operator==(const SSize&) const = default;
};

// Every size the family captures: the grey sensors of the model table and the colour sensor.
std::vector<SSize> CaptureSizes() {
    std::vector<SSize> sizes{{320, 240}};
    for (const SModelInfo& model : ModelTable()) {
        const SSize size{model.imageWidth, model.imageHeight};
        if (size.width > 0 && std::find(sizes.begin(), sizes.end(), size) == sizes.end()) {
            sizes.push_back(size);
        }
    }
    return sizes;
}

const std::vector<SFinger> kFingers = {
    {1, 0},    {1, 1},    {1, 4},         {1, 9},   {2, 0},
    {2, 6},    {3, 3},    {0, 0},         {256, 0},  // no blur of user and finger
    {1000, 2}, {1000, 7}, {0xFFFFFFFF, 5}};

struct SImage {
    SSize size;
    std::vector<uint8_t> pixels;
    int At(int x, int y) const { return pixels[static_cast<size_t>(y * size.width + x)]; }
};

SImage Render(const SFinger& finger, SSize size) {
    return {size, RenderFingerprint(finger, size.width, size.height)};
}

// Pixels of a central ellipse that every finger covers wherever it lies.
std::vector<double> Central(const SSize& size, const auto& pixelAt) {
    std::vector<double> out;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const double u = (x - size.width / 2.0) / (0.18 * size.width);
            const double v = (y - size.height / 2.0) / (0.25 * size.height);
            if (u * u + v * v <= 1) {
                out.push_back(pixelAt(x, y));
            }
        }
    }
    return out;
}
std::vector<double> Central(const SImage& image) {
    return Central(image.size, [&](int x, int y) { return image.At(x, y); });
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = static_cast<double>(a.size());
    const double ma = std::accumulate(a.begin(), a.end(), 0.0) / n;
    const double mb = std::accumulate(b.begin(), b.end(), 0.0) / n;
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma),
            bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb);
}

double Percentile(std::vector<double> values, double q) {
    auto at = values.begin() + static_cast<long>(q * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// Distance between dark ridges met on walks through (x, y) in four directions, with some
// hysteresis so that grain makes no ridges. The shortest walk crosses the ridges at most
// 22.5 degrees off square, so it measures close to the period.
double RidgeSpacingAround(const SImage& image, int x, int y) {
    constexpr int kHalf = 30;
    double best = 1e9;
    for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {1, -1}}) {
        std::vector<int> walk;
        for (int i = -kHalf; i < kHalf; ++i) {
            walk.push_back(image.At(x + i * dx, y + i * dy));
        }
        const double mean = std::accumulate(walk.begin(), walk.end(), 0.0) / walk.size();
        int ridges = 0;
        bool inRidge = false;
        for (int v : walk) {
            if (inRidge ? v > mean + 20 : v < mean - 20) {
                inRidge = !inRidge;
                ridges += inRidge;
            }
        }
        best = std::min(best, 2 * kHalf * std::hypot(dx, dy) / std::max(ridges, 1));
    }
    return best;
}

TEST(FingerModel, EachFingerHasItsOwnStableImage) {
    const std::vector<uint8_t> first = RenderFingerprint({42, 7}, 260, 300);
    std::vector<uint8_t> again(260 * 300);
    RenderFingerprint({42, 7}, 260, 300, again.data());
    EXPECT_EQ(first, again);
    EXPECT_EQ(RenderColourFingerprint({42, 7}), RenderColourFingerprint({42, 7}));

    std::vector<std::vector<double>> prints;
    for (const SFinger& finger : kFingers) {
        prints.push_back(Central(Render(finger, {260, 300})));
    }
    for (size_t i = 0; i < prints.size(); ++i) {
        for (size_t j = i + 1; j < prints.size(); ++j) {
            double difference = 0;
            for (size_t k = 0; k < prints[i].size(); ++k) {
                difference += std::abs(prints[i][k] - prints[j][k]);
            }
            // Far apart pixel by pixel, and no more alike than chance: a copy of one
            // pattern shifted by a pixel would still correlate.
            EXPECT_GT(difference / prints[i].size(), 30.0) << i << " vs " << j;
            EXPECT_LT(std::abs(Correlation(prints[i], prints[j])), 0.5) << i << " vs " << j;
        }
    }
}

TEST(FingerModel, ImagesLookLikeAPrintAtEverySize) {
    for (const SSize& size : CaptureSizes()) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        std::vector<double> spacings;
        for (const SFinger& finger : kFingers) {
            const SImage image = Render(finger, size);
            ASSERT_EQ(image.pixels.size(), static_cast<size_t>(size.width * size.height));
            for (int x = 0; x < size.width; ++x) {  // light background all round
                ASSERT_GT(std::min(image.At(x, 0), image.At(x, size.height - 1)), 225);
            }
            for (int y = 0; y < size.height; ++y) {
                ASSERT_GT(std::min(image.At(0, y), image.At(size.width - 1, y)), 225);
            }
            // Inside, dark ridges and light furrows in roughly equal shares.
            const std::vector<double> inside = Central(image);
            const double dark = Percentile(inside, 0.1);
            const double light = Percentile(inside, 0.9);
            EXPECT_LT(dark, 120);
            EXPECT_GT(light, 170);
            const double darkShare =
                std::count_if(inside.begin(), inside.end(),
                              [&](double v) { return v < (dark + light) / 2; }) /
                static_cast<double>(inside.size());
            EXPECT_GT(darkShare, 0.3);
            EXPECT_LT(darkShare, 0.7);
            for (int g = 0; g < 9; ++g) {
                spacings.push_back(RidgeSpacingAround(image, size.width * (4 + g % 3) / 10,
                                                      size.height * (3 + g / 3) / 8));
            }
        }
        // Ridges 8 to 10 pixels apart; endings and deltas disturb a few walks.
        std::sort(spacings.begin(), spacings.end());
        EXPECT_GT(spacings[spacings.size() / 2], 7.5);
        EXPECT_LT(spacings[spacings.size() / 2], 11.0);
        EXPECT_GT(spacings[spacings.size() / 10], 6.0);
        EXPECT_LT(spacings[spacings.size() * 9 / 10], 14.0);
    }
}

TEST(FingerModel, RenderingWritesExactlyItsBuffer) {
    constexpr size_t kGuard = 64;
    std::vector<SSize> sizes = CaptureSizes();
    sizes.insert(sizes.end(), {{1, 1}, {7, 3}, {3, 500}});
    for (const SSize& size : sizes) {
        // Buffers prefilled differently end up equal only if every pixel was written.
        const size_t count = static_cast<size_t>(size.width * size.height);
        std::vector<uint8_t> zeros(count + 2 * kGuard, 0x00);
        std::vector<uint8_t> ones(count + 2 * kGuard, 0xFF);
        RenderFingerprint({5, 5}, size.width, size.height, zeros.data() + kGuard);
        RenderFingerprint({5, 5}, size.width, size.height, ones.data() + kGuard);
        EXPECT_TRUE(
            std::equal(zeros.begin() + kGuard, zeros.end() - kGuard, ones.begin() + kGuard));
        auto zero = [](uint8_t b) { return b == 0; };
        EXPECT_TRUE(std::all_of(zeros.begin(), zeros.begin() + kGuard, zero) &&
                    std::all_of(zeros.end() - kGuard, zeros.end(), zero));
    }
    uint8_t untouched = 0x77;
    RenderFingerprint({5, 5}, 0, 300, &untouched);
    RenderFingerprint({5, 5}, 260, -1, &untouched);
    EXPECT_EQ(untouched, 0x77);
    EXPECT_TRUE(RenderColourFingerprint({5, 5}, 0, 0).empty());
}

TEST(FingerModel, ColourCaptureIsATintedBottomUpBitmap) {
    const std::vector<uint8_t> colour = RenderColourFingerprint({9, 4});
    ASSERT_EQ(colour.size(), 320u * 240u * 3u);
    const SImage grey = Render({9, 4}, {320, 240});
    // Brightness follows the grey print of the same finger with its rows reversed.
    const std::vector<double> luminance = Central({320, 240}, [&](int x, int y) {
        const uint8_t* bgr = &colour[static_cast<size_t>((y * 320 + x) * 3)];
        return 0.114 * bgr[0] + 0.587 * bgr[1] + 0.299 * bgr[2];
    });
    EXPECT_GT(Correlation(luminance,
                          Central({320, 240}, [&](int x, int y) { return grey.At(x, 239 - y); })),
              0.99);
    EXPECT_LT(std::abs(Correlation(luminance, Central(grey))), 0.3);
    // Ridges are warm: red stays highest where the print is dark.
    size_t dark = 0;
    for (size_t i = 0; i < colour.size(); i += 3) {
        if (colour[i + 1] < 120) {
            ++dark;
            ASSERT_GT(colour[i + 2], colour[i + 1]);
            ASSERT_GE(colour[i + 2], colour[i]);
        }
    }
    EXPECT_GT(dark, colour.size() / 3 / 10) << "a tenth of the print at least is ridge";
}

TEST(FingerModel, ImageQualityIsAFigurePerFingerThatShowsInThePrint) {
    std::vector<std::pair<int, SFinger>> byQuality;
    for (uint32_t user = 0; user < 40; ++user) {
        for (uint8_t finger = 0; finger < kFingersPerPerson; ++finger) {
            byQuality.push_back({ImageQuality({user, finger}), {user, finger}});
        }
    }
    std::sort(byQuality.begin(), byQuality.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    EXPECT_GE(byQuality.front().first, 40);
    EXPECT_LT(byQuality.front().first, 45);
    EXPECT_LE(byQuality.back().first, 95);
    EXPECT_GT(byQuality.back().first, 90);
    // The five poorest fingers print with less contrast than the five best.
    double poorer = 0;
    for (size_t i = 0; i < 5; ++i) {
        for (int sign : {1, -1}) {
            const SFinger& finger = byQuality[sign > 0 ? i : byQuality.size() - 1 - i].second;
            const std::vector<double> inside = Central(Render(finger, {260, 300}));
            poorer += sign * (Percentile(inside, 0.9) - Percentile(inside, 0.1));
        }
    }
    EXPECT_LT(poorer, -5 * 25);
}

TEST(FingerModel, TemplatesRoundTripAndMatchByFingerOnly) {
    for (const SFinger& finger : kFingers) {
        for (uint8_t format = 0; format < kTemplateFormatCount; ++format) {
            for (size_t size : {400, 404}) {
                const std::vector<uint8_t> bytes = MakeTemplate(finger, size, format);
                ASSERT_EQ(bytes.size(), size);
                EXPECT_EQ(bytes, MakeTemplate(finger, size, format));
                const std::optional<STemplateInfo> info = ReadTemplate(bytes);
                ASSERT_TRUE(info.has_value()) << int{format} << " " << size;
                EXPECT_TRUE(info->finger == finger && info->format == format &&
                            info->length == size);
                const bool standard = format == kTemplateIso19794 || format == kTemplateAnsi378;
                EXPECT_EQ(std::equal(bytes.begin(), bytes.begin() + 8, "FMR\0 20\0"), standard);
            }
        }
    }
    const std::vector<uint8_t> iso = MakeTemplate({77, 3}, 400, kTemplateIso19794);
    EXPECT_TRUE(TemplatesMatch(iso, MakeTemplate({77, 3}, 404, kTemplateDravik)));
    EXPECT_FALSE(TemplatesMatch(iso, MakeTemplate({77, 4}, 400, kTemplateIso19794)));
    EXPECT_FALSE(TemplatesMatch(iso, MakeTemplate({78, 3}, 400, kTemplateIso19794)));
    EXPECT_FALSE(TemplatesMatch(iso, MakeTemplate({77 + 256, 3}, 400, kTemplateIso19794)));
    // Padding after a whole template, as in a fixed-size field, is ignored.
    std::vector<uint8_t> padded = MakeTemplate({77, 3}, 400, kTemplateQdxA);
    padded.resize(404, 0);
    EXPECT_EQ(FingerOfTemplate(padded), (SFinger{77, 3}));
    EXPECT_TRUE(MakeTemplate({77, 3}, 404, kTemplateFormatCount).empty());
}

TEST(FingerModel, DamagedOrForeignBytesAreNoTemplate) {
    const std::vector<uint8_t> good = MakeTemplate({1234, 6}, 404, kTemplateAnsi378);
    for (size_t i = 0; i < good.size(); ++i) {  // any changed bit
        std::vector<uint8_t> bad = good;
        bad[i] ^= static_cast<uint8_t>(1u << (i % 8));
        EXPECT_FALSE(FingerOfTemplate(bad).has_value()) << "byte " << i;
        EXPECT_FALSE(TemplatesMatch(bad, good));
    }
    for (size_t length = 0; length < good.size(); ++length) {  // any cut
        EXPECT_FALSE(FingerOfTemplate(std::span(good).first(length)).has_value()) << length;
    }
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {  // noise, also behind a genuine header start
        std::vector<uint8_t> noise(404);
        std::generate(noise.begin(), noise.end(), [&] { return static_cast<uint8_t>(random()); });
        if (round % 2 == 1) {
            std::copy(good.begin(), good.begin() + 18, noise.begin());
        }
        EXPECT_FALSE(FingerOfTemplate(noise).has_value());
    }
    EXPECT_FALSE(TemplatesMatch(std::vector<uint8_t>(404, 0), std::vector<uint8_t>(404, 0)));
    const std::vector<uint8_t> tiny = MakeTemplate({1, 1}, kTemplateHeaderSize - 1, 0);
    EXPECT_EQ(tiny.size(), kTemplateHeaderSize - 1);
    EXPECT_FALSE(FingerOfTemplate(tiny).has_value());
}

}  // namespace
}  // namespace sondrix
