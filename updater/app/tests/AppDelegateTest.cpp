// The application delegate's answers: whether the application may terminate (on every road the
// quit question is asked only while an update runs), and file-open requests before and after the
// application exists.
#include "ScriptedApplication.h"

#include "UIA/CLI.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "Updater/CocoaStartup.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace QV::TEST {
namespace {

using objc::msgSend;

// A string object of the text, released with CFRelease.
id newString(const char* text)
{
    return static_cast<id>(const_cast<void*>(
        static_cast<const void*>(CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8))));
}

class AppDelegate : public ScriptedApplication {
protected:
    void SetUp() override
    {
        ScriptedApplication::SetUp();
        m_delegate = msgSend<id>(msgSend<id>(COCOA::appDelegateClass(), objc::sel("alloc")), objc::sel("init"));
    }

    void TearDown() override
    {
        keepTheProcessAlive();
        objc_release(m_delegate);
        ScriptedApplication::TearDown();
    }

    NSApplicationTerminateReply askToTerminate()
    {
        return msgSend<NSApplicationTerminateReply, id>(m_delegate, objc::sel("applicationShouldTerminate:"), NSApp);
    }

    BOOL openFile(const char* path)
    {
        id text = newString(path);
        const BOOL answer = msgSend<BOOL, id, id>(m_delegate, objc::sel("application:openFile:"), NSApp, text);
        CFRelease(static_cast<CFTypeRef>(text));
        return answer;
    }

    id m_delegate = nil;
};

TEST_F(AppDelegate, ItBecomesTheSharedApplicationsDelegateAndRegistersTheUserDefault)
{
    EXPECT_EQ(msgSend<id>(NSApp, objc::sel("delegate")), m_delegate);
    EXPECT_STREQ(object_getClassName(NSApp), "QVCocoaStandaloneApplication");
    EXPECT_FALSE(COCOA::isDelegateInitialized(m_delegate));
    id defaults = msgSend<id>(objc_getClass("NSUserDefaults"), objc::sel("standardUserDefaults"));
    id key = newString("NSDisabledCharacterPaletteMenuItem");
    const bool palette = msgSend<BOOL, id>(defaults, objc::sel("boolForKey:"), key);
    EXPECT_TRUE(palette);
    CFRelease(static_cast<CFTypeRef>(key));
}

// One case per process: an application decides quitting once.
struct tTerminationCase {
    const char* name;
    bool attach, initialized, quitBefore, updateRunning;
    GP::Message::eButton answer;
    NSApplicationTerminateReply expected;
    int questions, closeRequests;
};

void PrintTo(const tTerminationCase& c, std::ostream* os) { *os << c.name; }

class AppDelegateTermination : public AppDelegate, public ::testing::WithParamInterface<tTerminationCase> {};

TEST_P(AppDelegateTermination, IsQuestionedOnlyWhileAnUpdateRuns)
{
    const tTerminationCase& c = GetParam();
    script.updateRunning = c.updateRunning;
    answer = c.answer;
    if (c.attach) {
        ASSERT_TRUE(attach());
    }
    setDelegateInitialized(m_delegate, c.initialized);
    if (c.quitBefore)
        application()->postQuit();
    EXPECT_EQ(askToTerminate(), c.expected);
    EXPECT_EQ(static_cast<int>(questions.size()), c.questions);
    if (!questions.empty()) {
        EXPECT_EQ(questions.front(), FirmwareUpdaterApp::kQuitQuestion);
    }
    EXPECT_EQ(script.closeRequests, c.closeRequests);
    if (c.attach) {
        // Quitting is decided by the application only when the delegate asked it.
        EXPECT_EQ(application()->isQuitRequested(), c.quitBefore || (c.initialized && c.expected == NSTerminateNow));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppDelegateTermination,
    ::testing::Values(
        tTerminationCase{"NoApplication", false, true, false, true, GP::Message::eButtonNo, NSTerminateNow, 0, 0},
        tTerminationCase{"NotInitialised", true, false, false, true, GP::Message::eButtonNo, NSTerminateNow, 0, 0},
        tTerminationCase{"QuitAlreadyRequested", true, true, true, true, GP::Message::eButtonNo, NSTerminateNow, 0, 0},
        tTerminationCase{"NoUpdateRunning", true, true, false, false, GP::Message::eButtonNo, NSTerminateNow, 0, 0},
        tTerminationCase{"UpdateRunningNo", true, true, false, true, GP::Message::eButtonNo, NSTerminateCancel, 1, 0},
        tTerminationCase{"UpdateRunningYes", true, true, false, true, GP::Message::eButtonYes, NSTerminateNow, 1, 1}),
    [](const ::testing::TestParamInfo<tTerminationCase>& info) { return info.param.name; });

TEST_F(AppDelegate, ActivationAndDeactivationReachTheApplicationAsTheirEvents)
{
    struct Recording : UIA::Application {
        explicit Recording(std::vector<unsigned>& seen) : m_seen(seen) {}
        bool onEvent(unsigned code, UIA::EventData* data) override
        {
            m_seen.push_back(code);
            return UIA::Application::onEvent(code, data);
        }
        std::vector<unsigned>& m_seen;
    };
    const auto notify = [this](const char* selector) { msgSend<void, id>(m_delegate, objc::sel(selector), nil); };
    notify("applicationDidBecomeActive:");  // no application yet: nothing to tell
    std::vector<unsigned> seen;
    ASSERT_TRUE(theModule.attachApplication(new Recording(seen)));
    notify("applicationDidBecomeActive:");
    notify("applicationDidResignActive:");
    notify("applicationDidResignActive:");
    notify("applicationDidBecomeActive:");
    detach();
    EXPECT_EQ(seen, (std::vector<unsigned>{UIA::eEventAppActivated, UIA::eEventAppDeactivated,
                                           UIA::eEventAppDeactivated, UIA::eEventAppActivated}));
}

TEST_F(AppDelegate, AFileOpenedBeforeTheApplicationExistsBecomesTheCommandLineFile)
{
    UIA::CLI::s_strOpenFileName.clear();
    EXPECT_EQ(openFile(""), NO);  // names no file
    EXPECT_EQ(UIA::CLI::s_strOpenFileName, "");
    EXPECT_EQ(openFile("/tmp/controller notes.txt"), YES);
    EXPECT_NE(UIA::CLI::s_strOpenFileName.find("controller notes.txt"), std::string::npos)
        << UIA::CLI::s_strOpenFileName;

    // Afterwards the request is the application's open-file event, which this one leaves unhandled.
    UIA::CLI::s_strOpenFileName.clear();
    ASSERT_TRUE(attach());
    EXPECT_EQ(openFile("/tmp/later.txt"), NO);
    EXPECT_EQ(UIA::CLI::s_strOpenFileName, "");
    detach();
}

}  // namespace
}  // namespace QV::TEST
