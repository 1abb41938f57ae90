// The name the user gave the computer.
#pragma once

#include <string>

namespace QV::GP::DETAIL {

// The pretty host name of /etc/machine-info (below `root`; free text such as "Anna's Laptop"),
// else the host name.
std::string readComputerName(const std::string& root, const std::string& hostName);

}  // namespace QV::GP::DETAIL
