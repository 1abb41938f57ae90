#include "UIA/DeviceContext.h"

#include "Quartz/QuartzStatics.h"
#include "UIA/Picture.h"

#include <cmath>

namespace QV::UIA {

// The platform side: the context while attached and our reference to the shared colour space.
struct DeviceContext::tPlatform {
    CGContextRef context = nullptr;
    CGColorSpaceRef colorSpace = nullptr;
};

DeviceContext::DeviceContext(int width, int height)
    : m_width(width), m_height(height), m_pPlatform(std::make_unique<tPlatform>())
{
    m_pPlatform->colorSpace = CGColorSpaceRetain(DETAIL::QuartzStatics::getColorSpace());
}

DeviceContext::~DeviceContext() { CGColorSpaceRelease(m_pPlatform->colorSpace); }

void DeviceContext::attachOSHandle(CGContextRef context)
{
    m_context = context;
    m_pPlatform->context = context;
    if (!context)
        return;
    CGContextSaveGState(context);
    // Pictures are copied pixel for pixel: no smoothing of edges or of scaled pixels.
    CGContextSetShouldAntialias(context, false);
    CGContextSetInterpolationQuality(context, kCGInterpolationNone);
    CGContextSetFillColorSpace(context, m_pPlatform->colorSpace);
    CGContextSetStrokeColorSpace(context, m_pPlatform->colorSpace);
    CGContextSetLineWidth(context, 0.1);
    CGContextSetBlendMode(context, kCGBlendModeNormal);
}

void DeviceContext::detachOSHandle()
{
    if (m_context)
        CGContextRestoreGState(m_context);
    m_context = nullptr;
    m_pPlatform->context = nullptr;
}

void DeviceContext::updateFromPicture(const Picture& picture, bool bAlpha)
{
    const int width = picture.getWidth();
    const int height = picture.getHeight();
    if (!m_context || width <= 0 || height <= 0 || !picture.getData())
        return;
    const size_t bytesPerRow = size_t(width) * 4;
    CGDataProviderRef provider =
        CGDataProviderCreateWithData(nullptr, picture.getData(), bytesPerRow * size_t(height), nullptr);
    const CGBitmapInfo info = kCGBitmapByteOrder32Little | (bAlpha ? kCGImageAlphaFirst : kCGImageAlphaNoneSkipFirst);
    CGImageRef image = CGImageCreate(size_t(width), size_t(height), 8, 32, bytesPerRow, m_pPlatform->colorSpace, info,
                                     provider, nullptr, false, kCGRenderingIntentDefault);
    // The x scale serves both directions: windows are scaled uniformly.
    const float targetWidth = std::lround(width / m_scaleX);
    const float targetHeight = std::lround(height / m_scaleX);
    CGContextSaveGState(m_context);
    // The view's y axis points down; the image is drawn with its first row at the top.
    CGContextTranslateCTM(m_context, 0, targetHeight);
    CGContextScaleCTM(m_context, 1, -1);
    CGContextDrawImage(m_context, CGRectMake(0, 0, targetWidth, targetHeight), image);
    CGContextRestoreGState(m_context);
    CGImageRelease(image);
    CGDataProviderRelease(provider);
}

}  // namespace QV::UIA
