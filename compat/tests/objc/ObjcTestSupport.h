// Shared pieces of the runtime and Foundation tests: a class whose instances count their -dealloc,
// and class names that no other test uses.
#pragma once

#include <Foundation/Foundation.h>
#include <Foundation/FoundationClasses.h>

#include <string>

namespace qvcompat::test {

// A subclass of NSObject whose -dealloc increments the int that its ivar "counter" points to and then
// runs NSObject's -dealloc.
Class countedClass();

// A new instance of countedClass() (one reference) that counts into `deallocs`.
id makeCounted(int* deallocs);

// "<prefix><n>": a class name that is new to the process.
std::string uniqueName(const char* prefix);

inline SEL sel(const char* name) { return objc::sel(name); }

}  // namespace qvcompat::test
