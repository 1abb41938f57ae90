// Objective-C object runtime stand-in: the basic types.
//
// Implements: id, Class, SEL, IMP, BOOL with YES/NO, nil and Nil, and the object header (the class
// pointer comes first in every object, CF objects included); a class object holds its method cache.
// Lacks: the Objective-C language itself: classes are made at run time through <objc/runtime.h> and
// messages are sent with the typed helpers of <objc/message.h>.
// Deviations: Class converts to id implicitly (a class is an object, as on the platform, where the
// compiler does the conversion); IMP is a bare function pointer that a send casts to the method's real
// type, so an IMP must be cast when it is registered.
#pragma once

#include <atomic>

struct objc_object;
struct objc_class;
struct objc_selector;

typedef struct objc_object* id;
typedef struct objc_class* Class;
typedef struct objc_selector* SEL;
typedef void (*IMP)(void);
typedef signed char BOOL;

// Every object starts with its class, a class object with its metaclass.
struct objc_object {
    Class isa;
};

namespace objc::detail {
struct MethodCache;
extern const MethodCache g_emptyMethodCache;
}  // namespace objc::detail

// A class is an object. Its contents are the runtime's own: use the functions of <objc/runtime.h>.
// The method cache is read by the message sends of <objc/message.h> and written by the runtime.
struct objc_class : objc_object {
    std::atomic<const objc::detail::MethodCache*> cache{&objc::detail::g_emptyMethodCache};
};

#define YES ((BOOL)1)
#define NO ((BOOL)0)
#ifndef nil
#define nil nullptr
#endif
#ifndef Nil
#define Nil nullptr
#endif
