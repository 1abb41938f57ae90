// Foundation stand-in: the root class NSObject.
//
// Implements: +alloc, +new, +class, +superclass, +description; -init, -retain, -release,
// -autorelease, -retainCount, -dealloc, -class, -superclass, -isKindOfClass:, -isMemberOfClass:,
// -respondsToSelector:, -performSelector: with none, one or two objects, -description. Every method is a
// plain function bound to its selector, so a subclass made at run time overrides any of them and the
// C++ code of the base reaches the override by its own sends (+new sends -init, the last -release sends
// -dealloc).
// Lacks: zones, -copy, -isEqual:/-hash, key-value coding, -conformsToProtocol: (class_conformsToProtocol
// answers), forwarding and -doesNotRecognizeSelector:.
// Deviations: a message nobody implements aborts (see <objc/message.h>); -description answers
// "<ClassName: 0x...>" for an instance and the class name for a class.
#pragma once

#include "Foundation/NSObjCRuntime.h"

// The C++ face of the class, for typed pointers: an NSObject* is an id.
struct NSObject : objc_object {};
