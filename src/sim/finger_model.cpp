#include "sim/finger_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "platform/byte_reader.h"

namespace sondrix {

namespace {

// ---- Deterministic randomness ----

// SplitMix64: a tiny generator whose whole state is one number, so every
// figure derived from a finger is reproducible on any machine.
uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Each use of a finger (pattern, noise, quality, template filler) draws from
// its own stream so that changing one never shifts the others.
enum class EStream : uint64_t { Pattern = 1, Noise, Quality, Filler };

uint64_t FingerSeed(const SFinger& finger, EStream stream) {
    uint64_t state = (uint64_t{finger.user} << 8) | finger.finger;
    state ^= static_cast<uint64_t>(stream) * 0xD1B54A32D192ED03ull;
    return SplitMix(state);
}

class CRandom {
  public:
    explicit CRandom(uint64_t seed) : m_state(seed) {}
    uint64_t Next() { return SplitMix(m_state); }
    double Uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
    }
    bool Chance(double p) { return Uniform(0.0, 1.0) < p; }

  private:
    uint64_t m_state;
};

// A per-pixel hash for the sensor noise; cheaper than drawing a stream.
inline uint32_t PixelHash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = seed ^ (x * 0x9E3779B1u) ^ (y * 0x85EBCA77u);
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// The smaller of a and b, rounded off where they differ by less than k; where
// they are equal it is k / 4 below both.
inline double SmoothMin(double a, double b, double k, double quarterOverK) {
    const double m = std::max(k - std::abs(a - b), 0.0);
    return std::min(a, b) - m * m * quarterOverK;
}

inline double SmoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// ---- The ridge pattern ----
//
// Ridges are the level lines of a "ridge distance" field: the distance from a
// few sources, merged with a smooth minimum. A distance field's gradient has
// length one, so level lines one ridge period apart stay evenly spaced. Round
// the end of a ray they turn into nested U-shapes (the core of a loop), round a
// short segment into nested stadiums (a whorl), round two opposed rays into an
// S (a twin loop); a floor line gives the straight ridges towards the crease of
// the finger, and where two sources' regions meet the ridges bend from one
// family into the other, which reads as a delta. Arches are floor lines pushed
// up in the middle, over a spike for a tented arch.
//
// Where two sources face each other in parallel (a loop's ray and the floor)
// the field folds back along the line midway; that fold is invisible only if it
// falls on the middle of a ridge or furrow, so such gaps are whole multiples of
// the period (plus what the smooth minimum takes off at the fold).
//
// The image is warped gently before the field is read so that ridges wander
// as on skin, and a few phase dipoles add ridge endings and forks.

enum class EPattern { LeftLoop, RightLoop, Whorl, TwinLoop, PlainArch, TentedArch };

struct SPoint {
    double x = 0;
    double y = 0;
};

SPoint operator+(SPoint a, SPoint b) {
    return {a.x + b.x, a.y + b.y};
}
SPoint operator-(SPoint a, SPoint b) {
    return {a.x - b.x, a.y - b.y};
}
SPoint operator*(double k, SPoint a) {
    return {k * a.x, k * a.y};
}
double Dot(SPoint a, SPoint b) {
    return a.x * b.x + a.y * b.y;
}

// One source of the ridge distance field: a segment (a ray is a segment that
// leaves the frame) or a floor line, whose distance is signed.
struct SSource {
    enum class EKind { Segment, Floor };
    EKind kind = EKind::Segment;
    SPoint a;      // segment start, or a point on the floor line
    SPoint d;      // segment: b - a; floor: unit normal pointing away from it
    double k = 0;  // segment: 1 / |b - a|^2

    static SSource Segment(SPoint from, SPoint to) {
        const SPoint d = to - from;
        const double length2 = Dot(d, d);
        return {EKind::Segment, from, d, length2 > 0 ? 1.0 / length2 : 0.0};
    }
    static SSource Floor(SPoint on, SPoint normal) { return {EKind::Floor, on, normal, 0}; }

    double Distance(double x, double y) const {
        const double px = x - a.x;
        const double py = y - a.y;
        if (kind == EKind::Floor) {
            return px * d.x + py * d.y;
        }
        const double t = std::clamp((px * d.x + py * d.y) * k, 0.0, 1.0);
        const double ex = px - t * d.x;
        const double ey = py - t * d.y;
        return std::sqrt(ex * ex + ey * ey);
    }
};

// A ridge ending and a fork: adding the angle seen from one point minus the
// angle seen from the other to the ridge phase. The sum winds by a full turn
// round either point - one ridge more on one side than on the other, so one
// ridge ends or splits there - and jumps by a full turn only on the segment
// between them, where the cosine cannot see it. Faded out beyond `inner` so
// that it costs nothing far away.
struct SDipole {
    SPoint p1;
    SPoint p2;
    SPoint centre;
    double inner = 0;  // radii of the fade
    double outer = 0;
    double outer2 = 0;
    double inner2 = 0;
};

struct SPrint {
    int width = 0;
    int height = 0;
    EPattern pattern = EPattern::LeftLoop;

    // Finger area: an ellipse with a soft rim.
    SPoint centre;
    double invAx = 0;
    double invAy = 0;
    double rimWidth = 0;  // in units of the normalised radius

    // Ridge field.
    double period = 9;
    double phase0 = 0;   // 0 or pi: a ridge or a furrow lies on the sources
    double smooth = 10;  // rounding of the smooth minimum
    double quarterOverSmooth = 0.025;
    std::array<SSource, 4> sources;
    int sourceCount = 0;
    std::array<SDipole, 12> dipoles;
    int dipoleCount = 0;

    // Skin and sensor.
    double background = 246;
    double furrow = 215;
    double ridge = 40;
    double noise = 6;
    uint32_t noiseSeed = 0;

    // Low-frequency displacement and pressure, kept separable as per-row and
    // per-column tables so that no trigonometry runs per pixel for them.
    std::vector<double> warpXByRow, warpXByColumn, warpYByRow, warpYByColumn;
    std::vector<double> pressureByRow, pressureByColumn;
    // Arches: a bump lifting the ridges, riseByRow[y] * riseByColumn[x]
    // pixels; empty for the other patterns.
    std::vector<double> riseByRow, riseByColumn;

    void Add(const SSource& source) { sources[static_cast<size_t>(sourceCount++)] = source; }
};

// Two sine waves summed, sampled at 0..count-1.
std::vector<double> Waves(CRandom& random, int count, double amplitude, double minWavelength,
                          double maxWavelength) {
    const double k1 = 2 * std::numbers::pi / random.Uniform(minWavelength, maxWavelength);
    const double k2 = 2 * std::numbers::pi / random.Uniform(minWavelength, maxWavelength);
    const double f1 = random.Uniform(0, 2 * std::numbers::pi);
    const double f2 = random.Uniform(0, 2 * std::numbers::pi);
    const double a1 = amplitude * random.Uniform(0.5, 1.0);
    const double a2 = amplitude * random.Uniform(0.2, 0.6);
    std::vector<double> out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        out[static_cast<size_t>(i)] = a1 * std::sin(k1 * i + f1) + a2 * std::sin(k2 * i + f2);
    }
    return out;
}

// Roughly the share of each class among real fingers.
struct SPatternShare {
    double upTo;  // cumulative share
    EPattern pattern;
};
constexpr std::array<SPatternShare, 6> kPatternShares = {{
    {0.32, EPattern::LeftLoop},
    {0.64, EPattern::RightLoop},
    {0.84, EPattern::Whorl},
    {0.91, EPattern::TwinLoop},
    {0.96, EPattern::PlainArch},
    {1.00, EPattern::TentedArch},
}};

EPattern ChoosePattern(CRandom& random) {
    const double r = random.Uniform(0, 1);
    for (const SPatternShare& share : kPatternShares) {
        if (r < share.upTo) {
            return share.pattern;
        }
    }
    return kPatternShares.back().pattern;
}

// Lays out the sources of the pattern round the core.
void DesignPattern(SPrint& p, CRandom& random, SPoint core, double ax, double ay) {
    const double period = p.period;
    // A gap between parallel sources that hides their fold (see above).
    auto gap = [&](int minRidges, int maxRidges) {
        const int ridges =
            minRidges + static_cast<int>(random.Next() % (maxRidges - minRidges + 1));
        return ridges * period + p.smooth / 2;
    };
    const double far = 4.0 * std::max(p.width, p.height);  // rays leave the frame

    switch (p.pattern) {
        case EPattern::LeftLoop:
        case EPattern::RightLoop: {
            // The ray runs out of the open side, sloping down; the floor lies
            // parallel below it, and the delta sits half the gap below the core.
            const double open = p.pattern == EPattern::RightLoop ? 1.0 : -1.0;
            const double slope = random.Uniform(0.15, 0.55);
            const SPoint along{open * std::cos(slope), std::sin(slope)};
            const SPoint up{open * along.y, -open * along.x};
            p.Add(SSource::Segment(core, core + far * along));
            p.Add(SSource::Floor(core - gap(9, 15) * up, up));
            break;
        }
        case EPattern::Whorl: {
            const double half = period * random.Uniform(0.0, 1.4);
            const double angle = random.Uniform(-1.0, 1.0);
            const SPoint d{half * std::cos(angle), half * std::sin(angle)};
            p.Add(SSource::Segment(core - d, core + d));
            const double tilt = random.Uniform(-0.12, 0.12);
            const SPoint up{std::sin(tilt), -std::cos(tilt)};
            p.Add(SSource::Floor(core - gap(12, 18) * up, up));
            break;
        }
        case EPattern::TwinLoop: {
            // Two parallel rays running opposite ways from two cores, the upper
            // one shifted so that the rays overlap: an S round the two cores.
            const double side = random.Chance(0.5) ? 1.0 : -1.0;
            const double tilt = random.Uniform(-0.25, 0.25);
            const SPoint along{side * std::cos(tilt), std::sin(tilt)};
            const SPoint up{side * along.y, -side * along.x};
            const double halfGap = gap(3, 5) / 2;
            const double overlap = period * random.Uniform(1.0, 3.0);
            const SPoint upper = core + halfGap * up + overlap * along;
            const SPoint lower = core - halfGap * up - overlap * along;
            p.Add(SSource::Segment(upper, upper - far * along));
            p.Add(SSource::Segment(lower, lower + far * along));
            p.Add(SSource::Floor(lower - gap(6, 10) * up, up));
            break;
        }
        case EPattern::PlainArch:
        case EPattern::TentedArch: {
            // Straight ridges pushed up over the middle of the finger, round
            // for a plain arch, to a point over a spike for a tented one.
            const double tilt = random.Uniform(-0.1, 0.1);
            const SPoint up{std::sin(tilt), -std::cos(tilt)};
            const SPoint foot = core - ay * random.Uniform(0.25, 0.45) * up;
            p.Add(SSource::Floor(foot, up));
            if (p.pattern == EPattern::TentedArch) {
                p.Add(SSource::Segment(core, foot - period * up));
            }
            const double rise = ay * random.Uniform(0.25, 0.4);
            const double spread = ax * random.Uniform(0.5, 0.9);
            p.riseByColumn.resize(static_cast<size_t>(p.width));
            for (int x = 0; x < p.width; ++x) {
                const double u = (x - core.x) / spread;
                p.riseByColumn[static_cast<size_t>(x)] = rise * std::exp(-u * u);
            }
            // No rise at the bottom of the finger, full rise at its tip; spread
            // over the whole height so that the ridges stay evenly spaced.
            p.riseByRow.resize(static_cast<size_t>(p.height));
            for (int y = 0; y < p.height; ++y) {
                p.riseByRow[static_cast<size_t>(y)] =
                    SmoothStep(p.centre.y + ay, p.centre.y - ay, y);
            }
            break;
        }
    }
}

SPrint DesignPrint(const SFinger& finger, int width, int height) {
    CRandom random(FingerSeed(finger, EStream::Pattern));
    SPrint p;
    p.width = width;
    p.height = height;
    p.pattern = ChoosePattern(random);

    // The finger is taller than wide whatever the frame's shape.
    const double ay = height * random.Uniform(0.39, 0.44);
    const double ax = std::min(width * random.Uniform(0.36, 0.42), ay * random.Uniform(0.72, 0.85));
    p.centre = {width * random.Uniform(0.46, 0.54), height * random.Uniform(0.49, 0.52)};
    p.invAx = 1.0 / ax;
    p.invAy = 1.0 / ay;
    p.rimWidth = random.Uniform(6.0, 10.0) / ay;

    p.period = random.Uniform(8.0, 9.8);
    p.phase0 = random.Chance(0.5) ? 0.0 : std::numbers::pi;
    p.smooth = p.period * random.Uniform(0.8, 1.3);
    p.quarterOverSmooth = 0.25 / p.smooth;

    // The core, a little above the middle of the finger.
    const SPoint core{p.centre.x + ax * random.Uniform(-0.15, 0.15),
                      p.centre.y - ay * random.Uniform(0.0, 0.2)};
    DesignPattern(p, random, core, ax, ay);

    // Ridge endings and forks, inside the finger.
    p.dipoleCount = 5 + static_cast<int>(random.Next() % 8);
    for (int i = 0; i < p.dipoleCount; ++i) {
        const double r = 0.85 * std::sqrt(random.Uniform(0, 1));
        const double a = random.Uniform(0, 2 * std::numbers::pi);
        const SPoint mid{p.centre.x + r * ax * std::cos(a), p.centre.y + r * ay * std::sin(a)};
        const double half = p.period * random.Uniform(0.6, 1.8);
        const double b = random.Uniform(0, 2 * std::numbers::pi);
        const SPoint offset{half * std::cos(b), half * std::sin(b)};
        SDipole& d = p.dipoles[static_cast<size_t>(i)];
        d.centre = mid;
        d.p1 = mid + offset;
        d.p2 = mid - offset;
        d.inner = half + 6;
        d.outer = d.inner + 16;
        d.inner2 = d.inner * d.inner;
        d.outer2 = d.outer * d.outer;
    }

    // A good finger gives dark ridges on a clean background; a poor one is
    // pale and grainy.
    const double goodness = (ImageQuality(finger) - 40.0) / 55.0;  // 0..1
    p.background = random.Uniform(242, 250);
    p.furrow = random.Uniform(205, 225);
    p.ridge = 85 - 55 * goodness + random.Uniform(-8, 8);
    p.noise = 15 - 10 * goodness;
    p.noiseSeed = static_cast<uint32_t>(FingerSeed(finger, EStream::Noise));

    p.warpXByRow = Waves(random, height, 5.0, 90, 220);
    p.warpXByColumn = Waves(random, width, 2.5, 120, 260);
    p.warpYByColumn = Waves(random, width, 5.0, 90, 220);
    p.warpYByRow = Waves(random, height, 2.5, 120, 260);
    p.pressureByRow = Waves(random, height, 0.12, 60, 180);
    p.pressureByColumn = Waves(random, width, 0.12, 60, 180);
    return p;
}

// atan2 to within about 1e-5 radians, several times faster than the
// library's; odd in y, so the dipoles' full-turn jump stays exact.
inline double FastAtan2(double y, double x) {
    const double ax = std::abs(x);
    const double ay = std::abs(y);
    const double big = std::max(ax, ay);
    if (big == 0) {
        return 0;
    }
    const double a = std::min(ax, ay) / big;
    const double s = a * a;
    double r = ((((0.0208351 * s - 0.085133) * s + 0.180141) * s - 0.3302995) * s + 0.999866) * a;
    if (ay > ax) {
        r = std::numbers::pi / 2 - r;
    }
    if (x < 0) {
        r = std::numbers::pi - r;
    }
    return y < 0 ? -r : r;
}

// The ridge profile, 0.5 + 0.5 cos(2 pi t), tabulated over one turn.
class CRidgeProfile {
  public:
    CRidgeProfile() {
        for (size_t i = 0; i < m_table.size(); ++i) {
            m_table[i] = 0.5 + 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) /
                                              static_cast<double>(kSteps));
        }
    }
    double operator()(double turns) const {
        const double f = (turns - std::floor(turns)) * kSteps;
        const size_t i = std::min(static_cast<size_t>(f), kSteps - 1);
        const double t = f - static_cast<double>(i);
        return m_table[i] + t * (m_table[i + 1] - m_table[i]);
    }

  private:
    static constexpr size_t kSteps = 512;
    std::array<double, kSteps + 1> m_table;
};

// Ridge phase at a (warped) point, in turns: whole numbers on ridge middles.
double RidgeTurns(const SPrint& p, double x, double y) {
    double field = p.sources[0].Distance(x, y);
    for (int i = 1; i < p.sourceCount; ++i) {
        field = SmoothMin(field, p.sources[static_cast<size_t>(i)].Distance(x, y), p.smooth,
                          p.quarterOverSmooth);
    }
    double angle = 0;
    for (int i = 0; i < p.dipoleCount; ++i) {
        const SDipole& d = p.dipoles[static_cast<size_t>(i)];
        const double cx = x - d.centre.x;
        const double cy = y - d.centre.y;
        const double r2 = cx * cx + cy * cy;
        if (r2 >= d.outer2) {
            continue;
        }
        // arg((z - p1) / (z - p2))
        const double ax = x - d.p1.x;
        const double ay = y - d.p1.y;
        const double bx = x - d.p2.x;
        const double by = y - d.p2.y;
        double turn = FastAtan2(ay * bx - ax * by, ax * bx + ay * by);
        if (r2 > d.inner2) {
            turn *= 1.0 - SmoothStep(d.inner, d.outer, std::sqrt(r2));
        }
        angle += turn;
    }
    return (field / p.period) + (p.phase0 + angle) / (2 * std::numbers::pi);
}

void Render(const SPrint& p, uint8_t* pixels) {
    const CRidgeProfile profile;
    const double rimInner = 1.0 - p.rimWidth;
    for (int y = 0; y < p.height; ++y) {
        const size_t row = static_cast<size_t>(y);
        uint8_t* out = pixels + row * static_cast<size_t>(p.width);
        for (int x = 0; x < p.width; ++x) {
            const size_t column = static_cast<size_t>(x);
            const double dx = p.warpXByRow[row] + p.warpXByColumn[column];
            double dy = p.warpYByRow[row] + p.warpYByColumn[column];

            const uint32_t hash =
                PixelHash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), p.noiseSeed);
            const double grain = static_cast<double>(hash & 0xFFFF) * (2.0 / 65535.0) - 1.0;
            double value = p.background + grain * 3.0;

            // The outline follows the skin's wander only a little.
            const double ex = (x + 0.3 * dx - p.centre.x) * p.invAx;
            const double ey = (y + 0.3 * dy - p.centre.y) * p.invAy;
            const double radius2 = ex * ex + ey * ey;
            if (radius2 < 1.0) {
                const double radius = std::sqrt(radius2);
                const double contact = SmoothStep(1.0, rimInner, radius);
                if (!p.riseByRow.empty()) {
                    dy += p.riseByRow[row] * p.riseByColumn[column];
                }
                // A raised cosine, widened a little: ridges are broader than furrows.
                const double s = profile(RidgeTurns(p, x + dx, y + dy));
                const double ink = s * (1.3 - 0.3 * s);
                const double pressure =
                    std::clamp(0.85 + p.pressureByRow[row] + p.pressureByColumn[column], 0.55, 1.0);
                // Ridges fade towards the rim, where the skin barely touches.
                const double depth =
                    pressure * (radius < 0.7 ? 1.0 : 0.6 + 0.4 * SmoothStep(1.0, 0.7, radius));
                const double skin = p.furrow - (p.furrow - p.ridge) * ink * depth + grain * p.noise;
                value += contact * (skin - value);
            }
            out[column] = static_cast<uint8_t>(std::clamp(value + 0.5, 0.0, 255.0));
        }
    }
}

// ---- Templates ----

struct STemplateMark {
    std::array<uint8_t, 4> magic;
    std::array<uint8_t, 4> version;
};

constexpr STemplateMark kOwnMark{{'S', 'X', 'F', 0}, {'S', 'X', '1', 0}};
// ISO/IEC 19794-2 and ANSI/INCITS 378 records both open with "FMR\0" " 20\0".
constexpr STemplateMark kStandardMark{{'F', 'M', 'R', 0}, {' ', '2', '0', 0}};

const STemplateMark& MarkOf(uint8_t format) {
    return format == kTemplateIso19794 || format == kTemplateAnsi378 ? kStandardMark : kOwnMark;
}

constexpr size_t kCrcOffset = 18;

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < bytes.size(); ++i) {
        // The checksum field itself counts as zero.
        const uint8_t b = (i >= kCrcOffset && i < kCrcOffset + 4) ? 0 : bytes[i];
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutU32BE(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

}  // namespace

// ---- Images ----

void RenderFingerprint(const SFinger& finger, int width, int height, uint8_t* pixels) {
    if (width <= 0 || height <= 0 || pixels == nullptr) {
        return;
    }
    Render(DesignPrint(finger, width, height), pixels);
}

std::vector<uint8_t> RenderFingerprint(const SFinger& finger, int width, int height) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    std::vector<uint8_t> image(static_cast<size_t>(width) * static_cast<size_t>(height));
    RenderFingerprint(finger, width, height, image.data());
    return image;
}

std::vector<uint8_t> RenderColourFingerprint(const SFinger& finger, int width, int height) {
    const std::vector<uint8_t> grey = RenderFingerprint(finger, width, height);
    std::vector<uint8_t> out(grey.size() * 3);
    const size_t w = static_cast<size_t>(std::max(width, 0));
    const size_t h = static_cast<size_t>(std::max(height, 0));
    for (size_t row = 0; row < h; ++row) {
        const uint8_t* in = grey.data() + (h - 1 - row) * w;  // bottom-up
        uint8_t* bgr = out.data() + row * w * 3;
        for (size_t x = 0; x < w; ++x) {
            // Darkness tinted towards the red-brown of skin pressed on glass.
            const int dark = 255 - in[x];
            bgr[3 * x + 0] = static_cast<uint8_t>(255 - dark * 95 / 100);
            bgr[3 * x + 1] = static_cast<uint8_t>(255 - dark);
            bgr[3 * x + 2] = static_cast<uint8_t>(255 - dark * 72 / 100);
        }
    }
    return out;
}

int ImageQuality(const SFinger& finger) {
    return 40 + static_cast<int>(FingerSeed(finger, EStream::Quality) % 56);
}

// ---- Templates ----

std::vector<uint8_t> MakeTemplate(const SFinger& finger, size_t size, uint8_t format) {
    if (format >= kTemplateFormatCount) {
        return {};
    }
    std::vector<uint8_t> bytes(std::max(size, kTemplateHeaderSize));
    const STemplateMark& mark = MarkOf(format);
    std::copy(mark.magic.begin(), mark.magic.end(), bytes.begin());
    std::copy(mark.version.begin(), mark.version.end(), bytes.begin() + 4);
    PutU32BE(&bytes[8], static_cast<uint32_t>(size));
    bytes[12] = format;
    bytes[13] = finger.finger;
    PutU32BE(&bytes[14], finger.user);

    uint64_t state = FingerSeed(finger, EStream::Filler) ^ (uint64_t{format} << 56);
    for (size_t i = kTemplateHeaderSize; i < bytes.size(); i += 8) {
        const uint64_t word = SplitMix(state);
        for (size_t j = 0; j < 8 && i + j < bytes.size(); ++j) {
            bytes[i + j] = static_cast<uint8_t>(word >> (8 * j));
        }
    }
    PutU32BE(&bytes[kCrcOffset], Crc32(bytes));
    bytes.resize(size);  // a size below the header cuts the template short
    return bytes;
}

std::optional<STemplateInfo> ReadTemplate(std::span<const uint8_t> bytes) {
    CByteReader reader(bytes);
    std::array<uint8_t, 4> magic{};
    std::array<uint8_t, 4> version{};
    uint32_t length = 0;
    uint32_t crc = 0;
    STemplateInfo info;
    if (!reader.Bytes(magic.data(), magic.size()) ||
        !reader.Bytes(version.data(), version.size()) || !reader.U32BE(length) ||
        !reader.U8(info.format) || !reader.U8(info.finger.finger) ||
        !reader.U32BE(info.finger.user) || !reader.U32BE(crc)) {
        return std::nullopt;
    }
    if (info.format >= kTemplateFormatCount || magic != MarkOf(info.format).magic ||
        version != MarkOf(info.format).version || length < kTemplateHeaderSize ||
        length > bytes.size() || Crc32(bytes.first(length)) != crc) {
        return std::nullopt;
    }
    info.length = length;
    return info;
}

std::optional<SFinger> FingerOfTemplate(std::span<const uint8_t> bytes) {
    const std::optional<STemplateInfo> info = ReadTemplate(bytes);
    if (!info) {
        return std::nullopt;
    }
    return info->finger;
}

bool TemplatesMatch(std::span<const uint8_t> a, std::span<const uint8_t> b) {
    const std::optional<SFinger> first = FingerOfTemplate(a);
    return first && first == FingerOfTemplate(b);
}

}  // namespace sondrix
