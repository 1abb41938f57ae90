// One widget's painting in one pass: every drawing call is cut to the part of the region being
// repainted that lies inside the widget's visible rectangle, then handed to the canvas. Made by
// Widget::paint; coordinates are widget-local (the canvas origin is at the widget).
#pragma once

#include "GP/Rect.h"
#include "GP/Region.h"
#include "PXT/Canvas.h"

namespace QV::UIA {
class Picture;
}

namespace QV::PXT {

class LazyPicture;

class PaintContext {
public:
    enum ePass : int {
        ePassBackground = 1,
        ePassForeground = 2,
    };

    // region and clip in canvas coordinates.
    PaintContext(Canvas& canvas, const GP::Region& region, const GP::Rect& clip, float scale, int pass)
        : m_canvas(&canvas), m_region(&region), m_clip(&clip), m_scale(scale), m_pass(pass)
    {}

    Canvas& canvas() const { return *m_canvas; }
    float getBackingScaleFactor() const { return m_scale; }
    int getPass() const { return m_pass; }

    // The parts of the region inside r and the clip, in widget-local coordinates.
    GP::Region::const_intersector intersectBegin(const GP::Rect& r) const;
    // Colours with alpha 0 are skipped; the border is the outline of the whole r.
    void drawFillRect(const GP::Rect& r, unsigned fill, unsigned border);
    // Stretched (nine-patch) when the picture is resizable, else at r's top-left.
    void drawPictureImpl(const GP::Rect& r, const UIA::Picture* picture, unsigned frame, PictureCombineMode mode);
    void dyeUsingStretchedAlphaMask(const GP::Rect& r, unsigned colour, const LazyPicture& mask, unsigned frame);

private:
    Canvas* m_canvas;
    const GP::Region* m_region;
    const GP::Rect* m_clip;
    float m_scale;
    int m_pass;
};

}  // namespace QV::PXT
