// Defining a stand-in class in C++: its methods are plain functions bound to selectors, so a class that
// the program derives at run time overrides them, and the C++ code reaches such an override by sending
// the message. For the stand-in's own pieces (Foundation, later AppKit); program code uses the runtime
// functions, as it would on the platform.
//
//   Class NSThingClass() {
//       static const Class s_class = ClassDefinition("NSThing", NSObjectClass())
//                                         .method("frob:", &frob, "v@:@")
//                                         .registerClass();
//       return s_class;
//   }
//
// Implements: a builder over objc_allocateClassPair, class_addIvar, class_addMethod and
// objc_registerClassPair.
// Lacks: protocols (no stand-in class adopts one yet).
// Deviations: a definition that fails (a taken name, a duplicate selector) is a mistake in the
// stand-in: it is reported on standard error and aborts.
#pragma once

#include <objc/message.h>
#include <objc/runtime.h>

namespace qvcompat::foundation {

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

    ClassDefinition& ivar(const char* name, size_t size, uint8_t alignmentLog2, const char* types);

    Class registerClass();

private:
    void check(BOOL ok, const char* what) const;

    Class m_class;
};

}  // namespace qvcompat::foundation
