#include "GP/StringCF.h"

#include "GP/UTF.h"

#include <memory>

namespace QV::GP {

namespace {

// Short strings are copied through the stack; longer ones through the heap.
constexpr CFIndex kStackCharacters = 512;

std::string toUtf8(const UniChar* units, CFIndex length)
{
    return details::utf_to_utf<char, UniChar, true>::apply(units, units + length);
}

}  // namespace

StringCF::StringCF(CFStringRef string)
{
    if (!string)
        return;
    const CFIndex length = CFStringGetLength(string);
    if (length <= 0)
        return;

    if (const UniChar* direct = CFStringGetCharactersPtr(string)) {
        assign(toUtf8(direct, length));
    } else if (length <= kStackCharacters) {
        UniChar buffer[kStackCharacters];
        CFStringGetCharacters(string, CFRangeMake(0, length), buffer);
        assign(toUtf8(buffer, length));
    } else {
        const std::unique_ptr<UniChar[]> buffer(new UniChar[static_cast<std::size_t>(length)]);
        CFStringGetCharacters(string, CFRangeMake(0, length), buffer.get());
        assign(toUtf8(buffer.get(), length));
    }
}

}  // namespace QV::GP
