// The concrete CF object types, shared by the CoreFoundation stand-in's own files.
#pragma once

#include "CoreFoundation/CFRuntime.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct __CFString final : qvcompat::cf::Object {
    static CFTypeID typeId();
    explicit __CFString(std::u16string text)
        : Object(typeId(), &qvcompat::cf::destroyAs<__CFString>), m_text(std::move(text))
    {}
    const std::u16string m_text;
    // The UTF-8 form, made on first request (NSString's -UTF8String) and kept with the string.
    mutable std::once_flag m_utf8Once;
    mutable std::string m_utf8;
};

struct __CFNumber final : qvcompat::cf::Object {
    static CFTypeID typeId();
    explicit __CFNumber(SInt64 value) : Object(typeId(), &qvcompat::cf::destroyAs<__CFNumber>), m_value(value) {}
    const SInt64 m_value;
};

struct __CFDictionary final : qvcompat::cf::Object {
    static CFTypeID typeId();
    __CFDictionary() : Object(typeId(), &qvcompat::cf::destroyAs<__CFDictionary>) {}
    ~__CFDictionary();
    // Few entries in every dictionary the program builds: a list is enough.
    std::vector<std::pair<CFTypeRef, CFTypeRef>> m_entries;
};

struct __CFUUID final : qvcompat::cf::Object {
    static CFTypeID typeId();
    explicit __CFUUID(const CFUUIDBytes& bytes) : Object(typeId(), &qvcompat::cf::destroyAs<__CFUUID>), m_bytes(bytes)
    {}
    const CFUUIDBytes m_bytes;
};

struct __CFRunLoopSource final : qvcompat::cf::Object {
    static CFTypeID typeId();
    __CFRunLoopSource() : Object(typeId(), &qvcompat::cf::destroyAs<__CFRunLoopSource>) {}
};
