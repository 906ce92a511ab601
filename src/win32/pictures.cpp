#include "win32/pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win32_gui_api.h"

namespace sondrix {

namespace {

COLORREF Blend(COLORREF colour, COLORREF behind, double alpha) {
    auto mix = [alpha](int a, int b) {
        return static_cast<BYTE>(std::lround(a * alpha + b * (1 - alpha)));
    };
    return RGB(mix(GetRValue(colour), GetRValue(behind)), mix(GetGValue(colour), GetGValue(behind)),
               mix(GetBValue(colour), GetBValue(behind)));
}

// A linear gradient from `from` at (x0, y0) to `to` at (x1, y1), over `area`.
void FillGradient(HDC dc, const SLayoutRect& area, COLORREF from, COLORREF to, double x0, double y0,
                  double x1, double y1) {
    if (area.width <= 0 || area.height <= 0) {
        return;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(area.width) *
                                 static_cast<size_t>(area.height));
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length = std::max(dx * dx + dy * dy, 1.0);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / length, 0.0, 1.0);
            const COLORREF c = Blend(to, from, t);
            pixels[static_cast<size_t>(y) * static_cast<size_t>(area.width) +
                   static_cast<size_t>(x)] = (static_cast<uint32_t>(GetRValue(c)) << 16) |
                                             (static_cast<uint32_t>(GetGValue(c)) << 8) |
                                             GetBValue(c);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = area.width;
    info.bmiHeader.biHeight = -area.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, area.x, area.y, static_cast<DWORD>(area.width),
                        static_cast<DWORD>(area.height), 0, 0, 0, static_cast<UINT>(area.height),
                        pixels.data(), &info, DIB_RGB_COLORS);
}

// A pen GDI frees when it goes.
class CPen {
  public:
    CPen(HDC dc, COLORREF colour, double width) : m_dc(dc) {
        LOGBRUSH brush{BS_SOLID, colour, 0};
        m_pen = ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                               static_cast<DWORD>(std::max(1L, std::lround(width))), &brush, 0,
                               nullptr);
        m_old = ::SelectObject(dc, m_pen);
    }
    ~CPen() {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_pen);
    }
    CPen(const CPen&) = delete;
    CPen& operator=(const CPen&) = delete;

  private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_old;
};

int R(double v) {
    return static_cast<int>(std::lround(v));
}

// An arch: up the left leg from (left, leftEnd), over the top half circle
// of the square (left, top, 2 half), down the right leg to rightEnd.
void ArchPath(HDC dc, double left, double top, double half, double leftEnd, double rightEnd) {
    ::MoveToEx(dc, R(left), R(leftEnd), nullptr);
    ::LineTo(dc, R(left), R(top + half));
    ::SetArcDirection(dc, AD_CLOCKWISE);
    ::ArcTo(dc, R(left), R(top), R(left + 2 * half), R(top + 2 * half), R(left), R(top + half),
            R(left + 2 * half), R(top + half));
    ::LineTo(dc, R(left + 2 * half), R(rightEnd));
}

}  // namespace

void PaintFingerprintMark(DcHandle dc, double x, double y, double box, unsigned long colour) {
    const double unit = box / 16;
    CPen pen(dc, colour, 1.25 * unit);
    const double middle = x + box / 2;
    const double bottom = y + box;
    // Nested arches round a core, as the ridges of a loop; the legs end at
    // uneven heights as real ridges do.
    constexpr int kRidges = 5;
    for (int i = 0; i < kRidges; ++i) {
        const double half = (7.2 - i * 1.5) * unit;
        const double top = y + (0.8 + i * 1.5) * unit;
        const double leftEnd = bottom - (0.8 + (i % 2) * 1.6 + i * 0.5) * unit;
        const double rightEnd = bottom - (0.8 + ((i + 1) % 2) * 2.2 + i * 0.5) * unit;
        ::BeginPath(dc);
        ArchPath(dc, middle - half, top, half, leftEnd, std::max(rightEnd, top + half));
        ::EndPath(dc);
        ::StrokePath(dc);
    }
}

void PaintHeader(DcHandle dc, const SLayoutRect& area, const std::wstring& product) {
    const COLORREF left = RGB(12, 38, 72);
    const COLORREF right = RGB(20, 104, 122);
    FillGradient(dc, area, left, right, 0, 0, area.width, 0);
    const int height = area.height;
    // The emblem large and faint at the right end, under the rest.
    const double big = height * 2.0;
    PaintFingerprintMark(dc, area.Right() - big * 0.8, area.y - height * 0.45, big,
                         Blend(RGB(255, 255, 255), right, 40 / 255.0));
    const int mark = height - height * 12 / 56;
    PaintFingerprintMark(dc, area.x + height * 14 / 56.0, area.y + height * 6 / 56.0, mark,
                         RGB(225, 235, 245));
    LOGFONTW face{};
    face.lfHeight = -(height / 2);
    face.lfWeight = FW_BOLD;
    face.lfQuality = CLEARTYPE_QUALITY;
    ::lstrcpynW(face.lfFaceName, L"Segoe UI", LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&face);
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT text{area.x + mark + height / 2, area.y, area.Right(), area.Bottom()};
    ::DrawTextW(dc, product.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
}

void PaintAboutPicture(DcHandle dc, const SLayoutRect& area) {
    const COLORREF paper = RGB(226, 232, 240);
    FillGradient(dc, area, RGB(250, 248, 242), paper, 0, 0, area.width, area.height);
    // In the proportions of the Qt picture, 520 x 190 at 96 dpi.
    const double scale = area.height / 190.0;
    // The emblem large and faint behind the right half, under the mark.
    const double big = area.height * 2.0;
    PaintFingerprintMark(dc, area.Right() - big * 0.7, area.y - area.height * 0.4, big,
                         Blend(RGB(16, 52, 96), paper, 45 / 255.0));
    const double mark = area.height - 40 * scale;
    PaintFingerprintMark(dc, area.x + 30 * scale, area.y + 20 * scale, mark, RGB(150, 30, 30));
}

void PaintFingerprintImage(DcHandle dc, const SLayoutRect& area, const uint8_t* pixels, int width,
                           int height) {
    if (pixels != nullptr && width > 0 && height > 0) {
        // A DIB row is padded to four bytes; the image rows are not.
        const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
        std::vector<uint8_t> rows(stride * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            std::copy_n(
                pixels + static_cast<size_t>(y) * static_cast<size_t>(width), width,
                rows.begin() + static_cast<std::ptrdiff_t>(stride * static_cast<size_t>(y)));
        }
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD palette[256];
        } info{};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = width;
        info.header.biHeight = -height;  // rows top to bottom
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = 256;
        for (int i = 0; i < 256; ++i) {
            const auto grey = static_cast<BYTE>(i);
            info.palette[i] = {grey, grey, grey, 0};
        }
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchDIBits(dc, area.x, area.y, area.width, area.height, 0, 0, width, height,
                        rows.data(), reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                        SRCCOPY);
        return;
    }
    RECT all{area.x, area.y, area.Right(), area.Bottom()};
    HBRUSH ground = ::CreateSolidBrush(RGB(228, 228, 226));
    ::FillRect(dc, &all, ground);
    ::DeleteObject(ground);
    // A fingertip seen from above: an arch standing on the bottom edge,
    // ridges nested inside it round a core a third of the way down.
    const double tip = area.width * 0.58;
    const double tall = area.height * 0.80;
    const double left = area.x + area.width / 2.0 - tip / 2;
    const double top = area.Bottom() - tall;
    const double scale = area.height / 330.0;
    {
        CPen pen(dc, RGB(120, 120, 120), 2.0 * scale);
        HBRUSH skin = ::CreateSolidBrush(RGB(244, 242, 238));
        HGDIOBJ old = ::SelectObject(dc, skin);
        ::BeginPath(dc);
        ArchPath(dc, left, top, tip / 2, area.Bottom(), area.Bottom());
        ::CloseFigure(dc);
        ::EndPath(dc);
        ::StrokeAndFillPath(dc);
        ::SelectObject(dc, old);
        ::DeleteObject(skin);
    }
    CPen pen(dc, RGB(170, 170, 170), 1.2 * scale);
    const double coreX = left + tip / 2;
    const double coreY = top + tip * 0.75;
    const int ridges = 7;
    for (int i = 1; i <= ridges; ++i) {
        const double share = 1.0 - static_cast<double>(i) / (ridges + 1);
        const double w = (tip - 12 * scale) * share;
        const double ridgeTop = top + 6 * scale + (coreY - top - 6 * scale) * (1 - share);
        ::BeginPath(dc);
        ArchPath(dc, coreX - w / 2, ridgeTop, w / 2, area.Bottom() - 4 * scale,
                 area.Bottom() - 4 * scale);
        ::EndPath(dc);
        ::StrokePath(dc);
    }
}

void PaintGradientBar(DcHandle dc, const SLayoutRect& area, const CGradientProgressCtrl& bar) {
    auto colour = [](const SRgb& rgb) { return RGB(rgb.r, rgb.g, rgb.b); };
    const CGradientProgressCtrl::SPaint paint = bar.Paint(area.width);
    auto fill = [dc](const RECT& rect, COLORREF c) {
        HBRUSH brush = ::CreateSolidBrush(c);
        ::FillRect(dc, &rect, brush);
        ::DeleteObject(brush);
    };
    RECT all{area.x, area.y, area.Right(), area.Bottom()};
    if (paint.empty) {
        fill(all, colour(kButtonFace));
        return;
    }
    for (const CGradientProgressCtrl::SBand& band : paint.bands) {
        fill({area.x + band.x0, area.y, area.x + band.x1, area.Bottom() + 1}, colour(band.colour));
    }
    if (paint.text.empty()) {
        return;
    }
    // The text in the ink of each band it crosses: light over the dark end
    // of the gradient, the bar's own colour over the light background.
    const std::wstring text(paint.text.begin(), paint.text.end());
    ::SetBkMode(dc, TRANSPARENT);
    auto draw = [&](const RECT& clip, COLORREF ink) {
        ::SaveDC(dc);
        ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        ::SetTextColor(dc, ink);
        RECT box = all;
        ::DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::RestoreDC(dc, -1);
    };
    if (paint.bands.empty()) {
        draw(all, colour(bar.textColour));
    }
    for (size_t first = 0; first < paint.bands.size();) {
        size_t end = first + 1;
        while (end < paint.bands.size() && paint.bands[end].ink == paint.bands[first].ink) {
            ++end;
        }
        draw({area.x + paint.bands[first].x0, area.y, area.x + paint.bands[end - 1].x1,
              area.Bottom()},
             colour(paint.bands[first].ink));
        first = end;
    }
}

namespace {

// The tab icons, drawn in 16 x 16 units scaled to the icon's size.
struct SIconCanvas {
    HDC dc;
    double unit;
    int X(double v) const { return R(v * unit); }
    void Brush(COLORREF c) const {
        ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
        ::SetDCBrushColor(dc, c);
    }
    void NoPen() const { ::SelectObject(dc, ::GetStockObject(NULL_PEN)); }
    void Ellipse(double x, double y, double w, double h) const {
        ::Ellipse(dc, X(x), X(y), X(x + w), X(y + h));
    }
    void Rect(double x, double y, double w, double h) const {
        ::Rectangle(dc, X(x), X(y), X(x + w), X(y + h));
    }
};

void DrawPerson(const SIconCanvas& c) {
    c.NoPen();
    c.Brush(RGB(40, 110, 60));
    c.Ellipse(5, 1.5, 6, 6);
    // The shoulders: a half ellipse standing on the bottom edge.
    ::Chord(c.dc, c.X(2), c.X(9.5), c.X(14), c.X(20.5), c.X(14), c.X(15), c.X(2), c.X(15));
}

void DrawGear(const SIconCanvas& c) {
    c.NoPen();
    c.Brush(RGB(90, 90, 100));
    for (int i = 0; i < 8; ++i) {
        const double angle = i * 3.14159265358979 / 4;
        const double s = std::sin(angle);
        const double k = std::cos(angle);
        // The tooth: the rectangle (-1.5, -7.5) .. (1.5, -3.5) turned round the centre.
        const double corners[4][2] = {{-1.5, -7.5}, {1.5, -7.5}, {1.5, -3.5}, {-1.5, -3.5}};
        POINT points[4];
        for (int p = 0; p < 4; ++p) {
            const double x = corners[p][0] * k - corners[p][1] * s + 8;
            const double y = corners[p][0] * s + corners[p][1] * k + 8;
            points[p] = {c.X(x), c.X(y)};
        }
        ::Polygon(c.dc, points, 4);
    }
    c.Ellipse(3, 3, 10, 10);
    c.Brush(RGB(255, 255, 255));
    c.Ellipse(6, 6, 4, 4);
}

void DrawDatabase(const SIconCanvas& c) {
    CPen pen(c.dc, RGB(120, 80, 10), c.unit);
    c.Brush(RGB(200, 140, 30));
    c.Rect(2.5, 3.5, 11, 9);
    c.Ellipse(2.5, 10, 11, 5);
    c.Brush(RGB(240, 200, 110));
    c.Ellipse(2.5, 1, 11, 5);
}

void DrawClock(const SIconCanvas& c) {
    CPen pen(c.dc, RGB(30, 60, 140), 1.5 * c.unit);
    c.Brush(RGB(255, 255, 255));
    c.Ellipse(1.5, 1.5, 13, 13);
    ::MoveToEx(c.dc, c.X(8), c.X(8), nullptr);
    ::LineTo(c.dc, c.X(8), c.X(4));
    ::MoveToEx(c.dc, c.X(8), c.X(8), nullptr);
    ::LineTo(c.dc, c.X(11), c.X(9.5));
}

void DrawInfo(const SIconCanvas& c) {
    c.NoPen();
    c.Brush(RGB(30, 90, 190));
    c.Ellipse(1, 1, 14, 14);
    c.Brush(RGB(255, 255, 255));
    c.Ellipse(7, 3.5, 2.2, 2.2);
    c.Rect(7, 7, 2.2, 5.5);
}

}  // namespace

void PaintTabIcon(DcHandle dc, int tab, int size, unsigned long background) {
    RECT all{0, 0, size, size};
    HBRUSH ground = ::CreateSolidBrush(background);
    ::FillRect(dc, &all, ground);
    ::DeleteObject(ground);
    const SIconCanvas canvas{dc, size / 16.0};
    ::SaveDC(dc);
    switch (tab) {
        case 0:
            PaintFingerprintMark(dc, 0.5 * canvas.unit, 0.5 * canvas.unit, 15 * canvas.unit,
                                 RGB(150, 30, 30));
            break;
        case 1:
            DrawPerson(canvas);
            break;
        case 2:
            DrawGear(canvas);
            break;
        case 3:
            DrawDatabase(canvas);
            break;
        case 4:
            DrawClock(canvas);
            break;
        case 5:
            DrawInfo(canvas);
            break;
        default:
            break;
    }
    ::RestoreDC(dc, -1);
}

}  // namespace sondrix
