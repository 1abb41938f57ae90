#include "Carbon/TextInputSources.h"

#include "Carbon/KeyboardLayoutSnapshot.h"

#include <CoreFoundation/CFRuntime.h>

#include <cstring>
#include <string>

const CFStringRef kTISPropertyUnicodeKeyLayoutData =
    CFStringCreateWithCString(nullptr, "TISPropertyUnicodeKeyLayoutData", kCFStringEncodingUTF8);
const CFStringRef kTISPropertyInputSourceID =
    CFStringCreateWithCString(nullptr, "TISPropertyInputSourceID", kCFStringEncodingUTF8);

struct __TISInputSource final : qvcompat::cf::Object {
    __TISInputSource(CFDataRef layout, CFStringRef id)
        : Object(TISInputSourceGetTypeID(), &qvcompat::cf::destroyAs<__TISInputSource>), m_layout(layout), m_id(id)
    {}
    ~__TISInputSource()
    {
        CFRelease(m_layout);
        CFRelease(m_id);
    }
    const CFDataRef m_layout;
    const CFStringRef m_id;
};

namespace {

bool sameKey(CFStringRef a, CFStringRef b)
{
    if (a == b)
        return true;
    if (!a || !b || CFStringGetLength(a) != CFStringGetLength(b))
        return false;
    return std::strcmp(qvcompat::cf::stringUTF8(a), qvcompat::cf::stringUTF8(b)) == 0;
}

}  // namespace

CFTypeID TISInputSourceGetTypeID()
{
    static const CFTypeID s_type = qvcompat::cf::registerType();
    return s_type;
}

TISInputSourceRef TISCopyCurrentKeyboardInputSource()
{
    UCKeyboardLayout layout;
    unsigned group = 0;
    if (!qvcompat::carbon::snapshotKeyboardLayout(layout, group))
        return nullptr;
    CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(&layout), sizeof layout);
    const std::string id = "org.x.xkb.group" + std::to_string(group);
    return new __TISInputSource(data, CFStringCreateWithCString(nullptr, id.c_str(), kCFStringEncodingUTF8));
}

void* TISGetInputSourceProperty(TISInputSourceRef source, CFStringRef propertyKey)
{
    if (!source)
        return nullptr;
    if (sameKey(propertyKey, kTISPropertyUnicodeKeyLayoutData))
        return const_cast<__CFData*>(source->m_layout);
    if (sameKey(propertyKey, kTISPropertyInputSourceID))
        return const_cast<__CFString*>(source->m_id);
    return nullptr;
}

uint8_t LMGetKbdType() { return 40; }
