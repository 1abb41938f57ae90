// CoreFoundation strings to UTF-8.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>

namespace QV::DVK2 {

// The string's characters as UTF-8; empty for a null or empty string.
std::string fromCFString(CFStringRef string);

}  // namespace QV::DVK2
