// SIGTERM and SIGINT reach the running application as -terminate:, so the delegate decides; a signal
// that arrives while the delegate is still asking (a modal question runs the main loop) asks nothing
// more.
#include "RuntimeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace qvcompat::appkit::test {
namespace {

int g_pendingSignal = 0;

void raisePending(id, SEL, id) { std::raise(g_pendingSignal); }

// Asks like a modal dialog would: while the question is open, the main loop runs and another
// signal comes in; then it refuses and stops the loop.
NSApplicationTerminateReply askWhileAnotherSignalComes(id, SEL op, id)
{
    g_log.push_back(sel_getName(op));
    std::raise(SIGINT);
    for (int i = 0; i < 20; ++i)
        g_main_context_iteration(nullptr, FALSE);
    objc::msgSend<void, id>(NSApp, objc::sel("stop:"), nil);
    return NSTerminateCancel;
}

Class signallingDelegateClass()
{
    if (Class known = objc_getClass("SignallingTestDelegate"))
        return known;
    Class cls = objc_allocateClassPair(appDelegateClass(), "SignallingTestDelegate", 0);
    objc::addMethod(cls, objc::sel("raisePending:"), &raisePending, "v@:@");
    objc_registerClassPair(cls);
    return cls;
}

class TerminationSignal : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        m_app = application();
        m_delegate = objc::msgSend<id>(signallingDelegateClass(), objc::sel("new"));
        objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), m_delegate);
    }

    void TearDown() override
    {
        objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), nil);
        objc_release(m_delegate);
    }

    // Runs the application's loop; the signal is raised from inside it.
    void runRaising(int signal)
    {
        g_pendingSignal = signal;
        objc::msgSend<void, SEL, id, double>(m_delegate, objc::sel("performSelector:withObject:afterDelay:"),
                                             objc::sel("raisePending:"), nil, 0.0);
        objc::msgSend<void>(m_app, objc::sel("run"));
    }

    id m_app = nil;
    id m_delegate = nil;
};

TEST_F(TerminationSignal, EachSignalAsksTheDelegateAndEndsTheProcessWhenItAgrees)
{
    // A fresh process: GLib's signal watch needs its worker thread, which a forked child lacks.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    g_terminateReply = NSTerminateNow;
    for (int signal : {SIGTERM, SIGINT})
        EXPECT_EXIT(runRaising(signal), ::testing::ExitedWithCode(0),
                    "applicationShouldTerminate:\\|applicationWillTerminate:\\|")
            << signal;
}

TEST_F(TerminationSignal, ASignalDuringTheQuestionAsksNothingMore)
{
    Class cls = objc_getClass("RefusingSignalDelegate");
    if (!cls) {
        cls = objc_allocateClassPair(signallingDelegateClass(), "RefusingSignalDelegate", 0);
        objc::addMethod(cls, objc::sel("applicationShouldTerminate:"), &askWhileAnotherSignalComes, "Q@:@");
        objc_registerClassPair(cls);
    }
    id refusing = objc::msgSend<id>(cls, objc::sel("new"));
    objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), refusing);
    g_pendingSignal = SIGTERM;
    objc::msgSend<void, SEL, id, double>(refusing, objc::sel("performSelector:withObject:afterDelay:"),
                                         objc::sel("raisePending:"), nil, 0.0);
    objc::msgSend<void>(m_app, objc::sel("run"));
    // The process lives on, asked once (the first run of the process also launched).
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "applicationShouldTerminate:"), 1)
        << ::testing::PrintToString(g_log);
    objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), m_delegate);
    objc_release(refusing);
}

}  // namespace
}  // namespace qvcompat::appkit::test
