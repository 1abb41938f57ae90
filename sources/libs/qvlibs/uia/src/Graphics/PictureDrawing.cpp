// Picture: pixels, horizontal and vertical lines, rectangles, fills, inversion and copies.
// The clipped forms cut their rectangle to the drawable area once (drawableAbsolute) and run the
// same loops as the unclipped forms, in picture coordinates.
#include "Graphics/PixelRows.h"
#include "Graphics/PixelRules.h"
#include "UIA/Picture.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace QV::UIA {

namespace {

// origin-relative + origin; the ...UC callers promise a result inside the picture.
inline int absolute(int coordinate, int origin) { return int(int64_t(coordinate) + origin); }

}  // namespace

void Picture::clear(uint32_t colour)
{
    if (m_pData)
        PixelRows::fillLine(m_pData, m_width * m_height, colour);
}

void Picture::setPixelAbsolute(int x, int y, uint32_t colour)
{
    uint32_t& pixel = *pixelAt(x, y);
    if (m_bUseLegacyAlphaCompositing) {
        if (PixelRules::alphaOf(colour) != 0)
            pixel = PixelRules::compositeLegacyDraw(colour, pixel);
    } else {
        pixel = PixelRules::compositeStandard(colour, pixel);
    }
}

void Picture::setPixelUC(int x, int y, uint32_t colour)
{
    setPixelAbsolute(absolute(x, m_origin.x), absolute(y, m_origin.y), colour);
}

// --- Runs and areas --------------------------------------------------------------------------

void Picture::fillAbsolute(int x, int y, int width, int height, uint32_t colour)
{
    const uint32_t alpha = PixelRules::alphaOf(colour);
    if (alpha == 0 || width <= 0 || height <= 0)
        return;
    // Whole rows, or a single one, are one contiguous run.
    int nRows = height;
    int nRun = width;
    if ((x == 0 && width == m_width) || height == 1) {
        nRun = width * height;
        nRows = 1;
    }
    for (int row = 0; row < nRows; ++row) {
        uint32_t* p = pixelAt(x, y + row);
        if (alpha == 0xFF) {
            PixelRows::fillLine(p, nRun, colour);
        } else if (m_bUseLegacyAlphaCompositing) {
            for (int i = 0; i < nRun; ++i)
                p[i] = PixelRules::compositeLegacyDraw(colour, p[i]);
        } else {
            PixelRows::compositeFillLine(p, nRun, colour);
        }
    }
}

void Picture::drawLineHUC(int x, int y, int length, uint32_t colour)
{
    if (length > 0)
        fillAbsolute(absolute(x, m_origin.x), absolute(y, m_origin.y), length, 1, colour);
}

void Picture::drawLineH(int x, int y, int length, uint32_t colour)
{
    GP::Rect r;
    if (length > 0 && drawableAbsolute(x, y, int64_t(x) + length, int64_t(y) + 1, r))
        fillAbsolute(r.left, r.top, r.width(), 1, colour);
}

void Picture::drawLineVUC(int x, int y, int length, uint32_t colour)
{
    if (length <= 0 || PixelRules::alphaOf(colour) == 0)
        return;
    const int ax = absolute(x, m_origin.x);
    const int ay = absolute(y, m_origin.y);
    for (int i = 0; i < length; ++i)
        setPixelAbsolute(ax, ay + i, colour);
}

void Picture::drawLineV(int x, int y, int length, uint32_t colour)
{
    GP::Rect r;
    if (length > 0 && PixelRules::alphaOf(colour) != 0 &&
        drawableAbsolute(x, y, int64_t(x) + 1, int64_t(y) + length, r)) {
        for (int ay = r.top; ay < r.bottom; ++ay)
            setPixelAbsolute(r.left, ay, colour);
    }
}

void Picture::drawRectangle(int x, int y, int width, int height, uint32_t colour)
{
    if (PixelRules::alphaOf(colour) == 0)
        return;
    int64_t left = x, top = y, right = int64_t(x) + width, bottom = int64_t(y) + height;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    GP::Rect r;
    if (!drawableAbsolute(left, top, right, bottom, r))
        return;
    // An edge is drawn only where it survived the clip; no pixel is drawn twice.
    const bool bTop = r.top == top + m_origin.y;
    const bool bBottom = r.bottom == bottom + m_origin.y && !(bTop && r.height() == 1);
    const bool bLeft = r.left == left + m_origin.x;
    const bool bRight = r.right == right + m_origin.x && !(bLeft && r.width() == 1);
    if (bTop)
        fillAbsolute(r.left, r.top, r.width(), 1, colour);
    if (bBottom)
        fillAbsolute(r.left, r.bottom - 1, r.width(), 1, colour);
    const int columnTop = r.top + (bTop ? 1 : 0);
    const int columnBottom = r.bottom - (bBottom ? 1 : 0);
    for (int ay = columnTop; ay < columnBottom; ++ay) {
        if (bLeft)
            setPixelAbsolute(r.left, ay, colour);
        if (bRight)
            setPixelAbsolute(r.right - 1, ay, colour);
    }
}

void Picture::fillAreaUC(int x, int y, int width, int height, uint32_t colour)
{
    if (width > 0 && height > 0)
        fillAbsolute(absolute(x, m_origin.x), absolute(y, m_origin.y), width, height, colour);
}

void Picture::fillArea(int x, int y, int width, int height, uint32_t colour)
{
    GP::Rect r;
    if (width > 0 && height > 0 && drawableAbsolute(x, y, int64_t(x) + width, int64_t(y) + height, r))
        fillAbsolute(r.left, r.top, r.width(), r.height(), colour);
}

void Picture::invertArea(int x, int y, int width, int height)
{
    GP::Rect r;
    if (width <= 0 || height <= 0 || !drawableAbsolute(x, y, int64_t(x) + width, int64_t(y) + height, r))
        return;
    for (int ay = r.top; ay < r.bottom; ++ay) {
        uint32_t* p = pixelAt(r.left, ay);
        for (int i = 0; i < r.width(); ++i)
            p[i] ^= 0x00FFFFFFu;
    }
}

void Picture::setAreaColor(const GP::Rect& rect, uint32_t colour)
{
    // Not clipped, but limited to the picture.
    if (rect.isEmpty() || !m_pData)
        return;
    const int64_t left = std::max<int64_t>(int64_t(rect.left) + m_origin.x, 0);
    const int64_t top = std::max<int64_t>(int64_t(rect.top) + m_origin.y, 0);
    const int64_t right = std::min<int64_t>(int64_t(rect.right) + m_origin.x, m_width);
    const int64_t bottom = std::min<int64_t>(int64_t(rect.bottom) + m_origin.y, m_height);
    for (int64_t ay = top; ay < bottom; ++ay)
        PixelRows::fillLine(pixelAt(int(left), int(ay)), int(right - left), colour);
}

// --- Copies ----------------------------------------------------------------------------------

void Picture::copyAbsolute(int x, int y, int width, int height, const Picture& source, int sx, int sy)
{
    if (width <= 0 || height <= 0)
        return;
    // Overlapping parts of one picture: copy the source out first, so that every pixel is read
    // before any is written.
    if (&source == this && x < sx + width && sx < x + width && y < sy + height && sy < y + height) {
        Picture copy;
        copy.setSize(width, height);
        copy.setAlphaChannel(source.hasAlphaChannel());
        copy.setUseLegacyAlphaCompositing(source.getUseLegacyAlphaCompositing());
        for (int row = 0; row < height; ++row)
            std::memcpy(copy.pixelAt(0, row), source.pixelAt(sx, sy + row), std::size_t(width) * sizeof(uint32_t));
        copyAbsolute(x, y, width, height, copy, 0, 0);
        return;
    }

    const bool bLegacy = m_bUseLegacyAlphaCompositing || source.getUseLegacyAlphaCompositing();
    for (int row = 0; row < height; ++row) {
        uint32_t* dst = pixelAt(x, y + row);
        const uint32_t* src = source.pixelAt(sx, sy + row);
        if (!source.hasAlphaChannel()) {
            std::memcpy(dst, src, std::size_t(width) * sizeof(uint32_t));
        } else if (bLegacy) {
            for (int i = 0; i < width; ++i)
                dst[i] = PixelRules::compositeLegacyCopy(src[i], dst[i]);
        } else {
            PixelRows::compositeLine(dst, src, width);
        }
    }
}

void Picture::copyAreaUC(int x, int y, int width, int height, const Picture& source, int sx, int sy)
{
    copyAbsolute(absolute(x, m_origin.x), absolute(y, m_origin.y), width, height, source,
                 absolute(sx, source.m_origin.x), absolute(sy, source.m_origin.y));
}

}  // namespace QV::UIA
