#include "imaging/wsq_layout.h"

namespace sondrix {
namespace {

enum Quadrant { kTopLeft, kTopRight, kBottomLeft, kBottomRight };

struct SplitOrigin {
    int parent;  // -1 for the whole image
    Quadrant quadrant;
};

// The WSQ decomposition tree: every split region is a quadrant of an earlier
// one. The three quadrants of the whole image other than the top-left one
// carry the finest detail; the top-left one is split on down to the fifth
// level in its lowest-frequency corner.
constexpr SplitOrigin kTree[CWsqLayout::kSplits] = {
    {-1, kTopLeft},   {0, kTopLeft},   {0, kTopRight},    {0, kBottomLeft},   {1, kTopRight},
    {1, kBottomLeft}, {4, kTopLeft},   {4, kTopRight},    {4, kBottomLeft},   {4, kBottomRight},
    {5, kTopLeft},    {5, kTopRight},  {5, kBottomLeft},  {5, kBottomRight},  {1, kTopLeft},
    {14, kTopLeft},   {14, kTopRight}, {14, kBottomLeft}, {14, kBottomRight}, {15, kTopLeft},
};

// Subbands are numbered by walking these splits and taking, in the order
// top-left, top-right, bottom-left, bottom-right, each quadrant that is not
// split further. (The bottom-right quadrant of the whole image would follow as
// subbands 60..63; it is never coded.)
constexpr int kSubbandOrder[] = {19, 15, 16, 17, 18, 6, 7, 8, 9, 10, 11, 12, 13, 1, 2, 3};

// Lowpass output takes the even samples of a line, highpass the odd ones, so
// an odd length gives the lowpass half one sample more. A mirrored region
// stores its highpass half first.
int FirstHalf(int length, bool mirrored) {
    return mirrored ? length / 2 : (length + 1) / 2;
}

WsqRect QuadrantOf(const WsqSplit& split, Quadrant quadrant) {
    const WsqRect& r = split.rect;
    const int left = FirstHalf(r.width, split.mirroredX);
    const int top = FirstHalf(r.height, split.mirroredY);
    const bool right = quadrant == kTopRight || quadrant == kBottomRight;
    const bool bottom = quadrant == kBottomLeft || quadrant == kBottomRight;
    return {right ? r.x + left : r.x, bottom ? r.y + top : r.y, right ? r.width - left : left,
            bottom ? r.height - top : top};
}

bool IsSplit(int parent, Quadrant quadrant) {
    for (const SplitOrigin& origin : kTree) {
        if (origin.parent == parent && origin.quadrant == quadrant) {
            return true;
        }
    }
    return false;
}

}  // namespace

CWsqLayout::CWsqLayout(int width, int height) {
    m_splits[0] = {{0, 0, width, height}, false, false};
    for (int i = 1; i < kSplits; ++i) {
        const Quadrant quadrant = kTree[i].quadrant;
        // A region's spectrum is mirrored in x when an odd number of highpass
        // steps in x led to it. As a mirrored parent stores its highpass half
        // first, that comes down to being a right (bottom) quadrant.
        m_splits[i] = {QuadrantOf(m_splits[kTree[i].parent], quadrant),
                       quadrant == kTopRight || quadrant == kBottomRight,
                       quadrant == kBottomLeft || quadrant == kBottomRight};
    }
    int next = 0;
    for (int split : kSubbandOrder) {
        for (Quadrant quadrant : {kTopLeft, kTopRight, kBottomLeft, kBottomRight}) {
            if (!IsSplit(split, quadrant)) {
                m_subbands[next++] = QuadrantOf(m_splits[split], quadrant);
            }
        }
    }
}

}  // namespace sondrix
