// Instance variables of run-time classes by name. The program's Cocoa classes keep, for example, the
// address of their owning C++ object in a variable "pImpl". Each function looks the variable up by
// name in the object's class (and its superclasses); without such a variable, or for nil, the getters
// answer 0 (null) and the setters do nothing.
#pragma once

#include <objc/runtime.h>

#include <cstdint>

namespace QV::GP::OBJC {

// An object-pointer variable, read and written as a plain reference (not retained).
id getIvarPtr(id object, const char* name);
void setIvarPtr(id object, const char* name, id value);

// 32-bit and float variables, read and written in place.
uint32_t getIvarUInt32(id object, const char* name);
void setIvarUInt32(id object, const char* name, uint32_t value);
float getIvarFloat(id object, const char* name);
void setIvarFloat(id object, const char* name, float value);

}  // namespace QV::GP::OBJC
