#include "CPUIDTable.h"

#include "GP/CPUID.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using namespace QV::GP;
using QV::TEST::CPUIDTable;
using QV::TEST::ScopedCPUID;

// Everything getCPUCaps reports, filled with junk beforehand so that an output it forgets shows.
struct tCaps {
    unsigned simd = 0xDEAD, features = 0xDEAD, coresPerPackage = 0xDEAD, unitsPerCore = 0xDEAD;
    unsigned vendor = 0xDEAD, type = 0xDEAD, family = 0xDEAD, model = 0xDEAD, revision = 0xDEAD;
    std::string name = "stale";
};

tCaps capsOf(const CPUIDTable& table)
{
    ScopedCPUID processor(table);
    tCaps caps;
    IA32::getCPUCaps(caps.simd, caps.features, caps.coresPerPackage, caps.unitsPerCore, caps.vendor, caps.type,
                     caps.family, caps.model, caps.revision, caps.name);
    return caps;
}

constexpr std::uint32_t bit(unsigned index) { return 1u << index; }

// EAX of leaf 1 for a 4-bit family, model and stepping. The extended family and model fields above
// them are set too: only the 4-bit fields count.
constexpr std::uint32_t signature(unsigned family, unsigned model, unsigned stepping)
{
    return 0x00830000u | (family << 8) | (model << 4) | stepping;
}

constexpr std::uint32_t kLeaf1EDX = bit(23) | bit(25) | bit(26);                              // MMX, SSE, SSE2
constexpr std::uint32_t kMultiThreading = bit(28);                                            // leaf 1 EDX
constexpr std::uint32_t kLeaf1ECX = bit(0) | bit(9) | bit(13) | bit(19) | bit(20) | bit(28);  // ... CX16 ... AVX
constexpr unsigned kLeaf1SIMD =
    eSIMDMMX | eSIMDSSE | eSIMDSSE2 | eSIMDSSE3 | eSIMDSSSE3 | eSIMDSSE41 | eSIMDSSE42 | eSIMDAVX;
// Extended leaf 0x80000001: long mode, no-execute and AMD's extended 3DNow! in EDX, SSE4a in ECX.
constexpr std::uint32_t kExtendedEDX = bit(29) | bit(20) | bit(30);
constexpr std::uint32_t kExtendedECX = bit(6);

// Four cores with two threads each, all extended leaves, the brand text right-aligned in spaces as
// Intel writes it.
CPUIDTable intelCore()
{
    CPUIDTable table;
    table.setVendor("GenuineIntel", 0xD);
    table.set(1, {signature(6, 0xE, 3), 8u << 16, kLeaf1ECX, kLeaf1EDX | kMultiThreading});
    table.set(4, {(3u << 26) | 0x121, 0, 0, 0}, 0);
    table.set(4, {(1u << 26) | 0x143, 0, 0, 0}, 3);  // another cache level: must not be read
    table.set(0x80000000u, {0x80000008u, 0, 0, 0});
    table.set(0x80000001u, {0, 0, kExtendedECX, kExtendedEDX});
    table.setBrand("       Intel(R) Core(TM) i7-4770 CPU @ 3.40GHz");
    return table;
}

// Eight cores per package by the extended leaf's core-id size, which wins over its core count.
CPUIDTable amdAthlon64()
{
    CPUIDTable table;
    table.setVendor("AuthenticAMD", 0xD);
    table.set(1, {signature(15, 1, 2), 16u << 16, kLeaf1ECX, kLeaf1EDX | kMultiThreading});
    table.set(0x80000000u, {0x80000008u, 0, 0, 0});
    table.set(0x80000001u, {0, 0, kExtendedECX, kExtendedEDX});
    table.set(0x80000008u, {0, 0, (3u << 12) | 0x0F, 0});
    table.setBrand("AMD Athlon(tm) 64 X2 Dual Core Processor 4200+");
    return table;
}

TEST(CPUCaps, IntelCoreWithTwoThreadsPerCore)
{
    const tCaps caps = capsOf(intelCore());
    EXPECT_EQ(caps.vendor, eVendorIntel);
    EXPECT_EQ(caps.type, eProcessorTypeIntelCore);
    EXPECT_EQ(caps.family, 6u);
    EXPECT_EQ(caps.model, 0xEu);
    EXPECT_EQ(caps.revision, 3u);
    EXPECT_EQ(caps.simd, kLeaf1SIMD) << "AMD-only bits must not show on Intel";
    EXPECT_EQ(caps.features, unsigned(eFeatureMultipleUnitsPerCore | eFeatureLongMode | eFeatureNoExecute |
                                      eFeatureMultipleCoresPerPackage | eFeatureCMPXCHG16B));
    EXPECT_EQ(caps.coresPerPackage, 4u) << "leaf 4, sub-leaf 0";
    EXPECT_EQ(caps.unitsPerCore, 2u);
    EXPECT_EQ(caps.name, "Intel(R) Core(TM) i7-4770 CPU @ 3.40GHz");
    EXPECT_EQ(IA32::CPUID::Standard::uMaxCall, 0xDu);
    EXPECT_EQ(IA32::CPUID::Extended::uMaxCall, 0x80000008u);
}

TEST(CPUCaps, IntelTypeFollowsFamilyAndModel)
{
    struct tCase {
        unsigned family, model, type;
    } const cases[] = {
        {15, 2, eProcessorTypeIntelNetBurst}, {6, 12, eProcessorTypeIntelP6}, {6, 13, eProcessorTypeIntelCore},
        {6, 15, eProcessorTypeIntelCore},     {5, 4, eProcessorTypeOther},
    };
    for (const tCase& c : cases) {
        CPUIDTable table = intelCore();
        table.set(1, {signature(c.family, c.model, 0), 0, 0, 0});
        EXPECT_EQ(capsOf(table).type, c.type) << "family " << c.family << " model " << c.model;
    }
}

TEST(CPUCaps, IntelThreadsWithoutLeaf4)
{
    // An early hyper-threading processor: two logical processors, one core, no leaf 4.
    CPUIDTable table = intelCore();
    table.setVendor("GenuineIntel", 2);
    table.set(1, {signature(15, 2, 9), 2u << 16, 0, kLeaf1EDX | kMultiThreading});
    const tCaps caps = capsOf(table);
    EXPECT_EQ(caps.coresPerPackage, 1u);
    EXPECT_EQ(caps.unitsPerCore, 2u);
    EXPECT_EQ(caps.features & (eFeatureMultipleUnitsPerCore | eFeatureMultipleCoresPerPackage),
              unsigned(eFeatureMultipleUnitsPerCore));
}

TEST(CPUCaps, GuestWithFewerLogicalProcessorsThanCoresKeepsOneUnitPerCore)
{
    // A hypervisor passes the host chip's eight cores through leaf 4 but tells one logical
    // processor in leaf 1: the quotient would be 0 units per core.
    CPUIDTable table = intelCore();
    table.set(1, {signature(6, 0xE, 3), 1u << 16, kLeaf1ECX, kLeaf1EDX | kMultiThreading});
    table.set(4, {7u << 26, 0, 0, 0}, 0);
    const tCaps caps = capsOf(table);
    EXPECT_EQ(caps.coresPerPackage, 8u);
    EXPECT_EQ(caps.unitsPerCore, 1u);
    EXPECT_FALSE(caps.features & eFeatureMultipleUnitsPerCore);
    EXPECT_TRUE(caps.features & eFeatureMultipleCoresPerPackage);
}

TEST(CPUCaps, AMDWithExtendedLeaves)
{
    const tCaps caps = capsOf(amdAthlon64());
    EXPECT_EQ(caps.vendor, eVendorAMD);
    EXPECT_EQ(caps.type, eProcessorTypeAMDFamily15);
    EXPECT_EQ(caps.family, 15u);
    EXPECT_EQ(caps.model, 1u);
    EXPECT_EQ(caps.revision, 2u);
    EXPECT_EQ(caps.simd, kLeaf1SIMD | eSIMD3DNowExtended | eSIMDSSE4a);
    EXPECT_EQ(caps.features,
              unsigned(eFeatureLongMode | eFeatureNoExecute | eFeatureMultipleCoresPerPackage | eFeatureCMPXCHG16B))
        << "AMD's units per core come from nowhere: one, whatever leaf 1 says";
    EXPECT_EQ(caps.coresPerPackage, 8u);
    EXPECT_EQ(caps.unitsPerCore, 1u);
    EXPECT_EQ(caps.name, "AMD Athlon(tm) 64 X2 Dual Core Processor 4200+");
}

TEST(CPUCaps, AMDCoresPerPackage)
{
    struct tCase {
        std::uint32_t maxExtendedLeaf;
        std::uint32_t ecx;  // of leaf 0x80000008: core-id size in bits 12-15, core count - 1 in bits 0-7
        unsigned coresPerPackage;
    } const cases[] = {
        {0x80000008u, 0x0000, 1},  {0x80000008u, 0x0003, 4}, {0x80000008u, 0x1000, 2},
        {0x80000008u, 0x4007, 16}, {0x80000007u, 0x4007, 1},  // the leaf is beyond the highest one
    };
    for (const tCase& c : cases) {
        CPUIDTable table = amdAthlon64();
        table.set(0x80000000u, {c.maxExtendedLeaf, 0, 0, 0});
        table.set(0x80000008u, {0, 0, c.ecx, 0});
        const tCaps caps = capsOf(table);
        EXPECT_EQ(caps.coresPerPackage, c.coresPerPackage) << std::hex << c.ecx;
        EXPECT_EQ(bool(caps.features & eFeatureMultipleCoresPerPackage), c.coresPerPackage != 1) << std::hex << c.ecx;
    }
}

TEST(CPUCaps, AMDTypes)
{
    for (auto [family, type] : {std::pair{15u, eProcessorTypeAMDFamily15}, std::pair{6u, eProcessorTypeAMDFamily6},
                                std::pair{5u, eProcessorTypeOther}}) {
        CPUIDTable table = amdAthlon64();
        table.set(1, {signature(family, 1, 0), 0, 0, 0});
        EXPECT_EQ(capsOf(table).type, unsigned(type)) << family;
    }
}

TEST(CPUCaps, OtherVendorsGetNoTypeOrTopology)
{
    struct tCase {
        const char* vendorText;
        unsigned vendor;
    } const cases[] = {
        {"CyrixInstead", eVendorCyrix},
        {"GenuineTMx86", eVendorTransmeta},
        {"HygonGenuine", eVendorOther},
        {"CentaurHauls", eVendorOther},
    };
    for (const tCase& c : cases) {
        // Intel's and AMD's topology leaves are there, but mean nothing for another vendor.
        CPUIDTable table = amdAthlon64();
        table.setVendor(c.vendorText, 0xD);
        table.set(4, {7u << 26, 0, 0, 0}, 0);
        const tCaps caps = capsOf(table);
        EXPECT_EQ(caps.vendor, c.vendor) << c.vendorText;
        EXPECT_EQ(caps.type, unsigned(eProcessorTypeOther)) << c.vendorText;
        EXPECT_EQ(caps.family, 15u) << c.vendorText;
        EXPECT_EQ(caps.simd, kLeaf1SIMD) << c.vendorText;
        EXPECT_EQ(caps.features, unsigned(eFeatureLongMode | eFeatureNoExecute | eFeatureCMPXCHG16B)) << c.vendorText;
        EXPECT_EQ(caps.coresPerPackage, 1u) << c.vendorText;
        EXPECT_EQ(caps.unitsPerCore, 1u) << c.vendorText;
    }
}

TEST(CPUCaps, NoStandardLeavesReportsNothing)
{
    // Leaf 1 holds data, but leaf 0 says it is not there.
    CPUIDTable table = intelCore();
    table.setVendor("GenuineIntel", 0);
    table.set(0x80000000u, {0, 0, 0, 0});
    const tCaps caps = capsOf(table);
    EXPECT_EQ(caps.vendor, eVendorIntel);
    EXPECT_EQ(caps.family, 0u);
    EXPECT_EQ(caps.model, 0u);
    EXPECT_EQ(caps.revision, 0u);
    EXPECT_EQ(caps.type, unsigned(eProcessorTypeOther));
    EXPECT_EQ(caps.simd, 0u);
    EXPECT_EQ(caps.features, 0u);
    EXPECT_EQ(caps.coresPerPackage, 1u);
    EXPECT_EQ(caps.unitsPerCore, 1u);
    EXPECT_EQ(caps.name, "<Unkown>");
}

TEST(CPUCaps, ProcessorName)
{
    struct tCase {
        std::uint32_t maxExtendedLeaf;
        const char* brand;
        const char* name;
    } const cases[] = {
        {0x80000004u, "  Genuine Processor", "Genuine Processor"},
        {0x80000001u, "Hidden Brand", "<Unkown>"},  // no brand leaves
        {0x80000004u, "        ", "<Unkown>"},      // blanks only
        {0x80000004u, "", "<Unkown>"},
        {0x80000003u, "0123456789abcdef0123456789ABCDEFlost", "0123456789abcdef0123456789ABCDEF"},
        {0x80000004u, "0123456789abcdef0123456789abcdef0123456789abcdef",
         "0123456789abcdef0123456789abcdef0123456789abcdef"},
        // Without extended leaves the processor answers 0x80000000 with a standard leaf's data.
        {0x0000000Du, "Garbage", "<Unkown>"},
    };
    for (const tCase& c : cases) {
        CPUIDTable table = intelCore();
        table.set(0x80000000u, {c.maxExtendedLeaf, 0, 0, 0});
        table.setBrand(c.brand);
        EXPECT_EQ(capsOf(table).name, c.name) << '"' << c.brand << "\" up to " << std::hex << c.maxExtendedLeaf;
    }
}

TEST(CPUCaps, ExtendedFeaturesNeedTheExtendedLeaf)
{
    CPUIDTable table = amdAthlon64();
    table.set(0x80000000u, {0x0000000Du, 0, 0, 0});
    const tCaps caps = capsOf(table);
    EXPECT_EQ(caps.simd, kLeaf1SIMD);
    EXPECT_EQ(caps.features, unsigned(eFeatureCMPXCHG16B));
    EXPECT_EQ(caps.coresPerPackage, 1u);
}

#if defined(__x86_64__)
// The real instruction agrees with what the kernel read from it.
TEST(CPUCaps, ThisProcessor)
{
    std::ifstream cpuInfo("/proc/cpuinfo");
    std::string line, vendorId;
    while (std::getline(cpuInfo, line) && vendorId.empty()) {
        if (line.rfind("vendor_id", 0) == 0)
            vendorId = line.substr(line.find(':') + 2);
    }
    tCaps caps;
    IA32::getCPUCaps(caps.simd, caps.features, caps.coresPerPackage, caps.unitsPerCore, caps.vendor, caps.type,
                     caps.family, caps.model, caps.revision, caps.name);
    const unsigned expectedVendor = vendorId == "GenuineIntel"   ? eVendorIntel
                                    : vendorId == "AuthenticAMD" ? eVendorAMD
                                                                 : eVendorOther;
    EXPECT_EQ(caps.vendor, expectedVendor) << vendorId;
    EXPECT_TRUE(caps.features & eFeatureLongMode) << "a 64-bit process runs in long mode";
    EXPECT_EQ(caps.simd & (eSIMDMMX | eSIMDSSE | eSIMDSSE2), unsigned(eSIMDMMX | eSIMDSSE | eSIMDSSE2))
        << "every x86-64 processor has them";
    EXPECT_GE(IA32::CPUID::Standard::uMaxCall, 1u);
    EXPECT_GE(IA32::CPUID::Extended::uMaxCall, 0x80000001u);
}
#endif

}  // namespace
