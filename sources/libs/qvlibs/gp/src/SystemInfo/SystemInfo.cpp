#include "GP/SystemInfo.h"

#include "GP/SystemInfo2.h"
#include "SystemInfo/ComputerName.h"
#include "SystemInfo/LocaleEnvironment.h"
#include "SystemInfo/ProcessorCounts.h"
#include "SystemInfo/ProcessorSources.h"

#include <vector>

namespace QV::GP {

std::uint32_t SystemInfo::s_uNumberOfProcessingUnits = 0;
std::uint32_t SystemInfo::s_uNumberOfCores = 0;
std::uint32_t SystemInfo::s_uNumberOfPackages = 0;
std::uint32_t SystemInfo::s_uNumberOfCoresPerPackage = 0;
std::uint32_t SystemInfo::s_uNumberOfUnitsPerCore = 0;
std::uint32_t SystemInfo::s_uProcessorVendor = eVendorOther;
std::uint32_t SystemInfo::s_uProcessorType = eProcessorTypeOther;
std::uint32_t SystemInfo::s_uProcessorFamilyCode = 0;
std::uint32_t SystemInfo::s_uProcessorModelNumber = 0;
std::uint32_t SystemInfo::s_uProcessorRevision = 0;
eSIMDSupport SystemInfo::s_eSIMDSupport = eSIMDNone;
eProcessorFeatures SystemInfo::s_eProcessorFeatures = eFeatureNone;
eOSType SystemInfo::s_eOSType = eOSTypeThisPlatform;
std::uint32_t SystemInfo::s_uMajorVersion = 0;
std::uint32_t SystemInfo::s_uMinorVersion = 0;
std::uint32_t SystemInfo::s_uMicroVersion = 0;
eSystemLanguage SystemInfo::s_eOSLanguage = eLanguageOther;
eSystemLanguage SystemInfo::s_eOSLocale = eLanguageOther;
std::string SystemInfo::s_strComputerName;
std::string SystemInfo::s_strProcessorName;

namespace {

void gatherProcessor()
{
    const SystemInfo2::tSources& sources = SystemInfo2::sources();
    const DETAIL::tHostProcessorCounts host = DETAIL::readHostProcessorCounts(sources.root);
    if (!SystemInfo2::s_calledRetrieveCPUInfo)
        SystemInfo2::retrieveCPUInfo();

    unsigned simd = 0;
    unsigned features = 0;
    unsigned cpuidCoresPerPackage = 1;
    unsigned cpuidUnitsPerCore = 1;
    std::string cpuidName;
    IA32::getCPUCaps(simd, features, cpuidCoresPerPackage, cpuidUnitsPerCore, SystemInfo::s_uProcessorVendor,
                     SystemInfo::s_uProcessorType, SystemInfo::s_uProcessorFamilyCode,
                     SystemInfo::s_uProcessorModelNumber, SystemInfo::s_uProcessorRevision, cpuidName);
    SystemInfo::s_eSIMDSupport = static_cast<eSIMDSupport>(simd);
    SystemInfo::s_eProcessorFeatures = static_cast<eProcessorFeatures>(features);

    const DETAIL::tProcessorCounts counts =
        DETAIL::reconcileProcessorCounts(SystemInfo2::s_numLogicalCores, SystemInfo2::s_numPhysicalCores,
                                         SystemInfo2::s_numProcessorPacks, host, cpuidCoresPerPackage);
    SystemInfo::s_uNumberOfProcessingUnits = counts.units;
    SystemInfo::s_uNumberOfCores = counts.cores;
    SystemInfo::s_uNumberOfPackages = counts.packages;
    SystemInfo::s_uNumberOfCoresPerPackage = counts.coresPerPackage;
    SystemInfo::s_uNumberOfUnitsPerCore = counts.unitsPerCore;

    // The kernel's description names every processor it knows; the processor's own brand text is
    // there for the rest.
    SystemInfo::s_strProcessorName = SystemInfo2::s_processorName.empty() ? cpuidName : SystemInfo2::s_processorName;
}

void gatherOperatingSystem()
{
    SystemInfo::s_eOSType = eOSTypeThisPlatform;
    if (qv::commons::isNull(SystemInfo2::s_osVersion))
        SystemInfo2::retrieveOSInfo();
    SystemInfo::s_uMajorVersion = static_cast<std::uint32_t>(SystemInfo2::s_osVersion.m_major);
    SystemInfo::s_uMinorVersion = static_cast<std::uint32_t>(SystemInfo2::s_osVersion.m_minor);
    SystemInfo::s_uMicroVersion = static_cast<std::uint32_t>(SystemInfo2::s_osVersion.m_micro);
}

void gatherUser()
{
    const SystemInfo2::tSources& sources = SystemInfo2::sources();
    const std::vector<std::string> languages = DETAIL::preferredLanguages(sources.getenv);
    SystemInfo::s_eOSLanguage = languages.empty() ? eLanguageOther : convertLocaleToSystemLanguage(languages.front());
    SystemInfo::s_eOSLocale = convertLocaleToSystemLanguage(DETAIL::currentLocaleIdentifier(sources.getenv));

    SystemInfo2::tUname names;
    if (!sources.uname || !sources.uname(names))
        names = {};
    SystemInfo::s_strComputerName = DETAIL::readComputerName(sources.root, names.nodeName);
}

}  // namespace

bool SystemInfo::init()
{
    gatherProcessor();
    gatherOperatingSystem();
    gatherUser();
    return true;
}

bool SystemInfo::deInit() { return true; }

}  // namespace QV::GP
