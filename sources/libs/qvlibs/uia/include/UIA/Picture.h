// The one raster image of the UI layer: width x height pixels of one 32-bit ARGB word each
// (0xAARRGGBB, straight alpha; in memory B, G, R, A), rows one after another with no gap. Widgets
// paint into it, image readers decode into it, fonts render into it and windows copy it to the
// screen.
//
// Coordinates of the drawing operations are relative to the origin (setOrigin); clear() alone
// ignores it. The operations named ...UC trust the caller to stay inside the picture. Every other
// drawing operation is limited to the clip rectangle while clipping is on, and to the picture
// itself while it is off, so no coordinate a caller passes reaches memory outside the pixels.
//
// A colour with alpha 0xFF is stored as it is; a translucent one is composited over the pixel by
// the standard straight-alpha "source over" rule (rounded to nearest), or by the legacy rules when
// setUseLegacyAlphaCompositing(true) (see PixelRules.h in the sources for both).
//
// Sizes are limited to kMaxSide pixels a side and kMaxBytes bytes; a larger size is refused, so a
// picture file that asks for one fails instead of overflowing the size computation.
//
// Main thread only; no locking.
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"
#include "GP/Stream.h"
#include "UIA/PictureCombinerFunctors.h"
#include "UIA/PictureProperties.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace QV::UIA {

class Picture : public PictureProperties {
public:
    static constexpr int kMaxSide = 16384;
    static constexpr uint64_t kMaxBytes = uint64_t(256) << 20;

    // Empty-area mask bits, one word per animation frame: a set bit means that nine-patch region
    // has no pixel with alpha other than 0.
    enum eEmptyArea : uint32_t {
        eEmptyTopLeft = 0x1,
        eEmptyTop = 0x2,
        eEmptyTopRight = 0x4,
        eEmptyLeft = 0x8,
        eEmptyCentre = 0x10,
        eEmptyRight = 0x20,
        eEmptyBottomLeft = 0x40,
        eEmptyBottom = 0x80,
        eEmptyBottomRight = 0x100,
        eEmptyAll = 0x1FF,
    };

    // cloneAndScale: eSmooth interpolates, anything else replicates each pixel into a block.
    enum class Sampling {
        eSmooth = 0,
        eReplicate = 1
    };

    Picture();
    ~Picture() override;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // --- Size --------------------------------------------------------------------------------
    // Resizes through reallocData; false with nothing changed when that fails. Otherwise the
    // origin is (0, 0) and clipping is off; the pixels are undefined (callers clear).
    bool setSize(int width, int height, bool bForce = false);
    // Makes the buffer hold width x height pixels. A new buffer (uninitialised) is made when the
    // capacity differs from the need and either bForce is set or the capacity is too small;
    // otherwise the old one is kept: true when there is one, false when there is none (so a fresh
    // picture cannot be given a 0 x 0 size). False, nothing changed, for a negative size or one
    // over the limits. A failed allocation throws std::bad_alloc and leaves a 0 x 0 picture.
    virtual bool reallocData(int width, int height, bool bForce);

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    // Bytes allocated.
    std::size_t getCapacity() const { return m_capacity; }
    uint32_t* getData() { return m_pData; }
    const uint32_t* getData() const { return m_pData; }
    // Pixel (x, y) in picture coordinates (no origin); the caller keeps inside the picture.
    uint32_t getPixel(int x, int y) const { return m_pData[std::ptrdiff_t(y) * m_width + x]; }
    const PictureProperties& getProperties() const { return *this; }

    // Size of one animation frame (integer division; 0 frames count as 1).
    int getAnimationWidth() const;
    int getAnimationHeight() const;
    // Top-left corner of the given frame (clamped to the last one) in picture coordinates.
    GP::Point getAnimationOffset(unsigned frame) const;

    // --- Drawing (origin-relative) -----------------------------------------------------------
    // Stores the colour in every pixel; no origin, no clip, no compositing.
    void clear(uint32_t colour);
    void setPixelUC(int x, int y, uint32_t colour);
    // length pixels rightwards / downwards from (x, y); nothing for length <= 0.
    void drawLineH(int x, int y, int length, uint32_t colour);
    void drawLineHUC(int x, int y, int length, uint32_t colour);
    void drawLineV(int x, int y, int length, uint32_t colour);
    void drawLineVUC(int x, int y, int length, uint32_t colour);
    // Bresenham line from (x1, y1) up to but without (x2, y2); drawLine draws exactly the pixels
    // of that line that lie in the drawable area.
    void drawLine(int x1, int y1, int x2, int y2, uint32_t colour);
    void drawLineUC(int x1, int y1, int x2, int y2, uint32_t colour);
    // Anti-aliased line: the colour's alpha spread over the two pixels next to the ideal line.
    // End points beyond +-kMaxLineCoordinate (or not finite) draw nothing.
    void drawLineAA(float x1, float y1, float x2, float y2, uint32_t colour);
    static constexpr float kMaxLineCoordinate = 4194304.0f;
    // One-pixel outline; a negative width or height is turned around first. No pixel is drawn
    // twice, so a translucent outline is composited once everywhere.
    void drawRectangle(int x, int y, int width, int height, uint32_t colour);
    void fillArea(int x, int y, int width, int height, uint32_t colour);
    void fillAreaUC(int x, int y, int width, int height, uint32_t colour);
    // XOR of every pixel with 0x00FFFFFF: colour inverted, alpha kept.
    void invertArea(int x, int y, int width, int height);
    // Stores the colour, no compositing.
    void setAreaColor(const GP::Rect& rect, uint32_t colour);
    // Copies the source rectangle (sx, sy, width, height) to (x, y): rows copied as they are when
    // the source has no alpha channel, else each source pixel composited over the target pixel.
    // The rectangles must lie inside their pictures; they may overlap in the same picture.
    void copyAreaUC(int x, int y, int width, int height, const Picture& source, int sx, int sy);

    // --- Clip and origin ---------------------------------------------------------------------
    // The clip becomes rect limited to the picture and to x >= 0, y >= 0 (origin-relative), and
    // clipping is on; an empty intersection clips everything away.
    void setClipRect(const GP::Rect& rect);
    // Clipping off; the clip rectangle is the whole picture.
    void resetClipRect();
    // Intersects rect (turned around first when right < left or bottom < top, and back after)
    // with the drawable area. Empty: rect = (0, 0, 0, 0), false. Otherwise *dx, *dy (optional)
    // receive the amount cut away at the left and top as non-positive numbers; true.
    bool checkClipRect(GP::Rect& rect, int* dx = nullptr, int* dy = nullptr) const;
    // Moves the origin; an active clip keeps covering the same pixels.
    void setOrigin(const GP::Point& origin);
    const GP::Point& getOrigin() const { return m_origin; }
    bool isClipActive() const { return m_bClipActive; }
    // Origin-relative; the whole picture (0, 0, width, height) while clipping is off.
    const GP::Rect& getClipRect() const { return m_clip; }
    // What drawing may touch, in picture coordinates: the clip moved by the origin and limited to
    // the picture while clipping is on, else the whole picture.
    GP::Rect getDrawableRect() const;

    void setUseLegacyAlphaCompositing(bool bLegacy) { m_bUseLegacyAlphaCompositing = bLegacy; }
    bool getUseLegacyAlphaCompositing() const { return m_bUseLegacyAlphaCompositing; }

    // --- Sheets ------------------------------------------------------------------------------
    // Computes one empty-area mask per frame (see eEmptyArea); none without pixels, without the
    // alpha-channel property, when not resizable or when the nine-patch centre is empty.
    void initEmptyAreaFlags();
    const std::vector<uint32_t>& getEmptyAreaFlags() const { return m_emptyAreaMasks; }
    // A scaled copy with the same properties (borders scaled too), origin (0, 0), clipping off.
    std::unique_ptr<Picture> cloneAndScale(float factor, Sampling sampling) const;

    // --- Decoding (PNG, JPEG, TGA) ------------------------------------------------------------
    // Each reader decodes the picture file at the stream's position into this picture: resized to
    // the image's size (as setSize with force: origin (0, 0), clipping off), every pixel filled, top
    // row first; or false. After a false result the picture may have a new size and undefined
    // pixels: callers drop it. Images larger than kMaxSide a side or kMaxBytes are refused before
    // anything is allocated, and data that end early fail the read, so no pixel that was not
    // decoded is reported as part of a picture. A stream without a storage is not read: false.
    //
    // bDetectAlpha asks the readers to decide whether the picture needs its alpha channel (the
    // alpha-channel property); see each reader. No reader uses the orientation argument.
    //
    // Tries PNG, then JPEG, then TGA, each from the stream's position at the call (the stream is
    // sought back there before every attempt). TGA has no signature: data that pass its header
    // checks decode as TGA. True when one of the readers succeeded. On failure *pWhy, when given,
    // says why: the reason of the format whose signature (for TGA, whose header) the data carry,
    // "empty file", or that the data are none of the three formats.
    bool readDetect(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha, std::string* pWhy = nullptr);
    // PNG of any colour type and bit depth, interlaced or not; 16-bit samples keep their high byte.
    // The alpha-channel property is always set: true only with bDetectAlpha, a colour type with
    // alpha (palette, grey with alpha, RGB with alpha) and at least one pixel with alpha below 0xFF.
    // A grey or RGB image with a tRNS colour key gets alpha 0 in its keyed pixels but not the
    // property.
    bool readPNG(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha);
    // Baseline or progressive JPEG in grey, YCbCr, RGB, CMYK or YCCK; every pixel comes out opaque.
    // An ICC profile embedded in APP2 markers converts RGB and CMYK data to sRGB (perceptual
    // intent); grey and YCbCr data are shown without conversion. A profile that cannot be used for
    // the data (unreadable, or of another colour space) fails the read; ICC markers that do not
    // form one complete, consistent sequence are ignored. CMYK without a profile is converted by
    // the plain ink formula. With bDetectAlpha the alpha-channel property is cleared; without it,
    // untouched.
    bool readJPG(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha);
    // TGA, uncompressed (image type 2) or run-length encoded (10) true colour of 32, 24 or 16 bits
    // per pixel, always little-endian; the image-ID field and a colour map are skipped. Rows stored
    // bottom first (descriptor bit 0x20 clear) are turned top first. 16-bit pixels have five bits
    // per channel; the word 0 is fully transparent, every other word opaque. With bDetectAlpha the
    // alpha-channel property is set when a pixel has alpha below 0xFF (32 bits) or is the word 0
    // (16 bits), else cleared; without it, untouched.
    bool readTGA(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha);
    // The three readers, saying on failure why data of their format could not be decoded ("PNG:
    // unexpected end of data"); `why` stays empty when the data are not of their format at all.
    bool readPNG(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha, std::string& why);
    bool readJPG(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha, std::string& why);
    bool readTGA(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha, std::string& why);

    // --- Combining (PictureCombiner.h) -------------------------------------------------------
    // Frame number frame of source (or the part sourceRect of it) with its top-left at (x, y).
    // Instances for PictureCombinerFunctors::CopySource and BlendUsingAlpha.
    template <class F>
    void putPicture(int x, int y, const Picture& source, unsigned frame, const GP::Rect* sourceRect);
    // Frame number frame of source into dest: a nine-patch when the source is resizable, else
    // 1:1 at dest's top-left. clip, when given, limits the drawing instead of dest.
    template <class F>
    void putStretched(const GP::Rect& dest, const Picture& source, unsigned frame, const GP::Rect* clip);

private:
    friend struct PictureCombinerFunctors::CopySource;

    uint32_t* pixelAt(int x, int y) { return m_pData + std::ptrdiff_t(y) * m_width + x; }
    const uint32_t* pixelAt(int x, int y) const { return m_pData + std::ptrdiff_t(y) * m_width + x; }
    // The part of the origin-relative rectangle [left, right) x [top, bottom) that drawing may
    // touch, in picture coordinates; false when nothing is left.
    bool drawableAbsolute(int64_t left, int64_t top, int64_t right, int64_t bottom, GP::Rect& result) const;
    // The same operations in picture coordinates, inside the picture.
    void fillAbsolute(int x, int y, int width, int height, uint32_t colour);
    void copyAbsolute(int x, int y, int width, int height, const Picture& source, int sx, int sy);
    void setPixelAbsolute(int x, int y, uint32_t colour);

    // Gives a buffer of allocatePixels back the way it was taken.
    struct tPixelRelease {
        tPixelRelease() noexcept : bytes(0) {}
        explicit tPixelRelease(std::size_t size) noexcept : bytes(size) {}
        void operator()(uint32_t* pixels) const;
        std::size_t bytes;
    };
    // A pixel buffer of the given size (a multiple of 4); throws std::bad_alloc when there is none.
    static uint32_t* allocatePixels(std::size_t bytes);

    std::unique_ptr<uint32_t[], tPixelRelease> m_buffer;
    uint32_t* m_pData = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::size_t m_capacity = 0;
    bool m_bUseLegacyAlphaCompositing = false;
    bool m_bClipActive = false;
    GP::Rect m_clip;
    GP::Point m_origin;
    std::vector<uint32_t> m_emptyAreaMasks;
};

extern template void Picture::putPicture<PictureCombinerFunctors::CopySource>(int, int, const Picture&, unsigned,
                                                                              const GP::Rect*);
extern template void Picture::putPicture<PictureCombinerFunctors::BlendUsingAlpha>(int, int, const Picture&, unsigned,
                                                                                   const GP::Rect*);
extern template void Picture::putStretched<PictureCombinerFunctors::CopySource>(const GP::Rect&, const Picture&,
                                                                                unsigned, const GP::Rect*);
extern template void Picture::putStretched<PictureCombinerFunctors::BlendUsingAlpha>(const GP::Rect&, const Picture&,
                                                                                     unsigned, const GP::Rect*);

}  // namespace QV::UIA
