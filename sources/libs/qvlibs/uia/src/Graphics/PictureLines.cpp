// Picture: Bresenham and anti-aliased lines.
#include "Graphics/PixelRules.h"
#include "UIA/Picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace QV::UIA {

namespace {

// The Bresenham walk from (x1, y1) towards (x2, y2), without the end point, limited to area (all
// in picture coordinates, 64-bit so that no difference overflows). The walk is the classic one:
// major step every pixel; minor step when the error term (starting at m - M / 2, M and m twice the
// major and minor distances) is >= 0 before it grows by m. Its minor offset after k pixels has
// the closed form s(k) = f >= 0 ? f / M + 1 : 0 with f = e0 + (k - 1) m, so the walk starts at the
// first major coordinate inside the area instead of at the start point, and stops once it has
// left the area.
template <class Plot>
void walkLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const GP::Rect& area, Plot plot)
{
    const int64_t dx = std::llabs(x2 - x1);
    const int64_t dy = std::llabs(y2 - y1);
    const int sx = x2 - x1 >= 0 ? 1 : -1;
    const int sy = y2 - y1 >= 0 ? 1 : -1;
    const bool bXMajor = dx > dy;
    if (!bXMajor && dy == 0)
        return;

    const int64_t n = bXMajor ? dx : dy;
    const int64_t majorStart = bXMajor ? x1 : y1;
    const int64_t minorStart = bXMajor ? y1 : x1;
    const int majorStep = bXMajor ? sx : sy;
    const int minorStep = bXMajor ? sy : sx;
    const int64_t majorLow = bXMajor ? area.left : area.top;
    const int64_t majorHigh = bXMajor ? area.right : area.bottom;
    const int64_t minorLow = bXMajor ? area.top : area.left;
    const int64_t minorHigh = bXMajor ? area.bottom : area.right;
    const int64_t bigM = 2 * n;
    const int64_t smallM = 2 * (bXMajor ? dy : dx);
    const int64_t e0 = smallM - n;

    // Pixels k whose major coordinate lies inside the area.
    int64_t kBegin = majorStep > 0 ? majorLow - majorStart : majorStart - majorHigh + 1;
    int64_t kEnd = majorStep > 0 ? majorHigh - majorStart : majorStart - majorLow + 1;
    kBegin = std::max<int64_t>(kBegin, 0);
    kEnd = std::min(kEnd, n);
    if (kBegin >= kEnd)
        return;

    int64_t steps = 0;
    if (kBegin > 0) {
        const __int128 f = __int128(e0) + __int128(kBegin - 1) * smallM;
        steps = f >= 0 ? int64_t(f / bigM + 1) : 0;
    }
    int64_t err = int64_t(__int128(e0) + __int128(kBegin) * smallM - __int128(steps) * bigM);
    for (int64_t k = kBegin; k < kEnd; ++k) {
        if (k > kBegin) {
            if (err >= 0) {
                ++steps;
                err -= bigM;
            }
            err += smallM;
        }
        const int64_t minor = minorStart + steps * minorStep;
        if (minor >= minorLow && minor < minorHigh) {
            const int64_t major = majorStart + k * majorStep;
            if (bXMajor)
                plot(int(major), int(minor));
            else
                plot(int(minor), int(major));
        } else if ((minorStep > 0 && minor >= minorHigh) || (minorStep < 0 && minor < minorLow)) {
            return;  // left the area for good
        }
    }
}

}  // namespace

void Picture::drawLineUC(int x1, int y1, int x2, int y2, uint32_t colour)
{
    // Same walk as drawLine, kept inside the picture all the same.
    if (PixelRules::alphaOf(colour) == 0 || !m_pData)
        return;
    walkLine(int64_t(x1) + m_origin.x, int64_t(y1) + m_origin.y, int64_t(x2) + m_origin.x, int64_t(y2) + m_origin.y,
             GP::Rect(0, 0, m_width, m_height), [&](int x, int y) { setPixelAbsolute(x, y, colour); });
}

void Picture::drawLine(int x1, int y1, int x2, int y2, uint32_t colour)
{
    GP::Rect const area = getDrawableRect();
    if (PixelRules::alphaOf(colour) == 0 || area.isEmpty())
        return;
    walkLine(int64_t(x1) + m_origin.x, int64_t(y1) + m_origin.y, int64_t(x2) + m_origin.x, int64_t(y2) + m_origin.y,
             area, [&](int x, int y) { setPixelAbsolute(x, y, colour); });
}

// A fixed-point Wu line whose unit is the colour's alpha times the major length D: a minor
// coordinate X (times D) falls on pixel X / D with cover X mod D; the pixel gets (D - cover) of
// the alpha and its neighbour cover. The end pixels are weighted by how much of them the line
// covers along its major axis.
void Picture::drawLineAA(float x1, float y1, float x2, float y2, uint32_t colour)
{
    for (float v : {x1, y1, x2, y2}) {
        if (!std::isfinite(v) || std::fabs(v) > kMaxLineCoordinate)
            return;
    }
    GP::Rect const area = getDrawableRect();
    if (area.isEmpty())
        return;
    const int boxX = int(std::min(x1, x2));
    const int boxY = int(std::min(y1, y2));
    GP::Rect unused;
    if (!drawableAbsolute(boxX, boxY, int64_t(boxX) + int(std::fabs(x1 - x2)) + 1,
                          int64_t(boxY) + int(std::fabs(y1 - y2)) + 1, unused))
        return;

    const int64_t alpha = colour >> 24;
    const int64_t bigDX = int64_t((double(x2) - x1) * double(alpha));
    const int64_t bigDY = int64_t((double(y2) - y1) * double(alpha));
    const bool bYMajor = std::llabs(bigDX) < std::llabs(bigDY);
    double s = bYMajor ? y1 : x1;
    double e = bYMajor ? y2 : x2;
    double m1 = bYMajor ? x1 : y1;
    double m2 = bYMajor ? x2 : y2;
    int64_t bigD = bYMajor ? bigDY : bigDX;
    int64_t d = bYMajor ? bigDX : bigDY;
    if (e < s) {
        std::swap(s, e);
        std::swap(m1, m2);
        bigD = -bigD;
        d = -d;
    }
    if (bigD <= 0)
        return;

    const auto cover = [bigD](int64_t x) {
        int64_t const r = x % bigD;
        return r < 0 ? r + bigD : r;
    };
    const uint32_t rgb = colour & 0x00FFFFFFu;
    const auto plot = [&](int64_t major, int64_t minor, int64_t a) {
        int64_t const ax = (bYMajor ? minor : major) + m_origin.x;
        int64_t const ay = (bYMajor ? major : minor) + m_origin.y;
        if (ax >= area.left && ax < area.right && ay >= area.top && ay < area.bottom)
            setPixelAbsolute(int(ax), int(ay), rgb | uint32_t(a) << 24);
    };

    const int64_t i0 = int64_t(s + 0.5);
    const int64_t w0 = int64_t((double(i0) - s) * double(d) + m1 * double(bigD));
    const int64_t ws = bigD - cover(int64_t((s + 0.5) * double(bigD)));
    plot(i0, w0 / bigD, ws * ((bigD - cover(w0)) * alpha / bigD) / bigD);
    plot(i0, w0 / bigD + 1, ws * (cover(w0) * alpha / bigD) / bigD);

    const int64_t i1 = int64_t(e + 0.5);
    const int64_t w1 = int64_t((double(i1) - e) * double(d) + m2 * double(bigD));
    const int64_t we = cover(int64_t((e + 0.5) * double(bigD)));
    plot(i1, w1 / bigD, ((bigD - cover(w1)) * alpha / bigD) * we / bigD);
    plot(i1, w1 / bigD + 1, (cover(w1) * alpha / bigD) * we / bigD);

    // Interior pixels, only over the major range that the area covers.
    const int64_t majorOrigin = bYMajor ? m_origin.y : m_origin.x;
    const int64_t first = std::max(i0 + 1, int64_t(bYMajor ? area.top : area.left) - majorOrigin);
    const int64_t last = std::min(i1, int64_t(bYMajor ? area.bottom : area.right) - majorOrigin);
    for (int64_t i = first; i < last; ++i) {
        const int64_t wi = w0 + (i - i0) * d;
        plot(i, wi / bigD, (bigD - cover(wi)) * alpha / bigD);
        plot(i, wi / bigD + 1, cover(wi) * alpha / bigD);
    }
}

}  // namespace QV::UIA
