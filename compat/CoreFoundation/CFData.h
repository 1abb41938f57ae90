// CoreFoundation stand-in: immutable byte buffers.
//
// Implements: CFDataCreate (a copy of the bytes), CFDataGetBytePtr, CFDataGetLength, CFDataGetTypeID.
// Lacks: mutable data, no-copy creation, ranges.
// Null data answers null and 0.
#pragma once

#include "CoreFoundation/CoreFoundation.h"

typedef const struct __CFData* CFDataRef;

CFTypeID CFDataGetTypeID();
// A new object holding a copy of `length` bytes; null for a negative length or null bytes with a
// non-zero length.
CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length);
// The bytes, valid as long as the object lives; null for null data or an empty one.
const UInt8* CFDataGetBytePtr(CFDataRef data);
CFIndex CFDataGetLength(CFDataRef data);
