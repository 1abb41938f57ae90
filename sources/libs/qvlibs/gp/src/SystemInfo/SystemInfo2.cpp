#include "GP/SystemInfo2.h"

#include "SystemInfo/OSVersion.h"
#include "SystemInfo/ProcessorSources.h"

#include <sys/utsname.h>

#include <cstdlib>
#include <utility>

namespace QV::GP {

bool SystemInfo2::s_calledRetrieveCPUInfo = false;
int SystemInfo2::s_numPhysicalCores = 0;
int SystemInfo2::s_numLogicalCores = 0;
int SystemInfo2::s_numProcessorPacks = 0;
std::string SystemInfo2::s_processorName;
int SystemInfo2::s_processorSpeed = 0;
qv::commons::VersionNumber SystemInfo2::s_osVersion;
int SystemInfo2::s_osTargetISA = SystemInfo2::eISAOther;

namespace {

bool systemUname(SystemInfo2::tUname& answer)
{
    struct utsname names {};
    if (::uname(&names) != 0)
        return false;
    answer.nodeName = names.nodename;
    answer.release = names.release;
    answer.machine = names.machine;
    return true;
}

SystemInfo2::tSources& installedSources()
{
    static SystemInfo2::tSources s_sources = SystemInfo2::systemSources();
    return s_sources;
}

}  // namespace

SystemInfo2::tSources SystemInfo2::systemSources()
{
    return {"/", systemUname, [](const char* name) -> const char* { return std::getenv(name); }};
}

const SystemInfo2::tSources& SystemInfo2::sources() { return installedSources(); }

SystemInfo2::tSources SystemInfo2::setSources(tSources replacement)
{
    tSources previous = std::exchange(installedSources(), std::move(replacement));
    s_calledRetrieveCPUInfo = false;
    s_numPhysicalCores = s_numLogicalCores = s_numProcessorPacks = 0;
    s_processorName.clear();
    s_processorSpeed = 0;
    s_osVersion = {};
    s_osTargetISA = eISAOther;
    return previous;
}

void SystemInfo2::retrieveCPUInfo()
{
    s_calledRetrieveCPUInfo = true;
    const DETAIL::tRawProcessorFacts facts = DETAIL::readRawProcessorFacts(sources().root);
    s_numPhysicalCores = facts.physical;
    s_numLogicalCores = facts.logical;
    s_numProcessorPacks = facts.coresPerPackage < 1 ? 1 : facts.physical / facts.coresPerPackage;
    s_processorName = facts.brand;
    s_processorSpeed = facts.speedMHz;
}

void SystemInfo2::retrieveOSInfo()
{
    tUname names;
    const tSources& from = sources();
    if (!from.uname || !from.uname(names))
        names = {};
    s_osVersion = DETAIL::readOSVersion(from.root, names.release);
    s_osTargetISA = names.machine == "x86_64" ? eISAx86_64 : eISAOther;
}

}  // namespace QV::GP
