// Static facts about the machine, gathered once by the library start: processor counts and identity,
// SIMD support, the operating system's version, the user's language and locale, the computer's name.
// They stay in these fields until the process ends.
#pragma once

#include "GP/CPUID.h"
#include "GP/SystemLanguage.h"

#include <cstdint>
#include <string>

namespace QV::GP {

enum eOSType : std::uint32_t {
    eOSTypeThisPlatform = 4,
};

class SystemInfo {
public:
    // Gathers every fact below, from SystemInfo2's sources and the processor; always true. May be
    // called again (tests do, with other sources): each call overwrites every field.
    static bool init();
    // Nothing to release; true.
    static bool deInit();

    // Counts; each is at least 1 after init(), and packages x cores per package = cores,
    // cores x units per core = processing units, up to the remainders of those divisions.
    static std::uint32_t s_uNumberOfProcessingUnits;  // logical processors
    static std::uint32_t s_uNumberOfCores;
    static std::uint32_t s_uNumberOfPackages;
    static std::uint32_t s_uNumberOfCoresPerPackage;
    static std::uint32_t s_uNumberOfUnitsPerCore;

    static std::uint32_t s_uProcessorVendor;  // eProcessorVendor
    static std::uint32_t s_uProcessorType;    // eProcessorType
    static std::uint32_t s_uProcessorFamilyCode;
    static std::uint32_t s_uProcessorModelNumber;
    static std::uint32_t s_uProcessorRevision;
    static eSIMDSupport s_eSIMDSupport;
    static eProcessorFeatures s_eProcessorFeatures;

    static eOSType s_eOSType;
    static std::uint32_t s_uMajorVersion;
    static std::uint32_t s_uMinorVersion;
    static std::uint32_t s_uMicroVersion;

    static eSystemLanguage s_eOSLanguage;  // of the first preferred language
    static eSystemLanguage s_eOSLocale;    // of the current locale

    static std::string s_strComputerName;   // UTF-8
    static std::string s_strProcessorName;  // UTF-8
};

}  // namespace QV::GP
