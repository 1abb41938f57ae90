#include "SystemInfo/ProcessorSources.h"

#include "SystemInfo/CPUList.h"
#include "SystemInfo/CpuInfoFile.h"
#include "SystemInfo/SystemFile.h"

#include <cstdlib>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace QV::GP::DETAIL {

namespace {

constexpr const char* kCPUFolder = "/sys/devices/system/cpu";

// The whole non-negative number at the start of `text` ("2596.138" -> 2596, "8" -> 8); nothing for
// text that does not start with a digit or a number too large for an int. No locale is involved.
std::optional<int> leadingNumber(const std::string& text)
{
    const std::string value = trimmedSystemText(text);
    const std::string::size_type digits = value.find_first_not_of("0123456789");
    const std::string number = value.substr(0, digits);
    if (number.empty() || number.size() > 9)
        return std::nullopt;
    return std::atoi(number.c_str());
}

std::vector<tCpuInfoEntry> readCpuInfo(const std::string& root)
{
    const std::optional<std::string> text = readSystemFile(root, "/proc/cpuinfo");
    return text ? parseCpuInfo(*text) : std::vector<tCpuInfoEntry>();
}

std::set<unsigned> readOnlineProcessors(const std::string& root)
{
    const std::optional<std::string> text = readSystemFile(root, std::string(kCPUFolder) + "/online");
    if (!text)
        return {};
    return parseCPUList(*text).value_or(std::set<unsigned>());
}

std::string processorFile(unsigned processor, const char* name)
{
    return std::string(kCPUFolder) + "/cpu" + std::to_string(processor) + "/" + name;
}

// The processors that share processor's core (itself included); nothing when /sys does not say.
std::optional<std::set<unsigned>> coreOf(const std::string& root, unsigned processor)
{
    // core_cpus_list is the current name; older kernels have only thread_siblings_list.
    for (const char* name : {"topology/core_cpus_list", "topology/thread_siblings_list"}) {
        if (const std::optional<std::string> text = readSystemFile(root, processorFile(processor, name))) {
            std::optional<std::set<unsigned>> core = parseCPUList(*text);
            if (core && core->count(processor))
                return core;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// Distinct cores among the processors; 0 when the topology of any of them is unknown, since a
// partial count would look plausible and be wrong.
int countCores(const std::string& root, const std::set<unsigned>& processors)
{
    std::set<std::set<unsigned>> cores;
    for (unsigned processor : processors) {
        std::optional<std::set<unsigned>> core = coreOf(root, processor);
        if (!core)
            return 0;
        cores.insert(std::move(*core));
    }
    return static_cast<int>(cores.size());
}

int readSpeedMHz(const std::string& root, const std::set<unsigned>& online, const std::vector<tCpuInfoEntry>& cpuInfo)
{
    if (!online.empty()) {
        const std::optional<std::string> kHz =
            readSystemFile(root, processorFile(*online.begin(), "cpufreq/cpuinfo_max_freq"));
        if (const std::optional<int> value = kHz ? leadingNumber(*kHz) : std::nullopt; value && *value > 0)
            return *value / 1000;
    }
    // Virtual machines seldom have cpufreq; the kernel's measured clock is the best left.
    if (!cpuInfo.empty())
        return leadingNumber(fieldOf(cpuInfo.front(), "cpu MHz")).value_or(0);
    return 0;
}

}  // namespace

tRawProcessorFacts readRawProcessorFacts(const std::string& root)
{
    tRawProcessorFacts facts;
    const std::set<unsigned> online = readOnlineProcessors(root);
    const std::vector<tCpuInfoEntry> cpuInfo = readCpuInfo(root);

    facts.logical = static_cast<int>(online.size());
    facts.physical = countCores(root, online);
    if (!cpuInfo.empty()) {
        facts.coresPerPackage = leadingNumber(fieldOf(cpuInfo.front(), "cpu cores")).value_or(0);
        facts.brand = fieldOf(cpuInfo.front(), "model name");
    }
    facts.speedMHz = readSpeedMHz(root, online, cpuInfo);
    return facts;
}

tHostProcessorCounts readHostProcessorCounts(const std::string& root)
{
    const std::vector<tCpuInfoEntry> cpuInfo = readCpuInfo(root);
    tHostProcessorCounts counts;
    if (cpuInfo.empty()) {
        const std::size_t online = readOnlineProcessors(root).size();
        counts.logical = counts.physical = online > 0 ? static_cast<unsigned>(online) : 1;
        return counts;
    }

    counts.logical = static_cast<unsigned>(cpuInfo.size());
    std::set<std::pair<std::string, std::string>> cores;
    for (const tCpuInfoEntry& entry : cpuInfo) {
        if (!entry.count("physical id") || !entry.count("core id")) {
            counts.physical = counts.logical;
            return counts;
        }
        cores.emplace(fieldOf(entry, "physical id"), fieldOf(entry, "core id"));
    }
    counts.physical = static_cast<unsigned>(cores.size());
    return counts;
}

}  // namespace QV::GP::DETAIL
