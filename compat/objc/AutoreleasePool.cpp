// Autorelease pools: one stack per thread.
//
// Implements: objc_autoreleasePoolPush, objc_autoreleasePoolPop, objc::rootAutorelease; a thread's
// pools are popped when the thread ends.
// Lacks: pool pages and the fast hand-back of autoreleased results.
// Deviations: popping a pool that is not on the calling thread's stack (popped already, or another
// thread's) is reported on standard error and ignored; an object autoreleased with no pool in place is
// reported and leaked, as on the platform.
#include "objc/RuntimeInternal.h"
#include "objc/message.h"

#include <cstdint>
#include <cstdio>

namespace {

class PoolStack {
public:
    ~PoolStack()
    {
        if (!m_pools.empty())
            pop(m_pools.front().token);
    }

    void* push()
    {
        m_pools.push_back({m_nextToken++, m_objects.size()});
        return reinterpret_cast<void*>(m_pools.back().token);
    }

    void pop(uintptr_t token)
    {
        size_t index = m_pools.size();
        while (index > 0 && m_pools[index - 1].token != token)
            --index;
        if (index == 0) {
            std::fprintf(stderr, "objc: objc_autoreleasePoolPop: pool %p is not on this thread's stack\n",
                         reinterpret_cast<void*>(token));
            return;
        }
        // The pool stays in place while it drains: what a -dealloc autoreleases lands in it (or in a
        // pool that the -dealloc pushes and pops itself) and is drained too.
        const size_t start = m_pools[index - 1].start;
        while (m_objects.size() > start) {
            id object = m_objects.back();
            m_objects.pop_back();
            objc_release(object);
        }
        m_pools.resize(index - 1);  // inner pools go with it
    }

    bool add(id object)
    {
        if (m_pools.empty())
            return false;
        m_objects.push_back(object);
        return true;
    }

private:
    struct Pool {
        uintptr_t token;
        size_t start;  // the first of this pool's objects
    };

    std::vector<id> m_objects;
    std::vector<Pool> m_pools;
    uintptr_t m_nextToken = 1;
};

thread_local PoolStack t_pools;

}  // namespace

void* objc_autoreleasePoolPush(void) { return t_pools.push(); }

void objc_autoreleasePoolPop(void* pool) { t_pools.pop(reinterpret_cast<uintptr_t>(pool)); }

namespace objc {

id rootAutorelease(id self)
{
    if (self && !t_pools.add(self))
        std::fprintf(stderr, "objc: object %p of class %s autoreleased with no pool in place - just leaking\n",
                     static_cast<void*>(self), object_getClassName(self));
    return self;
}

}  // namespace objc
