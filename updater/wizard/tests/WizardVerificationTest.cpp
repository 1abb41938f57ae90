// The check after a written update: one more scan after 5 s through the USB library's sleep when
// the controller is not back at once, and the verdict from the version texts.
#include "WizardHarness.h"

#include "DVK2/Sleep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::TEST;
using namespace std::chrono_literals;

class SleepRecorder {
public:
    SleepRecorder()
    {
        DVK2::setSleepFunction([this](std::chrono::nanoseconds d) { sleeps.push_back(d); });
    }
    ~SleepRecorder() { DVK2::setSleepFunction(DVK2::SleepFunction()); }
    std::vector<std::chrono::nanoseconds> sleeps;
};

TEST(WizardVerification, OneRetryAfterFiveSeconds)
{
    struct {
        const char* name;
        std::deque<bool> scans;  // connectInNormalMode after the worker's success
        std::string installed;   // what the controller reports then
        std::vector<std::chrono::nanoseconds> sleeps;
        int state;
        const char* errorText;  // in the failure page's text
    } const cases[] = {
        {"back at once", {true}, "33 / 0x67", {}, 5, nullptr},
        {"back after the wait", {false, true}, "33 / 0x67", {5s}, 5, nullptr},
        {"never back", {false, false}, "33 / 0x67", {5s}, 6, "(error 1)"},
        {"back with other versions", {true}, "33 / 0x66", {}, 6, "(error 1)"},
        {"back after the wait with other versions", {false, true}, "32 / 0x67", {5s}, 6, "(error 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDevice device;
        device.connected = true;
        auto wizard = makeWizard();
        device.runWizard(*wizard);
        wizard->onAction();
        ASSERT_EQ(wizard->getState(), UpdateWizardMainWidget::eStateUpdating);

        SleepRecorder recorder;
        device.calls.clear();
        device.normalAnswers = c.scans;
        device.installed = c.installed;
        *device.result = 1;
        wizard->onTimer();

        EXPECT_EQ(recorder.sleeps, c.sleeps);
        EXPECT_EQ(wizard->getState(), c.state);
        std::vector<std::string> expectedCalls(c.scans.size(), "normal");
        if (c.scans.back())
            expectedCalls.push_back("info");
        EXPECT_EQ(device.calls, expectedCalls);
        const std::string text = WizardView(*wizard).infoText().getText();
        if (c.errorText) {
            EXPECT_NE(text.find(c.errorText), std::string::npos) << text;
        }
        EXPECT_EQ(WizardView(*wizard).value(1).getText(), c.scans.back() ? c.installed : "32 / 0x66");
    }
}

}  // namespace
