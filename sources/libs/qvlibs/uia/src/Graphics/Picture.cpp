// Picture: size and buffer, clip rectangle and origin, animation frames and empty-area masks.
#include "UIA/Picture.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace QV::UIA {

namespace {

// A rectangle of 64-bit edges, for intersections whose sums could leave 32 bits.
struct Span64 {
    int64_t left, top, right, bottom;

    bool isEmpty() const { return left >= right || top >= bottom; }
    Span64 intersected(const Span64& o) const
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
};

// Pictures of these sizes have their pixels mapped with the pages already in place. A picture is
// written whole right after it is made (decoded, filled or painted), so each page would be faulted
// in on its own at once; one populated mapping costs a fraction of that (a window's canvas is 200
// pages). Larger ones, which a damaged image header may ask for, get their pages as they are
// written, as smaller ones do from the heap.
constexpr std::size_t kPopulatedPixelBytes = 256 * 1024;
constexpr std::size_t kMaxPopulatedPixelBytes = 64 << 20;

bool populated(std::size_t bytes) { return bytes >= kPopulatedPixelBytes && bytes <= kMaxPopulatedPixelBytes; }

}  // namespace

uint32_t* Picture::allocatePixels(std::size_t bytes)
{
    if (!populated(bytes))
        return new uint32_t[bytes / sizeof(uint32_t)];
    void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (pixels == MAP_FAILED)
        throw std::bad_alloc();
    return static_cast<uint32_t*>(pixels);
}

void Picture::tPixelRelease::operator()(uint32_t* pixels) const
{
    if (!populated(bytes))
        delete[] pixels;
    else
        munmap(pixels, bytes);
}

Picture::Picture() = default;
Picture::~Picture() = default;

bool Picture::reallocData(int width, int height, bool bForce)
{
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        return false;
    const uint64_t need = uint64_t(width) * uint64_t(height) * sizeof(uint32_t);
    if (need > kMaxBytes)
        return false;

    if (m_capacity != need && (bForce || m_capacity < need)) {
        m_buffer.reset();
        m_pData = nullptr;
        m_width = 0;
        m_height = 0;
        m_capacity = 0;
        // A 0 x 0 picture still gets a (16-byte) buffer, so that it counts as allocated.
        std::size_t const nWords = need == 0 ? 4 : std::size_t(need / sizeof(uint32_t));
        const std::size_t bytes = nWords * sizeof(uint32_t);
        m_buffer = std::unique_ptr<uint32_t[], tPixelRelease>(allocatePixels(bytes), tPixelRelease{bytes});
        m_pData = m_buffer.get();
        m_capacity = bytes;
        return true;
    }
    if (m_buffer)
        return true;
    m_capacity = 0;
    return false;
}

bool Picture::setSize(int width, int height, bool bForce)
{
    if (!reallocData(width, height, bForce))
        return false;
    m_width = width;
    m_height = height;
    m_origin = GP::Point();
    resetClipRect();
    return true;
}

int Picture::getAnimationWidth() const
{
    const unsigned n = std::max(m_nAnimations, 1u);
    return hasHorizontalAnimation() ? int(unsigned(m_width) / n) : m_width;
}

int Picture::getAnimationHeight() const
{
    const unsigned n = std::max(m_nAnimations, 1u);
    return hasHorizontalAnimation() ? m_height : int(unsigned(m_height) / n);
}

GP::Point Picture::getAnimationOffset(unsigned frame) const
{
    if (m_nAnimations <= 1)
        return GP::Point();
    frame = std::min(frame, m_nAnimations - 1);
    if (hasHorizontalAnimation())
        return GP::Point(int(frame) * getAnimationWidth(), 0);
    return GP::Point(0, int(frame) * getAnimationHeight());
}

// --- Clip and origin -------------------------------------------------------------------------

void Picture::setClipRect(const GP::Rect& rect)
{
    // The picture in origin-relative coordinates, and never left of or above the origin.
    const Span64 bounds{std::max<int64_t>(0, -int64_t(m_origin.x)), std::max<int64_t>(0, -int64_t(m_origin.y)),
                        int64_t(m_width) - m_origin.x, int64_t(m_height) - m_origin.y};
    const Span64 clip = Span64{rect.left, rect.top, rect.right, rect.bottom}.intersected(bounds);
    m_bClipActive = true;
    if (clip.isEmpty())
        m_clip = GP::Rect();
    else
        m_clip = GP::Rect(int32_t(clip.left), int32_t(clip.top), int32_t(clip.right), int32_t(clip.bottom));
}

void Picture::resetClipRect()
{
    m_bClipActive = false;
    m_clip = GP::Rect(0, 0, m_width, m_height);
}

void Picture::setOrigin(const GP::Point& origin)
{
    GP::Point const old = m_origin;
    m_origin = origin;
    if (m_bClipActive) {
        // Set against the new origin's bounds, so that the clip keeps covering the same pixels.
        const int64_t dx = int64_t(old.x) - origin.x;
        const int64_t dy = int64_t(old.y) - origin.y;
        const int64_t l = m_clip.left + dx, t = m_clip.top + dy, r = m_clip.right + dx, b = m_clip.bottom + dy;
        const auto clamp32 = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
        if (m_clip.isEmpty())
            setClipRect(GP::Rect());
        else
            setClipRect(GP::Rect(clamp32(l), clamp32(t), clamp32(r), clamp32(b)));
    }
}

GP::Rect Picture::getDrawableRect() const
{
    GP::Rect result;
    drawableAbsolute(INT64_MIN / 4, INT64_MIN / 4, INT64_MAX / 4, INT64_MAX / 4, result);
    return result;
}

bool Picture::drawableAbsolute(int64_t left, int64_t top, int64_t right, int64_t bottom, GP::Rect& result) const
{
    Span64 span{left, top, right, bottom};
    if (m_bClipActive)
        span = span.intersected(Span64{m_clip.left, m_clip.top, m_clip.right, m_clip.bottom});
    span = Span64{span.left + m_origin.x, span.top + m_origin.y, span.right + m_origin.x, span.bottom + m_origin.y};
    span = span.intersected(Span64{0, 0, m_width, m_height});
    if (span.isEmpty()) {
        result = GP::Rect();
        return false;
    }
    result = GP::Rect(int32_t(span.left), int32_t(span.top), int32_t(span.right), int32_t(span.bottom));
    return true;
}

bool Picture::checkClipRect(GP::Rect& rect, int* dx, int* dy) const
{
    const bool bTurnedX = rect.right < rect.left;
    const bool bTurnedY = rect.bottom < rect.top;
    GP::Rect given = rect;
    if (bTurnedX)
        std::swap(given.left, given.right);
    if (bTurnedY)
        std::swap(given.top, given.bottom);

    GP::Rect absolute;
    if (!drawableAbsolute(given.left, given.top, given.right, given.bottom, absolute)) {
        rect = GP::Rect();
        return false;
    }
    // Back to origin-relative coordinates; they lie inside the given rectangle, so they fit.
    GP::Rect clipped(int32_t(int64_t(absolute.left) - m_origin.x), int32_t(int64_t(absolute.top) - m_origin.y),
                     int32_t(int64_t(absolute.right) - m_origin.x), int32_t(int64_t(absolute.bottom) - m_origin.y));
    if (dx)
        *dx = std::min<int64_t>(0, int64_t(given.left) - clipped.left);
    if (dy)
        *dy = std::min<int64_t>(0, int64_t(given.top) - clipped.top);
    if (bTurnedX)
        std::swap(clipped.left, clipped.right);
    if (bTurnedY)
        std::swap(clipped.top, clipped.bottom);
    rect = clipped;
    return true;
}

// --- Empty-area masks ------------------------------------------------------------------------

void Picture::initEmptyAreaFlags()
{
    m_emptyAreaMasks.clear();
    if (!m_pData || m_resizeFlags == 0 || !m_bAlphaChannel)
        return;
    const int frameWidth = getAnimationWidth();
    const int frameHeight = getAnimationHeight();
    const int left = isHorzResizable() ? m_fixedLeft : 0;
    const int right = isHorzResizable() ? m_fixedRight : 0;
    const int top = isVertResizable() ? m_fixedTop : 0;
    const int bottom = isVertResizable() ? m_fixedBottom : 0;
    const int centreWidth = frameWidth - left - right;
    const int centreHeight = frameHeight - top - bottom;
    if (centreWidth <= 0 || centreHeight <= 0 || left < 0 || right < 0 || top < 0 || bottom < 0)
        return;

    // Column ranges of the left, centre and right regions within a frame.
    const int columnStart[3] = {0, left, left + centreWidth};
    const int columnEnd[3] = {left, left + centreWidth, frameWidth};
    const unsigned nFrames = std::max(m_nAnimations, 1u);
    m_emptyAreaMasks.assign(nFrames, eEmptyAll);
    for (unsigned frame = 0; frame < nFrames; ++frame) {
        GP::Point const offset = getAnimationOffset(frame);
        uint32_t& mask = m_emptyAreaMasks[frame];
        for (int y = 0; y < frameHeight; ++y) {
            const int band = y < top ? 0 : (y < top + centreHeight ? 1 : 2);
            const uint32_t bandBits = 0x7u << (3 * band);
            if ((mask & bandBits) == 0)
                continue;
            const uint32_t* row = pixelAt(offset.x, offset.y + y);
            for (int region = 0; region < 3; ++region) {
                const uint32_t bit = 1u << (3 * band + region);
                if ((mask & bit) == 0)
                    continue;
                for (int x = columnStart[region]; x < columnEnd[region]; ++x) {
                    if (row[x] > 0x00FFFFFFu) {
                        mask &= ~bit;
                        break;
                    }
                }
            }
        }
    }
}

}  // namespace QV::UIA
