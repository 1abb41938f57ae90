#include "CFTypes.h"

#include <algorithm>

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks{0};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks{0};

CFTypeID __CFDictionary::typeId()
{
    static const CFTypeID s_id = qvcompat::cf::registerType();
    return s_id;
}

__CFDictionary::~__CFDictionary()
{
    for (auto& [key, value] : m_entries) {
        CFRelease(key);
        CFRelease(value);
    }
}

CFTypeID CFDictionaryGetTypeID() { return __CFDictionary::typeId(); }

namespace {

// Keys compare as CFEqual would for the types the program uses as keys.
bool keysEqual(CFTypeRef a, CFTypeRef b)
{
    if (a == b)
        return true;
    if (CFGetTypeID(a) != CFGetTypeID(b))
        return false;
    if (CFGetTypeID(a) == CFStringGetTypeID())
        return static_cast<CFStringRef>(a)->m_text == static_cast<CFStringRef>(b)->m_text;
    if (CFGetTypeID(a) == CFNumberGetTypeID())
        return static_cast<CFNumberRef>(a)->m_value == static_cast<CFNumberRef>(b)->m_value;
    return false;
}

}  // namespace

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex, const CFDictionaryKeyCallBacks*,
                                                 const CFDictionaryValueCallBacks*)
{
    return new __CFDictionary;
}

void CFDictionarySetValue(CFMutableDictionaryRef dictionary, const void* key, const void* value)
{
    if (!dictionary || !key || !value)
        return;
    CFRetain(value);
    auto& entries = dictionary->m_entries;
    auto found = std::find_if(entries.begin(), entries.end(), [&](auto& entry) { return keysEqual(entry.first, key); });
    if (found != entries.end()) {
        CFRelease(found->second);
        found->second = value;
        return;
    }
    entries.emplace_back(CFRetain(key), value);
}

const void* CFDictionaryGetValue(CFDictionaryRef dictionary, const void* key)
{
    if (!dictionary || !key)
        return nullptr;
    for (auto& [k, v] : dictionary->m_entries)
        if (keysEqual(k, key))
            return v;
    return nullptr;
}

CFIndex CFDictionaryGetCount(CFDictionaryRef dictionary)
{
    return dictionary ? static_cast<CFIndex>(dictionary->m_entries.size()) : 0;
}
