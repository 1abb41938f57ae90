#include "PXT/BackgroundDrawingCanvas.h"

#include "PXT/LazyPicture.h"
#include "UIA/Font.h"
#include "UIA/PictureCombiner.h"

#include <cmath>

namespace QV::PXT {

namespace {

using UIA::PictureCombinerFunctors::BlendUsingAlpha;
using UIA::PictureCombinerFunctors::CopySource;
using UIA::PictureCombinerFunctors::DyeUsingAlphaMask;

// The alignment of a text turned 90 degrees counter-clockwise, so that left, right, top and bottom
// keep their meaning on the screen: left becomes top, right bottom, bottom left, top right.
std::uint32_t turnAlignment(std::uint32_t alignment)
{
    std::uint32_t turned = 0;
    if (alignment & eAlignLeft)
        turned |= eAlignTop;
    if (alignment & eAlignRight)
        turned |= eAlignBottom;
    if (alignment & eAlignBottom)
        turned |= eAlignLeft;
    if (alignment & eAlignTop)
        turned |= eAlignRight;
    return turned;
}

}  // namespace

BackgroundDrawingCanvas::BackgroundDrawingCanvas() : m_buffer(std::make_unique<BGDrawBuffer>())
{
    // The toolkit never uses the legacy compositing rules.
    m_buffer->setUseLegacyAlphaCompositing(false);
}

BackgroundDrawingCanvas::~BackgroundDrawingCanvas() = default;

int BackgroundDrawingCanvas::scaled(float v) const { return int(std::lroundf(v * m_scale)); }

GP::Point BackgroundDrawingCanvas::scaled(const GP::Point& p) const
{
    return GP::Point(scaled(float(p.x)), scaled(float(p.y)));
}

GP::Rect BackgroundDrawingCanvas::scaled(const GP::Rect& r) const
{
    return GP::Rect(scaled(float(r.left)), scaled(float(r.top)), scaled(float(r.right)), scaled(float(r.bottom)));
}

void BackgroundDrawingCanvas::setAlphaChannel(bool alpha) { m_buffer->setAlphaChannel(alpha); }

void BackgroundDrawingCanvas::resetClip() { m_buffer->resetClipRect(); }

void BackgroundDrawingCanvas::setClip(const GP::Rect& rect) { m_buffer->setClipRect(scaled(rect)); }

void BackgroundDrawingCanvas::resetOrigin()
{
    m_origin = GP::Point();
    m_buffer->setOrigin(m_origin);
}

void BackgroundDrawingCanvas::setOrigin(const GP::Point& origin)
{
    m_origin = scaled(origin);
    m_buffer->setOrigin(m_origin);
}

GP::Point BackgroundDrawingCanvas::getOrigin() const
{
    const float inverse = 1.0f / m_scale;
    return GP::Point(int(std::lroundf(float(m_origin.x) * inverse)), int(std::lroundf(float(m_origin.y) * inverse)));
}

void BackgroundDrawingCanvas::onSize(const GP::Point& size)
{
    if (size == m_size)
        return;
    m_size = size;
    m_buffer->setSize(scaled(float(size.x)), scaled(float(size.y)), true);
    m_origin = GP::Point();
    m_buffer->clear(0);
}

void BackgroundDrawingCanvas::clear(unsigned colour) { m_buffer->clear(colour); }

void BackgroundDrawingCanvas::setPixel(const GP::Point& point, unsigned colour)
{
    // The clip rectangle is origin-relative and, with clipping off, the size of the picture: test
    // the point where it lands, in picture coordinates, against what drawing may touch.
    const GP::Point p = scaled(point);
    const GP::Point o = m_buffer->getOrigin();
    const GP::Point absolute(p.x + o.x, p.y + o.y);
    if (m_buffer->getDrawableRect().contains(absolute))
        m_buffer->setPixelUC(p.x, p.y, colour);
}

void BackgroundDrawingCanvas::drawLine(const GP::Point& from, const GP::Point& to, unsigned colour, bool)
{
    if (m_scale == 1.0f)
        m_buffer->drawLine(from.x, from.y, to.x, to.y, colour);
    else
        drawLineAA(float(from.x), float(from.y), float(to.x), float(to.y), colour);
}

void BackgroundDrawingCanvas::drawLineV(const GP::Point& from, int length, unsigned colour)
{
    if (m_scale == 1.0f)
        m_buffer->drawLineV(from.x, from.y, length, colour);
    else
        drawLineAA(float(from.x), float(from.y), float(from.x), float(from.y + length), colour);
}

void BackgroundDrawingCanvas::drawLineH(const GP::Point& from, int length, unsigned colour)
{
    if (m_scale == 1.0f)
        m_buffer->drawLineH(from.x, from.y, length, colour);
    else
        drawLineAA(float(from.x), float(from.y), float(from.x + length), float(from.y), colour);
}

void BackgroundDrawingCanvas::drawLineAA(float x1, float y1, float x2, float y2, unsigned colour)
{
    // Other scales draw the scaled line anti-aliased; the picture adds the origin itself.
    m_buffer->drawLineAA(x1 * m_scale, y1 * m_scale, x2 * m_scale, y2 * m_scale, colour);
}

void BackgroundDrawingCanvas::drawRect(const GP::Rect& rect, unsigned colour)
{
    const GP::Rect r = scaled(rect);
    m_buffer->drawRectangle(r.left, r.top, r.width(), r.height(), colour);
}

void BackgroundDrawingCanvas::fillRect(const GP::Rect& rect, unsigned colour)
{
    const GP::Rect r = scaled(rect);
    m_buffer->fillArea(r.left, r.top, r.width(), r.height(), colour);
}

void BackgroundDrawingCanvas::setAreaColor(const GP::Rect& rect, unsigned colour)
{
    m_buffer->setAreaColor(scaled(rect), colour);
}

void BackgroundDrawingCanvas::invertArea(const GP::Rect& rect)
{
    const GP::Rect r = scaled(rect);
    m_buffer->invertArea(r.left, r.top, r.width(), r.height());
}

void BackgroundDrawingCanvas::drawPicture(const GP::Point& at, const LazyPicture& picture, unsigned frame,
                                          const GP::Rect* source, PictureCombineMode mode)
{
    if (const UIA::Picture* resolved = picture.resolve(m_scale))
        drawPicture(at, *resolved, frame, source, mode);
}

void BackgroundDrawingCanvas::drawPicture(const GP::Point& at, const UIA::Picture& picture, unsigned frame,
                                          const GP::Rect* source, PictureCombineMode mode)
{
    const GP::Point p = scaled(at);
    GP::Rect scaledSource;
    if (source)
        scaledSource = scaled(*source);
    const GP::Rect* s = source ? &scaledSource : nullptr;
    if (mode == eCombineCopy)
        m_buffer->putPicture<CopySource>(p.x, p.y, picture, frame, s);
    else
        m_buffer->putPicture<BlendUsingAlpha>(p.x, p.y, picture, frame, s);
}

void BackgroundDrawingCanvas::drawPictureStretched(const GP::Rect& rect, const LazyPicture& picture, unsigned frame,
                                                   const GP::Rect* source, PictureCombineMode mode)
{
    if (const UIA::Picture* resolved = picture.resolve(m_scale))
        drawPictureStretched(rect, *resolved, frame, source, mode);
}

void BackgroundDrawingCanvas::drawPictureStretched(const GP::Rect& rect, const UIA::Picture& picture, unsigned frame,
                                                   const GP::Rect* source, PictureCombineMode mode)
{
    // The combiner's fourth argument limits the drawing; a source rectangle, scaled, serves as that.
    GP::Rect scaledSource;
    if (source)
        scaledSource = scaled(*source);
    const GP::Rect* s = source ? &scaledSource : nullptr;
    if (mode == eCombineCopy)
        m_buffer->putStretched<CopySource>(scaled(rect), picture, frame, s);
    else
        m_buffer->putStretched<BlendUsingAlpha>(scaled(rect), picture, frame, s);
}

void BackgroundDrawingCanvas::dyeUsingStretchedAlphaMask(const GP::Rect& rect, unsigned colour, const LazyPicture& mask,
                                                         unsigned frame, const GP::Rect* source)
{
    if (const UIA::Picture* resolved = mask.resolve(m_scale))
        dyeUsingStretchedAlphaMask(rect, colour, *resolved, frame, source);
}

void BackgroundDrawingCanvas::dyeUsingStretchedAlphaMask(const GP::Rect& rect, unsigned colour,
                                                         const UIA::Picture& mask, unsigned frame,
                                                         const GP::Rect* source)
{
    GP::Rect scaledSource;
    if (source)
        scaledSource = scaled(*source);
    DyeUsingAlphaMask functor(colour);
    UIA::PictureCombiner<DyeUsingAlphaMask>(*m_buffer, functor)
        .combineStretchedApplySourceAnimation(scaled(rect), mask, frame, source ? &scaledSource : nullptr);
}

void BackgroundDrawingCanvas::drawText(const std::string& text, const GP::Rect& rect, const UIA::Font& font,
                                       unsigned colour, eTextAlignment alignment, eTextRotation rotation)
{
    font.setBackingScaleFactor(m_scale);
    const GP::Rect r = scaled(rect);
    if (rotation == eRotationNone)
        font.renderTextMultiline(*m_buffer, r, GP::CharSequence<char>(text.data(), text.size()), colour,
                                 UIA::Font::eAlignment(alignment), 0);
    else
        drawText90Degree(r, font, text, colour, alignment);
}

void BackgroundDrawingCanvas::drawText90Degree(const GP::Rect& r, const UIA::Font& font, const std::string& text,
                                               unsigned colour, eTextAlignment alignment)
{
    // Buffer pixel (r.left + i, r.bottom - 1 - j) is scratch pixel (j, i): the scratch holds the
    // rectangle turned clockwise, the text is rendered into it upright and turned back on the way out.
    const GP::Point o = m_buffer->getOrigin();
    GP::Rect absolute = r;
    absolute.moveBy(o.x, o.y);
    const GP::Rect visible = absolute.intersected(GP::Rect(0, 0, m_buffer->getWidth(), m_buffer->getHeight()));
    if (visible.isEmpty() || r.width() <= 0 || r.height() <= 0)
        return;
    if (!m_scratch.setSize(r.height(), r.width(), false))
        return;
    // Plain stores into a cleared scratch: no compositing with what an earlier text left there, so
    // the scratch holds exactly the buffer's pixels, translucent ones included.
    m_scratch.clear(0);
    const int scratchWidth = m_scratch.getWidth();
    std::uint32_t* scratch = m_scratch.getData();
    std::uint32_t* buffer = m_buffer->getData();
    const int bufferWidth = m_buffer->getWidth();
    for (int y = visible.top; y < visible.bottom; ++y)
        for (int x = visible.left; x < visible.right; ++x) {
            const int i = x - absolute.left, j = absolute.bottom - 1 - y;
            scratch[std::ptrdiff_t(i) * scratchWidth + j] = buffer[std::ptrdiff_t(y) * bufferWidth + x];
        }
    font.renderTextMultiline(m_scratch, GP::Rect(0, 0, r.height(), r.width()),
                             GP::CharSequence<char>(text.data(), text.size()), colour,
                             UIA::Font::eAlignment(turnAlignment(alignment)), 0);
    const GP::Rect out = visible.intersected(m_buffer->getDrawableRect());
    for (int y = out.top; y < out.bottom; ++y)
        for (int x = out.left; x < out.right; ++x) {
            const int i = x - absolute.left, j = absolute.bottom - 1 - y;
            buffer[std::ptrdiff_t(y) * bufferWidth + x] = scratch[std::ptrdiff_t(i) * scratchWidth + j];
        }
}

void BackgroundDrawingCanvas::setBackingScaleFactor(float scale)
{
    if (scale == m_scale)
        return;
    m_scale = scale;
    m_buffer->setSize(scaled(float(m_size.x)), scaled(float(m_size.y)), true);
    m_origin = GP::Point();
    m_buffer->clear(0);
}

}  // namespace QV::PXT
