// The program's real start-up inside the test process, as the application delegate runs it: the
// program's module starts the libraries, the update logic, the configuration and the application,
// against the emulated USB bus (simulated controllers, the logic's waits moving the simulated clock)
// and the test's own X server and runtime folder.
#pragma once

#include "DVK2/Sleep.h"
#include "PXT/Window.h"
#include "QVTest/TemporaryFolder.h"
#include "UIA/AppModule.h"
#include "UIA/Application.h"
#include "UIA/Window.h"
#include "Updater/UpdateWizardMainWidget.h"
#include "qvsim/testing/SimulatedBusTest.h"

#include <cstdlib>
#include <memory>

namespace QV::TEST {

class UpdaterStartup : public SIM::SimulatedBusTest {
public:
    // The wizard in the program's window; null without one.
    static UpdateWizardMainWidget* wizard()
    {
        const auto& windows = UIA::Application::getWindows();
        auto* window = windows.empty() ? nullptr : dynamic_cast<PXT::Window<UIA::StandaloneWindow>*>(windows.front());
        return window ? dynamic_cast<UpdateWizardMainWidget*>(window->getRootWidget()) : nullptr;
    }

protected:
    void SetUp() override
    {
        SimulatedBusTest::SetUp();
        m_runtime = std::make_unique<TemporaryFolder>("qv-app-runtime");
        setenv("XDG_RUNTIME_DIR", m_runtime->path().c_str(), 1);
        DVK2::setSleepFunction(
            [this](std::chrono::nanoseconds d) { advance(std::chrono::duration_cast<SIM::Clock::Duration>(d)); });
    }

    void TearDown() override
    {
        stop();
        DVK2::setSleepFunction(nullptr);
        SimulatedBusTest::TearDown();
    }

    // As the delegate: the module's start when the application will finish launching.
    bool start()
    {
        m_started = true;
        return UIA::AppModuleStartup::init();
    }

    // As the delegate when the application terminates: the windows, then the module.
    void stop()
    {
        if (!m_started)
            return;
        m_started = false;
        UIA::Application::destroyAllWindows();
        UIA::AppModuleStartup::deInit();
    }

private:
    std::unique_ptr<TemporaryFolder> m_runtime;
    bool m_started = false;
};

}  // namespace QV::TEST
