// The object model under the CoreFoundation stand-in, for the other stand-in pieces that create
// CF objects of their own (IOKit's notification run-loop source) or bridge them (Foundation). Not for
// program code.
#pragma once

#include "CoreFoundation/CoreFoundation.h"

#include <atomic>

namespace qvcompat::cf {

// The head of every CF object. It starts like every object of the Objective-C runtime, with its class,
// so that a CF object whose type Foundation bridges (CFString and NSString) is that Foundation object
// too: messages reach it through the class. The class is taken from the bridge table when the object
// is made, and stays null for types nobody bridges.
//
// Objects are created with one reference and destroyed by the CFRelease that drops the last one,
// through `m_destroy` (the object is not polymorphic: a vtable pointer would displace the class).
struct Object {
    using Destroy = void (*)(Object*);

    Object(CFTypeID type, Destroy destroy);
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    const void* const m_isa;  // must stay first
    std::atomic<CFIndex> m_refs{1};
    const CFTypeID m_type;
    const Destroy m_destroy;
};

// The Destroy function of a concrete type.
template <class T>
void destroyAs(Object* object)
{
    delete static_cast<T*>(object);
}

// Type ids handed out in registration order; the built-in types take the first ones.
CFTypeID registerType();

// The bridge table: the runtime class that objects of a CF type get from now on (null unbridges).
// Foundation fills it for strings while it loads, before the program's static initialisers run.
void setBridgedClass(CFTypeID type, const void* cls);
const void* bridgedClass(CFTypeID type);

// The UTF-8 form of a string, made on first use and kept with the string (thread-safe). Unpaired
// surrogates become U+FFFD.
const char* stringUTF8(CFStringRef string);

// A run-loop source owned by the stand-in piece that created it (released with CFRelease).
CFRunLoopSourceRef createRunLoopSource();

}  // namespace qvcompat::cf
