#include "GP/CPUID.h"

#include <cstring>
#include <initializer_list>
#include <utility>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace QV::GP::IA32 {

std::uint32_t CPUID::Standard::uMaxCall = 0;
std::uint32_t CPUID::Extended::uMaxCall = 0;

namespace {

constexpr std::uint32_t kExtendedBase = 0x80000000u;
constexpr std::uint32_t kExtendedFeatures = 0x80000001u;
constexpr std::uint32_t kBrandFirst = 0x80000002u;
constexpr std::uint32_t kBrandLast = 0x80000004u;
constexpr std::uint32_t kAMDCoreCount = 0x80000008u;

tCPUIDLeaf readProcessor(std::uint32_t leaf, std::uint32_t subleaf)
{
    tCPUIDLeaf result;
#if defined(__i386__) || defined(__x86_64__)
    __cpuid_count(leaf, subleaf, result.eax, result.ebx, result.ecx, result.edx);
#else
    (void)leaf;
    (void)subleaf;
#endif
    return result;
}

CPUID::tReader& reader()
{
    static CPUID::tReader s_reader;
    return s_reader;
}

constexpr bool bit(std::uint32_t value, unsigned index) { return (value >> index) & 1u; }

void appendRegisters(std::string& text, std::initializer_list<std::uint32_t> registers)
{
    for (std::uint32_t value : registers) {
        char bytes[4];
        for (unsigned i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        text.append(bytes, 4);
    }
}

// SIMD bits of leaf 1: the register, the bit and what it means.
struct tFeatureBit {
    bool fromEDX;
    unsigned index;
    std::uint32_t flag;
};
constexpr tFeatureBit kLeaf1SIMD[] = {
    {true, 23, eSIMDMMX},   {true, 25, eSIMDSSE},    {true, 26, eSIMDSSE2},   {false, 0, eSIMDSSE3},
    {false, 9, eSIMDSSSE3}, {false, 19, eSIMDSSE41}, {false, 20, eSIMDSSE42}, {false, 28, eSIMDAVX},
};

unsigned intelType(unsigned family, unsigned model)
{
    if (family == 15)
        return eProcessorTypeIntelNetBurst;
    if (family == 6)
        return model < 13 ? eProcessorTypeIntelP6 : eProcessorTypeIntelCore;
    return eProcessorTypeOther;
}

unsigned amdType(unsigned family)
{
    if (family == 15)
        return eProcessorTypeAMDFamily15;
    if (family == 6)
        return eProcessorTypeAMDFamily6;
    return eProcessorTypeOther;
}

}  // namespace

tCPUIDLeaf CPUID::read(std::uint32_t leaf, std::uint32_t subleaf)
{
    const tReader& installed = reader();
    return installed ? installed(leaf, subleaf) : readProcessor(leaf, subleaf);
}

CPUID::tReader CPUID::setReader(tReader replacement) { return std::exchange(reader(), std::move(replacement)); }

void getCPUCaps(unsigned& simd, unsigned& features, unsigned& coresPerPackage, unsigned& unitsPerCore, unsigned& vendor,
                unsigned& type, unsigned& family, unsigned& model, unsigned& revision, std::string& name)
{
    simd = features = 0;
    coresPerPackage = unitsPerCore = 1;
    vendor = eVendorOther;
    type = eProcessorTypeOther;
    family = model = revision = 0;

    const tCPUIDLeaf leaf0 = CPUID::read(0);
    CPUID::Standard::uMaxCall = leaf0.eax;
    std::string vendorText;
    appendRegisters(vendorText, {leaf0.ebx, leaf0.edx, leaf0.ecx});

    tCPUIDLeaf leaf1;
    if (CPUID::Standard::uMaxCall != 0) {
        leaf1 = CPUID::read(1);
        revision = leaf1.eax & 0xF;
        model = (leaf1.eax >> 4) & 0xF;
        family = (leaf1.eax >> 8) & 0xF;
        for (const tFeatureBit& entry : kLeaf1SIMD) {
            if (bit(entry.fromEDX ? leaf1.edx : leaf1.ecx, entry.index))
                simd |= entry.flag;
        }
        if (bit(leaf1.ecx, 13))
            features |= eFeatureCMPXCHG16B;
    }

    // Processors without extended leaves answer 0x80000000 with whatever their highest standard
    // leaf holds, so only a number in the extended range counts.
    CPUID::Extended::uMaxCall = CPUID::read(kExtendedBase).eax;
    const auto hasExtended = [](std::uint32_t leaf) {
        return CPUID::Extended::uMaxCall >= kExtendedFeatures && CPUID::Extended::uMaxCall >= leaf;
    };
    tCPUIDLeaf extended1;
    if (hasExtended(kExtendedFeatures)) {
        extended1 = CPUID::read(kExtendedFeatures);
        if (bit(extended1.edx, 29))
            features |= eFeatureLongMode;
        if (bit(extended1.edx, 20))
            features |= eFeatureNoExecute;
    }
    std::string brand;
    for (std::uint32_t leaf = kBrandFirst; leaf <= kBrandLast && hasExtended(leaf); ++leaf) {
        const tCPUIDLeaf part = CPUID::read(leaf);
        appendRegisters(brand, {part.eax, part.ebx, part.ecx, part.edx});
    }

    if (vendorText == "GenuineIntel") {
        vendor = eVendorIntel;
        type = intelType(family, model);
        if (bit(leaf1.edx, 28)) {  // more than one logical processor per package
            unitsPerCore = (leaf1.ebx >> 16) & 0xFF;
            if (CPUID::Standard::uMaxCall >= 4) {
                coresPerPackage = (CPUID::read(4, 0).eax >> 26) + 1;
                unitsPerCore /= coresPerPackage;
            }
            // A guest may be told fewer logical processors than cores: it has one unit per core.
            if (unitsPerCore == 0)
                unitsPerCore = 1;
        }
    } else if (vendorText == "AuthenticAMD") {
        vendor = eVendorAMD;
        type = amdType(family);
        if (bit(extended1.edx, 30))
            simd |= eSIMD3DNowExtended;
        if (bit(extended1.ecx, 6))
            simd |= eSIMDSSE4a;
        if (hasExtended(kAMDCoreCount)) {
            const std::uint32_t ecx = CPUID::read(kAMDCoreCount).ecx;
            const unsigned coreIdBits = (ecx >> 12) & 0xF;
            coresPerPackage = coreIdBits != 0 ? 1u << coreIdBits : (ecx & 0xFF) + 1;
        }
    } else if (vendorText == "CyrixInstead") {
        vendor = eVendorCyrix;
    } else if (vendorText == "GenuineTMx86") {
        vendor = eVendorTransmeta;
    }
    if (coresPerPackage > 1)
        features |= eFeatureMultipleCoresPerPackage;
    if (unitsPerCore > 1)
        features |= eFeatureMultipleUnitsPerCore;

    brand.resize(std::strlen(brand.c_str()));  // the text ends at its first NUL
    const std::string::size_type first = brand.find_first_not_of(" \t");
    name = first == std::string::npos ? kUnknownProcessorName : brand.substr(first);
}

}  // namespace QV::GP::IA32
