#include "GP/NSStringRef.h"

#include "GP/UTF.h"

#include <cstring>

namespace QV::GP {

namespace {

NSString* makeString(const char* text, std::size_t length, bool emptyIfNull)
{
    if (length == 0 && !emptyIfNull)
        return nullptr;
    const auto utf16 = details::utf_to_utf_chseqref<unsigned short, char, true>::create(text, length);
    static const SEL s_alloc = objc::sel("alloc");
    static const SEL s_init = objc::sel("initWithCharacters:length:");
    static const Class s_string = objc_getClass("NSString");
    id placeholder = objc::msgSend<id>(s_string, s_alloc);
    return static_cast<NSString*>(
        objc::msgSend<id, const unichar*, NSUInteger>(placeholder, s_init, utf16.data(), utf16.size()));
}

}  // namespace

NSStringRef::~NSStringRef() { reset(nullptr); }

NSStringRef::NSStringRef(NSStringRef&& other) noexcept : m_pString(other.m_pString) { other.m_pString = nullptr; }

NSStringRef& NSStringRef::operator=(NSStringRef&& other) noexcept
{
    if (this != &other) {
        reset(other.m_pString);
        other.m_pString = nullptr;
    }
    return *this;
}

NSString* NSStringRef::str2NSString(const char* text, bool emptyIfNull)
{
    return makeString(text, text ? std::strlen(text) : 0, emptyIfNull);
}

NSString* NSStringRef::str2NSString(const std::string& text, bool emptyIfNull)
{
    return makeString(text.data(), text.size(), emptyIfNull);
}

void NSStringRef::createWith(const char* text, bool emptyIfNull) { reset(str2NSString(text, emptyIfNull)); }

void NSStringRef::createWith(const std::string& text, bool emptyIfNull) { reset(str2NSString(text, emptyIfNull)); }

void NSStringRef::assign(NSString* string, bool retain)
{
    if (string == m_pString)
        return;
    if (retain)
        objc_retain(string);
    reset(string);
}

void NSStringRef::reset(NSString* string) noexcept
{
    NSString* old = m_pString;
    m_pString = string;
    objc_release(old);
}

}  // namespace QV::GP
