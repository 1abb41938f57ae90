// The processor's identification instruction (CPUID) and what the platform core makes of it: vendor,
// family, SIMD extensions, a few features and the topology the processor itself reports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace QV::GP {

// SystemInfo::s_eSIMDSupport bits.
enum eSIMDSupport : std::uint32_t {
    eSIMDNone = 0,
    eSIMDMMX = 0x1,
    eSIMDSSE = 0x2,
    eSIMD3DNowExtended = 0x4,  // AMD only
    eSIMDSSE2 = 0x8,
    eSIMDSSE3 = 0x10,
    eSIMDSSSE3 = 0x20,
    eSIMDSSE4a = 0x40,  // AMD only
    eSIMDSSE41 = 0x80,
    eSIMDSSE42 = 0x100,
    eSIMDAVX = 0x200,
};

// SystemInfo::s_eProcessorFeatures bits.
enum eProcessorFeatures : std::uint32_t {
    eFeatureNone = 0,
    eFeatureMultipleUnitsPerCore = 0x1,
    eFeatureLongMode = 0x2,
    eFeatureNoExecute = 0x4,
    eFeatureMultipleCoresPerPackage = 0x8,
    eFeatureCMPXCHG16B = 0x10,
};

// SystemInfo::s_uProcessorVendor.
enum eProcessorVendor : std::uint32_t {
    eVendorOther = 0,
    eVendorIntel = 1,
    eVendorAMD = 2,
    eVendorCyrix = 5,
    eVendorTransmeta = 6,
};

// SystemInfo::s_uProcessorType, from the 4-bit family and model of leaf 1.
enum eProcessorType : std::uint32_t {
    eProcessorTypeOther = 0,
    eProcessorTypeIntelP6 = 1,        // family 6, model below 13
    eProcessorTypeIntelNetBurst = 2,  // family 15
    eProcessorTypeIntelCore = 3,      // family 6, model 13 or above
    eProcessorTypeAMDFamily6 = 4,
    eProcessorTypeAMDFamily15 = 5,
};

namespace IA32 {

// The name given to a processor that has no brand text.
inline constexpr const char* kUnknownProcessorName = "<Unkown>";

struct tCPUIDLeaf {
    std::uint32_t eax = 0;
    std::uint32_t ebx = 0;
    std::uint32_t ecx = 0;
    std::uint32_t edx = 0;
};

class CPUID {
public:
    // The highest leaf numbers, as the last getCPUCaps() read them.
    struct Standard {
        static std::uint32_t uMaxCall;
    };
    struct Extended {
        static std::uint32_t uMaxCall;
    };

    // Runs the instruction for one leaf and sub-leaf. Without the instruction (not an x86
    // processor) every leaf reads as zeros, which getCPUCaps() takes as "nothing to report".
    static tCPUIDLeaf read(std::uint32_t leaf, std::uint32_t subleaf = 0);

    // Tests answer the leaves from a table. An empty function restores the processor. Returns the
    // reader that was in place.
    using tReader = std::function<tCPUIDLeaf(std::uint32_t leaf, std::uint32_t subleaf)>;
    static tReader setReader(tReader reader);
};

// Identifies the processor. Every output is written: the bit sets and the vendor, type, family,
// model and revision start at 0, the two topology counts at 1 (the processor says nothing else).
// The counts are the processor's own view: inside a virtual machine they describe the host's chip.
void getCPUCaps(unsigned& simd, unsigned& features, unsigned& coresPerPackage, unsigned& unitsPerCore, unsigned& vendor,
                unsigned& type, unsigned& family, unsigned& model, unsigned& revision, std::string& name);

}  // namespace IA32
}  // namespace QV::GP
