// NSObject: the root class (see NSObject.h).
//
// Implements: the methods listed in NSObject.h, over the runtime's root counting and search.
// Lacks: see NSObject.h.
// Deviations: see NSObject.h.
#include "Foundation/Bridge.h"
#include "Foundation/ClassDefinition.h"
#include "Foundation/NSObject.h"

#include <cstdio>

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

Class asClass(id self) { return static_cast<Class>(self); }

// ---- class methods ----

id alloc(id self, SEL) { return class_createInstance(asClass(self), 0); }

id newObject(id self, SEL) { return msgSend<id>(msgSend<id>(self, s_alloc), s_init); }

Class classOfClass(id self, SEL) { return asClass(self); }

Class superclassOfClass(id self, SEL) { return class_getSuperclass(asClass(self)); }

id autoreleasedString(const char* text) { return objc_autorelease(qvcompat::foundation::newString(text)); }

id describeClass(id self, SEL) { return autoreleasedString(class_getName(asClass(self))); }

// ---- instance methods ----

id init(id self, SEL) { return self; }

id retain(id self, SEL) { return objc::rootRetain(self); }

void release(id self, SEL) { objc::rootRelease(self); }

id autorelease(id self, SEL) { return objc::rootAutorelease(self); }

NSUInteger retainCount(id self, SEL) { return objc::rootRetainCount(self); }

void dealloc(id self, SEL) { object_dispose(self); }

Class classOfInstance(id self, SEL) { return object_getClass(self); }

Class superclassOfInstance(id self, SEL) { return class_getSuperclass(object_getClass(self)); }

BOOL isKindOfClass(id self, SEL, Class cls) { return objc::isKindOfClass(self, cls); }

BOOL isMemberOfClass(id self, SEL, Class cls) { return cls && object_getClass(self) == cls ? YES : NO; }

BOOL respondsToSelector(id self, SEL, SEL op) { return objc::respondsToSelector(self, op); }

id performSelector(id self, SEL, SEL op) { return msgSend<id>(self, op); }

id performSelectorWithObject(id self, SEL, SEL op, id object) { return msgSend<id>(self, op, object); }

id performSelectorWithObjects(id self, SEL, SEL op, id first, id second)
{
    return msgSend<id>(self, op, first, second);
}

id describeInstance(id self, SEL)
{
    char text[256];
    std::snprintf(text, sizeof text, "<%s: %p>", object_getClassName(self), static_cast<void*>(self));
    return autoreleasedString(text);
}

}  // namespace

namespace qvcompat::foundation {

Class NSObjectClass()
{
    static const Class s_class =
        ClassDefinition("NSObject", Nil)
            .classMethod("alloc", &alloc, "@@:")
            .classMethod("new", &newObject, "@@:")
            .classMethod("class", &classOfClass, "#@:")
            .classMethod("superclass", &superclassOfClass, "#@:")
            .classMethod("description", &describeClass, "@@:")
            .method("init", &init, "@@:")
            .method("retain", &retain, "@@:")
            .method("release", &release, "v@:")
            .method("autorelease", &autorelease, "@@:")
            .method("retainCount", &retainCount, "Q@:")
            .method("dealloc", &dealloc, "v@:")
            .method("class", &classOfInstance, "#@:")
            .method("superclass", &superclassOfInstance, "#@:")
            .method("isKindOfClass:", &isKindOfClass, "c@:#")
            .method("isMemberOfClass:", &isMemberOfClass, "c@:#")
            .method("respondsToSelector:", &respondsToSelector, "c@::")
            .method("performSelector:", &performSelector, "@@::")
            .method("performSelector:withObject:", &performSelectorWithObject, "@@::@")
            .method("performSelector:withObject:withObject:", &performSelectorWithObjects, "@@::@@")
            .method("description", &describeInstance, "@@:")
            .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
