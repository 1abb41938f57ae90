// The application and module that the application tests attach: the module does nothing of its own,
// the application records what reaches it and answers the quit question as the test says.
#pragma once

#include "UIA/AppModule.h"
#include "UIA/Application.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <vector>

namespace QV::UIA::TEST {

class TestModule : public AppModule {
public:
    bool init() override { return true; }
    void deInit(bool) override { destroyApplication(); }
};

class TestApplication : public Application {
public:
    explicit TestApplication(int* deInits = nullptr, bool initResult = true)
        : m_deInits(deInits), m_bInitResult(initResult)
    {}

    bool init() override { return Application::init() && m_bInitResult; }
    void deInit(bool initResult) override
    {
        if (m_deInits)
            ++*m_deInits;
        Application::deInit(initResult);
    }

    bool onEvent(unsigned code, EventData* data) override
    {
        seen.push_back(code);
        if (code == eEventAppQueryQuit) {
            static_cast<AllowEventData*>(data)->allow = allowQuit;
            return true;
        }
        return Application::onEvent(code, data);
    }

    std::vector<unsigned> seen;
    bool allowQuit = true;

private:
    int* m_deInits;
    bool m_bInitResult;
};

}  // namespace QV::UIA::TEST
