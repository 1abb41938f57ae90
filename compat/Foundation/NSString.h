// Foundation stand-in: NSString, one object with CFString.
//
// Implements: +alloc with -initWithCharacters:length: and -init, +stringWithUTF8String:, -length,
// -characterAtIndex:, -getCharacters:range:, -UTF8String, -isEqualToString:, -description. Every
// NSString is a CFString ("toll-free bridged"): the same pointer serves as NSString* and CFStringRef,
// -retain/-release and CFRetain/CFRelease share one count, CFGetTypeID answers CFStringGetTypeID()
// for a string made here, and a string made by CFStringCreate... answers these messages.
// Lacks: mutable strings, formats, comparisons other than equality, encodings other than UTF-8/UTF-16,
// subclassing (the string is a CF object, not an instance of the runtime).
// Deviations: no class cluster: every string is of class NSString, +alloc answers a shared immortal
// placeholder whose -init... answer the real string; -UTF8String stays valid as long as the string
// (not only until the pool drains) and writes an unpaired surrogate as U+FFFD;
// +stringWithUTF8String: answers nil for NULL or invalid UTF-8 (the platform raises for NULL);
// -characterAtIndex: and -getCharacters:range: out of range report and abort (the platform raises).
// A CFString made before Foundation is loaded (see Foundation.h) has no class.
#pragma once

#include "Foundation/NSObject.h"

typedef unsigned short unichar;

struct NSString : NSObject {};
