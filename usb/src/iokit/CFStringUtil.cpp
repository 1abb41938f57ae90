#include "iokit/CFStringUtil.h"

#include "Utf16.h"

#include <vector>

namespace QV::DVK2 {

std::string fromCFString(CFStringRef string)
{
    if (string == nullptr)
        return {};
    const CFIndex length = CFStringGetLength(string);
    if (length <= 0)
        return {};
    static_assert(sizeof(UniChar) == sizeof(char16_t));
    if (const UniChar* direct = CFStringGetCharactersPtr(string))
        return utf16ToUtf8(reinterpret_cast<const char16_t*>(direct), static_cast<size_t>(length));
    // No direct access: copy the whole string (never cut a long one to nothing).
    std::vector<UniChar> units(static_cast<size_t>(length));
    CFStringGetCharacters(string, CFRangeMake(0, length), units.data());
    return utf16ToUtf8(reinterpret_cast<const char16_t*>(units.data()), units.size());
}

}  // namespace QV::DVK2
