// NSAutoreleasePool (see NSAutoreleasePool.h).
//
// Implements: the pool's state holds the token of a runtime pool, pushed by -init and popped when the
// state goes with the pool object; -drain and -release free the pool object.
// Lacks: see NSAutoreleasePool.h.
// Deviations: see NSAutoreleasePool.h.
#include "Foundation/ClassDefinition.h"
#include "Foundation/NSAutoreleasePool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct tPool {
    tPool() = default;
    tPool(const tPool&) = delete;
    tPool& operator=(const tPool&) = delete;
    ~tPool() { objc_autoreleasePoolPop(token); }

    void* const token = objc_autoreleasePoolPush();
};

void drain(id self, SEL) { objc::rootRelease(self); }

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
                                     .state<tPool>()
                                     .method("drain", &drain, "v@:")
                                     .method("release", &drain, "v@:")
                                     .method("retain", &refuse, "@@:")
                                     .method("autorelease", &refuse, "@@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
