#include "ObjcTestSupport.h"

#include <atomic>

namespace qvcompat::test {

namespace {

void countingDealloc(id self, SEL op)
{
    Ivar counter = class_getInstanceVariable(countedClass(), "counter");
    ++*reinterpret_cast<int*>(object_getIvar(self, counter));
    objc_super up{self, class_getSuperclass(countedClass())};
    objc::msgSendSuper<void>(&up, op);
}

}  // namespace

Class countedClass()
{
    static const Class s_class = [] {
        Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "QVTestCountedObject", 0);
        class_addIvar(cls, "counter", sizeof(int*), 3, "^i");
        objc::addMethod(cls, sel("dealloc"), &countingDealloc, "v@:");
        objc_registerClassPair(cls);
        return cls;
    }();
    return s_class;
}

id makeCounted(int* deallocs)
{
    id object = objc::msgSend<id>(countedClass(), sel("new"));
    object_setIvar(object, class_getInstanceVariable(countedClass(), "counter"), reinterpret_cast<id>(deallocs));
    return object;
}

std::string uniqueName(const char* prefix)
{
    static std::atomic<int> s_next{0};
    return prefix + std::to_string(s_next++);
}

}  // namespace qvcompat::test
