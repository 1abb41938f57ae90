#include "PXT/PanelDrawer.h"

#include "PXT/StyleSheetManager.h"
#include "PXT/Widget.h"
#include "UIA/Font.h"

#include <cmath>

namespace QV::PXT {

DrawingCache& PanelDrawer::cache(const Widget& widget) const
{
    if (!m_cache)
        m_cache = &StyleSheetManager::get()->getDrawingCache(widget);
    return *m_cache;
}

GP::Rect PanelDrawer::pictureRect(const Widget& widget, const DrawingCache& cache, const GP::Rect& r) const
{
    if (cache.getPictureIncludesMargin())
        return r;
    const Margin& m = widget.getMargin();
    return GP::Rect(r.left + m.left, r.top + m.top, r.right - m.right, r.bottom - m.bottom);
}

void PanelDrawer::drawPanelItem(const Widget& widget, PaintContext& context) const
{
    const GP::Rect r(0, 0, widget.getSize().x, widget.getSize().y);
    drawPanelRect(widget, r, eRoleBackground, context);
    drawDyeMask(widget, r, context);
}

void PanelDrawer::drawPanelRect(const Widget& widget, const GP::Rect& r, eRole role, PaintContext& context) const
{
    const DrawingCache& c = cache(widget);
    const unsigned fill = c.getColor(role, false, m_colorIndex);
    const unsigned border = c.getColor(role, true, m_colorIndex);
    if (fill != 0 || border != 0)
        context.drawFillRect(r, fill, border);
    if (role != eRoleBackground)
        return;
    const UIA::Picture* picture = c.getPicture().resolve(context.getBackingScaleFactor());
    if (!picture)
        return;
    GP::Rect q = pictureRect(widget, c, r);
    unsigned frame = unsigned(c.getAnimationIndex());
    if (m_animationIndexHook)
        m_animationIndexHook(frame);
    const GP::Point d = c.getPictureDisplacement();
    q.moveBy(d.x, d.y);
    context.drawPictureImpl(q, picture, frame, eCombineCopy);
}

void PanelDrawer::drawDyeMask(const Widget& widget, const GP::Rect& r, PaintContext& context) const
{
    const DrawingCache& c = cache(widget);
    const LazyPicture& mask = c.getDyeMaskPicture();
    if (mask.empty())
        return;
    GP::Rect q = pictureRect(widget, c, r);
    unsigned frame = unsigned(c.getDyeMaskAnimationIndex());
    if (m_animationIndexHook)
        m_animationIndexHook(frame);
    const unsigned colour = c.getColor(eRoleDye, false, m_colorIndex);
    const GP::Point d = c.getPictureDisplacement();
    q.moveBy(d.x, d.y);
    context.dyeUsingStretchedAlphaMask(q, colour, mask, frame);
}

void PanelDrawer::drawTextItem(const Widget& widget, const std::string& text, PaintContext& context,
                               eTextRotation rotation) const
{
    const Margin& m = widget.getMargin();
    const GP::Rect r(m.left, m.top, widget.getSize().x - m.right, widget.getSize().y - m.bottom);
    drawTextItemInRect(widget, text, r, context, cache(widget).getAlignment(), rotation);
}

void PanelDrawer::drawTextItemInRect(const Widget& widget, const std::string& text, const GP::Rect& r,
                                     PaintContext& context, eTextRotation rotation) const
{
    drawTextItemInRect(widget, text, r, context, cache(widget).getAlignment(), rotation);
}

void PanelDrawer::drawTextItemInRect(const Widget& widget, const std::string& text, const GP::Rect& r,
                                     PaintContext& context, eTextAlignment alignment, eTextRotation rotation) const
{
    const DrawingCache& c = cache(widget);
    const unsigned colour = c.getColor(eRoleForeground, false, m_colorIndex);
    if (colour == 0)
        return;
    const UIA::Font* font = getFont(widget);
    if (!font)
        return;
    const int length = getMaxTextLength(widget, r, rotation);
    const std::string shown = getCroppedString(widget, widget.getBackingScaleFactor(), text, length);
    GP::Rect moved = r;
    const GP::Point d = c.getTextDisplacement();
    moved.moveBy(d.x, d.y);
    Canvas& canvas = context.canvas();
    GP::Region::const_intersector walk = context.intersectBegin(moved);
    for (GP::Rect x; walk.next(x);) {
        canvas.setClip(x);
        canvas.drawText(shown, moved, *font, colour, alignment, rotation);
        canvas.resetClip();
    }
}

int PanelDrawer::getMaxTextLength(const Widget& widget, const GP::Rect& r, eTextRotation rotation) const
{
    const GP::Point d = cache(widget).getTextDisplacement();
    switch (rotation) {
    case eRotationNone: return r.width() - d.x;
    case eRotation90: return r.height() - d.y;
    }
    return 0;
}

std::string PanelDrawer::getCroppedString(const Widget& widget, float scale, const std::string& text, int length) const
{
    const UIA::Font* font = getFont(widget);
    if (!font)
        return text;
    const int width = int(std::lroundf(float(length) * scale));
    if (m_crop)
        return m_crop(text, *font, width);
    return m_cropper.cropString(GP::CharSequence<char>(text.data(), text.size()), *font, width);
}

const UIA::Font* PanelDrawer::getFont(const Widget& widget) const
{
    const UIA::Font* font = cache(widget).getFont();
    if (font)
        font->setBackingScaleFactor(widget.getBackingScaleFactor());
    return font;
}

int PanelDrawer::getHorizontalAlignmentOffset(const Widget& widget, const char* text, int width) const
{
    const UIA::Font* font = getFont(widget);
    if (!font)
        return 0;
    const float s = widget.getBackingScaleFactor();
    const int offset = font->getHorizontalAlignmentOffset(text, UIA::Font::eAlignment(cache(widget).getAlignment()),
                                                          int(std::lroundf(float(width) * s)));
    return int(std::lroundf(float(offset) / s));
}

}  // namespace QV::PXT
