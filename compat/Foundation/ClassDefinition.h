// Defining a stand-in class in C++, the one way every stand-in class (Foundation, AppKit) is made.
//
// - Methods are plain functions bound to selectors, so a class that the program derives at run time
//   overrides them, and the stand-in's C++ code reaches such an override by sending the message.
// - The instances' C++ state is one record behind one pointer ivar, whose offset is cached when the
//   class is defined: `state<tThing>()` adds the ivar and binds -init (the superclass's -init, then
//   a new tThing) and -dealloc (deletes the tThing, then the superclass's -dealloc). The record's
//   destructor releases what it holds. `InstanceState<tThing>::of(self)` reaches it.
// - Selectors that are sent again and again are objc::Selector constants, looked up once.
// - A CF object of a bridged type is the Foundation object: convert with asObject / asCF
//   (Foundation/Bridge.h), never with casts of one's own.
//
//   struct tThing {
//       ~tThing() { objc_release(m_target); }
//       id m_target = nil;  // retained
//   };
//   using ThingState = InstanceState<tThing>;
//   const objc::Selector s_frob{"frob:"};
//
//   void setTarget(id self, SEL, id target) {
//       id& held = ThingState::of(self).m_target;
//       objc_retain(target);
//       objc_release(std::exchange(held, target));
//   }
//
//   Class NSThingClass() {
//       static const Class s_class = ClassDefinition("NSThing", NSObjectClass())
//                                         .state<tThing>()
//                                         .method("setTarget:", &setTarget, "v@:@")
//                                         .registerClass();
//       return s_class;
//   }
//
// A class whose designated initializer is another one (-initWithFrame:) reaches the state's -init
// by a super send that starts at the class itself: `objc_super here{self, NSThingClass()};`.
//
// Implements: a builder over objc_allocateClassPair, class_addIvar, class_addMethod and
// objc_registerClassPair, and the instance state.
// Lacks: protocols (no stand-in class adopts one yet).
// Deviations: a definition that fails (a taken name, a duplicate selector, a state record given to
// two classes) is a mistake in the stand-in: it is reported on standard error and aborts, as is a
// message that needs the state sent to an object that has none (not initialised, or deallocated).
#pragma once

#include "Foundation/FoundationClasses.h"

#include <objc/message.h>
#include <objc/runtime.h>

#include <cstddef>
#include <string>
#include <utility>

namespace qvcompat::foundation {

namespace detail {
[[noreturn]] void missingState(id self);
[[noreturn]] void stateDefinedTwice(Class first, Class second);
}  // namespace detail

template <class State>
class InstanceState {
public:
    // The state of `self`, an instance of the defining class or of a subclass, between -init and
    // -dealloc; reports and aborts otherwise.
    static State& of(id self)
    {
        State* state = self ? slot(self) : nullptr;
        if (!state)
            detail::missingState(self);
        return *state;
    }

    // The state, or null for nil or an object that has none (yet or any more).
    static State* find(id self) { return self ? slot(self) : nullptr; }

private:
    friend class ClassDefinition;

    static State*& slot(id self) { return *reinterpret_cast<State**>(reinterpret_cast<char*>(self) + s_offset); }

    static id init(id self, SEL op)
    {
        objc_super up{self, class_getSuperclass(s_class)};
        self = objc::msgSendSuper<id>(&up, op);
        if (self && !slot(self))
            slot(self) = new State();
        return self;
    }

    static void dealloc(id self, SEL op)
    {
        delete std::exchange(slot(self), nullptr);
        objc_super up{self, class_getSuperclass(s_class)};
        objc::msgSendSuper<void>(&up, op);
    }

    // Set once, while the class is defined, before any instance exists; read-only afterwards.
    static inline Class s_class = Nil;
    static inline ptrdiff_t s_offset = 0;
};

class ClassDefinition {
public:
    ClassDefinition(const char* name, Class superclass);
    ClassDefinition(const ClassDefinition&) = delete;
    ClassDefinition& operator=(const ClassDefinition&) = delete;

    template <class Function>
    ClassDefinition& method(const char* selector, Function* function, const char* types)
    {
        check(objc::addMethod(m_class, sel_registerName(selector), function, types), selector);
        return *this;
    }

    template <class Function>
    ClassDefinition& classMethod(const char* selector, Function* function, const char* types)
    {
        check(objc::addMethod(object_getClass(m_class), sel_registerName(selector), function, types), selector);
        return *this;
    }

    // The instances' C++ state (see above): its ivar, -init and -dealloc.
    template <class State>
    ClassDefinition& state()
    {
        using Slot = InstanceState<State>;
        if (Slot::s_class)
            detail::stateDefinedTwice(Slot::s_class, m_class);
        Slot::s_offset = addStateIvar();
        Slot::s_class = m_class;
        method("init", &Slot::init, "@@:");
        return method("dealloc", &Slot::dealloc, "v@:");
    }

    Class registerClass();

private:
    // The state's pointer ivar, named "<class>.state" (no identifier of the program's own ivars can
    // take it); answers its offset.
    ptrdiff_t addStateIvar();
    void check(BOOL ok, const char* what) const;

    Class m_class;
};

}  // namespace qvcompat::foundation
