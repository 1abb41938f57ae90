// Inside the stand-in: a dictionary's entries, for the pieces that take a dictionary apart
// (NSUserDefaults' -registerDefaults:).
#pragma once

#include <objc/runtime.h>

#include <utility>
#include <vector>

namespace qvcompat::foundation {

// The entries in the order they were given (not retained for the caller); empty for nil or an
// object that is no NSDictionary.
std::vector<std::pair<id, id>> dictionaryEntries(id dictionary);

}  // namespace qvcompat::foundation
