#include "CoreFoundation/CFData.h"

#include "CoreFoundation/CFRuntime.h"

#include <vector>

struct __CFData final : qvcompat::cf::Object {
    explicit __CFData(std::vector<UInt8> bytes)
        : Object(CFDataGetTypeID(), &qvcompat::cf::destroyAs<__CFData>), m_bytes(std::move(bytes))
    {}
    const std::vector<UInt8> m_bytes;
};

CFTypeID CFDataGetTypeID()
{
    static const CFTypeID s_type = qvcompat::cf::registerType();
    return s_type;
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length)
{
    if (length < 0 || (!bytes && length > 0))
        return nullptr;
    return new __CFData(std::vector<UInt8>(bytes, bytes + length));
}

const UInt8* CFDataGetBytePtr(CFDataRef data)
{
    return data && !data->m_bytes.empty() ? data->m_bytes.data() : nullptr;
}

CFIndex CFDataGetLength(CFDataRef data) { return data ? static_cast<CFIndex>(data->m_bytes.size()) : 0; }
