// Instances and their reference counts.
//
// Implements: class_createInstance, object_dispose, object_getClass, object_getClassName,
// objc_retain, objc_release, objc_autorelease, and the root counting of <objc/message.h>.
// Lacks: weak references, associated objects, zones.
// Deviations: the count lives in a header just before the object, so the root counting works only on
// objects made by class_createInstance; classes whose objects are made elsewhere (the CF-backed
// NSString) implement -retain and -release themselves, and every release of the runtime and of
// Foundation goes through those methods.
#include "objc/RuntimeInternal.h"
#include "objc/message.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

using namespace qvcompat::runtime;

namespace {

struct InstanceHeader {
    std::atomic<long> refs;
};

// The object is aligned for its largest ivar and at least as a malloc'd block is; the header sits
// right before it, inside the padding.
size_t alignmentOf(const ClassRecord* cls)
{
    return cls->alignment > alignof(std::max_align_t) ? cls->alignment : alignof(std::max_align_t);
}

InstanceHeader* header(id object) { return reinterpret_cast<InstanceHeader*>(object) - 1; }

bool isClassObject(id object) { return record(object->isa)->meta; }

}  // namespace

id class_createInstance(Class cls, size_t extraBytes)
{
    ClassRecord* c = record(cls);
    if (!c)
        return nil;
    size_t instanceSize;
    {
        // The hold is taken under the lock, so that a concurrent dispose cannot free the pair first.
        std::shared_lock lock(Runtime::instance().lock);
        if (c->meta || !c->registered || c->disposed)
            return nil;
        instanceSize = c->instanceSize;
        holdPair(c->pair);
    }
    const size_t alignment = alignmentOf(c);
    const size_t total = alignment + instanceSize + extraBytes;
    char* base;
    try {
        base = static_cast<char*>(::operator new(total, std::align_val_t(alignment)));
    } catch (...) {
        releasePair(c->pair);
        throw;
    }
    std::memset(base, 0, total);
    auto object = reinterpret_cast<id>(base + alignment);
    new (header(object)) InstanceHeader{{1}};
    object->isa = cls;
    return object;
}

void object_dispose(id object)
{
    if (!object)
        return;
    ClassRecord* c = record(object->isa);
    const size_t alignment = alignmentOf(c);
    header(object)->~InstanceHeader();
    ::operator delete(reinterpret_cast<char*>(object) - alignment, std::align_val_t(alignment));
    releasePair(c->pair);
}

Class object_getClass(id object) { return object ? object->isa : Nil; }

const char* object_getClassName(id object) { return class_getName(object_getClass(object)); }

// Each is one cached lookup: the class's own method when it has one, else the root behaviour.
id objc_retain(id object)
{
    static const objc::Selector s_retain{"retain"};
    if (!object)
        return nil;
    if (IMP imp = objc::detail::lookUp(object->isa, s_retain))
        return reinterpret_cast<id (*)(id, SEL)>(imp)(object, s_retain);
    return objc::rootRetain(object);
}

void objc_release(id object)
{
    static const objc::Selector s_release{"release"};
    if (!object)
        return;
    if (IMP imp = objc::detail::lookUp(object->isa, s_release))
        reinterpret_cast<void (*)(id, SEL)>(imp)(object, s_release);
    else
        objc::rootRelease(object);
}

id objc_autorelease(id object)
{
    static const objc::Selector s_autorelease{"autorelease"};
    if (!object)
        return nil;
    if (IMP imp = objc::detail::lookUp(object->isa, s_autorelease))
        return reinterpret_cast<id (*)(id, SEL)>(imp)(object, s_autorelease);
    return objc::rootAutorelease(object);
}

namespace objc {

id rootRetain(id self)
{
    if (self && !isClassObject(self))
        header(self)->refs.fetch_add(1, std::memory_order_relaxed);
    return self;
}

bool rootRelease(id self)
{
    static const objc::Selector s_dealloc{"dealloc"};
    if (!self || isClassObject(self))
        return false;
    const long before = header(self)->refs.fetch_sub(1, std::memory_order_acq_rel);
    if (before > 1)
        return false;
    if (before < 1)
        fatal("-[%s release]: object %p released after its last reference", object_getClassName(self),
              static_cast<void*>(self));
    if (IMP dealloc = detail::lookUp(self->isa, s_dealloc))
        reinterpret_cast<void (*)(id, SEL)>(dealloc)(self, s_dealloc);
    else
        object_dispose(self);
    return true;
}

unsigned long rootRetainCount(id self)
{
    if (!self)
        return 0;
    if (isClassObject(self))
        return ULONG_MAX;
    return static_cast<unsigned long>(header(self)->refs.load(std::memory_order_relaxed));
}

}  // namespace objc
