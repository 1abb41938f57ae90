// The kernel's lists of processor numbers, as in /sys/devices/system/cpu/online ("0-3,6,8-9").
#pragma once

#include <optional>
#include <set>
#include <string>

namespace QV::GP::DETAIL {

// The numbers in `text`; white space around it is ignored and an empty list is empty. Nothing when
// the text is not such a list (a stray character, a range whose end is below its start).
std::optional<std::set<unsigned>> parseCPUList(const std::string& text);

}  // namespace QV::GP::DETAIL
