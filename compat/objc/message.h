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
#include <type_traits>

struct objc_super {
    id receiver;
    Class super_class;  // where the method search begins: the superclass of the sender's class
};

namespace objc {

namespace detail {
// The implementation of `op` for `self`'s class; reports and aborts when there is none.
IMP lookUpOrDie(id self, SEL op);
// The same, searching from `super->super_class`.
IMP lookUpSuperOrDie(const objc_super* super, SEL op);

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
    auto function = reinterpret_cast<R (*)(id, SEL, Args...)>(detail::lookUpOrDie(self, op));
    return function(self, op, args...);
}

// Sends `op` to `super->receiver`, taking the implementation found from `super->super_class` upward.
// Inside a method of class C: `objc_super up{self, class_getSuperclass(C)};`.
template <class R = id, class... Args>
R msgSendSuper(const objc_super* super, SEL op, Args... args)
{
    if (!super || !super->receiver)
        return detail::zero<R>();
    auto function = reinterpret_cast<R (*)(id, SEL, Args...)>(detail::lookUpSuperOrDie(super, op));
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
