// UTF-16 to UTF-8, for the texts that devices and the system hand over in UTF-16.
#pragma once

#include <cstddef>
#include <string>

namespace QV::DVK2 {

// Surrogate pairs are joined; an unpaired surrogate becomes U+FFFD rather than invalid UTF-8.
std::string utf16ToUtf8(const char16_t* units, size_t count);

}  // namespace QV::DVK2
