// Decoding of picture files (PNG, JPEG, TGA) from a stream into a Picture of 32-bit pixels, B, G,
// R, A in memory, top row first. Each reader resizes the picture to the image's size (as setSize
// with force: origin (0, 0), clipping off) and fills every pixel, or returns false. After a false
// result the picture may have a new size and undefined pixels: callers drop it.
//
// Every reader refuses images larger than Picture::kMaxSide pixels a side or Picture::kMaxBytes
// bytes before it allocates anything, and fails on data that end early, so no pixel it did not
// decode is reported as part of a picture. A stream without a storage is not read: false.
//
// bDetectAlpha asks the readers to decide whether the picture needs its alpha channel (the
// alpha-channel property of PictureProperties); see each reader. The orientation argument is not
// used by any reader.
//
// Main thread; the readers keep no state between calls.
#pragma once

#include "GP/Stream.h"
#include "UIA/Picture.h"

namespace QV::UIA::PictureReaders {

// Tries PNG, then JPEG, then TGA, each from the stream's position at the call (the stream is
// sought back there before every attempt). TGA has no signature: data that pass its header checks
// decode as TGA. True when one of the readers succeeded.
bool readDetect(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation, bool bDetectAlpha);

// PNG of any colour type and bit depth, interlaced or not; 16-bit samples keep their high byte.
// The alpha-channel property is always set: true only with bDetectAlpha, a colour type with alpha
// (palette, grey with alpha, RGB with alpha) and at least one pixel with alpha below 0xFF. A grey or
// RGB image with a tRNS colour key gets alpha 0 in its keyed pixels but not the property.
bool readPNG(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation, bool bDetectAlpha);

// Baseline or progressive JPEG in grey, YCbCr, RGB, CMYK or YCCK; every pixel comes out opaque.
// An ICC profile embedded in APP2 markers converts RGB and CMYK data to sRGB (perceptual intent);
// grey and YCbCr data are shown without conversion. A profile that cannot be used for the data
// (unreadable, or of another colour space) fails the read; ICC markers that do not form one
// complete, consistent sequence are ignored. CMYK without a profile is converted by the plain
// ink formula. With bDetectAlpha the alpha-channel property is cleared; without it, untouched.
bool readJPG(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation, bool bDetectAlpha);

// TGA, uncompressed (image type 2) or run-length encoded (10) true colour of 32, 24 or 16 bits per
// pixel; the image-ID field and a colour map are skipped. Rows stored bottom first (descriptor bit
// 0x20 clear) are turned top first. 16-bit pixels have five bits per channel; the word 0 is fully
// transparent, every other word opaque. With bDetectAlpha the alpha-channel property is set when a
// pixel has alpha below 0xFF (32 bits) or is the word 0 (16 bits), else cleared; without it,
// untouched.
bool readTGA(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation, bool bDetectAlpha);

}  // namespace QV::UIA::PictureReaders
