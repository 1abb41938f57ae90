// The widget toolkit as one library: started after the platform core and the UI layer, before any
// widget exists, and stopped before them. Starting it checks the platform core's version and
// flavour and creates the single resource manager (ManagerContainer) with the style sheets.
#pragma once

namespace QV::PXT {

class ManagerContainer;

class Lib {
public:
    // The platform core this toolkit was built for.
    static constexpr int kRequiredCoreVersion = 0x2030000;
    static constexpr int kRequiredCoreFlavour = 69;

    // A second start is a failed assertion, so is a platform core of another version or flavour.
    // Always true once the checks pass.
    static bool init();
    // Deletes the resource manager (caches, sheets); safe without init.
    static void deInit();
    // Whether skin resources are looked for in a "skin" folder beside the bundle or in the current
    // folder first (off at start).
    static void setSearchSkinDirectory(bool search) { s_searchSkinDirectory = search; }
    static bool getSearchSkinDirectory() { return s_searchSkinDirectory; }
    // Font hinting of the default font (off in this program).
    static bool useFontHinting() { return s_useFontHinting; }

    static bool isInitialized() { return s_initialized; }
    // Null outside init and deInit.
    static ManagerContainer* getManagerContainer() { return s_managerContainer; }

private:
    static ManagerContainer* s_managerContainer;
    static bool s_initialized;
    static bool s_searchSkinDirectory;
    static bool s_useFontHinting;
};

}  // namespace QV::PXT
