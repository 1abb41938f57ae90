// CoreGraphics stand-in: bitmap images over a data provider.
//
// Implements: CGImageCreate for 8 bits per component, 32 bits per pixel RGB with the alpha first or
// last, premultiplied, straight or skipped, in either 32-bit byte order; width, height, bytes per
// row and the bitmap info read back; retain and release.
// Lacks: other depths, masks, decode arrays (ignored), image sources.
// Drawing converts the pixels to cairo's premultiplied ARGB, or reads them in place where they are
// opaque words in the processor's byte order; an unfiltered draw (interpolation none) reads only
// the pixels that the context's clip lets through (standin/ImageSurface.h).
#pragma once

#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGDataProvider.h"
#include "CoreGraphics/CGGeometry.h"

#include <cstddef>
#include <cstdint>

typedef struct __CGImage* CGImageRef;
typedef uint32_t CGBitmapInfo;
typedef int32_t CGColorRenderingIntent;

enum : CGBitmapInfo {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGImageAlphaOnly = 7,
    kCGBitmapAlphaInfoMask = 0x1F,

    kCGBitmapByteOrderDefault = 0 << 12,
    kCGBitmapByteOrder16Little = 1 << 12,
    kCGBitmapByteOrder32Little = 2 << 12,
    kCGBitmapByteOrder16Big = 3 << 12,
    kCGBitmapByteOrder32Big = 4 << 12,
    kCGBitmapByteOrderMask = 0x7000,
};

enum : CGColorRenderingIntent {
    kCGRenderingIntentDefault = 0,
};

CFTypeID CGImageGetTypeID();
// Null for a format outside the supported ones, a size of 0, too few bytes per row, a provider with
// fewer than height x bytesPerRow bytes, or no provider or colour space. The image keeps the
// provider and the colour space.
CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
                         CGColorSpaceRef space, CGBitmapInfo bitmapInfo, CGDataProviderRef provider,
                         const CGFloat* decode, bool shouldInterpolate, CGColorRenderingIntent intent);
CGImageRef CGImageRetain(CGImageRef image);
void CGImageRelease(CGImageRef image);
size_t CGImageGetWidth(CGImageRef image);
size_t CGImageGetHeight(CGImageRef image);
size_t CGImageGetBytesPerRow(CGImageRef image);
CGBitmapInfo CGImageGetBitmapInfo(CGImageRef image);
