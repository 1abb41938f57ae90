// Foundation stand-in: the basic Foundation types.
//
// Implements: NSInteger, NSUInteger, NSUIntegerMax, NSNotFound, NSRange and NSMakeRange.
// Lacks: everything else of the header of that name.
// Deviations: none known (the 64-bit platform's definitions).
#pragma once

#include <objc/message.h>
#include <objc/runtime.h>

#include <climits>

typedef long NSInteger;
typedef unsigned long NSUInteger;

constexpr NSUInteger NSUIntegerMax = ULONG_MAX;
constexpr NSInteger NSNotFound = LONG_MAX;

struct NSRange {
    NSUInteger location;
    NSUInteger length;
};

inline NSRange NSMakeRange(NSUInteger location, NSUInteger length) { return NSRange{location, length}; }
