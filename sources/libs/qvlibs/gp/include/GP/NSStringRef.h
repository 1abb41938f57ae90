// Owns one NSString (or nil) and releases it when destroyed; makes NSStrings from UTF-8 text.
#pragma once

#include <Foundation/Foundation.h>

#include <string>

namespace QV::GP {

class NSStringRef {
public:
    NSStringRef() noexcept = default;
    ~NSStringRef();

    NSStringRef(NSStringRef&& other) noexcept;
    NSStringRef& operator=(NSStringRef&& other) noexcept;
    NSStringRef(const NSStringRef&) = delete;
    NSStringRef& operator=(const NSStringRef&) = delete;

    // A new NSString (owned by the caller: release it) of the UTF-16 form of `text`; invalid UTF-8 is
    // dropped. For a null or empty text: an empty NSString when emptyIfNull is true, else nil.
    static NSString* str2NSString(const char* text, bool emptyIfNull);
    static NSString* str2NSString(const std::string& text, bool emptyIfNull);

    // Releases the held string and holds str2NSString(text, emptyIfNull).
    void createWith(const char* text, bool emptyIfNull);
    void createWith(const std::string& text, bool emptyIfNull);

    // Holds `string` instead, retaining it when `retain` is true (else taking over the caller's
    // reference). Nothing happens when it is the held string already.
    void assign(NSString* string, bool retain);

    NSString* get() const noexcept { return m_pString; }
    operator NSString*() const noexcept { return m_pString; }

private:
    void reset(NSString* string) noexcept;

    NSString* m_pString = nullptr;
};

}  // namespace QV::GP
