// Defining the stand-in's classes in C++ (see ClassDefinition.h).
//
// Implements: the class definition builder and the reports of the instance state.
// Lacks: nothing the stand-in needs.
// Deviations: none; failures abort because they are mistakes in the stand-in itself.
#include "Foundation/ClassDefinition.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qvcompat::foundation {

ClassDefinition::ClassDefinition(const char* name, Class superclass)
    : m_class(objc_allocateClassPair(superclass, name, 0))
{
    if (!m_class) {
        std::fprintf(stderr, "Foundation: cannot define class %s: the name is taken or the superclass unusable\n",
                     name);
        std::abort();
    }
}

ptrdiff_t ClassDefinition::addStateIvar()
{
    const std::string name = std::string(class_getName(m_class)) + ".state";
    check(class_addIvar(m_class, name.c_str(), sizeof(void*), 3, "^v"), name.c_str());
    return ivar_getOffset(class_getInstanceVariable(m_class, name.c_str()));
}

Class ClassDefinition::registerClass()
{
    objc_registerClassPair(m_class);
    return m_class;
}

void ClassDefinition::check(BOOL ok, const char* what) const
{
    if (ok)
        return;
    std::fprintf(stderr, "Foundation: class %s: cannot add %s (defined twice?)\n", class_getName(m_class), what);
    std::abort();
}

namespace detail {

void missingState(id self)
{
    std::fprintf(stderr, "Foundation: %s %p has no state: it was not initialised, or is deallocated\n",
                 object_getClassName(self), static_cast<void*>(self));
    std::fflush(stderr);
    std::abort();
}

void stateDefinedTwice(Class first, Class second)
{
    std::fprintf(stderr, "Foundation: class %s: its state record belongs to class %s already\n", class_getName(second),
                 class_getName(first));
    std::abort();
}

}  // namespace detail

}  // namespace qvcompat::foundation
