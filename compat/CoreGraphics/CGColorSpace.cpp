#include "CoreGraphics/CGColorSpace.h"

#include <CoreFoundation/CFRuntime.h>

#include <cstring>
#include <initializer_list>

const CFStringRef kCGColorSpaceGenericRGB =
    CFStringCreateWithCString(nullptr, "kCGColorSpaceGenericRGB", kCFStringEncodingUTF8);
const CFStringRef kCGColorSpaceSRGB = CFStringCreateWithCString(nullptr, "kCGColorSpaceSRGB", kCFStringEncodingUTF8);

struct __CGColorSpace final : qvcompat::cf::Object {
    __CGColorSpace() : Object(CGColorSpaceGetTypeID(), &qvcompat::cf::destroyAs<__CGColorSpace>) {}
};

CFTypeID CGColorSpaceGetTypeID()
{
    static const CFTypeID s_type = qvcompat::cf::registerType();
    return s_type;
}

CGColorSpaceRef CGColorSpaceCreateDeviceRGB() { return new __CGColorSpace; }

CGColorSpaceRef CGColorSpaceCreateWithName(CFStringRef name)
{
    if (!name)
        return nullptr;
    const char* text = qvcompat::cf::stringUTF8(name);
    for (CFStringRef known : {kCGColorSpaceGenericRGB, kCGColorSpaceSRGB})
        if (std::strcmp(text, qvcompat::cf::stringUTF8(known)) == 0)
            return new __CGColorSpace;
    return nullptr;
}

CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space)
{
    if (space)
        CFRetain(space);
    return space;
}

void CGColorSpaceRelease(CGColorSpaceRef space)
{
    if (space)
        CFRelease(space);
}

size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space) { return space ? 3 : 0; }
