// Objective-C object runtime stand-in: sending messages.
//
// Implements: typed message sends and super sends (objc::msgSend, objc::msgSendSuper), the nil
// receiver answering a zero value, the root reference counting that root classes build -retain,
// -release, -retainCount and -autorelease on, and helpers to name selectors and register plain
// functions as methods.
// Lacks: the C functions objc_msgSend and objc_msgSendSuper: without the language, a send needs the
// method's types, so it is a template: the platform's `((R (*)(id, SEL, A))objc_msgSend)(o, s, a)` is
// `objc::msgSend<R, A>(o, s, a)` here.
// Deviations: a send of a selector that neither the class nor a superclass implements writes
// "-[Class selector]: unrecognized selector sent to instance 0x..." (or "+[...]" for a class object)
// to standard error and aborts.
#pragma once

#include "objc/runtime.h"

#include <atomic>
#include <cstdint>
#include <type_traits>

struct objc_super {
    id receiver;
    Class super_class;  // where the method search begins: the superclass of the sender's class
};

namespace objc {

namespace detail {

// ---- the method cache: what a send reads without a lock ----
//
// Each class (and metaclass) has a table from selector to implementation, filled by the runtime on
// a send that misses (under its own lock) and read here with atomics only. A table is valid while
// its generation is the runtime's: adding a method anywhere starts a new generation, so no table
// answers for a lookup that the new method may change (an override in a subclass, a method added
// to a superclass). Tables are never freed while their class lives, so a reader never sees freed
// memory; a class's tables go with the class.

struct CacheEntry {
    std::atomic<SEL> sel{nullptr};  // null: free; written last, after imp
    std::atomic<IMP> imp{nullptr};  // g_noMethod: the class has no such method
};

struct MethodCache {
    unsigned generation;
    unsigned shift;  // 64 - log2(capacity)
    size_t mask;     // capacity - 1
    size_t used;     // written under the runtime's cache lock only
    CacheEntry* entries;
};

extern std::atomic<unsigned> g_methodGeneration;
// The implementation cached for a selector that the class does not implement.
void noMethod();

inline size_t cacheSlot(SEL op, unsigned shift)
{
    return static_cast<size_t>((reinterpret_cast<uintptr_t>(op) * 0x9E3779B97F4A7C15ull) >> shift);
}

// The cached implementation (possibly &noMethod), or null when the cache does not know.
inline IMP cachedImp(Class cls, SEL op)
{
    const MethodCache* cache = cls->cache.load(std::memory_order_acquire);
    if (cache->generation != g_methodGeneration.load(std::memory_order_relaxed))
        return nullptr;
    for (size_t i = cacheSlot(op, cache->shift);; i = (i + 1) & cache->mask) {
        const SEL known = cache->entries[i].sel.load(std::memory_order_acquire);
        if (known == op)
            return cache->entries[i].imp.load(std::memory_order_relaxed);
        if (!known)
            return nullptr;
    }
}

// The implementation of `op` for instances of `cls` (null when none), from the cache or, on a
// miss, from the class chain, filling the cache.
IMP lookUp(Class cls, SEL op);

// The implementation of `op` for `self`'s class; reports and aborts when there is none.
IMP lookUpOrDie(id self, SEL op);
// The same, searching from `super->super_class`.
IMP lookUpSuperOrDie(const objc_super* super, SEL op);

// The implementation a send calls: from the cache when it knows, else from the slow path.
inline IMP sendTarget(id self, SEL op)
{
    const Class cls = self->isa;
    if (cls) {
        const IMP imp = cachedImp(cls, op);
        if (imp && imp != &noMethod)
            return imp;
    }
    return lookUpOrDie(self, op);
}

inline IMP superSendTarget(const objc_super* super, SEL op)
{
    if (super->super_class) {
        const IMP imp = cachedImp(super->super_class, op);
        if (imp && imp != &noMethod)
            return imp;
    }
    return lookUpSuperOrDie(super, op);
}

template <class R>
R zero()
{
    if constexpr (std::is_void_v<R>)
        return;
    else
        return R{};
}
}  // namespace detail

// The selector of that name (sel_registerName).
SEL sel(const char* name);

// A selector named once and looked up on first use only, for the selectors a file sends again and
// again: `const objc::Selector s_init{"init"};` at namespace scope, then `msgSend<id>(o, s_init)`.
// Constant-initialised, so usable from any static initialiser, whatever the order of files.
class Selector {
public:
    constexpr explicit Selector(const char* name) : m_name(name) {}
    Selector(const Selector&) = delete;
    Selector& operator=(const Selector&) = delete;

    operator SEL() const
    {
        SEL known = m_sel.load(std::memory_order_acquire);
        return known ? known : resolve();
    }

private:
    SEL resolve() const;

    const char* m_name;
    mutable std::atomic<SEL> m_sel{nullptr};
};

// Sends `op` to `self` with the arguments, calling the bound function as R(id, SEL, Args...). The
// argument types must be exactly the method's parameter types, as with the platform's cast of
// objc_msgSend: name them where a literal would deduce another type, e.g.
// `objc::msgSend<unichar, NSUInteger>(string, objc::sel("characterAtIndex:"), 0)`.
// A nil receiver answers a zero R and calls nothing.
template <class R = id, class... Args>
R msgSend(id self, SEL op, Args... args)
{
    if (!self)
        return detail::zero<R>();
    auto function = reinterpret_cast<R (*)(id, SEL, Args...)>(detail::sendTarget(self, op));
    return function(self, op, args...);
}

// Sends `op` to `super->receiver`, taking the implementation found from `super->super_class` upward.
// Inside a method of class C: `objc_super up{self, class_getSuperclass(C)};`.
template <class R = id, class... Args>
R msgSendSuper(const objc_super* super, SEL op, Args... args)
{
    if (!super || !super->receiver)
        return detail::zero<R>();
    auto function = reinterpret_cast<R (*)(id, SEL, Args...)>(detail::superSendTarget(super, op));
    return function(super->receiver, op, args...);
}

// Registers a plain function (first parameter the receiver, second the selector) as a method.
template <class Function>
BOOL addMethod(Class cls, SEL name, Function* function, const char* types)
{
    static_assert(std::is_function_v<Function>, "register a plain function");
    return class_addMethod(cls, name, reinterpret_cast<IMP>(function), types);
}

// Whether the object's class (or, for a class object, its metaclass) implements the selector.
BOOL respondsToSelector(id self, SEL op);
// Whether the object's class is `cls` or inherits from it.
BOOL isKindOfClass(id self, Class cls);

// The root reference counting of instances made by class_createInstance. Class objects are not
// counted: retaining or releasing one does nothing.
id rootRetain(id self);
// Drops one reference; at the last one sends -dealloc (or frees the object when its class has no
// -dealloc). Answers whether the object went away.
bool rootRelease(id self);
unsigned long rootRetainCount(id self);
// Puts the object into the calling thread's innermost autorelease pool; with no pool, writes a
// warning to standard error and leaks it, as the platform does.
id rootAutorelease(id self);

}  // namespace objc
