#include "CFTypes.h"

#include <cassert>
#include <atomic>

namespace qvcompat::cf {

namespace {

// Type ids are small (one per CF type); types past the table are never bridged. Constant-initialised,
// so it is usable from any static initialiser.
constexpr CFTypeID kBridgeTableSize = 64;
std::atomic<const void*> s_bridgedClasses[kBridgeTableSize];

}  // namespace

Object::Object(CFTypeID type, Destroy destroy) : m_isa(bridgedClass(type)), m_type(type), m_destroy(destroy) {}

CFTypeID registerType()
{
    static std::atomic<CFTypeID> s_next{1};
    return s_next++;
}

void setBridgedClass(CFTypeID type, const void* cls)
{
    if (type < kBridgeTableSize)
        s_bridgedClasses[type].store(cls, std::memory_order_release);
}

const void* bridgedClass(CFTypeID type)
{
    return type < kBridgeTableSize ? s_bridgedClasses[type].load(std::memory_order_acquire) : nullptr;
}

CFRunLoopSourceRef createRunLoopSource() { return new __CFRunLoopSource; }

}  // namespace qvcompat::cf

CFTypeID __CFRunLoopSource::typeId()
{
    static const CFTypeID s_id = qvcompat::cf::registerType();
    return s_id;
}

using qvcompat::cf::Object;

static Object* object(CFTypeRef ref) { return const_cast<Object*>(static_cast<const Object*>(ref)); }

CFTypeRef CFRetain(CFTypeRef ref)
{
    assert(ref && "CFRetain of null");
    object(ref)->m_refs.fetch_add(1, std::memory_order_relaxed);
    return ref;
}

void CFRelease(CFTypeRef ref)
{
    assert(ref && "CFRelease of null");
    Object* obj = object(ref);
    if (obj->m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        obj->m_destroy(obj);
}

CFIndex CFGetRetainCount(CFTypeRef ref) { return object(ref)->m_refs.load(std::memory_order_relaxed); }

CFTypeID CFGetTypeID(CFTypeRef ref) { return object(ref)->m_type; }
