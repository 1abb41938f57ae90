// Foundation stand-in: points, sizes and rectangles, the same records as CoreGraphics' (as on the
// platform's 64-bit systems).
#pragma once

#include <CoreGraphics/CGGeometry.h>

typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;

inline NSPoint NSMakePoint(CGFloat x, CGFloat y) { return CGPointMake(x, y); }
inline NSSize NSMakeSize(CGFloat width, CGFloat height) { return CGSizeMake(width, height); }
inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
    return CGRectMake(x, y, width, height);
}
