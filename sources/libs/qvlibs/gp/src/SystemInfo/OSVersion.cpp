#include "SystemInfo/OSVersion.h"

#include "SystemInfo/KeyValueFile.h"
#include "SystemInfo/SystemFile.h"

#include <cstdlib>
#include <optional>

namespace QV::GP::DETAIL {

qv::commons::VersionNumber parseVersionNumber(const std::string& text)
{
    qv::commons::VersionNumber version;
    int* const parts[] = {&version.m_major, &version.m_minor, &version.m_micro};
    std::string::size_type position = 0;
    for (int* part : parts) {
        const std::string::size_type end = text.find_first_not_of("0123456789", position);
        const std::string digits = text.substr(position, end - position);
        if (digits.empty() || digits.size() > 9)
            break;
        *part = std::atoi(digits.c_str());
        if (end == std::string::npos || text[end] != '.')
            break;
        position = end + 1;
    }
    return version;
}

qv::commons::VersionNumber readOSVersion(const std::string& root, const std::string& kernelRelease)
{
    std::optional<std::string> osRelease = readSystemFile(root, "/etc/os-release");
    if (!osRelease)
        osRelease = readSystemFile(root, "/usr/lib/os-release");
    if (osRelease) {
        const auto values = parseKeyValueFile(*osRelease);
        const auto versionId = values.find("VERSION_ID");
        if (versionId != values.end()) {
            const qv::commons::VersionNumber version = parseVersionNumber(versionId->second);
            if (!qv::commons::isNull(version))
                return version;
        }
    }
    return parseVersionNumber(kernelRelease);
}

}  // namespace QV::GP::DETAIL
