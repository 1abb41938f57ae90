// The locale behind case-insensitive comparisons.
#pragma once

#include <initializer_list>
#include <locale>

namespace QV::GP::DETAIL {

// The first of `names` that is installed, else the classic locale. Never throws.
std::locale firstInstalledLocale(std::initializer_list<const char*> names);

// The process-wide locale for case folding: "en_US.UTF-8" where installed, else "C.UTF-8" (all a
// fresh Debian has), else the classic locale. Made on first use, kept until exit.
const std::locale& caseFoldingLocale();

}  // namespace QV::GP::DETAIL
