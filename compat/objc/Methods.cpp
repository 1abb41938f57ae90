// Methods and the method search behind every message send.
//
// Implements: class_addMethod, class_getInstanceMethod, class_getClassMethod, method_*,
// class_respondsToSelector, and the search and the report of objc::msgSend and objc::msgSendSuper.
// Lacks: method replacement and exchange, forwarding, +resolveInstanceMethod:, a method cache (the
// search walks the superclass chain under a shared lock; class hierarchies here are a few levels deep).
// Deviations: a selector nobody implements aborts the process after naming class and selector.
#include "objc/RuntimeInternal.h"
#include "objc/message.h"

#include <mutex>

namespace qvcompat::runtime {

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
    return YES;
}

Method class_getInstanceMethod(Class cls, SEL name) { return cls && name ? findMethod(record(cls), name) : nullptr; }

Method class_getClassMethod(Class cls, SEL name) { return cls ? class_getInstanceMethod(cls->isa, name) : nullptr; }

IMP method_getImplementation(Method method) { return method ? method->imp : nullptr; }

SEL method_getName(Method method) { return method ? method->name : nullptr; }

const char* method_getTypeEncoding(Method method) { return method ? method->types.c_str() : nullptr; }

BOOL class_respondsToSelector(Class cls, SEL name) { return class_getInstanceMethod(cls, name) ? YES : NO; }

namespace objc {

namespace detail {

namespace {

[[noreturn]] void unrecognized(ClassRecord* cls, id self, SEL op)
{
    fatal("%c[%s %s]: unrecognized selector sent to %s %p", cls->meta ? '+' : '-', cls->name.c_str(), sel_getName(op),
          cls->meta ? "class" : "instance", static_cast<void*>(self));
}

}  // namespace

IMP lookUpOrDie(id self, SEL op)
{
    ClassRecord* cls = record(self->isa);
    if (!cls)
        fatal("%s sent to %p, which has no class (a CF object made before Foundation was loaded?)", sel_getName(op),
              static_cast<void*>(self));
    if (objc_method* method = findMethod(cls, op))
        return method->imp;
    unrecognized(cls, self, op);
}

IMP lookUpSuperOrDie(const objc_super* super, SEL op)
{
    if (objc_method* method = findMethod(record(super->super_class), op))
        return method->imp;
    if (!super->super_class)
        fatal("super send of %s to %p from a root class", sel_getName(op), static_cast<void*>(super->receiver));
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
