// The updater's application module: it starts the platform core, the UI layer and the widget toolkit
// in this order, creates the update logic, the configuration bound to it and the application, and
// tears all of it down in reverse order. QV::theModule is the program's one module.
//
// Main thread only.
#pragma once

#include "UIA/AppModule.h"

namespace QV {

class FirmwareUpdaterConfig;
class VDXUpdaterUpgradeLogic;

class VDXUpdaterAppModule : public UIA::AppModule {
public:
    VDXUpdaterAppModule() = default;
    ~VDXUpdaterAppModule() override;

    // The libraries, the logic, the configuration, then the application (whose init shows the
    // wizard's first page and the window); the application's init result.
    bool init() override;
    // Stops a running update worker and waits for it, then destroys the application, the
    // configuration and the logic, and stops the libraries. Safe after a failed or partial init,
    // and twice.
    void deInit(bool initResult) override;

    VDXUpdaterUpgradeLogic* getLogic() const { return m_pLogic; }
    FirmwareUpdaterConfig* getConfig() const { return m_pConfig; }

private:
    VDXUpdaterUpgradeLogic* m_pLogic = nullptr;  // owned
    FirmwareUpdaterConfig* m_pConfig = nullptr;  // owned
};

// Constructed at load time, before main: the current module.
extern VDXUpdaterAppModule theModule;

}  // namespace QV
