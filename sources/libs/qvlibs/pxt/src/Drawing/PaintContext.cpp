#include "PXT/PaintContext.h"

#include "PXT/LazyPicture.h"
#include "UIA/Picture.h"

namespace QV::PXT {

namespace {

bool isDrawn(unsigned colour) { return colour >= 0x1000000u; }

}  // namespace

GP::Region::const_intersector PaintContext::intersectBegin(const GP::Rect& r) const
{
    const GP::Point o = m_canvas->getOrigin();
    GP::Rect moved = r;
    moved.moveBy(o.x, o.y);
    // intersected gives an empty rectangle when the two do not overlap: the walk then yields nothing.
    return GP::Region::const_intersector(m_region, moved.intersected(*m_clip), o);
}

void PaintContext::drawFillRect(const GP::Rect& r, unsigned fill, unsigned border)
{
    GP::Region::const_intersector walk = intersectBegin(r);
    for (GP::Rect x; walk.next(x);) {
        if (isDrawn(fill))
            m_canvas->fillRect(x, fill);
        if (isDrawn(border)) {
            m_canvas->setClip(x);
            m_canvas->drawRect(r, border);
            m_canvas->resetClip();
        }
    }
}

void PaintContext::drawPictureImpl(const GP::Rect& r, const UIA::Picture* picture, unsigned frame,
                                   PictureCombineMode mode)
{
    if (!picture)
        return;
    GP::Region::const_intersector walk = intersectBegin(r);
    for (GP::Rect x; walk.next(x);) {
        m_canvas->setClip(x);
        if (picture->isResizable())
            m_canvas->drawPictureStretched(r, *picture, frame, nullptr, mode);
        else
            m_canvas->drawPicture(GP::Point(r.left, r.top), *picture, frame, nullptr, mode);
        m_canvas->resetClip();
    }
}

void PaintContext::dyeUsingStretchedAlphaMask(const GP::Rect& r, unsigned colour, const LazyPicture& mask,
                                              unsigned frame)
{
    const UIA::Picture* resolved = mask.resolve(m_scale);
    if (!resolved)
        return;
    GP::Region::const_intersector walk = intersectBegin(r);
    for (GP::Rect x; walk.next(x);) {
        m_canvas->setClip(x);
        m_canvas->dyeUsingStretchedAlphaMask(r, colour, *resolved, frame, nullptr);
        m_canvas->resetClip();
    }
}

}  // namespace QV::PXT
