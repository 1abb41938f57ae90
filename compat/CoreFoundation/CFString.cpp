#include "CFTypes.h"

#include <algorithm>
#include <cstring>

CFTypeID __CFString::typeId()
{
    static const CFTypeID s_id = qvcompat::cf::registerType();
    return s_id;
}

CFTypeID CFStringGetTypeID() { return __CFString::typeId(); }

namespace {

// Strict UTF-8 to UTF-16: overlong forms, surrogates and values above U+10FFFF are refused.
bool utf8ToUtf16(const char* text, std::u16string& out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        char32_t cp;
        int extra;
        if (*p < 0x80) {
            cp = *p;
            extra = 0;
        } else if ((*p & 0xE0) == 0xC0) {
            cp = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            cp = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            cp = *p & 0x07;
            extra = 3;
        } else
            return false;
        ++p;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (*p & 0x3F);
        }
        static const char32_t s_minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < s_minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return true;
}

}  // namespace

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* text, CFStringEncoding encoding)
{
    std::u16string utf16;
    if (!text || encoding != kCFStringEncodingUTF8 || !utf8ToUtf16(text, utf16))
        return nullptr;
    return new __CFString(std::move(utf16));
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* characters, CFIndex count)
{
    std::u16string text;
    if (characters && count > 0)
        text.assign(reinterpret_cast<const char16_t*>(characters), static_cast<size_t>(count));
    return new __CFString(std::move(text));
}

CFIndex CFStringGetLength(CFStringRef string) { return static_cast<CFIndex>(string->m_text.size()); }

const UniChar* CFStringGetCharactersPtr(CFStringRef string)
{
    return reinterpret_cast<const UniChar*>(string->m_text.data());
}

void CFStringGetCharacters(CFStringRef string, CFRange range, UniChar* buffer)
{
    const std::u16string& text = string->m_text;
    if (range.location < 0 || range.length < 0 || static_cast<size_t>(range.location + range.length) > text.size())
        return;  // out of range: the platform raises; copy nothing
    std::copy_n(text.data() + range.location, range.length, reinterpret_cast<char16_t*>(buffer));
}

namespace qvcompat::cf {

namespace {

void appendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string utf16ToUtf8(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            appendUtf8(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00), out);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(0xFFFD, out);  // an unpaired surrogate
        } else {
            appendUtf8(unit, out);
        }
    }
    return out;
}

}  // namespace

const char* stringUTF8(CFStringRef string)
{
    std::call_once(string->m_utf8Once, [string] { string->m_utf8 = utf16ToUtf8(string->m_text); });
    return string->m_utf8.c_str();
}

}  // namespace qvcompat::cf
