// QUIT and FINISH quit through the application without the quit question, and do nothing while
// an update runs.
#include "WizardHarness.h"

#include "UIA/AppModule.h"
#include "UIA/Application.h"
#include "UIA/EventCodes.h"

#include <AppKit/AppKit.h>
#include <gtest/gtest.h>

namespace {

using namespace QV;
using namespace QV::TEST;
using objc::msgSend;

class QuitModule : public UIA::AppModule {
public:
    bool init() override { return true; }
    void deInit(bool) override { destroyApplication(); }
};

// An application that counts the quit questions it is asked.
class CountingApplication : public UIA::Application {
public:
    bool onEvent(unsigned code, UIA::EventData* data) override
    {
        if (code == UIA::eEventAppQueryQuit)
            ++questions;
        return UIA::Application::onEvent(code, data);
    }
    int questions = 0;
};

class WizardQuit : public testing::Test {
protected:
    void SetUp() override
    {
        m_app = new CountingApplication();
        ASSERT_TRUE(m_module.attachApplication(m_app));
    }
    void TearDown() override
    {
        m_module.destroyApplication();
        msgSend<void>(m_pool, objc::sel("drain"));
    }
    // The button's click as the toolkit reports a single click.
    static void clickQuit(const UpdateWizardMainWidget& wizard)
    {
        const PXT::Button::tSignalData data{0, true, false};
        WizardView(wizard).quit().m_sigClicked(&data);
    }

    // What the platform hands out autoreleased goes with the test.
    id m_pool = msgSend<id>(msgSend<id>(objc_getClass("NSAutoreleasePool"), objc::sel("alloc")), objc::sel("init"));
    QuitModule m_module;
    CountingApplication* m_app = nullptr;
};

TEST_F(WizardQuit, QuitIsRefusedWhileUpdatingAndAskedNothingAfterwards)
{
    ScriptedDevice device;
    device.connected = true;
    auto wizard = makeWizard();
    device.runWizard(*wizard);
    wizard->onAction();
    ASSERT_EQ(wizard->getState(), UpdateWizardMainWidget::eStateUpdating);

    clickQuit(*wizard);
    wizard->onQuit();
    EXPECT_FALSE(m_app->isQuitRequested());

    *device.result = -2;
    wizard->onTimer();
    ASSERT_EQ(wizard->getState(), UpdateWizardMainWidget::eStateUpdateFailed);
    clickQuit(*wizard);
    EXPECT_TRUE(m_app->isQuitRequested());
    EXPECT_EQ(m_app->questions, 0) << "the wizard quits without the question";
}

TEST_F(WizardQuit, QuitOnTheFirstPage)
{
    ScriptedDevice device;
    auto wizard = makeWizard();
    device.runWizard(*wizard);
    clickQuit(*wizard);
    EXPECT_TRUE(m_app->isQuitRequested());
}

}  // namespace
