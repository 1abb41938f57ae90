// Owns one CFStringRef made from UTF-8 text, for handing text to CoreFoundation.
#pragma once

#include "GP/CharSequence.h"

#include <CoreFoundation/CoreFoundation.h>

namespace QV::GP {

class CFString {
public:
    // A string of the UTF-16 form of `text`; invalid UTF-8 is dropped. The flag is accepted for the
    // callers' sake and has no effect.
    explicit CFString(const CharSequence<char>& text, bool unused = false);
    ~CFString();

    CFString(const CFString&) = delete;
    CFString& operator=(const CFString&) = delete;

    // Owned by this object: retain it to keep it longer.
    CFStringRef get() const noexcept { return m_string; }
    operator CFStringRef() const noexcept { return m_string; }

private:
    CFStringRef m_string;
};

}  // namespace QV::GP
