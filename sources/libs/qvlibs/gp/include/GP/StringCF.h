// The UTF-8 form of a CFStringRef, as a std::string.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>

namespace QV::GP {

class StringCF : public std::string {
public:
    // Empty for null or for a string of length 0; unpaired surrogates are dropped. The string is
    // not retained or released.
    explicit StringCF(CFStringRef string);
};

}  // namespace QV::GP
