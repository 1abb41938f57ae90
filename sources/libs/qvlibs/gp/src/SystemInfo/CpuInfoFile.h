// The kernel's description of the processors, /proc/cpuinfo: one block of "name : value" lines per
// logical processor, the blocks separated by empty lines.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace QV::GP::DETAIL {

// One logical processor's fields by name ("model name", "physical id", "core id", "cpu cores").
using tCpuInfoEntry = std::map<std::string, std::string>;

// The blocks that describe a processor (they have a "processor" field), in the file's order.
// Blocks without one (the board lines some architectures append) are left out.
std::vector<tCpuInfoEntry> parseCpuInfo(const std::string& text);

// The field's value, empty when the entry has none.
std::string fieldOf(const tCpuInfoEntry& entry, const char* name);

}  // namespace QV::GP::DETAIL
