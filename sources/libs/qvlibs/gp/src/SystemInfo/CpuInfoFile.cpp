#include "SystemInfo/CpuInfoFile.h"

#include "SystemInfo/SystemFile.h"

#include <sstream>

namespace QV::GP::DETAIL {

std::vector<tCpuInfoEntry> parseCpuInfo(const std::string& text)
{
    std::vector<tCpuInfoEntry> entries;
    tCpuInfoEntry current;
    auto finish = [&] {
        if (current.count("processor"))
            entries.push_back(std::move(current));
        current.clear();
    };

    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string::size_type colon = line.find(':');
        if (colon == std::string::npos) {
            if (trimmedSystemText(line).empty())
                finish();
            continue;
        }
        const std::string name = trimmedSystemText(line.substr(0, colon));
        // A "processor" line opens a new block even when the empty line before it is missing.
        if (name == "processor" && !current.empty())
            finish();
        current.emplace(name, trimmedSystemText(line.substr(colon + 1)));
    }
    finish();
    return entries;
}

std::string fieldOf(const tCpuInfoEntry& entry, const char* name)
{
    const auto field = entry.find(name);
    return field == entry.end() ? std::string() : field->second;
}

}  // namespace QV::GP::DETAIL
