#include "GP/CFString.h"

#include "GP/UTF.h"

namespace QV::GP {

CFString::CFString(const CharSequence<char>& text, bool)
{
    const auto utf16 = details::utf_to_utf_chseqref<UniChar, char, true>::create(text.data(), text.size());
    m_string = CFStringCreateWithCharacters(kCFAllocatorDefault, utf16.data(), static_cast<CFIndex>(utf16.size()));
}

CFString::~CFString()
{
    if (m_string)
        CFRelease(m_string);
}

}  // namespace QV::GP
