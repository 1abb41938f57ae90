// Builds one class of the Objective-C runtime at run time, for the program's Cocoa classes (views,
// windows, menus, timers, notification observers). The class gets a name that no other class in the
// process has: the base name, or the base name with a four-digit counter ("ComOrvendalCocoaMenu0001")
// when a class of that name exists already, e.g. made by another copy of the same library.
//
// Typical use: a static factory object whose constructor makes, fills and registers the class during
// static initialisation, and whose destructor disposes of it at exit:
//
//   objc_class* MyView::s_class = nullptr;
//   ClassFactory factory(MyView::s_class);
//   if (factory.generateUniqueClass("ComOrvendalMyView", "NSView")) {
//       factory.addMemberVar("pImpl", sizeof(void*), 3, "^v");
//       factory.addMethod(sel_registerName("drawRect:"), (IMP)&drawRect, "v@:{CGRect={CGPoint=dd}{CGSize=dd}}");
//       factory.doRegister();
//   }
#pragma once

#include <objc/runtime.h>

#include <cstddef>
#include <cstdint>

namespace QV::GP::OBJC {

class ClassFactory {
public:
    // Remembers the variable that receives the class; it should hold null.
    explicit ClassFactory(objc_class*& target);
    // Disposes of the class pair made, if any (the runtime defers that while instances live) and sets
    // the target to null.
    ~ClassFactory();

    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    // Makes a class pair (not registered yet) under a free name, subclass of the registered class
    // `superclassName`, and stores it in the target. False when the superclass does not exist, the name
    // is empty or the target already holds a class.
    bool generateUniqueClass(const char* name, const char* superclassName);

    // Adopts the registered protocol of that name. False when there is none or it is adopted already.
    bool addProtocol(const char* name);
    // Adds an instance variable; `alignment` is a power of two (3 for 8 bytes). Before doRegister only.
    bool addMemberVar(const char* name, size_t size, uint8_t alignment, const char* typeEncoding);
    // Binds the selector to a plain function taking the object, the selector and the method's
    // arguments. The type encoding is kept as given.
    bool addMethod(SEL selector, IMP function, const char* typeEncoding);
    // Registers the class; instances can be made from now on. False without a class or when done.
    bool doRegister();

    // The class's name as made (with any suffix); null when no class was made.
    const char* getClassName() const;

private:
    objc_class*& m_target;
    bool m_bRegistered = false;
};

}  // namespace QV::GP::OBJC
