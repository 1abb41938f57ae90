// The platform core's start and stop.
#include "GP/Lib.h"

#include "GP/Application.h"
#include "GP/Assertion.h"
#include "GP/Authentication.h"
#include "GP/CriticalSection.h"
#include "GP/DebugTrace.h"
#include "GP/DeviceNotification.h"
#include "GP/FileTypeManager.h"
#include "GP/GetText.h"
#include "GP/Registry.h"
#include "GP/SystemInfo.h"
#include "GP/TLS.h"
#include "GP/VolumeManager.h"

#include "Common/LibStartSteps.h"

#include <iterator>

namespace QV::GP {

bool Lib::s_bInitialized = false;

namespace DETAIL {

const tLibStartStep kLibStartSteps[6] = {
    {"TLS",
     [] {
         TLS::init();
         return true;
     }},
    {"SystemInfo",
     [] {
         SystemInfo::init();
         return true;
     }},
    {"CriticalSection", [] { return CriticalSection::staticInit(); }},
    {"FileTypeManager",
     [] {
         FileTypeManager::init();
         return true;
     }},
    {"DeviceNotification", [] { return !Lib::s_bInitializeDeviceNotifications || DeviceNotification::init(); }},
    {"VolumeManager",
     [] {
         VolumeManager::init();
         return true;
     }},
};

tLibStartSteps g_libStartSteps = {kLibStartSteps, std::size(kLibStartSteps)};

}  // namespace DETAIL

namespace {

// The checks' reports name this source and these lines; they stay fixed so that reports from
// different builds read the same.
constexpr const char* kSource = "../sources/libs/qvlibs/gp/src/Common/Init_GP";
constexpr int kLineAlreadyStarted = 62;
constexpr int kLineVersion = 205;
constexpr int kLineFlavour = 208;
constexpr int kLineFlavourHighBits = 211;

bool flavourMatches(int flavour) { return (flavour & 0xFFFF) == Lib::kFlavour; }

// Only the low 16 bits may be set: a negative flavour has high bits too.
bool flavourHasHighBits(int flavour) { return static_cast<unsigned>(flavour) >= 0x10000u; }

// Starts the parts in their order; false when one refuses.
bool startParts()
{
    for (std::size_t i = 0; i < DETAIL::g_libStartSteps.count; ++i)
        if (!DETAIL::g_libStartSteps.steps[i].pfnStart())
            return false;
    return true;
}

}  // namespace

bool Lib::init(FileTypeMacMagic signature, const char* appName, int version, int flavour)
{
    if (s_bInitialized)
        Assertion::DoFail(kSource, kLineAlreadyStarted, nullptr);
    if (version != kVersion)
        Assertion::DoFail(kSource, kLineVersion, nullptr);
    if (!flavourMatches(flavour))
        Assertion::DoFail(kSource, kLineFlavour, nullptr);
    if (flavourHasHighBits(flavour))
        Assertion::DoFail(kSource, kLineFlavourHighBits, nullptr);

    Application::setSignature(signature);
    if (appName)
        Application::setName(appName);

    bool started = false;
    try {
        started = startParts();
    } catch (...) {
        started = false;
    }
    if (!started) {
        deInit();
        return false;
    }
    Authentication::init();
    s_bInitialized = true;
    return true;
}

void Lib::checkVersionAndFlavour(int version, int flavour)
{
    if (version != kVersion || !flavourMatches(flavour))
        Assertion::DoFail(kSource, version == kVersion ? kLineFlavour : kLineVersion, nullptr);
    if (flavourHasHighBits(flavour))
        Assertion::DoFail(kSource, kLineFlavourHighBits, nullptr);
}

void Lib::deInit()
{
    Registry::deInit();
    FileTypeManager::deInit();
    VolumeManager::deInit();
    DeviceNotification::deInit();
    Authentication::deInit();
    CriticalSection::staticDeInit();
    SystemInfo::deInit();
    TLS::deInit();
    DebugTrace::clearGroupFilter();
    s_bInitialized = false;
}

void Lib::initLocale(const char* localeId) { GetTextLoader::initLocale(localeId); }

}  // namespace QV::GP
