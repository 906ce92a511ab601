// The WSQ decoder on raw streams, into a buffer of the page's size or a
// smaller one: it must refuse what does not fit and never write past it.

#include <algorithm>
#include <vector>

#include "fuzz_target.h"
#include "imaging/wsq_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte picks the pixel capacity: the page's, or a small one.
    const size_t capacity = (data[0] & 1) ? sondrix::kWsqPixelCapacity : 64 * 64;
    std::vector<uint8_t> pixels(capacity, 0xA5);
    // The stream gets a buffer of exactly its own length, so any read past
    // its end is caught.
    std::vector<uint8_t> stream(data + 1, data + size);
    int width = -1;
    int height = -1;
    const int rc = sondrix::WsqDecode(stream.data(), stream.size(), pixels.data(), pixels.size(),
                                      &width, &height, nullptr);
    if (rc == 0) {
        sondrix::fuzz::Require(
            width > 0 && height > 0 &&
                static_cast<size_t>(width) * static_cast<size_t>(height) <= capacity,
            "a decoded frame larger than the buffer");
    } else {
        sondrix::fuzz::Require(
            std::all_of(pixels.begin(), pixels.end(), [](uint8_t p) { return p == 0xA5; }),
            "a refused stream wrote pixels");
    }
    return 0;
}
