// The application module: one per process, derived by the program. It starts the libraries in its
// init, owns the application object, and is driven by the platform's application delegate through
// AppModuleStartup (init when the application will finish launching, deInit when it ends).
//
// Main thread only.
#pragma once

#include "UIA/IApplication.h"

#include <string>

namespace QV::UIA {

class AppModule {
public:
    // The first module made becomes the current one and stays it.
    AppModule();
    // Destroys an attached application.
    virtual ~AppModule();
    AppModule(const AppModule&) = delete;
    AppModule& operator=(const AppModule&) = delete;

    // The program's own start-up and stop.
    virtual bool init() = 0;
    virtual void deInit(bool initResult) = 0;
    // Whether the locale is read from the registry; false.
    virtual bool initRegistry() const { return false; }
    // The locale handed to the platform core: empty, or the registry's first language when
    // fromRegistry is set.
    virtual std::string getLocale(bool fromRegistry) const;

    static AppModule* getCurrentModule() { return g_current; }

    // Chooses the locale, starts thread-local storage, then runs init; answers its result.
    bool create();
    // Takes `app` and runs its init. False (the application not taken) when one is attached already;
    // false, with the application kept and given deInit(false) at once, when its init fails.
    bool attachApplication(IApplication* app);
    // deInit(initResult) of the attached application, then its deletion. Nothing without one.
    void destroyApplication();
    IApplication* getApplication() const { return m_pApplication; }
    bool getInitResult() const { return m_bInitResult; }

    // The first of the registry's "AppleLanguages"; empty when there is none.
    static std::string getLocaleInRegistry();
    // The bundle's version (CFBundleShortVersionString, else CFBundleVersion) up to its first ','
    // into `out`. Without a bundle or a version text: "?.??.???" appended to `out`, and false.
    static bool getVersionInfo(std::string& out);

private:
    bool m_bInitResult = false;
    IApplication* m_pApplication = nullptr;

    static AppModule* g_current;
};

// The application delegate's entry points into the current module.
struct AppModuleStartup {
    // create() of the current module; false without one.
    static bool init();
    // The current module's deInit with its init result, then the resource map is cleared.
    static void deInit();
};

// The version text of the bundle's version value: the text up to its first ','.
std::string versionTextOf(const std::string& bundleVersion);

}  // namespace QV::UIA
