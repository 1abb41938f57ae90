// Methods, the method caches and the method search behind every message send.
//
// Implements: class_addMethod, class_getInstanceMethod, class_getClassMethod, method_*,
// class_respondsToSelector, the filling of the method caches that objc::msgSend reads (see
// <objc/message.h>), and the search and the report of objc::msgSend and objc::msgSendSuper.
// Lacks: method replacement and exchange, forwarding, +resolveInstanceMethod:.
// Deviations: a selector nobody implements aborts the process after naming class and selector.
// A send that races with class_addMethod may still call the implementation found before.
#include "objc/RuntimeInternal.h"
#include "objc/message.h"

#include <mutex>
#include <new>

namespace objc::detail {

std::atomic<unsigned> g_methodGeneration{0};

void noMethod() {}

namespace {

CacheEntry s_noEntry;

}  // namespace

// Matches no generation in practice, and its one entry is free: every lookup misses.
const MethodCache g_emptyMethodCache{~0u, 64, 0, 0, &s_noEntry};

}  // namespace objc::detail

namespace {

using objc::detail::CacheEntry;
using objc::detail::MethodCache;

constexpr unsigned kFirstCapacityLog2 = 3;

// A new empty table of 2^capacityLog2 entries, header and entries in one block.
MethodCache* newCache(unsigned generation, unsigned capacityLog2)
{
    const size_t capacity = size_t{1} << capacityLog2;
    void* block = ::operator new(sizeof(MethodCache) + capacity * sizeof(CacheEntry));
    auto* entries = reinterpret_cast<CacheEntry*>(static_cast<char*>(block) + sizeof(MethodCache));
    for (size_t i = 0; i < capacity; ++i)
        new (entries + i) CacheEntry;
    return new (block) MethodCache{generation, 64 - capacityLog2, capacity - 1, 0, entries};
}

void deleteCache(const MethodCache* cache)
{
    if (cache == &objc::detail::g_emptyMethodCache)
        return;
    for (size_t i = 0; i <= cache->mask; ++i)
        cache->entries[i].~CacheEntry();
    cache->~MethodCache();
    ::operator delete(const_cast<MethodCache*>(cache));
}

void insert(MethodCache* cache, SEL op, IMP imp)
{
    size_t i = objc::detail::cacheSlot(op, cache->shift);
    while (cache->entries[i].sel.load(std::memory_order_relaxed))
        i = (i + 1) & cache->mask;
    cache->entries[i].imp.store(imp, std::memory_order_relaxed);
    cache->entries[i].sel.store(op, std::memory_order_release);
    ++cache->used;
}

unsigned capacityLog2(const MethodCache* cache) { return 64 - cache->shift; }

}  // namespace

namespace qvcompat::runtime {

ClassRecord::~ClassRecord()
{
    deleteCache(cache.load(std::memory_order_relaxed));
    for (const MethodCache* retired : retiredCaches)
        deleteCache(retired);
}

objc_method* findMethod(ClassRecord* cls, SEL name)
{
    std::shared_lock lock(Runtime::instance().lock);
    for (; cls; cls = cls->superclass) {
        auto it = cls->methods.find(name);
        if (it != cls->methods.end())
            return it->second.get();
    }
    return nullptr;
}

}  // namespace qvcompat::runtime

using namespace qvcompat::runtime;

BOOL class_addMethod(Class cls, SEL name, IMP imp, const char* types)
{
    ClassRecord* c = record(cls);
    if (!c || !name || !imp)
        return NO;
    Runtime& rt = Runtime::instance();
    std::unique_lock lock(rt.lock);
    if (c->disposed || c->methods.count(name))
        return NO;
    auto method = std::make_unique<objc_method>();
    method->name = name;
    method->imp = imp;
    method->types = types ? types : "";
    c->methods.emplace(name, std::move(method));
    // After the method is in place: a cache filled from now on that still has the old generation
    // may hold what the search found before, and is not read any more.
    objc::detail::g_methodGeneration.fetch_add(1, std::memory_order_acq_rel);
    return YES;
}

Method class_getInstanceMethod(Class cls, SEL name) { return cls && name ? findMethod(record(cls), name) : nullptr; }

Method class_getClassMethod(Class cls, SEL name) { return cls ? class_getInstanceMethod(cls->isa, name) : nullptr; }

IMP method_getImplementation(Method method) { return method ? method->imp : nullptr; }

SEL method_getName(Method method) { return method ? method->name : nullptr; }

const char* method_getTypeEncoding(Method method) { return method ? method->types.c_str() : nullptr; }

BOOL class_respondsToSelector(Class cls, SEL name) { return cls && name && objc::detail::lookUp(cls, name) ? YES : NO; }

namespace objc {

namespace detail {

namespace {

[[noreturn]] void unrecognized(ClassRecord* cls, id self, SEL op)
{
    fatal("%c[%s %s]: unrecognized selector sent to %s %p", cls->meta ? '+' : '-', cls->name.c_str(), sel_getName(op),
          cls->meta ? "class" : "instance", static_cast<void*>(self));
}

}  // namespace

// The search, then the cache filled with its result (&noMethod for none).
IMP fill(ClassRecord* cls, SEL op)
{
    // Read before the search: a method added meanwhile makes a newer generation, and the table
    // that receives this result is then never read (see class_addMethod).
    const unsigned generation = g_methodGeneration.load(std::memory_order_acquire);
    objc_method* method = findMethod(cls, op);
    const IMP imp = method ? method->imp : &noMethod;
    Runtime& rt = Runtime::instance();
    std::lock_guard<std::mutex> guard(rt.cacheLock);
    if (g_methodGeneration.load(std::memory_order_acquire) != generation)
        return imp;  // outdated already: leave the cache to a later send
    const MethodCache* current = cls->cache.load(std::memory_order_relaxed);
    MethodCache* target = nullptr;
    if (current->generation != generation) {
        target = newCache(generation, kFirstCapacityLog2);
    } else if (cachedImp(cls, op)) {
        return imp;  // another thread was first
    } else if ((current->used + 1) * 2 > current->mask + 1) {
        target = newCache(generation, capacityLog2(current) + 1);
        for (size_t i = 0; i <= current->mask; ++i)
            if (SEL known = current->entries[i].sel.load(std::memory_order_relaxed))
                insert(target, known, current->entries[i].imp.load(std::memory_order_relaxed));
    } else {
        insert(const_cast<MethodCache*>(current), op, imp);
        return imp;
    }
    insert(target, op, imp);
    cls->cache.store(target, std::memory_order_release);
    if (current != &g_emptyMethodCache)
        cls->retiredCaches.push_back(current);
    return imp;
}

IMP lookUp(Class cls, SEL op)
{
    if (!cls)
        return nullptr;
    IMP imp = cachedImp(cls, op);
    if (!imp)
        imp = fill(record(cls), op);
    return imp == &noMethod ? nullptr : imp;
}

IMP lookUpOrDie(id self, SEL op)
{
    ClassRecord* cls = record(self->isa);
    if (!cls)
        fatal("%s sent to %p, which has no class (a CF object made before Foundation was loaded?)", sel_getName(op),
              static_cast<void*>(self));
    if (IMP imp = lookUp(cls, op))
        return imp;
    unrecognized(cls, self, op);
}

IMP lookUpSuperOrDie(const objc_super* super, SEL op)
{
    if (!super->super_class)
        fatal("super send of %s to %p from a root class", sel_getName(op), static_cast<void*>(super->receiver));
    if (IMP imp = lookUp(super->super_class, op))
        return imp;
    unrecognized(record(super->super_class), super->receiver, op);
}

}  // namespace detail

SEL sel(const char* name) { return sel_registerName(name); }

SEL Selector::resolve() const
{
    // Racing threads store the same unique selector.
    SEL interned = sel_registerName(m_name);
    m_sel.store(interned, std::memory_order_release);
    return interned;
}

BOOL respondsToSelector(id self, SEL op) { return self ? class_respondsToSelector(self->isa, op) : NO; }

BOOL isKindOfClass(id self, Class cls)
{
    if (!self || !cls)
        return NO;
    for (Class c = self->isa; c; c = record(c)->superclass)
        if (c == cls)
            return YES;
    return NO;
}

}  // namespace objc
