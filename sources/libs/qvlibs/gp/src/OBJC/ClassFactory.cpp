#include "GP/ClassFactory.h"

// The superclasses are Foundation's and AppKit's classes, looked up by name: including Foundation here
// makes sure they exist before any factory runs.
#include <Foundation/Foundation.h>

#include <cstdio>
#include <string>

namespace QV::GP::OBJC {

namespace {

std::string numberedName(const std::string& base, long counter)
{
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%04ld", counter);
    return base + suffix;
}

}  // namespace

ClassFactory::ClassFactory(objc_class*& target) : m_target(target) {}

ClassFactory::~ClassFactory()
{
    if (m_target) {
        objc_disposeClassPair(m_target);
        m_target = nullptr;
    }
}

bool ClassFactory::generateUniqueClass(const char* name, const char* superclassName)
{
    if (m_target || !name || !*name)
        return false;
    Class superclass = objc_getClass(superclassName);
    if (!superclass)
        return false;
    const std::string base(name);
    std::string candidate = base;
    for (long counter = 1;; ++counter) {
        if (!objc_getClass(candidate.c_str())) {
            if (Class cls = objc_allocateClassPair(superclass, candidate.c_str(), 0)) {
                m_target = cls;
                return true;
            }
            // The name belongs to a class still being built elsewhere: go on counting, unless the
            // superclass went away meanwhile (then no name would do).
            if (objc_getClass(superclassName) != superclass)
                return false;
        }
        candidate = numberedName(base, counter);
    }
}

bool ClassFactory::addProtocol(const char* name)
{
    Protocol* protocol = objc_getProtocol(name);
    return m_target && protocol && class_addProtocol(m_target, protocol);
}

bool ClassFactory::addMemberVar(const char* name, size_t size, uint8_t alignment, const char* typeEncoding)
{
    return m_target && class_addIvar(m_target, name, size, alignment, typeEncoding);
}

bool ClassFactory::addMethod(SEL selector, IMP function, const char* typeEncoding)
{
    return m_target && class_addMethod(m_target, selector, function, typeEncoding);
}

bool ClassFactory::doRegister()
{
    if (!m_target || m_bRegistered)
        return false;
    objc_registerClassPair(m_target);
    m_bRegistered = true;
    return true;
}

const char* ClassFactory::getClassName() const { return m_target ? class_getName(m_target) : nullptr; }

}  // namespace QV::GP::OBJC
