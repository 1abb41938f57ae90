// The application and module that the application tests attach: the module does nothing of its own,
// the application records what reaches it and answers the quit question as the test says.
#pragma once

#include "UIA/AppModule.h"
#include "UIA/Application.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <string>
#include <vector>

namespace QV::UIA::TEST {

class TestModule : public AppModule {
public:
    bool init() override { return true; }
    void deInit(bool) override { destroyApplication(); }
};

class TestApplication : public Application {
public:
    // `log`, when given, receives each stop with its argument and the deletion with whether the
    // application still names a module owner then.
    explicit TestApplication(std::vector<std::string>* log = nullptr, bool initResult = true)
        : m_log(log), m_bInitResult(initResult)
    {}
    ~TestApplication() override
    {
        if (m_log)
            m_log->push_back(getModuleOwner() ? "deleted with an owner" : "deleted");
    }

    bool init() override { return Application::init() && m_bInitResult; }
    void deInit(bool initResult) override
    {
        if (m_log)
            m_log->push_back(initResult ? "deInit(true)" : "deInit(false)");
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
    std::vector<std::string>* m_log;
    bool m_bInitResult;
};

}  // namespace QV::UIA::TEST
