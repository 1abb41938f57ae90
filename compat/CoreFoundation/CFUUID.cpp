#include "CFTypes.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

CFTypeID __CFUUID::typeId()
{
    static const CFTypeID s_id = qvcompat::cf::registerType();
    return s_id;
}

bool CFUUIDBytesEqual(const CFUUIDBytes& a, const CFUUIDBytes& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

CFUUIDRef CFUUIDGetConstantUUIDWithBytes(CFAllocatorRef, UInt8 b0, UInt8 b1, UInt8 b2, UInt8 b3, UInt8 b4, UInt8 b5,
                                         UInt8 b6, UInt8 b7, UInt8 b8, UInt8 b9, UInt8 b10, UInt8 b11, UInt8 b12,
                                         UInt8 b13, UInt8 b14, UInt8 b15)
{
    // Constants are interned and never freed: one object per distinct value, as on the platform.
    static std::mutex s_lock;
    static auto* s_constants = new std::vector<__CFUUID*>;
    const CFUUIDBytes bytes{b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15};
    std::lock_guard<std::mutex> lock(s_lock);
    for (__CFUUID* uuid : *s_constants)
        if (CFUUIDBytesEqual(uuid->m_bytes, bytes))
            return uuid;
    s_constants->push_back(new __CFUUID(bytes));
    return s_constants->back();
}

CFUUIDBytes CFUUIDGetUUIDBytes(CFUUIDRef uuid) { return uuid->m_bytes; }
