// The system's configuration files of shell-style assignments, /etc/os-release and
// /etc/machine-info: NAME=value lines, the value plain or quoted, '#' comment lines.
#pragma once

#include <map>
#include <string>

namespace QV::GP::DETAIL {

// The assignments by name, quotes removed. In double quotes a backslash keeps the next character
// as it is (\" \\ \$ \`); single quotes keep everything. Lines without '=' are skipped; a name
// assigned twice keeps its last value.
std::map<std::string, std::string> parseKeyValueFile(const std::string& text);

}  // namespace QV::GP::DETAIL
