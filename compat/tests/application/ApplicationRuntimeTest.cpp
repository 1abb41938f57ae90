// The application through the runtime, without a display: launching and the loop, termination
// through the delegate, window events through the application's -sendEvent:, key equivalents after
// the views, the active state from the key window, hiding.
#include "RuntimeTestSupport.h"

#include <gtest/gtest.h>

namespace qvcompat::appkit::test {
namespace {

using Log = std::vector<std::string>;

BOOL g_viewTakesKeys = NO;

BOOL viewKeyEquivalent(id, SEL op, id)
{
    g_log.push_back(sel_getName(op));
    return g_viewTakesKeys;
}

Class keyViewClass()
{
    if (Class known = objc_getClass("ApplicationTestView"))
        return known;
    Class cls = objc_allocateClassPair(objc_getClass("NSView"), "ApplicationTestView", 0);
    objc::addMethod(cls, objc::sel("performKeyEquivalent:"), &viewKeyEquivalent, "B@:@");
    objc::addMethod(cls, objc::sel("keyDown:"), &note, "v@:@");
    objc_registerClassPair(cls);
    return cls;
}

void drainMainContext()
{
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

class ApplicationRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pool = objc_autoreleasePoolPush();
        g_log.clear();
        g_disabledTags.clear();
        g_terminateReply = NSTerminateNow;
        g_viewTakesKeys = NO;
        m_app = application();
        m_delegate = objc::msgSend<id>(appDelegateClass(), objc::sel("new"));
        objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), m_delegate);
        m_target = objc::msgSend<id>(recorderClass(), objc::sel("new"));
    }

    void TearDown() override
    {
        for (id window : m_windows)
            objc::msgSend<void>(window, objc::sel("close"));
        drainMainContext();
        objc::msgSend<void, id>(m_app, objc::sel("setMainMenu:"), nil);
        objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), nil);
        objc_release(m_delegate);
        objc_release(m_target);
        objc_autoreleasePoolPop(m_pool);
    }

    // A window (released when closed) whose content view is an ApplicationTestView.
    id openWindow()
    {
        const NSRect content{{100, 100}, {200, 100}};
        id window = objc::msgSend<id, NSRect, NSWindowStyleMask, NSBackingStoreType, BOOL>(
            objc::msgSend<id>(objc_getClass("NSWindow"), objc::sel("alloc")),
            objc::sel("initWithContentRect:styleMask:backing:defer:"), content, NSWindowStyleMaskTitled,
            NSBackingStoreBuffered, NO);
        id view = objc::msgSend<id, NSRect>(objc::msgSend<id>(keyViewClass(), objc::sel("alloc")),
                                            objc::sel("initWithFrame:"), NSRect{{0, 0}, content.size});
        objc::msgSend<void, id>(window, objc::sel("setContentView:"), view);
        objc::msgSend<BOOL, id>(window, objc::sel("makeFirstResponder:"), view);
        objc_release(view);
        m_windows.push_back(window);
        return window;
    }

    void* m_pool = nullptr;
    id m_app = nil;
    id m_delegate = nil;
    id m_target = nil;
    std::vector<id> m_windows;
};

void stopLater(id, SEL op, id)
{
    g_log.push_back(sel_getName(op));
    objc::msgSend<void, SEL, id, double>(NSApp, objc::sel("performSelector:withObject:afterDelay:"), objc::sel("stop:"),
                                         nil, 0.0);
}

TEST_F(ApplicationRuntimeTest, RunLaunchesThenRunsTheMainLoopUntilStopped)
{
    EXPECT_EQ(objc::msgSend<id>(objc_getClass("NSApplication"), objc::sel("sharedApplication")), m_app);
    EXPECT_STREQ(object_getClassName(m_app), "TestApplication");
    EXPECT_EQ(static_cast<id>(NSApp), m_app);

    // The delegate stops the loop from a perform on the main run loop, once it runs.
    Class cls = objc_allocateClassPair(appDelegateClass(), "StoppingDelegate", 0);
    objc::addMethod(cls, objc::sel("applicationDidFinishLaunching:"), &stopLater, "v@:@");
    objc_registerClassPair(cls);
    id delegate = objc::msgSend<id>(cls, objc::sel("new"));
    objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), delegate);
    objc::msgSend<void>(m_app, objc::sel("run"));
    EXPECT_EQ(g_log, (Log{"applicationWillFinishLaunching:", "applicationDidFinishLaunching:"}));
    EXPECT_FALSE(objc::msgSend<BOOL>(m_app, objc::sel("isRunning")));
    objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), m_delegate);
    objc_release(delegate);
}

TEST_F(ApplicationRuntimeTest, TerminateAsksTheDelegateThenEndsTheProcess)
{
    const auto terminate = [&] { objc::msgSend<void, id>(m_app, objc::sel("terminate:"), nil); };
    EXPECT_EXIT(terminate(), ::testing::ExitedWithCode(0),
                "applicationShouldTerminate:\\|applicationWillTerminate:\\|");

    g_terminateReply = NSTerminateCancel;
    objc::msgSend<void, id>(m_app, objc::sel("terminate:"), nil);
    EXPECT_EQ(g_log, (Log{"applicationShouldTerminate:"}));

    // Later: the process ends when the delegate replies YES, not on NO.
    g_log.clear();
    g_terminateReply = NSTerminateLater;
    objc::msgSend<void, id>(m_app, objc::sel("terminate:"), nil);
    objc::msgSend<void, BOOL>(m_app, objc::sel("replyToApplicationShouldTerminate:"), NO);
    objc::msgSend<void, id>(m_app, objc::sel("terminate:"), nil);
    const auto reply = [&] { objc::msgSend<void, BOOL>(m_app, objc::sel("replyToApplicationShouldTerminate:"), YES); };
    EXPECT_EXIT(reply(), ::testing::ExitedWithCode(0), "applicationWillTerminate:\\|");
    objc::msgSend<void, BOOL>(m_app, objc::sel("replyToApplicationShouldTerminate:"), NO);
    EXPECT_EQ(g_log, (Log{"applicationShouldTerminate:", "applicationShouldTerminate:"}));
}

TEST_F(ApplicationRuntimeTest, AKeyWithCommandGoesToTheViewsThenToTheMainMenuThenNowhere)
{
    id main = newMenu("Main");
    id file = newMenu("File");
    addItem(file, "Quit", "fire:", "q", 7, m_target);
    addSubmenu(main, file);
    objc::msgSend<void, id>(m_app, objc::sel("setMainMenu:"), main);
    objc_release(main);
    id window = openWindow();

    NSEvent* event = keyDown(u'q', NSEventModifierFlagCommand, window);
    sendWindowEvent(window, event);
    EXPECT_EQ(g_log, (Log{"app sendEvent:", "performKeyEquivalent:", "validate 7", "fire: 7"}));

    // A view that takes the key keeps it from the menu.
    g_log.clear();
    g_viewTakesKeys = YES;
    sendWindowEvent(window, event);
    EXPECT_EQ(g_log, (Log{"app sendEvent:", "performKeyEquivalent:"}));
    objc_release(event);

    // A key that is no key equivalent reaches neither the menu's target nor -keyDown: (the view saw
    // it in its own -performKeyEquivalent:).
    g_log.clear();
    g_viewTakesKeys = NO;
    event = keyDown(u'w', NSEventModifierFlagCommand, window);
    sendWindowEvent(window, event);
    objc_release(event);
    EXPECT_EQ(g_log, (Log{"app sendEvent:", "performKeyEquivalent:"}));
}

TEST_F(ApplicationRuntimeTest, TheApplicationIsActiveWhileOneOfItsWindowsIsKey)
{
    id first = openWindow();
    id second = openWindow();
    objc::msgSend<void>(first, objc::sel("makeKeyWindow"));
    EXPECT_TRUE(objc::msgSend<BOOL>(m_app, objc::sel("isActive")));
    EXPECT_EQ(objc::msgSend<id>(m_app, objc::sel("keyWindow")), first);
    EXPECT_EQ(objc::msgSend<id>(m_app, objc::sel("mainWindow")), first);

    // Focus moving to another window of the application is no deactivation.
    objc::msgSend<void>(second, objc::sel("makeKeyWindow"));
    drainMainContext();
    EXPECT_EQ(g_log, (Log{"applicationDidBecomeActive:"}));

    objc::msgSend<void>(second, objc::sel("close"));
    m_windows.pop_back();
    EXPECT_TRUE(objc::msgSend<BOOL>(m_app, objc::sel("isActive")));  // until the loop is idle
    drainMainContext();
    EXPECT_FALSE(objc::msgSend<BOOL>(m_app, objc::sel("isActive")));
    EXPECT_EQ(g_log, (Log{"applicationDidBecomeActive:", "applicationDidResignActive:"}));
}

TEST_F(ApplicationRuntimeTest, HideIconifiesTheVisibleWindowsAndUnhideBringsThemBack)
{
    id shown = openWindow();
    id hidden = openWindow();
    objc::msgSend<void, id>(shown, objc::sel("orderFront:"), nil);
    objc::msgSend<void, id>(m_app, objc::sel("hide:"), nil);
    EXPECT_TRUE(objc::msgSend<BOOL>(m_app, objc::sel("isHidden")));
    EXPECT_TRUE(objc::msgSend<BOOL>(shown, objc::sel("isMiniaturized")));
    EXPECT_FALSE(objc::msgSend<BOOL>(hidden, objc::sel("isMiniaturized")));
    objc::msgSend<void, id>(m_app, objc::sel("unhide:"), nil);
    EXPECT_FALSE(objc::msgSend<BOOL>(m_app, objc::sel("isHidden")));
    EXPECT_FALSE(objc::msgSend<BOOL>(shown, objc::sel("isMiniaturized")));
}

TEST_F(ApplicationRuntimeTest, AWindowRestoredByOtherMeansEndsTheHiddenStateSoHideWorksAgain)
{
    id first = openWindow();
    id second = openWindow();
    for (id window : {first, second})
        objc::msgSend<void, id>(window, objc::sel("orderFront:"), nil);
    objc::msgSend<void, id>(m_app, objc::sel("hide:"), nil);
    ASSERT_TRUE(objc::msgSend<BOOL>(first, objc::sel("isMiniaturized")));

    // The task bar brings one back, not through -unhide:.
    objc::msgSend<void, id>(first, objc::sel("deminiaturize:"), nil);
    EXPECT_FALSE(objc::msgSend<BOOL>(m_app, objc::sel("isHidden")));

    objc::msgSend<void, id>(m_app, objc::sel("hide:"), nil);
    EXPECT_TRUE(objc::msgSend<BOOL>(m_app, objc::sel("isHidden")));
    EXPECT_TRUE(objc::msgSend<BOOL>(first, objc::sel("isMiniaturized")));
    objc::msgSend<void, id>(m_app, objc::sel("unhide:"), nil);
    EXPECT_FALSE(objc::msgSend<BOOL>(first, objc::sel("isMiniaturized")));

    // A window the application did not hide coming back changes nothing.
    objc::msgSend<void, id>(second, objc::sel("miniaturize:"), nil);
    objc::msgSend<void, id>(m_app, objc::sel("hide:"), nil);
    objc::msgSend<void, id>(second, objc::sel("deminiaturize:"), nil);
    EXPECT_TRUE(objc::msgSend<BOOL>(m_app, objc::sel("isHidden")));
}

}  // namespace
}  // namespace qvcompat::appkit::test
