#include "imaging/wavelet_transform.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/wsq_format.h"
#include "imaging/wsq_layout.h"

namespace sondrix {
namespace {

TEST(WsqLayoutTest, SubbandsAndTheUncodedQuarterTileTheImage) {
    for (const auto& [width, height] : {std::pair{260, 300}, {97, 131}, {5, 3}, {1, 1}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const CWsqLayout layout(width, height);
        std::vector<int> cover(static_cast<size_t>(width) * height, 0);
        const auto paint = [&](const WsqRect& r) {
            for (int y = r.y; y < r.y + r.height; ++y) {
                for (int x = r.x; x < r.x + r.width; ++x) {
                    ++cover.at(static_cast<size_t>(y) * width + x);
                }
            }
        };
        for (int k = 0; k < wsq::kCodedSubbands; ++k) {
            paint(layout.Subband(k));
        }
        // The quarter that is never coded: the bottom right of the image.
        paint({(width + 1) / 2, (height + 1) / 2, width / 2, height / 2});
        EXPECT_EQ(std::vector<int>(cover.size(), 1), cover);
    }
}

TEST(WaveletTransformTest, SynthesisUndoesAnalysis) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-128.0f, 128.0f);
    // The standard 9/7 pair, and the same taps padded with zeros to 13/11,
    // which go through the general kernels.
    float low[7] = {};
    float high[6] = {};
    std::copy(std::begin(wsq::kLowpassTaps), std::end(wsq::kLowpassTaps), low);
    std::copy(std::begin(wsq::kHighpassTaps), std::end(wsq::kHighpassTaps), high);
    for (const auto& [width, height] : {std::pair{260, 300}, {97, 131}, {3, 2}, {1, 1}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        std::vector<float> image(static_cast<size_t>(width) * height);
        for (float& v : image) {
            v = value(random);
        }
        const CWsqLayout layout(width, height);
        std::vector<float> standard = image;
        std::vector<float> general = image;
        CWaveletTransform(wsq::kLowpassTaps, 4, wsq::kHighpassTaps, 3)
            .Analyze(standard.data(), width, layout);
        CWaveletTransform(low, 6, high, 5).Analyze(general.data(), width, layout);
        EXPECT_NE(image, standard);
        CWaveletTransform(wsq::kLowpassTaps, 4, wsq::kHighpassTaps, 3)
            .Synthesize(standard.data(), width, layout);
        for (size_t i = 0; i < image.size(); ++i) {
            ASSERT_NEAR(image[i], standard[i], 2e-3f) << "at " << i;
        }
        CWaveletTransform(low, 6, high, 5).Synthesize(general.data(), width, layout);
        for (size_t i = 0; i < image.size(); ++i) {
            ASSERT_NEAR(image[i], general[i], 2e-3f) << "at " << i;
        }
    }
}

}  // namespace
}  // namespace sondrix
