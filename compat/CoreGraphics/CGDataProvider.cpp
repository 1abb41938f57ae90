#include "CoreGraphics/CGDataProvider.h"

#include "CoreGraphics/standin/ImageSurface.h"

#include <CoreFoundation/CFRuntime.h>

struct __CGDataProvider final : qvcompat::cf::Object {
    __CGDataProvider(void* info, const void* data, size_t size, CGDataProviderReleaseDataCallback release)
        : Object(CGDataProviderGetTypeID(), &qvcompat::cf::destroyAs<__CGDataProvider>), m_info(info), m_data(data),
          m_size(size), m_release(release)
    {}
    ~__CGDataProvider()
    {
        if (m_release)
            m_release(m_info, m_data, m_size);
    }
    void* const m_info;
    const void* const m_data;
    const size_t m_size;
    const CGDataProviderReleaseDataCallback m_release;
};

CFTypeID CGDataProviderGetTypeID()
{
    static const CFTypeID s_type = qvcompat::cf::registerType();
    return s_type;
}

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback releaseData)
{
    return data ? new __CGDataProvider(info, data, size, releaseData) : nullptr;
}

CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider)
{
    if (provider)
        CFRetain(provider);
    return provider;
}

void CGDataProviderRelease(CGDataProviderRef provider)
{
    if (provider)
        CFRelease(provider);
}

namespace qvcompat::coregraphics {

const void* providerBytes(CGDataProviderRef provider, size_t& size)
{
    size = provider ? provider->m_size : 0;
    return provider ? provider->m_data : nullptr;
}

}  // namespace qvcompat::coregraphics
