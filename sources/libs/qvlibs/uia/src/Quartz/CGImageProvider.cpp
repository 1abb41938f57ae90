#include "Quartz/CGImageProvider.h"

#include "Quartz/QuartzStatics.h"
#include "UIA/Picture.h"

namespace QV::UIA::DETAIL {

CGImageProvider::CGImageProvider(const Picture& picture, bool bPremultiplied)
    : m_width(picture.getWidth()), m_height(picture.getHeight())
{
    if (m_width <= 0 || m_height <= 0 || !picture.getData())
        return;
    const size_t bytesPerRow = (size_t(m_width) * 32 + 7) / 8;
    m_provider = CGDataProviderCreateWithData(nullptr, picture.getData(), bytesPerRow * size_t(m_height), nullptr);
    CGBitmapInfo info = kCGBitmapByteOrder32Little;
    if (!picture.hasAlphaChannel())
        info |= kCGImageAlphaNoneSkipFirst;
    else
        info |= bPremultiplied ? kCGImageAlphaPremultipliedFirst : kCGImageAlphaFirst;
    m_image = CGImageCreate(size_t(m_width), size_t(m_height), 8, 32, bytesPerRow, QuartzStatics::getColorSpace(), info,
                            m_provider, nullptr, false, kCGRenderingIntentDefault);
}

CGImageProvider::~CGImageProvider()
{
    CGImageRelease(m_image);
    CGDataProviderRelease(m_provider);
}

}  // namespace QV::UIA::DETAIL
