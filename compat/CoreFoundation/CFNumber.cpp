#include "CFTypes.h"

#include <cstring>
#include <limits>

CFTypeID __CFNumber::typeId()
{
    static const CFTypeID s_id = qvcompat::cf::registerType();
    return s_id;
}

CFTypeID CFNumberGetTypeID() { return __CFNumber::typeId(); }

namespace {

template <typename T>
Boolean store(SInt64 value, void* out)
{
    const T narrowed = static_cast<T>(value);
    std::memcpy(out, &narrowed, sizeof narrowed);
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

}  // namespace

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* value)
{
    if (!value)
        return nullptr;
    SInt64 v = 0;
    switch (type) {
    case kCFNumberSInt8Type: {
        int8_t x;
        std::memcpy(&x, value, sizeof x);
        v = x;
        break;
    }
    case kCFNumberSInt16Type: {
        int16_t x;
        std::memcpy(&x, value, sizeof x);
        v = x;
        break;
    }
    case kCFNumberSInt32Type:
    case kCFNumberIntType: {
        int32_t x;
        std::memcpy(&x, value, sizeof x);
        v = x;
        break;
    }
    case kCFNumberSInt64Type:
    case kCFNumberLongType: {
        int64_t x;
        std::memcpy(&x, value, sizeof x);
        v = x;
        break;
    }
    default: return nullptr;
    }
    return new __CFNumber(v);
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* value)
{
    if (!number || !value)
        return false;
    const SInt64 v = number->m_value;
    switch (type) {
    case kCFNumberSInt8Type: return store<int8_t>(v, value);
    case kCFNumberSInt16Type: return store<int16_t>(v, value);
    case kCFNumberSInt32Type:
    case kCFNumberIntType: return store<int32_t>(v, value);
    case kCFNumberSInt64Type:
    case kCFNumberLongType: return store<int64_t>(v, value);
    default: return false;
    }
}
