// Defining the stand-in's classes in C++ (see ClassDefinition.h).
//
// Implements: the class definition builder.
// Lacks: nothing the stand-in needs.
// Deviations: none; failures abort because they are mistakes in the stand-in itself.
#include "Foundation/ClassDefinition.h"

#include <cstdio>
#include <cstdlib>

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

ClassDefinition& ClassDefinition::ivar(const char* name, size_t size, uint8_t alignmentLog2, const char* types)
{
    check(class_addIvar(m_class, name, size, alignmentLog2, types), name);
    return *this;
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

}  // namespace qvcompat::foundation
