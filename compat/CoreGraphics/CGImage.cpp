#include "CoreGraphics/CGImage.h"

#include "CoreGraphics/standin/ImageSurface.h"

#include <CoreFoundation/CFRuntime.h>

#include <atomic>
#include <cstdlib>
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

std::atomic<uint64_t> s_convertedPixels{0};

constexpr bool kHostLittle = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

enum class eAlpha {
    skipped,
    straight,
    premultiplied
};

uint32_t premultiply(uint32_t component, uint32_t alpha) { return (component * alpha + 127) / 255; }

// One row of the image's pixels to cairo's premultiplied native ARGB. The layout is a template
// argument so that the common rows (little-endian, alpha first) compile to a tight loop.
template <bool kLittle, bool kAlphaFirst, eAlpha kAlpha>
void convertRow(const uint8_t* in, uint32_t* out, int count)
{
    for (int x = 0; x < count; ++x, in += 4) {
        // The pixel as one 32-bit word in the image's byte order, then its components.
        uint32_t word;
        std::memcpy(&word, in, sizeof word);
        if (kLittle != kHostLittle)
            word = __builtin_bswap32(word);
        const uint32_t argb = kAlphaFirst ? word : (word >> 8) | (word << 24);
        if constexpr (kAlpha == eAlpha::skipped) {
            out[x] = argb | 0xFF000000u;
            continue;
        }
        const uint32_t a = argb >> 24;
        uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
        if constexpr (kAlpha == eAlpha::straight) {
            r = premultiply(r, a);
            g = premultiply(g, a);
            b = premultiply(b, a);
        } else {
            // Premultiplied data cannot exceed its alpha; cairo's blending would overflow.
            r = r > a ? a : r;
            g = g > a ? a : g;
            b = b > a ? a : b;
        }
        out[x] = a << 24 | r << 16 | g << 8 | b;
    }
}

using RowConverter = void (*)(const uint8_t*, uint32_t*, int);

template <bool kLittle, bool kAlphaFirst>
RowConverter converterFor(eAlpha alpha)
{
    switch (alpha) {
    case eAlpha::skipped: return &convertRow<kLittle, kAlphaFirst, eAlpha::skipped>;
    case eAlpha::straight: return &convertRow<kLittle, kAlphaFirst, eAlpha::straight>;
    default: return &convertRow<kLittle, kAlphaFirst, eAlpha::premultiplied>;
    }
}

RowConverter converterFor(CGBitmapInfo info)
{
    const CGBitmapInfo alphaInfo = info & kCGBitmapAlphaInfoMask;
    const bool little = (info & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little;
    const bool alphaFirst = alphaInfo == kCGImageAlphaFirst || alphaInfo == kCGImageAlphaPremultipliedFirst ||
                            alphaInfo == kCGImageAlphaNoneSkipFirst;
    const eAlpha alpha = alphaInfo == kCGImageAlphaFirst || alphaInfo == kCGImageAlphaLast ? eAlpha::straight
                         : alphaInfo == kCGImageAlphaNoneSkipFirst || alphaInfo == kCGImageAlphaNoneSkipLast
                             ? eAlpha::skipped
                             : eAlpha::premultiplied;
    if (little)
        return alphaFirst ? converterFor<true, true>(alpha) : converterFor<true, false>(alpha);
    return alphaFirst ? converterFor<false, true>(alpha) : converterFor<false, false>(alpha);
}

// Opaque pixels whose words are in the processor's byte order with the unused byte first are
// cairo's RGB24 already: cairo reads them where they are.
bool isCairoLayout(CGImageRef image, const uint8_t* first)
{
    const CGBitmapInfo order = image->m_info & kCGBitmapByteOrderMask;
    const bool little = order == kCGBitmapByteOrder32Little;
    const bool big = order == kCGBitmapByteOrder32Big || order == kCGBitmapByteOrderDefault;
    return (image->m_info & kCGBitmapAlphaInfoMask) == kCGImageAlphaNoneSkipFirst && (kHostLittle ? little : big) &&
           image->m_bytesPerRow % 4 == 0 && reinterpret_cast<uintptr_t>(first) % alignof(uint32_t) == 0;
}

const cairo_user_data_key_t s_imageKey{};
const cairo_user_data_key_t s_bufferKey{};

cairo_surface_t* surfaceOverImageBytes(CGImageRef image, const uint8_t* first, int width, int height)
{
    // cairo only reads a source; the const is cast away for its interface alone.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(const_cast<uint8_t*>(first), CAIRO_FORMAT_RGB24,
                                                                   width, height, int(image->m_bytesPerRow));
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
        cairo_surface_set_user_data(surface, &s_imageKey, CGImageRetain(image),
                                    [](void* kept) { CGImageRelease(static_cast<CGImageRef>(kept)); });
    return surface;
}

cairo_surface_t* convertedSurface(CGImageRef image, const uint8_t* first, int width, int height)
{
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    // Our own buffer: every byte is written, so cairo's cleared allocation would be wasted work.
    auto* pixels = static_cast<unsigned char*>(std::malloc(size_t(stride) * size_t(height)));
    if (!pixels)
        return cairo_image_surface_create(CAIRO_FORMAT_INVALID, 0, 0);
    const RowConverter convert = converterFor(image->m_info);
    for (int y = 0; y < height; ++y)
        convert(first + size_t(y) * image->m_bytesPerRow, reinterpret_cast<uint32_t*>(pixels + size_t(y) * stride),
                width);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, width, height, stride);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface, &s_bufferKey, pixels, &std::free) != CAIRO_STATUS_SUCCESS)
        std::free(pixels);
    s_convertedPixels.fetch_add(uint64_t(width) * uint64_t(height), std::memory_order_relaxed);
    return surface;
}

}  // namespace

cairo_surface_t* createImageSurface(CGImageRef image, int left, int top, int width, int height)
{
    if (!image || left < 0 || top < 0 || width <= 0 || height <= 0 || size_t(left) + size_t(width) > image->m_width ||
        size_t(top) + size_t(height) > image->m_height)
        return nullptr;
    size_t size = 0;
    const auto* first = static_cast<const uint8_t*>(providerBytes(image->m_provider, size)) +
                        size_t(top) * image->m_bytesPerRow + size_t(left) * 4;
    return isCairoLayout(image, first) ? surfaceOverImageBytes(image, first, width, height)
                                       : convertedSurface(image, first, width, height);
}

const uint8_t* cairoLayoutPixels(CGImageRef image)
{
    if (!image || image->m_width == 0 || image->m_height == 0)
        return nullptr;
    size_t size = 0;
    const auto* first = static_cast<const uint8_t*>(providerBytes(image->m_provider, size));
    const size_t needed = (image->m_height - 1) * image->m_bytesPerRow + image->m_width * 4;
    return first && size >= needed && isCairoLayout(image, first) ? first : nullptr;
}

uint64_t convertedPixelCount() { return s_convertedPixels.load(std::memory_order_relaxed); }

}  // namespace qvcompat::coregraphics
