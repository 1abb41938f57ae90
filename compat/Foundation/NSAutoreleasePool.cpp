// NSAutoreleasePool (see NSAutoreleasePool.h).
//
// Implements: -init pushes a runtime pool and keeps its token in the ivar "token"; -drain and -release
// pop it and free the pool object.
// Lacks: see NSAutoreleasePool.h.
// Deviations: see NSAutoreleasePool.h.
#include "Foundation/ClassDefinition.h"
#include "Foundation/NSAutoreleasePool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void*& token(id self)
{
    static const ptrdiff_t s_offset =
        ivar_getOffset(class_getInstanceVariable(qvcompat::foundation::NSAutoreleasePoolClass(), "token"));
    return *reinterpret_cast<void**>(reinterpret_cast<char*>(self) + s_offset);
}

id init(id self, SEL)
{
    token(self) = objc_autoreleasePoolPush();
    return self;
}

void drain(id self, SEL)
{
    objc_autoreleasePoolPop(token(self));
    objc::rootRelease(self);
}

[[noreturn]] id refuse(id self, SEL op)
{
    std::fprintf(stderr, "Foundation: -[NSAutoreleasePool %s] sent to %p: a pool cannot be kept\n", sel_getName(op),
                 static_cast<void*>(self));
    std::abort();
}

}  // namespace

namespace qvcompat::foundation {

Class NSAutoreleasePoolClass()
{
    static const Class s_class = ClassDefinition("NSAutoreleasePool", NSObjectClass())
                                     .ivar("token", sizeof(void*), 3, "^v")
                                     .method("init", &init, "@@:")
                                     .method("drain", &drain, "v@:")
                                     .method("release", &drain, "v@:")
                                     .method("retain", &refuse, "@@:")
                                     .method("autorelease", &refuse, "@@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
