// The painter helper of the styled widgets: draws a widget's panel (fill, border, picture, dye
// mask) and its text from the widget's drawing cache, through a paint context.
#pragma once

#include "GP/Rect.h"
#include "PXT/Canvas.h"
#include "PXT/DrawingCache.h"
#include "PXT/PaintContext.h"
#include "UIA/StringCropper.h"

#include <functional>
#include <string>

namespace QV::UIA {
class Font;
}

namespace QV::PXT {

class Widget;

class PanelDrawer {
public:
    using tCropFunction = std::function<std::string(const std::string& text, const UIA::Font& font, int width)>;
    using tAnimationIndexHook = std::function<void(unsigned& frame)>;

    void setCropFunction(tCropFunction crop) { m_crop = std::move(crop); }
    void setAnimationIndexHook(tAnimationIndexHook hook) { m_animationIndexHook = std::move(hook); }
    UIA::StringCropper& cropper() { return m_cropper; }
    void setColorIndex(unsigned long index) { m_colorIndex = index; }

    // Fill, border and picture over the whole widget, then the dye mask.
    void drawPanelItem(const Widget& widget, PaintContext& context) const;
    void drawPanelRect(const Widget& widget, const GP::Rect& r, eRole role, PaintContext& context) const;
    void drawDyeMask(const Widget& widget, const GP::Rect& r, PaintContext& context) const;
    // Text in the widget's inner rectangle, aligned as the style says.
    void drawTextItem(const Widget& widget, const std::string& text, PaintContext& context,
                      eTextRotation rotation) const;
    void drawTextItemInRect(const Widget& widget, const std::string& text, const GP::Rect& r, PaintContext& context,
                            eTextRotation rotation) const;
    void drawTextItemInRect(const Widget& widget, const std::string& text, const GP::Rect& r, PaintContext& context,
                            eTextAlignment alignment, eTextRotation rotation) const;

    // The room for text along the rotation, less the text displacement; 0 for unknown rotations.
    int getMaxTextLength(const Widget& widget, const GP::Rect& r, eTextRotation rotation) const;
    std::string getCroppedString(const Widget& widget, float scale, const std::string& text, int length) const;
    const UIA::Font* getFont(const Widget& widget) const;
    int getHorizontalAlignmentOffset(const Widget& widget, const char* text, int width) const;

    // A text panel: the panel, then its text with its rotation.
    template <class T>
    void drawTextPanelItem(const T& panel, PaintContext& context) const
    {
        drawPanelItem(panel, context);
        drawTextItem(panel, panel.getText(), context, panel.getTextRotation());
    }

private:
    DrawingCache& cache(const Widget& widget) const;
    // r shrunk by the widget's margin unless the style says the picture covers it.
    GP::Rect pictureRect(const Widget& widget, const DrawingCache& cache, const GP::Rect& r) const;

    mutable DrawingCache* m_cache = nullptr;
    tCropFunction m_crop;
    tAnimationIndexHook m_animationIndexHook;
    UIA::StringCropper m_cropper;
    unsigned long m_colorIndex = 0;
};

}  // namespace QV::PXT
