#include "GP/ObjcIvar.h"

#include <cstring>

namespace QV::GP::OBJC {

namespace {

Ivar find(id object, const char* name)
{
    return object && name ? class_getInstanceVariable(object_getClass(object), name) : nullptr;
}

template <class T>
T read(id object, const char* name)
{
    T value{};
    if (Ivar ivar = find(object, name))
        std::memcpy(&value, reinterpret_cast<const char*>(object) + ivar_getOffset(ivar), sizeof value);
    return value;
}

template <class T>
void write(id object, const char* name, T value)
{
    if (Ivar ivar = find(object, name))
        std::memcpy(reinterpret_cast<char*>(object) + ivar_getOffset(ivar), &value, sizeof value);
}

}  // namespace

id getIvarPtr(id object, const char* name)
{
    Ivar ivar = find(object, name);
    return ivar ? object_getIvar(object, ivar) : nil;
}

void setIvarPtr(id object, const char* name, id value)
{
    if (Ivar ivar = find(object, name))
        object_setIvar(object, ivar, value);
}

uint32_t getIvarUInt32(id object, const char* name) { return read<uint32_t>(object, name); }

void setIvarUInt32(id object, const char* name, uint32_t value) { write(object, name, value); }

float getIvarFloat(id object, const char* name) { return read<float>(object, name); }

void setIvarFloat(id object, const char* name, float value) { write(object, name, value); }

}  // namespace QV::GP::OBJC
