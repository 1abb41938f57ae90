#include "CFTypes.h"

#include <cassert>
#include <atomic>

namespace qvcompat::cf {

CFTypeID registerType()
{
    static std::atomic<CFTypeID> s_next{1};
    return s_next++;
}

CFRunLoopSourceRef createRunLoopSource() { return new __CFRunLoopSource; }

}  // namespace qvcompat::cf

CFTypeID __CFRunLoopSource::typeId()
{
    static const CFTypeID s_id = qvcompat::cf::registerType();
    return s_id;
}

using qvcompat::cf::Object;

static Object* object(CFTypeRef ref)
{
    return const_cast<Object*>(static_cast<const Object*>(ref));
}

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
        delete obj;
}

CFIndex CFGetRetainCount(CFTypeRef ref) { return object(ref)->m_refs.load(std::memory_order_relaxed); }

CFTypeID CFGetTypeID(CFTypeRef ref) { return object(ref)->m_type; }
