// CFArray stand-in: immutable arrays of CF objects.
//
// Implements: CFArrayCreate with the CF type callbacks (each value retained), CFArrayGetCount,
// CFArrayGetValueAtIndex, CFArrayGetTypeID.
// Lacks: mutable arrays, other callbacks (values are always CF objects, retained), sorting, searching.
// Deviations: an index out of range answers null (the platform's behaviour is undefined there).
#pragma once

typedef const struct __CFArray* CFArrayRef;

#include "CoreFoundation/CoreFoundation.h"

// Accepted for source compatibility; every array retains its CF-typed values.
struct CFArrayCallBacks {
    CFIndex version;
};
extern const CFArrayCallBacks kCFTypeArrayCallBacks;

CFTypeID CFArrayGetTypeID();

// An array of `count` CF objects, each retained; null for a negative count or a null value.
CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex count,
                         const CFArrayCallBacks* callBacks);
CFIndex CFArrayGetCount(CFArrayRef array);
// The value (owned by the array), or null for an index out of range.
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index);
