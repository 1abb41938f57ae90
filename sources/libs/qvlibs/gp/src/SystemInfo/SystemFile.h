// Reads the small text files of the kernel (/proc, /sys) and of the system's configuration (/etc).
#pragma once

#include <optional>
#include <string>

namespace QV::GP::DETAIL {

// The whole content of `path` ("/proc/cpuinfo") found below `root` ("/" for this machine); nothing
// when it cannot be read. Kernel files report no size, so the file is read to its end.
std::optional<std::string> readSystemFile(const std::string& root, const std::string& path);

// The text without the white space at its start and its end ("0-7\n" -> "0-7").
std::string trimmedSystemText(const std::string& text);

}  // namespace QV::GP::DETAIL
