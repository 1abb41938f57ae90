// The canvas that draws into an off-screen picture of its own, which the toolkit's window copies
// to the screen. Main thread only.
#pragma once

#include "PXT/Canvas.h"
#include "UIA/Picture.h"

#include <memory>

namespace QV::PXT {

class BackgroundDrawingCanvas : public Canvas {
public:
    // The off-screen buffer: a plain picture.
    class BGDrawBuffer : public UIA::Picture {};

    BackgroundDrawingCanvas();
    ~BackgroundDrawingCanvas() override;
    BackgroundDrawingCanvas(const BackgroundDrawingCanvas&) = delete;
    BackgroundDrawingCanvas& operator=(const BackgroundDrawingCanvas&) = delete;

    void setAlphaChannel(bool alpha) override;
    void resetClip() override;
    void setClip(const GP::Rect& rect) override;
    void resetOrigin() override;
    void setOrigin(const GP::Point& origin) override;
    GP::Point getOrigin() const override;
    void onSize(const GP::Point& size) override;
    void clear(unsigned colour) override;
    void setPixel(const GP::Point& point, unsigned colour) override;
    void drawLine(const GP::Point& from, const GP::Point& to, unsigned colour, bool unused) override;
    void drawLineV(const GP::Point& from, int length, unsigned colour) override;
    void drawLineH(const GP::Point& from, int length, unsigned colour) override;
    void drawLineAA(float x1, float y1, float x2, float y2, unsigned colour) override;
    void drawRect(const GP::Rect& rect, unsigned colour) override;
    void fillRect(const GP::Rect& rect, unsigned colour) override;
    void setAreaColor(const GP::Rect& rect, unsigned colour) override;
    void invertArea(const GP::Rect& rect) override;
    void drawPicture(const GP::Point& at, const LazyPicture& picture, unsigned frame, const GP::Rect* source,
                     PictureCombineMode mode) override;
    void drawPicture(const GP::Point& at, const UIA::Picture& picture, unsigned frame, const GP::Rect* source,
                     PictureCombineMode mode) override;
    void drawPictureStretched(const GP::Rect& rect, const LazyPicture& picture, unsigned frame, const GP::Rect* source,
                              PictureCombineMode mode) override;
    void drawPictureStretched(const GP::Rect& rect, const UIA::Picture& picture, unsigned frame, const GP::Rect* source,
                              PictureCombineMode mode) override;
    void dyeUsingStretchedAlphaMask(const GP::Rect& rect, unsigned colour, const LazyPicture& mask, unsigned frame,
                                    const GP::Rect* source) override;
    void dyeUsingStretchedAlphaMask(const GP::Rect& rect, unsigned colour, const UIA::Picture& mask, unsigned frame,
                                    const GP::Rect* source) override;
    void drawText(const std::string& text, const GP::Rect& rect, const UIA::Font& font, unsigned colour,
                  eTextAlignment alignment, eTextRotation rotation) override;
    void setBackingScaleFactor(float scale) override;
    float getBackingScaleFactor() const override { return m_scale; }
    const UIA::Picture* getPicture() const override { return m_buffer.get(); }
    const void* getRawData() const override { return m_buffer->getData(); }

private:
    int scaled(float v) const;
    GP::Point scaled(const GP::Point& p) const;
    // (left, top, right, bottom) scaled, as corners.
    GP::Rect scaled(const GP::Rect& r) const;
    // The text turned 90 degrees counter-clockwise into r (buffer pixels, origin-relative), over
    // the pixels already there.
    void drawText90Degree(const GP::Rect& r, const UIA::Font& font, const std::string& text, unsigned colour,
                          eTextAlignment alignment);

    std::unique_ptr<BGDrawBuffer> m_buffer;
    GP::Point m_origin;
    GP::Point m_size;
    UIA::Picture m_scratch;
    float m_scale = 1.0f;
};

}  // namespace QV::PXT
