// CoreFoundation stand-in: the part of CoreFoundation that the program calls.
//
// Implements: reference-counted CF objects (CFRetain/CFRelease/CFGetTypeID), strings (created from
// UTF-8 C strings or UTF-16 characters, read back as UTF-16), numbers, mutable dictionaries with
// CF-typed keys and values, constant UUIDs for plug-in interface ids, and the run-loop calls that
// register notification sources.
// Data and arrays: CFData.h, CFArray.h.
// Lacks: allocators other than the default, every other CF type, string encodings besides UTF-8.
// Deviations: a run-loop source added to a run loop is recorded but never fires by itself; the
// stand-in's IOKit reports devices synchronously when a scan is registered.
// Bridging: when Foundation is linked, every CFString is an NSString too (one object, one reference
// count); see CFRuntime.h.
#pragma once

#include <cstdint>

typedef unsigned char Boolean;
typedef uint8_t UInt8;
typedef uint16_t UInt16;
typedef uint32_t UInt32;
typedef uint64_t UInt64;
typedef int16_t SInt16;
typedef int32_t SInt32;
typedef int64_t SInt64;
typedef uint16_t UniChar;
typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef UInt32 CFStringEncoding;
typedef CFIndex CFNumberType;
typedef SInt32 HRESULT;
typedef UInt32 ULONG;
typedef void* LPVOID;

struct CFRange {
    CFIndex location;
    CFIndex length;
};
inline CFRange CFRangeMake(CFIndex location, CFIndex length) { return CFRange{location, length}; }

typedef const void* CFTypeRef;
typedef const struct __CFAllocator* CFAllocatorRef;
typedef const struct __CFString* CFStringRef;
typedef const struct __CFNumber* CFNumberRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef struct __CFDictionary* CFMutableDictionaryRef;
typedef const struct __CFUUID* CFUUIDRef;
typedef struct __CFRunLoop* CFRunLoopRef;
typedef struct __CFRunLoopSource* CFRunLoopSourceRef;
typedef CFStringRef CFRunLoopMode;

struct CFUUIDBytes {
    UInt8 byte0, byte1, byte2, byte3, byte4, byte5, byte6, byte7;
    UInt8 byte8, byte9, byte10, byte11, byte12, byte13, byte14, byte15;
};
typedef CFUUIDBytes REFIID;

// Dictionary callbacks are accepted for source compatibility; every dictionary retains its
// CF-typed keys and values and compares keys by value (strings by their characters).
struct CFDictionaryKeyCallBacks {
    CFIndex version;
};
struct CFDictionaryValueCallBacks {
    CFIndex version;
};

constexpr CFStringEncoding kCFStringEncodingUTF8 = 0x08000100;
constexpr CFNumberType kCFNumberSInt8Type = 1;
constexpr CFNumberType kCFNumberSInt16Type = 2;
constexpr CFNumberType kCFNumberSInt32Type = 3;
constexpr CFNumberType kCFNumberSInt64Type = 4;
constexpr CFNumberType kCFNumberIntType = 9;
constexpr CFNumberType kCFNumberLongType = 10;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80000004);

extern const CFAllocatorRef kCFAllocatorDefault;
extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;
extern const CFRunLoopMode kCFRunLoopDefaultMode;

// Objects. CFRelease of the last reference destroys the object; null is not allowed.
CFTypeRef CFRetain(CFTypeRef object);
void CFRelease(CFTypeRef object);
CFIndex CFGetRetainCount(CFTypeRef object);
CFTypeID CFGetTypeID(CFTypeRef object);

// Strings: UTF-16 inside, as on the platform.
CFTypeID CFStringGetTypeID();
// Returns null when the bytes are not valid UTF-8 (or another encoding is asked for).
CFStringRef CFStringCreateWithCString(CFAllocatorRef allocator, const char* text, CFStringEncoding encoding);
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef allocator, const UniChar* characters, CFIndex count);
CFIndex CFStringGetLength(CFStringRef string);
// The characters when the string can hand them out directly (always, here), else null.
const UniChar* CFStringGetCharactersPtr(CFStringRef string);
void CFStringGetCharacters(CFStringRef string, CFRange range, UniChar* buffer);

// Numbers: kept as a 64-bit signed integer; reading into a narrower type truncates and answers
// false when the value did not fit, as the platform does.
CFTypeID CFNumberGetTypeID();
CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType type, const void* value);
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* value);

// Dictionaries.
CFTypeID CFDictionaryGetTypeID();
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks);
// Retains key and value; replaces an existing value for an equal key.
void CFDictionarySetValue(CFMutableDictionaryRef dictionary, const void* key, const void* value);
// The value for an equal key (not retained: owned by the dictionary), or null.
const void* CFDictionaryGetValue(CFDictionaryRef dictionary, const void* key);
CFIndex CFDictionaryGetCount(CFDictionaryRef dictionary);

// UUIDs: constants live for the whole process and compare by their bytes.
CFUUIDRef CFUUIDGetConstantUUIDWithBytes(CFAllocatorRef allocator, UInt8 byte0, UInt8 byte1, UInt8 byte2, UInt8 byte3,
                                         UInt8 byte4, UInt8 byte5, UInt8 byte6, UInt8 byte7, UInt8 byte8, UInt8 byte9,
                                         UInt8 byte10, UInt8 byte11, UInt8 byte12, UInt8 byte13, UInt8 byte14,
                                         UInt8 byte15);
CFUUIDBytes CFUUIDGetUUIDBytes(CFUUIDRef uuid);
bool CFUUIDBytesEqual(const CFUUIDBytes& a, const CFUUIDBytes& b);

// Run loops: one per thread. Sources are recorded per mode; see the deviations above.
CFRunLoopRef CFRunLoopGetCurrent();
void CFRunLoopAddSource(CFRunLoopRef runLoop, CFRunLoopSourceRef source, CFRunLoopMode mode);
void CFRunLoopRemoveSource(CFRunLoopRef runLoop, CFRunLoopSourceRef source, CFRunLoopMode mode);
Boolean CFRunLoopContainsSource(CFRunLoopRef runLoop, CFRunLoopSourceRef source, CFRunLoopMode mode);

#include "CoreFoundation/CFArray.h"
#include "CoreFoundation/CFData.h"
#include "CoreFoundation/CFURL.h"
#include "CoreFoundation/CFBundle.h"
