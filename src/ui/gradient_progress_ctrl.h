#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sondrix {

struct SRgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const SRgb&) const = default;
};

// The face colour of buttons and dialogs, behind an empty bar.
constexpr SRgb kButtonFace{240, 240, 240};

// A progress bar that paints a colour gradient. The toolkit only paints the
// bands this computes; all arithmetic lives here.
class CGradientProgressCtrl {
  public:
    struct SBand {
        int x0 = 0;  // from x0 (inclusive) to x1 (exclusive), full height
        int x1 = 0;
        SRgb colour;
        SRgb ink;  // the text colour that reads over this band
    };
    struct SPaint {
        bool empty = true;         // at or beyond a bound: button face only
        std::vector<SBand> bands;  // gradient bands, then a background band
        std::string text;          // "50%" when shown, else empty
    };

    void SetRange(int newLower, int newUpper) {
        lower = newLower;
        upper = newUpper;
    }
    void SetStep(int newStep) { step = newStep; }
    void SetPos(int newPosition) { position = newPosition; }
    void StepIt() { position += step; }

    SPaint Paint(int width) const;
    // `ink` where it stands out from `behind` well enough to read, else white
    // or black, whichever stands out more.
    static SRgb ReadableInk(SRgb ink, SRgb behind);

    int lower = 0;
    int upper = 100;
    int step = 10;
    int position = 0;
    SRgb startColour{255, 0, 0};
    SRgb endColour{0, 0, 255};
    SRgb backgroundColour = kButtonFace;
    SRgb textColour{255, 255, 255};
    int showText = 0;
};

}  // namespace sondrix
