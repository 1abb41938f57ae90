#include "CoreGraphics/CGImage.h"

#include "CoreGraphics/standin/ImageSurface.h"

#include <CoreFoundation/CFRuntime.h>

#include <cstring>

struct __CGImage final : qvcompat::cf::Object {
    __CGImage(size_t width, size_t height, size_t bytesPerRow, CGColorSpaceRef space, CGBitmapInfo info,
              CGDataProviderRef provider)
        : Object(CGImageGetTypeID(), &qvcompat::cf::destroyAs<__CGImage>), m_width(width), m_height(height),
          m_bytesPerRow(bytesPerRow), m_space(CGColorSpaceRetain(space)), m_info(info),
          m_provider(CGDataProviderRetain(provider))
    {}
    ~__CGImage()
    {
        CGColorSpaceRelease(m_space);
        CGDataProviderRelease(m_provider);
    }
    const size_t m_width;
    const size_t m_height;
    const size_t m_bytesPerRow;
    const CGColorSpaceRef m_space;
    const CGBitmapInfo m_info;
    const CGDataProviderRef m_provider;
};

CFTypeID CGImageGetTypeID()
{
    static const CFTypeID s_type = qvcompat::cf::registerType();
    return s_type;
}

CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
                         CGColorSpaceRef space, CGBitmapInfo bitmapInfo, CGDataProviderRef provider, const CGFloat*,
                         bool, CGColorRenderingIntent)
{
    const CGBitmapInfo alpha = bitmapInfo & kCGBitmapAlphaInfoMask;
    const CGBitmapInfo order = bitmapInfo & kCGBitmapByteOrderMask;
    if (bitsPerComponent != 8 || bitsPerPixel != 32 || alpha == kCGImageAlphaNone || alpha > kCGImageAlphaNoneSkipFirst)
        return nullptr;
    if (order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Little && order != kCGBitmapByteOrder32Big)
        return nullptr;
    // cairo takes int sizes; larger images are refused rather than cut.
    constexpr size_t kMaxSide = 1 << 15;
    if (!space || !provider || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        bytesPerRow < width * 4)
        return nullptr;
    size_t size = 0;
    qvcompat::coregraphics::providerBytes(provider, size);
    if (size / bytesPerRow < height)
        return nullptr;
    return new __CGImage(width, height, bytesPerRow, space, bitmapInfo, provider);
}

CGImageRef CGImageRetain(CGImageRef image)
{
    if (image)
        CFRetain(image);
    return image;
}

void CGImageRelease(CGImageRef image)
{
    if (image)
        CFRelease(image);
}

size_t CGImageGetWidth(CGImageRef image) { return image ? image->m_width : 0; }
size_t CGImageGetHeight(CGImageRef image) { return image ? image->m_height : 0; }
size_t CGImageGetBytesPerRow(CGImageRef image) { return image ? image->m_bytesPerRow : 0; }
CGBitmapInfo CGImageGetBitmapInfo(CGImageRef image) { return image ? image->m_info : 0; }

namespace qvcompat::coregraphics {

namespace {

uint32_t premultiply(uint32_t component, uint32_t alpha) { return (component * alpha + 127) / 255; }

}  // namespace

cairo_surface_t* createImageSurface(CGImageRef image)
{
    if (!image)
        return nullptr;
    const int width = static_cast<int>(image->m_width);
    const int height = static_cast<int>(image->m_height);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
        return surface;
    cairo_surface_flush(surface);
    size_t size = 0;
    auto source = static_cast<const uint8_t*>(providerBytes(image->m_provider, size));
    unsigned char* target = cairo_image_surface_get_data(surface);
    const int targetStride = cairo_image_surface_get_stride(surface);
    const CGBitmapInfo alphaInfo = image->m_info & kCGBitmapAlphaInfoMask;
    const bool little = (image->m_info & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little;
    const bool alphaFirst = alphaInfo == kCGImageAlphaFirst || alphaInfo == kCGImageAlphaPremultipliedFirst ||
                            alphaInfo == kCGImageAlphaNoneSkipFirst;
    const bool straight = alphaInfo == kCGImageAlphaFirst || alphaInfo == kCGImageAlphaLast;
    const bool skipped = alphaInfo == kCGImageAlphaNoneSkipFirst || alphaInfo == kCGImageAlphaNoneSkipLast;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = source + size_t(y) * image->m_bytesPerRow;
        auto out = reinterpret_cast<uint32_t*>(target + size_t(y) * targetStride);
        for (int x = 0; x < width; ++x, in += 4) {
            // The pixel as one 32-bit word in the image's byte order, then its components.
            const uint32_t word =
                little ? uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24
                       : uint32_t(in[0]) << 24 | uint32_t(in[1]) << 16 | uint32_t(in[2]) << 8 | uint32_t(in[3]);
            const uint32_t argb = alphaFirst ? word : (word >> 8) | (word << 24);
            uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
            if (skipped) {
                a = 0xFF;
            } else if (straight) {
                r = premultiply(r, a);
                g = premultiply(g, a);
                b = premultiply(b, a);
            } else if (r > a || g > a || b > a) {
                // Premultiplied data cannot exceed its alpha; cairo's blending would overflow.
                r = r > a ? a : r;
                g = g > a ? a : g;
                b = b > a ? a : b;
            }
            out[x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

}  // namespace qvcompat::coregraphics
