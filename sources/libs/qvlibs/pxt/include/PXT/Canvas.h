// The drawing surface every widget paints through: logical units, a movable origin and one clip
// rectangle. Coordinates are converted to buffer pixels by the backing scale (always 1.0 here, the
// conversion is applied all the same). BackgroundDrawingCanvas is the implementation.
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"

#include <cstdint>
#include <string>

namespace QV::UIA {
class Font;
class Picture;
}  // namespace QV::UIA

namespace QV::PXT {

class LazyPicture;

// Alignment bits as the text renderer takes them: one horizontal OR one vertical value; neither of a
// pair means centred.
enum eTextAlignment : std::uint32_t {
    eAlignCenter = 0,
    eAlignRight = 0x1,
    eAlignBottom = 0x10,
    eAlignTop = 0x100,
    eAlignLeft = 0x1000,
};

// 0 horizontal text; 1 turned 90 degrees counter-clockwise (reads from bottom to top).
enum eTextRotation : int {
    eRotationNone = 0,
    eRotation90 = 1,
};

// 0: copied (composited when the source has alpha); any other value: blended using the buffer's alpha.
enum PictureCombineMode : int {
    eCombineCopy = 0,
    eCombineBlend = 1,
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void setAlphaChannel(bool alpha) = 0;
    virtual void resetClip() = 0;
    virtual void setClip(const GP::Rect& rect) = 0;
    virtual void resetOrigin() = 0;
    virtual void setOrigin(const GP::Point& origin) = 0;
    virtual GP::Point getOrigin() const = 0;
    // Gives the buffer the logical size and clears it to 0; nothing when the size is the stored one.
    virtual void onSize(const GP::Point& size) = 0;
    virtual void clear(unsigned colour) = 0;
    // Only inside the clip rectangle (and the buffer).
    virtual void setPixel(const GP::Point& point, unsigned colour) = 0;
    virtual void drawLine(const GP::Point& from, const GP::Point& to, unsigned colour, bool unused) = 0;
    virtual void drawLineV(const GP::Point& from, int length, unsigned colour) = 0;
    virtual void drawLineH(const GP::Point& from, int length, unsigned colour) = 0;
    virtual void drawLineAA(float x1, float y1, float x2, float y2, unsigned colour) = 0;
    virtual void drawRect(const GP::Rect& rect, unsigned colour) = 0;
    virtual void fillRect(const GP::Rect& rect, unsigned colour) = 0;
    virtual void setAreaColor(const GP::Rect& rect, unsigned colour) = 0;
    virtual void invertArea(const GP::Rect& rect) = 0;
    // A LazyPicture that resolves to no picture draws nothing.
    virtual void drawPicture(const GP::Point& at, const LazyPicture& picture, unsigned frame, const GP::Rect* source,
                             PictureCombineMode mode) = 0;
    virtual void drawPicture(const GP::Point& at, const UIA::Picture& picture, unsigned frame, const GP::Rect* source,
                             PictureCombineMode mode) = 0;
    // Nine-patch stretching for resizable pictures.
    virtual void drawPictureStretched(const GP::Rect& rect, const LazyPicture& picture, unsigned frame,
                                      const GP::Rect* source, PictureCombineMode mode) = 0;
    virtual void drawPictureStretched(const GP::Rect& rect, const UIA::Picture& picture, unsigned frame,
                                      const GP::Rect* source, PictureCombineMode mode) = 0;
    // The colour painted through the mask's alpha.
    virtual void dyeUsingStretchedAlphaMask(const GP::Rect& rect, unsigned colour, const LazyPicture& mask,
                                            unsigned frame, const GP::Rect* source) = 0;
    virtual void dyeUsingStretchedAlphaMask(const GP::Rect& rect, unsigned colour, const UIA::Picture& mask,
                                            unsigned frame, const GP::Rect* source) = 0;
    virtual void drawText(const std::string& text, const GP::Rect& rect, const UIA::Font& font, unsigned colour,
                          eTextAlignment alignment, eTextRotation rotation) = 0;
    virtual void setBackingScaleFactor(float scale) = 0;
    virtual float getBackingScaleFactor() const = 0;
    virtual const UIA::Picture* getPicture() const = 0;
    virtual const void* getRawData() const = 0;
};

}  // namespace QV::PXT
