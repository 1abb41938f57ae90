// Toll-free bridging for the stand-in's own code: a CF object of a bridged type (CFString) is the
// Foundation object (NSString), one pointer and one reference count. These are the only conversions
// between the two; no stand-in file casts on its own.
//
// Implements: asObject (CF to Foundation), asCF (Foundation to CF), newString.
// Lacks: checks: the caller knows that the type is bridged (CFGetTypeID tells).
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/NSString.h>

namespace qvcompat::foundation {

// The object a CF reference is.
inline id asObject(CFTypeRef ref) { return static_cast<id>(const_cast<void*>(ref)); }

// The CF reference an object is, e.g. asCF<CFStringRef>(string).
template <class Ref>
Ref asCF(id object)
{
    return static_cast<Ref>(static_cast<const void*>(object));
}

// A new NSString of UTF-8 text, owned by the caller (no autorelease pool needed); nil for null or
// invalid UTF-8.
inline NSString* newString(const char* text)
{
    return static_cast<NSString*>(
        asObject(CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8)));
}

}  // namespace qvcompat::foundation
