// The platform core as one library: started first and stopped last by the application module, with
// the version and flavour handshake that the UI layer and the widget toolkit repeat.
#pragma once

#include "GP/FileTypeMacMagic.h"

namespace QV::GP {

class Lib {
public:
    static constexpr int kVersion = 0x2030000;
    static constexpr int kFlavour = 69;

    // Checks the version and flavour (a mismatch, or a second start, is a failed assertion), sets
    // the application's signature and name (a null name keeps the one there is) and starts the
    // core's parts: thread-local storage, system information, the lock pool, the file types, the
    // device notifications and the volumes, then the rights record. When a part fails or throws,
    // what was started is stopped again and the result is false.
    static bool init(FileTypeMacMagic signature, const char* appName, int version, int flavour);
    // The version and flavour check of init() alone: for libraries built on the core.
    static void checkVersionAndFlavour(int version, int flavour);
    // Stops every part in reverse order; safe after a partial start and without one.
    static void deInit();
    // Chooses the translation locale (GetTextLoader::initLocale); before init().
    static void initLocale(const char* localeId);

    static bool isInitialized() { return s_bInitialized; }

    // Device notifications are always started.
    static constexpr bool s_bInitializeDeviceNotifications = true;

private:
    static bool s_bInitialized;
};

}  // namespace QV::GP
