// The operating system's version: the distribution's release, or the kernel's where the
// distribution names none (rolling releases).
#pragma once

#include "GP/VersionNumber.h"

#include <string>

namespace QV::GP::DETAIL {

// The leading dot-separated numbers of a version text, at most three: "22.04" -> 22.4.0,
// "6.1.0-13-amd64" -> 6.1.0, "12" -> 12.0.0. Parsing stops at the first part that is not a whole
// number (or too large for an int); text without a leading number gives the null version.
qv::commons::VersionNumber parseVersionNumber(const std::string& text);

// VERSION_ID of os-release (/etc/os-release, else /usr/lib/os-release, below `root`) when it holds a
// version, else the kernel release (uname's).
qv::commons::VersionNumber readOSVersion(const std::string& root, const std::string& kernelRelease);

}  // namespace QV::GP::DETAIL
