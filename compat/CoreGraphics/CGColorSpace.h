// CoreGraphics stand-in: colour spaces. Every colour space is sRGB-like RGB: cairo draws device
// values and X servers have no colour management, so spaces are named but all convert alike.
//
// Implements: device RGB, named spaces (kCGColorSpaceGenericRGB, kCGColorSpaceSRGB), retain and
// release (CGColorSpaceRelease and CFRelease alike; null is fine).
// Lacks: every other model, ICC profiles, conversions.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <cstddef>

typedef struct __CGColorSpace* CGColorSpaceRef;

extern const CFStringRef kCGColorSpaceGenericRGB;
extern const CFStringRef kCGColorSpaceSRGB;

CFTypeID CGColorSpaceGetTypeID();
CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
// Null for a name other than the two above.
CGColorSpaceRef CGColorSpaceCreateWithName(CFStringRef name);
CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space);
void CGColorSpaceRelease(CGColorSpaceRef space);
// 3 for RGB.
size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space);
