#include "Quartz/QuartzStatics.h"

namespace QV::UIA::DETAIL {

QuartzStatics::QuartzStatics() : m_colorSpace(CGDisplayCopyColorSpace(CGMainDisplayID()))
{
    if (!m_colorSpace)
        m_colorSpace = CGColorSpaceCreateDeviceRGB();
    if (!m_colorSpace)
        m_colorSpace = CGColorSpaceCreateWithName(kCGColorSpaceGenericRGB);
}

QuartzStatics::~QuartzStatics() { CGColorSpaceRelease(m_colorSpace); }

CGColorSpaceRef QuartzStatics::getColorSpace()
{
    static const QuartzStatics s_statics;
    return s_statics.m_colorSpace;
}

}  // namespace QV::UIA::DETAIL
