#include "CPUIDTable.h"
#include "FakeMachine.h"

#include "GP/SystemInfo.h"
#include "GP/SystemInfo2.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace QV::GP;
using QV::TEST::CPUIDTable;
using QV::TEST::FakeMachine;
using QV::TEST::ScopedCPUID;
using QV::TEST::tTopology;

// An Intel processor whose own topology says `coresPerPackage` cores and `logical` logical
// processors per package.
CPUIDTable intelProcessor(unsigned coresPerPackage, unsigned logical)
{
    CPUIDTable table;
    table.setVendor("GenuineIntel", 0xB);
    // Family 6, model 0xE, stepping 3; SSE3 and CMPXCHG16B; MMX, SSE, SSE2 and multi-threading.
    table.set(1,
              {0x000306E3u, logical << 16, (1u << 0) | (1u << 13), (1u << 23) | (1u << 25) | (1u << 26) | (1u << 28)});
    table.set(4, {(coresPerPackage - 1) << 26, 0, 0, 0}, 0);
    table.set(0x80000000u, {0x80000004u, 0, 0, 0});
    table.set(0x80000001u, {0, 0, 0, 1u << 29});
    table.setBrand("Processor's own brand");
    return table;
}

struct tCounts {
    unsigned units, cores, packages, coresPerPackage, unitsPerCore;
};

void expectCounts(const tCounts& expected)
{
    EXPECT_EQ(SystemInfo::s_uNumberOfProcessingUnits, expected.units);
    EXPECT_EQ(SystemInfo::s_uNumberOfCores, expected.cores);
    EXPECT_EQ(SystemInfo::s_uNumberOfPackages, expected.packages);
    EXPECT_EQ(SystemInfo::s_uNumberOfCoresPerPackage, expected.coresPerPackage);
    EXPECT_EQ(SystemInfo::s_uNumberOfUnitsPerCore, expected.unitsPerCore);
}

TEST(SystemInfo, Workstation)
{
    FakeMachine machine;
    machine.writeCpuInfo(tTopology{1, 4, 2}, 4, "Intel(R) Core(TM) i7-4770 CPU @ 3.40GHz");
    machine.writeSysTopology(tTopology{1, 4, 2});
    machine.write("/etc/os-release", "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n");
    machine.write("/etc/machine-info", "PRETTY_HOSTNAME=\"Studio PC\"\n");
    machine.m_uname = SystemInfo2::tUname{"studio", "6.1.0-13-amd64", "x86_64"};
    machine.m_environment = {{"LANGUAGE", "fr:de"}, {"LANG", "de_DE.UTF-8"}};
    machine.install();
    ScopedCPUID processor(intelProcessor(4, 8));

    EXPECT_TRUE(SystemInfo::init());
    expectCounts({8, 4, 1, 4, 2});
    EXPECT_EQ(SystemInfo::s_uProcessorVendor, eVendorIntel);
    EXPECT_EQ(SystemInfo::s_uProcessorType, eProcessorTypeIntelCore);
    EXPECT_EQ(SystemInfo::s_uProcessorFamilyCode, 6u);
    EXPECT_EQ(SystemInfo::s_uProcessorModelNumber, 0xEu);
    EXPECT_EQ(SystemInfo::s_uProcessorRevision, 3u);
    EXPECT_EQ(SystemInfo::s_eSIMDSupport, eSIMDMMX | eSIMDSSE | eSIMDSSE2 | eSIMDSSE3);
    EXPECT_EQ(SystemInfo::s_eProcessorFeatures,
              eFeatureMultipleUnitsPerCore | eFeatureLongMode | eFeatureMultipleCoresPerPackage | eFeatureCMPXCHG16B);
    EXPECT_EQ(SystemInfo::s_strProcessorName, "Intel(R) Core(TM) i7-4770 CPU @ 3.40GHz");
    EXPECT_EQ(SystemInfo::s_eOSType, eOSTypeThisPlatform);
    EXPECT_EQ(SystemInfo::s_uMajorVersion, 12u);
    EXPECT_EQ(SystemInfo::s_uMinorVersion, 0u);
    EXPECT_EQ(SystemInfo::s_uMicroVersion, 0u);
    EXPECT_EQ(SystemInfo::s_eOSLanguage, eLanguageFrench);
    EXPECT_EQ(SystemInfo::s_eOSLocale, eLanguageGerman);
    EXPECT_EQ(SystemInfo::s_strComputerName, "Studio PC");
    EXPECT_EQ(SystemInfo2::s_osTargetISA, SystemInfo2::eISAx86_64);
    EXPECT_EQ(SystemInfo2::s_processorSpeed, 2596);
    EXPECT_TRUE(SystemInfo::deInit());
}

// A guest with two processors whose kernel reports the host chip's eight cores per package:
// the raw counts give 0 packages, and the host's counts take over.
TEST(SystemInfo, GuestWithMoreCoresPerPackageThanCores)
{
    FakeMachine machine;
    machine.writeCpuInfo(tTopology{1, 2, 1}, 8, "Intel Xeon Processor (Skylake)");
    machine.writeSysTopology(tTopology{1, 2, 1});
    machine.install();
    ScopedCPUID processor(intelProcessor(8, 16));

    EXPECT_TRUE(SystemInfo::init());
    EXPECT_EQ(SystemInfo2::s_numProcessorPacks, 0);
    expectCounts({2, 2, 1, 2, 1});
    EXPECT_EQ(SystemInfo::s_strProcessorName, "Intel Xeon Processor (Skylake)");
}

TEST(SystemInfo, GuestWithoutTopologyIsSplitByTheProcessorsCoresPerPackage)
{
    FakeMachine machine;
    machine.writeCpuInfo(tTopology{2, 2, 1}, 2, "");
    machine.write("/sys/devices/system/cpu/online", "0-3\n");
    machine.install();
    ScopedCPUID processor(intelProcessor(2, 2));

    EXPECT_TRUE(SystemInfo::init());
    EXPECT_EQ(SystemInfo2::s_numPhysicalCores, 0);
    expectCounts({4, 4, 2, 2, 1});
    EXPECT_EQ(SystemInfo::s_strProcessorName, "Processor's own brand") << "/proc/cpuinfo names none";
}

TEST(SystemInfo, BareEnvironment)
{
    // No files, no uname, no environment, a processor without CPUID: every count is still 1.
    FakeMachine machine;
    machine.m_uname.reset();
    machine.install();
    ScopedCPUID processor{CPUIDTable()};

    EXPECT_TRUE(SystemInfo::init());
    expectCounts({1, 1, 1, 1, 1});
    EXPECT_EQ(SystemInfo::s_uProcessorVendor, eVendorOther);
    EXPECT_EQ(SystemInfo::s_strProcessorName, "<Unkown>");
    EXPECT_EQ(SystemInfo::s_uMajorVersion, 0u);
    EXPECT_EQ(SystemInfo::s_eOSLanguage, eLanguageEnglish) << "the C locale";
    EXPECT_EQ(SystemInfo::s_strComputerName, "");
}

TEST(SystemInfo, FactsAreReadOncePerSources)
{
    FakeMachine machine;
    machine.write("/etc/os-release", "VERSION_ID=11\n");
    machine.writeCpuInfo(tTopology{1, 2, 1}, 2, "First");
    machine.writeSysTopology(tTopology{1, 2, 1});
    machine.install();
    ScopedCPUID processor(intelProcessor(2, 2));
    SystemInfo::init();

    machine.write("/etc/os-release", "VERSION_ID=12\n");
    machine.writeCpuInfo(tTopology{1, 4, 1}, 4, "Second");
    machine.writeSysTopology(tTopology{1, 4, 1});
    SystemInfo::init();
    EXPECT_EQ(SystemInfo::s_uMajorVersion, 11u);
    EXPECT_EQ(SystemInfo::s_strProcessorName, "First");

    machine.install();
    SystemInfo::init();
    EXPECT_EQ(SystemInfo::s_uMajorVersion, 12u);
    EXPECT_EQ(SystemInfo::s_strProcessorName, "Second");
    expectCounts({4, 4, 1, 4, 1});
}

TEST(SystemInfo, ThisMachine)
{
    const SystemInfo2::tSources previous = SystemInfo2::setSources(SystemInfo2::systemSources());
    EXPECT_TRUE(SystemInfo::init());
    SystemInfo2::setSources(previous);

    EXPECT_EQ(SystemInfo::s_uNumberOfProcessingUnits, static_cast<unsigned>(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_GE(SystemInfo::s_uNumberOfProcessingUnits, SystemInfo::s_uNumberOfCores);
    EXPECT_GE(SystemInfo::s_uNumberOfCores, SystemInfo::s_uNumberOfPackages);
    EXPECT_GE(SystemInfo::s_uNumberOfPackages, 1u);
    EXPECT_LE(SystemInfo::s_uNumberOfPackages * SystemInfo::s_uNumberOfCoresPerPackage, SystemInfo::s_uNumberOfCores);
    EXPECT_LE(SystemInfo::s_uNumberOfCores * SystemInfo::s_uNumberOfUnitsPerCore,
              SystemInfo::s_uNumberOfProcessingUnits);
    EXPECT_GE(SystemInfo::s_uNumberOfUnitsPerCore, 1u);
    EXPECT_FALSE(SystemInfo::s_strProcessorName.empty());
    EXPECT_GT(SystemInfo::s_uMajorVersion, 0u) << "os-release or the kernel release";
    char hostName[256] = {};
    ASSERT_EQ(gethostname(hostName, sizeof(hostName) - 1), 0);
    if (access("/etc/machine-info", F_OK) != 0) {
        EXPECT_EQ(SystemInfo::s_strComputerName, hostName);
    }
}

}  // namespace
