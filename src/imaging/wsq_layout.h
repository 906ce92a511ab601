#pragma once

// Where the WSQ wavelet decomposition puts things for an image of a given
// size: the 20 regions that are split in two directions, in the order the
// analysis visits them, and the rectangles of the 60 coded subbands.

#include <array>

#include "imaging/wsq_format.h"

namespace sondrix {

struct WsqRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One two-dimensional split: its region, and whether the region's spectrum is
// mirrored in x or y (an odd number of highpass steps in that direction led
// to it), in which case its highpass half is stored first.
struct WsqSplit {
    WsqRect rect;
    bool mirroredX = false;
    bool mirroredY = false;
};

class CWsqLayout {
  public:
    static constexpr int kSplits = 20;

    CWsqLayout(int width, int height);

    const std::array<WsqSplit, kSplits>& Splits() const { return m_splits; }
    const WsqRect& Subband(int index) const { return m_subbands[index]; }

  private:
    std::array<WsqSplit, kSplits> m_splits;
    std::array<WsqRect, wsq::kCodedSubbands> m_subbands;
};

}  // namespace sondrix
