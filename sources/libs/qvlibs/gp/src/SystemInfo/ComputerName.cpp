#include "SystemInfo/ComputerName.h"

#include "SystemInfo/KeyValueFile.h"
#include "SystemInfo/SystemFile.h"

#include <optional>

namespace QV::GP::DETAIL {

std::string readComputerName(const std::string& root, const std::string& hostName)
{
    if (const std::optional<std::string> machineInfo = readSystemFile(root, "/etc/machine-info")) {
        const auto values = parseKeyValueFile(*machineInfo);
        const auto prettyName = values.find("PRETTY_HOSTNAME");
        if (prettyName != values.end() && !prettyName->second.empty())
            return prettyName->second;
    }
    return hostName;
}

}  // namespace QV::GP::DETAIL
