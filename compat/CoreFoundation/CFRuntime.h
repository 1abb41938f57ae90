// The object model under the CoreFoundation stand-in, for the other stand-in pieces that create
// CF objects of their own (IOKit's notification run-loop source). Not for program code.
#pragma once

#include "CoreFoundation/CoreFoundation.h"

#include <atomic>

namespace qvcompat::cf {

// The head of every CF object: a reference count and the type id. Objects are created with one
// reference and destroyed by the CFRelease that drops the last one.
struct Object {
    explicit Object(CFTypeID type) : m_type(type) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    std::atomic<CFIndex> m_refs{1};
    const CFTypeID m_type;
};

// Type ids handed out in registration order; the built-in types take the first ones.
CFTypeID registerType();

// A run-loop source owned by the stand-in piece that created it (released with CFRelease).
CFRunLoopSourceRef createRunLoopSource();

}  // namespace qvcompat::cf
