// Class pairs and instance variables.
//
// Implements: objc_allocateClassPair, objc_registerClassPair, objc_disposeClassPair, objc_getClass,
// objc_lookUpClass, objc_getMetaClass, class_getName, class_getSuperclass, class_isMetaClass,
// class_getInstanceSize, class_addIvar, class_getInstanceVariable, ivar_*, object_getIvar/SetIvar.
// Lacks: class_setSuperclass, class copying, ivar layouts for garbage collection.
// Deviations: disposal of a pair that still has instances or subclasses is deferred (see runtime.h);
// a superclass must be registered before it is subclassed.
#include "objc/RuntimeInternal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace qvcompat::runtime {

Runtime& Runtime::instance()
{
    // Never destroyed: classes are disposed by static destructors that may run after ours would.
    static Runtime* s_runtime = new Runtime;
    return *s_runtime;
}

void fatal(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::fputs("objc: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    std::fflush(stderr);
    std::abort();
}

void holdPair(ClassPair* pair) { pair->holds.fetch_add(1, std::memory_order_relaxed); }

void releasePair(ClassPair* pair)
{
    while (pair && pair->holds.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        ClassRecord* superclass = pair->cls.superclass;
        delete pair;
        pair = superclass ? superclass->pair : nullptr;  // each pair holds its superclass's pair
    }
}

}  // namespace qvcompat::runtime

using namespace qvcompat::runtime;

namespace {

size_t alignUp(size_t value, size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

}  // namespace

Class objc_allocateClassPair(Class superclass, const char* name, size_t /*extraBytes*/)
{
    if (!name || !*name)
        return Nil;
    Runtime& rt = Runtime::instance();
    std::unique_lock lock(rt.lock);
    ClassRecord* super = record(superclass);
    if (super && (super->meta || !super->registered || super->disposed))
        return Nil;
    if (rt.classes.count(name))
        return Nil;

    auto* pair = new ClassPair;
    ClassRecord& cls = pair->cls;
    ClassRecord& meta = pair->meta;
    cls.pair = meta.pair = pair;
    cls.name = meta.name = name;
    meta.meta = true;
    cls.isa = &meta;
    if (super) {
        holdPair(super->pair);
        cls.superclass = super;
        cls.instanceSize = super->instanceSize;
        cls.alignment = super->alignment;
        meta.superclass = record(super->isa);
        meta.isa = super->isa->isa;  // every metaclass's class is the root metaclass
    } else {
        meta.superclass = &cls;  // class methods fall back to the root class's instance methods
        meta.isa = &meta;
    }
    rt.classes.emplace(cls.name, &cls);
    return &cls;
}

void objc_registerClassPair(Class cls)
{
    ClassRecord* c = record(cls);
    if (!c)
        return;
    Runtime& rt = Runtime::instance();
    std::unique_lock lock(rt.lock);
    if (c->meta || c->registered || c->disposed) {
        std::fprintf(stderr, "objc: objc_registerClassPair: class '%s' is a metaclass, registered or disposed\n",
                     c->name.c_str());
        return;
    }
    c->registered = c->pair->meta.registered = true;
}

void objc_disposeClassPair(Class cls)
{
    ClassRecord* c = record(cls);
    if (!c)
        return;
    {
        Runtime& rt = Runtime::instance();
        std::unique_lock lock(rt.lock);
        if (c->meta || c->disposed) {
            std::fprintf(stderr, "objc: objc_disposeClassPair: class '%s' is a metaclass or disposed\n",
                         c->name.c_str());
            return;
        }
        c->disposed = c->pair->meta.disposed = true;
        auto it = rt.classes.find(c->name);
        if (it != rt.classes.end() && it->second == c)
            rt.classes.erase(it);
    }
    releasePair(c->pair);
}

Class objc_getClass(const char* name)
{
    if (!name)
        return Nil;
    Runtime& rt = Runtime::instance();
    std::shared_lock lock(rt.lock);
    auto it = rt.classes.find(name);
    return it != rt.classes.end() && it->second->registered ? it->second : Nil;
}

Class objc_lookUpClass(const char* name) { return objc_getClass(name); }

Class objc_getMetaClass(const char* name)
{
    Class cls = objc_getClass(name);
    return cls ? cls->isa : Nil;
}

const char* class_getName(Class cls) { return cls ? record(cls)->name.c_str() : "nil"; }

Class class_getSuperclass(Class cls) { return cls ? record(cls)->superclass : Nil; }

BOOL class_isMetaClass(Class cls) { return cls && record(cls)->meta ? YES : NO; }

size_t class_getInstanceSize(Class cls)
{
    if (!cls)
        return 0;
    std::shared_lock lock(Runtime::instance().lock);
    return record(cls)->instanceSize;
}

namespace {

objc_ivar* findIvar(ClassRecord* cls, const char* name)
{
    for (; cls; cls = cls->superclass)
        for (const auto& ivar : cls->ivars)
            if (ivar->name == name)
                return ivar.get();
    return nullptr;
}

}  // namespace

BOOL class_addIvar(Class cls, const char* name, size_t size, uint8_t alignmentLog2, const char* types)
{
    ClassRecord* c = record(cls);
    if (!c || !name || !*name || alignmentLog2 >= 16)
        return NO;
    Runtime& rt = Runtime::instance();
    std::unique_lock lock(rt.lock);
    if (c->meta || c->registered || c->disposed || findIvar(c, name))
        return NO;
    const size_t alignment = size_t{1} << alignmentLog2;
    auto ivar = std::make_unique<objc_ivar>();
    ivar->name = name;
    ivar->types = types ? types : "";
    ivar->offset = static_cast<ptrdiff_t>(alignUp(c->instanceSize, alignment));
    ivar->size = size;
    c->instanceSize = static_cast<size_t>(ivar->offset) + size;
    if (alignment > c->alignment)
        c->alignment = alignment;
    c->ivars.push_back(std::move(ivar));
    return YES;
}

Ivar class_getInstanceVariable(Class cls, const char* name)
{
    if (!cls || !name)
        return nullptr;
    std::shared_lock lock(Runtime::instance().lock);
    return findIvar(record(cls), name);
}

const char* ivar_getName(Ivar ivar) { return ivar ? ivar->name.c_str() : nullptr; }

const char* ivar_getTypeEncoding(Ivar ivar) { return ivar ? ivar->types.c_str() : nullptr; }

ptrdiff_t ivar_getOffset(Ivar ivar) { return ivar ? ivar->offset : 0; }

id object_getIvar(id object, Ivar ivar)
{
    if (!object || !ivar)
        return nil;
    return *reinterpret_cast<id*>(reinterpret_cast<char*>(object) + ivar->offset);
}

void object_setIvar(id object, Ivar ivar, id value)
{
    if (object && ivar)
        *reinterpret_cast<id*>(reinterpret_cast<char*>(object) + ivar->offset) = value;
}
