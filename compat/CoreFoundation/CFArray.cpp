// CFArray: see CFArray.h.
#include "CoreFoundation/CFArray.h"

#include "CoreFoundation/CFRuntime.h"

#include <cstddef>
#include <utility>
#include <vector>

const CFArrayCallBacks kCFTypeArrayCallBacks{0};

struct __CFArray final : qvcompat::cf::Object {
    static CFTypeID typeId()
    {
        static const CFTypeID s_id = qvcompat::cf::registerType();
        return s_id;
    }
    explicit __CFArray(std::vector<CFTypeRef> values)
        : Object(typeId(), &qvcompat::cf::destroyAs<__CFArray>), m_values(std::move(values))
    {}
    ~__CFArray()
    {
        for (CFTypeRef value : m_values)
            CFRelease(value);
    }
    const std::vector<CFTypeRef> m_values;  // each retained
};

CFTypeID CFArrayGetTypeID() { return __CFArray::typeId(); }

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex count, const CFArrayCallBacks*)
{
    if (count < 0 || (count > 0 && !values))
        return nullptr;
    for (CFIndex i = 0; i < count; ++i)
        if (!values[i])
            return nullptr;
    std::vector<CFTypeRef> retained;
    retained.reserve(static_cast<size_t>(count));
    for (CFIndex i = 0; i < count; ++i)
        retained.push_back(CFRetain(values[i]));
    return new __CFArray(std::move(retained));
}

CFIndex CFArrayGetCount(CFArrayRef array) { return array ? static_cast<CFIndex>(array->m_values.size()) : 0; }

const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index)
{
    if (!array || index < 0 || static_cast<size_t>(index) >= array->m_values.size())
        return nullptr;
    return array->m_values[static_cast<size_t>(index)];
}
