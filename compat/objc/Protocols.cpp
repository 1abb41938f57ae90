// Protocols by name.
//
// Implements: objc_allocateProtocol, objc_registerProtocol, objc_getProtocol, protocol_getName,
// class_addProtocol, class_conformsToProtocol.
// Lacks: method descriptions, properties and adopted protocols of a protocol: a protocol here is a
// name that classes adopt (nothing checks that their methods match it).
// Deviations: none known.
#include "objc/RuntimeInternal.h"

#include <algorithm>
#include <mutex>

using namespace qvcompat::runtime;

Protocol* objc_allocateProtocol(const char* name)
{
    if (!name || !*name)
        return nullptr;
    Runtime& rt = Runtime::instance();
    std::unique_lock lock(rt.lock);
    auto [it, inserted] = rt.protocols.try_emplace(name);
    if (!inserted)
        return nullptr;
    it->second = std::make_unique<objc_protocol>();
    it->second->name = name;
    return it->second.get();
}

void objc_registerProtocol(Protocol* protocol)
{
    if (!protocol)
        return;
    std::unique_lock lock(Runtime::instance().lock);
    protocol->registered = true;
}

Protocol* objc_getProtocol(const char* name)
{
    if (!name)
        return nullptr;
    Runtime& rt = Runtime::instance();
    std::shared_lock lock(rt.lock);
    auto it = rt.protocols.find(name);
    return it != rt.protocols.end() && it->second->registered ? it->second.get() : nullptr;
}

const char* protocol_getName(Protocol* protocol) { return protocol ? protocol->name.c_str() : nullptr; }

BOOL class_addProtocol(Class cls, Protocol* protocol)
{
    ClassRecord* c = record(cls);
    if (!c || !protocol)
        return NO;
    std::unique_lock lock(Runtime::instance().lock);
    if (!protocol->registered || c->disposed)
        return NO;
    if (std::find(c->protocols.begin(), c->protocols.end(), protocol) != c->protocols.end())
        return NO;
    c->protocols.push_back(protocol);
    return YES;
}

BOOL class_conformsToProtocol(Class cls, Protocol* protocol)
{
    if (!protocol)
        return NO;
    std::shared_lock lock(Runtime::instance().lock);
    for (ClassRecord* c = record(cls); c; c = c->superclass)
        if (std::find(c->protocols.begin(), c->protocols.end(), protocol) != c->protocols.end())
            return YES;
    return NO;
}
