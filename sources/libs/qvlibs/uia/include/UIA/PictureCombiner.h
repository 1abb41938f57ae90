// Puts one picture onto another: 1:1, tiled, or stretched as a nine-patch, frame by frame. The
// combiner walks the rectangles, does all clipping once per rectangle, and hands each pair of
// pixel rectangles to the functor F (PictureCombinerFunctors.h), which decides what happens to the
// pixels.
//
// Coordinates are origin-relative in their picture. Every rectangle is cut to the target's
// drawable area (its clip while clipping is on, the picture otherwise) and the source rectangle to
// the source picture, so no argument reaches memory outside either.
//
// Nine-patch: a resizable source keeps its corners, repeats its edges along the sides and tiles
// its centre over the middle; nothing is ever scaled. Regions that the source's empty-area masks
// mark as transparent are skipped.
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"
#include "UIA/Picture.h"
#include "UIA/PictureCombinerFunctors.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace QV::UIA {

template <class F>
class PictureCombiner {
public:
    PictureCombiner(Picture& target, F& functor) : m_target(target), m_functor(functor) {}
    virtual ~PictureCombiner() = default;

    // The source rectangle (sx, sy, width, height) onto (x, y), clipped.
    void combine(int x, int y, int width, int height, const Picture& source, int sx, int sy);
    // The source rectangle (sx, sy, sw, sh) tiled over the target rectangle (x, y, width, height).
    // The tiles are anchored at (x, y), so the pattern stays put when clipping cuts the rectangle.
    void combineAndRepeatSource(int x, int y, int width, int height, const Picture& source, int sx, int sy, int sw,
                                int sh);
    // Frame number frame (clamped to the last one) of source, or the part sourceRect of that
    // frame, with its top-left at (x, y).
    void combineApplySourceAnimations(int x, int y, const Picture& source, unsigned frame, const GP::Rect* sourceRect);
    // Frame number frame of source into dest. Not resizable: 1:1 at dest's top-left (limited to
    // clip when given, else not to dest). Resizable: the nine-patch filling dest; at the frame's
    // own size that is the frame 1:1, drawn once. The drawing is limited to clip (or dest) within
    // the target's clip; the target's clip and origin are as before afterwards.
    void combineStretchedApplySourceAnimation(const GP::Rect& dest, const Picture& source, unsigned frame,
                                              const GP::Rect* clip);

private:
    // Target and source rectangles in picture coordinates, of one size.
    struct tArea {
        int64_t x, y, width, height, sx, sy;
    };
    // Cuts area to the target's drawable rectangle and the source picture; false when empty.
    bool clipArea(tArea& area, const Picture& source) const;
    void apply(const tArea& area, const Picture& source)
    {
        m_functor.combineArea(
            m_target,
            GP::Rect(int32_t(area.x), int32_t(area.y), int32_t(area.x + area.width), int32_t(area.y + area.height)),
            source, GP::Point(int32_t(area.sx), int32_t(area.sy)));
    }
    void drawNinePatch(const GP::Rect& dest, const Picture& source, unsigned frame);

    Picture& m_target;
    F& m_functor;
};

// --- Implementation --------------------------------------------------------------------------

namespace DETAIL {

// Cuts the span [a, a + length) to [low, high), moving b (the span's partner in the other
// picture) by what is cut at the front.
inline void cutSpan(int64_t& a, int64_t& b, int64_t& length, int64_t low, int64_t high)
{
    if (a < low) {
        length -= low - a;
        b += low - a;
        a = low;
    }
    length = std::min(length, high - a);
}

// Restores a picture's clip and origin when it goes.
class SavedClip {
public:
    explicit SavedClip(Picture& picture)
        : m_picture(picture), m_origin(picture.getOrigin()), m_bActive(picture.isClipActive()),
          m_clip(picture.getClipRect())
    {}
    ~SavedClip()
    {
        m_picture.setOrigin(m_origin);
        if (m_bActive)
            m_picture.setClipRect(m_clip);
        else
            m_picture.resetClipRect();
    }
    bool isActive() const { return m_bActive; }
    SavedClip(const SavedClip&) = delete;
    SavedClip& operator=(const SavedClip&) = delete;

private:
    Picture& m_picture;
    GP::Point m_origin;
    bool m_bActive;
    GP::Rect m_clip;
};

}  // namespace DETAIL

template <class F>
bool PictureCombiner<F>::clipArea(tArea& area, const Picture& source) const
{
    GP::Rect const drawable = m_target.getDrawableRect();
    DETAIL::cutSpan(area.sx, area.x, area.width, 0, source.getWidth());
    DETAIL::cutSpan(area.sy, area.y, area.height, 0, source.getHeight());
    DETAIL::cutSpan(area.x, area.sx, area.width, drawable.left, drawable.right);
    DETAIL::cutSpan(area.y, area.sy, area.height, drawable.top, drawable.bottom);
    return area.width > 0 && area.height > 0 && source.getData() != nullptr;
}

template <class F>
void PictureCombiner<F>::combine(int x, int y, int width, int height, const Picture& source, int sx, int sy)
{
    if (width <= 0 || height <= 0)
        return;
    GP::Point const to = m_target.getOrigin();
    GP::Point const so = source.getOrigin();
    tArea area{int64_t(x) + to.x, int64_t(y) + to.y, width, height, int64_t(sx) + so.x, int64_t(sy) + so.y};
    if (clipArea(area, source))
        apply(area, source);
}

template <class F>
void PictureCombiner<F>::combineAndRepeatSource(int x, int y, int width, int height, const Picture& source, int sx,
                                                int sy, int sw, int sh)
{
    if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0)
        return;
    // The tile, cut to the source picture.
    GP::Point const so = source.getOrigin();
    int64_t tileX = int64_t(sx) + so.x, tileY = int64_t(sy) + so.y, tileW = sw, tileH = sh;
    int64_t unusedX = 0, unusedY = 0;
    DETAIL::cutSpan(tileX, unusedX, tileW, 0, source.getWidth());
    DETAIL::cutSpan(tileY, unusedY, tileH, 0, source.getHeight());
    if (tileW <= 0 || tileH <= 0 || source.getData() == nullptr)
        return;

    // The target rectangle cut to the drawable area; the tiles stay anchored at its own corner.
    GP::Point const to = m_target.getOrigin();
    const int64_t anchorX = int64_t(x) + to.x, anchorY = int64_t(y) + to.y;
    GP::Rect const drawable = m_target.getDrawableRect();
    const int64_t left = std::max<int64_t>(anchorX, drawable.left);
    const int64_t top = std::max<int64_t>(anchorY, drawable.top);
    const int64_t right = std::min<int64_t>(anchorX + width, drawable.right);
    const int64_t bottom = std::min<int64_t>(anchorY + height, drawable.bottom);
    if (left >= right || top >= bottom)
        return;

    int64_t offsetY = (top - anchorY) % tileH;
    for (int64_t ty = top; ty < bottom;) {
        const int64_t rowHeight = std::min(tileH - offsetY, bottom - ty);
        int64_t offsetX = (left - anchorX) % tileW;
        for (int64_t tx = left; tx < right;) {
            const int64_t columnWidth = std::min(tileW - offsetX, right - tx);
            apply(tArea{tx, ty, columnWidth, rowHeight, tileX + offsetX, tileY + offsetY}, source);
            tx += columnWidth;
            offsetX = 0;
        }
        ty += rowHeight;
        offsetY = 0;
    }
}

template <class F>
void PictureCombiner<F>::combineApplySourceAnimations(int x, int y, const Picture& source, unsigned frame,
                                                      const GP::Rect* sourceRect)
{
    // The frame in sheet coordinates, and the requested part of it.
    GP::Point const offset = source.getAnimationOffset(frame);
    GP::Rect const frameRect(offset.x, offset.y, offset.x + source.getAnimationWidth(),
                             offset.y + source.getAnimationHeight());
    int64_t left = frameRect.left, top = frameRect.top;
    int64_t width = frameRect.width(), height = frameRect.height();
    int64_t destX = x, destY = y;
    if (sourceRect) {
        left = int64_t(sourceRect->left) + offset.x;
        top = int64_t(sourceRect->top) + offset.y;
        width = sourceRect->width();
        height = sourceRect->height();
        // Only that frame: a part reaching beyond it is cut.
        DETAIL::cutSpan(left, destX, width, frameRect.left, frameRect.right);
        DETAIL::cutSpan(top, destY, height, frameRect.top, frameRect.bottom);
    }
    if (width <= 0 || height <= 0 || left >= source.getWidth() || top >= source.getHeight())
        return;
    if (destX < INT32_MIN || destX > INT32_MAX || destY < INT32_MIN || destY > INT32_MAX)
        return;
    combine(int(destX), int(destY), int(width), int(height), source, int(left), int(top));
}

template <class F>
void PictureCombiner<F>::combineStretchedApplySourceAnimation(const GP::Rect& dest, const Picture& source,
                                                              unsigned frame, const GP::Rect* clip)
{
    GP::Point const offset = source.getAnimationOffset(frame);
    const int frameWidth = source.getAnimationWidth();
    const int frameHeight = source.getAnimationHeight();
    const bool bNaturalSize = dest.width() == frameWidth && dest.height() == frameHeight;

    if (!source.isResizable() && !clip) {
        combine(dest.left, dest.top, frameWidth, frameHeight, source, offset.x, offset.y);
        return;
    }

    DETAIL::SavedClip const saved(m_target);
    GP::Rect limit = clip ? *clip : dest;
    if (saved.isActive())
        limit = limit.intersected(m_target.getClipRect());
    m_target.setClipRect(limit);

    if (!source.isResizable() || bNaturalSize)
        combine(dest.left, dest.top, frameWidth, frameHeight, source, offset.x, offset.y);
    else
        drawNinePatch(dest, source, frame);
}

template <class F>
void PictureCombiner<F>::drawNinePatch(const GP::Rect& dest, const Picture& source, unsigned frame)
{
    const int l = source.isHorzResizable() ? source.getFixedLeft() : 0;
    const int r = source.isHorzResizable() ? source.getFixedRight() : 0;
    const int t = source.isVertResizable() ? source.getFixedTop() : 0;
    const int b = source.isVertResizable() ? source.getFixedBottom() : 0;
    if (l < 0 || r < 0 || t < 0 || b < 0)
        return;
    const int cw = source.getAnimationWidth() - l - r;
    const int ch = source.getAnimationHeight() - t - b;
    if (cw < 1 || ch < 1)
        return;

    GP::Point const offset = source.getAnimationOffset(frame);
    const unsigned index = source.getNumAnimations() > 1 ? std::min(frame, source.getNumAnimations() - 1) : 0;
    const std::vector<uint32_t>& masks = source.getEmptyAreaFlags();
    const uint32_t empty = index < masks.size() ? masks[index] : 0;
    const auto shown = [empty](uint32_t bit) { return (empty & bit) == 0; };

    const int64_t x0 = dest.left, y0 = dest.top, x1 = dest.right, y1 = dest.bottom;
    const int fx = offset.x, fy = offset.y;
    // Spans between the borders; a dest smaller than its borders leaves them empty.
    const auto span = [](int64_t from, int64_t to) { return int(std::clamp<int64_t>(to - from, 0, INT32_MAX)); };
    const auto at = [](int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const int middleWidth = span(x0 + l, x1 - r);
    const int middleHeight = span(y0 + t, y1 - b);

    if (t > 0) {
        if (l > 0 && shown(Picture::eEmptyTopLeft))
            combine(at(x0), at(y0), l, t, source, fx, fy);
        if (shown(Picture::eEmptyTop))
            combineAndRepeatSource(at(x0 + l), at(y0), middleWidth, t, source, fx + l, fy, cw, t);
        if (r > 0 && shown(Picture::eEmptyTopRight))
            combine(at(x1 - r), at(y0), r, t, source, fx + l + cw, fy);
    }
    if (l > 0 && shown(Picture::eEmptyLeft))
        combineAndRepeatSource(at(x0), at(y0 + t), l, middleHeight, source, fx, fy + t, l, ch);
    if (shown(Picture::eEmptyCentre))
        combineAndRepeatSource(at(x0 + l), at(y0 + t), middleWidth, middleHeight, source, fx + l, fy + t, cw, ch);
    if (r > 0 && shown(Picture::eEmptyRight))
        combineAndRepeatSource(at(x1 - r), at(y0 + t), r, middleHeight, source, fx + l + cw, fy + t, r, ch);
    if (b > 0) {
        const int sy = fy + t + ch;
        if (l > 0 && shown(Picture::eEmptyBottomLeft))
            combine(at(x0), at(y1 - b), l, b, source, fx, sy);
        if (shown(Picture::eEmptyBottom))
            combineAndRepeatSource(at(x0 + l), at(y1 - b), middleWidth, b, source, fx + l, sy, cw, b);
        if (r > 0 && shown(Picture::eEmptyBottomRight))
            combine(at(x1 - r), at(y1 - b), r, b, source, fx + l + cw, sy);
    }
}

// --- Picture's combining entry points ---------------------------------------------------------

template <class F>
void Picture::putPicture(int x, int y, const Picture& source, unsigned frame, const GP::Rect* sourceRect)
{
    F functor;
    PictureCombiner<F>(*this, functor).combineApplySourceAnimations(x, y, source, frame, sourceRect);
}

template <class F>
void Picture::putStretched(const GP::Rect& dest, const Picture& source, unsigned frame, const GP::Rect* clip)
{
    F functor;
    PictureCombiner<F>(*this, functor).combineStretchedApplySourceAnimation(dest, source, frame, clip);
}

extern template class PictureCombiner<PictureCombinerFunctors::CopySource>;
extern template class PictureCombiner<PictureCombinerFunctors::BlendUsingAlpha>;
extern template class PictureCombiner<PictureCombinerFunctors::DyeUsingAlphaMask>;

}  // namespace QV::UIA
