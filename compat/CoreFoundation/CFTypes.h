// The concrete CF object types, shared by the CoreFoundation stand-in's own files.
#pragma once

#include "CoreFoundation/CFRuntime.h"

#include <string>
#include <utility>
#include <vector>

struct __CFString final : qvcompat::cf::Object {
    static CFTypeID typeId();
    explicit __CFString(std::u16string text) : Object(typeId()), m_text(std::move(text)) {}
    const std::u16string m_text;
};

struct __CFNumber final : qvcompat::cf::Object {
    static CFTypeID typeId();
    explicit __CFNumber(SInt64 value) : Object(typeId()), m_value(value) {}
    const SInt64 m_value;
};

struct __CFDictionary final : qvcompat::cf::Object {
    static CFTypeID typeId();
    __CFDictionary() : Object(typeId()) {}
    ~__CFDictionary() override;
    // Few entries in every dictionary the program builds: a list is enough.
    std::vector<std::pair<CFTypeRef, CFTypeRef>> m_entries;
};

struct __CFUUID final : qvcompat::cf::Object {
    static CFTypeID typeId();
    explicit __CFUUID(const CFUUIDBytes& bytes) : Object(typeId()), m_bytes(bytes) {}
    const CFUUIDBytes m_bytes;
};

struct __CFRunLoopSource final : qvcompat::cf::Object {
    static CFTypeID typeId();
    __CFRunLoopSource() : Object(typeId()) {}
};
