// The application without a display: event routing between the main window and the application,
// the quit question refused and allowed (the platform then asked once to terminate, through its
// delegate), postQuit, the window list, and setMenu with the shortcuts of the menus.
#include "GP/ClassFactory.h"
#include "QVTest/MainLoop.h"
#include "RefusingDelegate.h"
#include "TestApplication.h"
#include "UIA/CommandIds.h"
#include "UIA/KeyCodes.h"
#include "UIA/Window.h"

#include <AppKit/AppKit.h>
#include <gtest/gtest.h>
#include <glib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace QV::UIA;
using objc::msgSend;
using QV::UIA::TEST::TestApplication;
using QV::UIA::TEST::TestModule;

using QV::UIA::TEST::g_terminateQuestions;
using QV::UIA::TEST::refusingDelegate;

// A delegate that lets the application terminate and says so as it does.
NSApplicationTerminateReply allowTermination(id, SEL, id) { return NSTerminateNow; }
void reportTermination(id, SEL, id) { std::fprintf(stderr, "applicationWillTerminate:\n"); }

id allowingDelegate()
{
    static objc_class* s_class = nullptr;
    static QV::GP::OBJC::ClassFactory s_factory(s_class);
    static id s_delegate = nullptr;
    if (!s_class && s_factory.generateUniqueClass("QVTestAllowingDelegate", "NSObject")) {
        s_factory.addMethod(objc::sel("applicationShouldTerminate:"), reinterpret_cast<IMP>(&allowTermination), "Q@:@");
        s_factory.addMethod(objc::sel("applicationWillTerminate:"), reinterpret_cast<IMP>(&reportTermination), "v@:@");
        s_factory.doRegister();
        s_delegate = msgSend<id>(msgSend<id>(s_class, objc::sel("alloc")), objc::sel("init"));
    }
    return s_delegate;
}

// Runs what is due on the main loop now (a perform after a delay of 0 is).
void runPending()
{
    for (int i = 0; i < 100 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

// Runs the loop until the platform was asked once to terminate (a request after a delay of 0 comes
// when the loop gets to it: on a loaded machine, not necessarily in the first pass).
bool terminationAsked()
{
    return QV::TEST::runMainLoopUntil([] { return g_terminateQuestions >= 1; }, std::chrono::seconds(20)) &&
           g_terminateQuestions == 1;
}

// A main window (without platform window) that records the events it gets and handles the
// command codes it is told to.
class RecordingMainWindow : public MainWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        seen.push_back(code);
        if (code == handles)
            return true;
        return MainWindow::onEvent(code, data);
    }
    std::vector<unsigned> seen;
    unsigned handles = 0;
};

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest()
    {
        m_app = new TestApplication();
        m_module.attachApplication(m_app);
        m_nsApp = msgSend<id>(objc_getClass("NSApplication"), objc::sel("sharedApplication"));
        msgSend<void, id>(m_nsApp, objc::sel("setDelegate:"), refusingDelegate());
        g_terminateQuestions = 0;
    }
    ~ApplicationTest() override
    {
        runPending();
        msgSend<void, id>(m_nsApp, objc::sel("setDelegate:"), nil);
        msgSend<void>(m_pool, objc::sel("drain"));
    }

    bool sendCommand(int command)
    {
        CommandExecuteEventData data;
        data.commandId = command;
        return m_app->sendEvent(eEventCommandExecute, &data);
    }

    // What the platform hands out autoreleased goes with the test, as with an event of the main loop.
    id m_pool = msgSend<id>(msgSend<id>(objc_getClass("NSAutoreleasePool"), objc::sel("alloc")), objc::sel("init"));
    TestModule m_module;
    TestApplication* m_app = nullptr;
    id m_nsApp = nullptr;
};

TEST_F(ApplicationTest, BaseAnswers)
{
    EXPECT_EQ(Application::getApplication(), m_app);
    EXPECT_EQ(m_app->run(), -1);
    EXPECT_EQ(m_app->getHostName(), "Standalone");
    EXPECT_EQ(m_app->getHostVersion(), 0);
    EXPECT_TRUE(m_app->getHostVersionString().empty());
    m_app->setApplicationTitle(nullptr);
    EXPECT_TRUE(m_app->getApplicationTitle().empty());
    EventData none;
    EXPECT_FALSE(m_app->sendEvent(eEventAppActivated, &none)) << "an event nobody knows";
}

TEST_F(ApplicationTest, CommandsGoToTheMainWindowFirstAndOtherCodesNever)
{
    RecordingMainWindow window;
    window.handles = eEventCommandExecute;
    m_app->setMainWindow(&window);

    EXPECT_TRUE(sendCommand(40000));
    EXPECT_EQ(window.seen, std::vector<unsigned>{eEventCommandExecute});
    EXPECT_TRUE(m_app->seen.empty()) << "handled by the window";

    window.seen.clear();
    window.handles = 0;
    MenuEventData validation;
    validation.commandId = 40000;
    EXPECT_FALSE(m_app->sendEvent(eEventCommandValidate, &validation));
    EXPECT_EQ(window.seen, std::vector<unsigned>{eEventCommandValidate});
    EXPECT_EQ(m_app->seen, std::vector<unsigned>{eEventCommandValidate}) << "what the window leaves";

    window.seen.clear();
    m_app->seen.clear();
    EventData none;
    m_app->sendEvent(eEventAppActivated, &none);
    EXPECT_TRUE(window.seen.empty());
    EXPECT_EQ(m_app->seen, std::vector<unsigned>{eEventAppActivated});
    m_app->setMainWindow(nullptr);
}

TEST_F(ApplicationTest, RefusedQuitIsHandledAndChangesNothing)
{
    RecordingMainWindow window;
    m_app->setMainWindow(&window);
    m_app->allowQuit = false;
    EXPECT_TRUE(sendCommand(eCommandQuit));
    EXPECT_EQ(m_app->seen, (std::vector<unsigned>{eEventCommandExecute, eEventAppQueryQuit}));
    EXPECT_FALSE(m_app->isQuitRequested());
    EXPECT_EQ(m_app->getMainWindow(), &window);
    runPending();
    EXPECT_EQ(g_terminateQuestions, 0) << "no termination asked for";
    m_app->setMainWindow(nullptr);
}

TEST_F(ApplicationTest, AllowedQuitAsksThePlatformToTerminateOnceAfterTheEvent)
{
    RecordingMainWindow window;
    m_app->setMainWindow(&window);
    EXPECT_TRUE(sendCommand(eCommandQuit));
    EXPECT_TRUE(m_app->isQuitRequested());
    EXPECT_EQ(m_app->getMainWindow(), nullptr);
    EXPECT_EQ(g_terminateQuestions, 0) << "not during the event";
    EXPECT_TRUE(terminationAsked());

    // Quitting was requested already: another quit command asks nothing more of the platform.
    EXPECT_TRUE(sendCommand(eCommandQuit));
    runPending();
    EXPECT_EQ(g_terminateQuestions, 1);
}

TEST_F(ApplicationTest, AllowedQuitEndsTheProcessThroughTheDelegate)
{
    // A forked child would share the parent's X connection and break it when it exits: the child
    // starts afresh instead.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto quit = [this] {
        msgSend<void, id>(m_nsApp, objc::sel("setDelegate:"), allowingDelegate());
        sendCommand(eCommandQuit);
        QV::TEST::runMainLoopUntil([] { return false; }, std::chrono::seconds(20));
        std::fprintf(stderr, "still running\n");
        std::_Exit(3);
    };
    EXPECT_EXIT(quit(), testing::ExitedWithCode(0), "applicationWillTerminate:");
}

TEST_F(ApplicationTest, PostQuitTerminatesWithoutAQuestion)
{
    m_app->allowQuit = false;
    m_app->postQuit();
    EXPECT_TRUE(m_app->isQuitRequested());
    EXPECT_TRUE(terminationAsked());
    EXPECT_TRUE(m_app->seen.empty()) << "no eEventAppQueryQuit";
}

TEST_F(ApplicationTest, WindowListKeepsOrderAndSkipsWindowsWithoutPlatformWindow)
{
    RecordingMainWindow first;
    RecordingMainWindow second;
    Application::addWindow(&first);
    Application::addWindow(&second);
    Application::addWindow(&first);
    EXPECT_EQ(Application::getWindows(), (std::vector<WindowBase*>{&first, &second}));
    Application::removeWindow(&first);
    Application::removeWindow(&first);
    EXPECT_EQ(Application::getWindows(), (std::vector<WindowBase*>{&second}));
    Application::addWindow(&first);

    m_app->setMainWindow(&second);
    Application::destroyAllWindows();
    EXPECT_TRUE(Application::getWindows().empty());
    EXPECT_EQ(m_app->getMainWindow(), nullptr);
    EXPECT_TRUE(first.seen.empty()) << "nothing to destroy";
}

TEST_F(ApplicationTest, DeletedStandaloneWindowLeavesTheListAndIsMainNoMore)
{
    auto* window = new StandaloneWindow();
    Application::addWindow(window);
    m_app->setMainWindow(window);
    delete window;
    EXPECT_TRUE(Application::getWindows().empty());
    EXPECT_EQ(m_app->getMainWindow(), nullptr) << "commands would go to a deleted window";
}

TEST_F(ApplicationTest, SetMenuInstallsTheMainMenuAndCopiesTheShortcuts)
{
    HMenu::s_mapCommandShortcuts.clear();
    HMenuBar bar;
    bar.create();
    ASSERT_FALSE(bar.isNull());
    HPopupMenu file;
    file.create();
    file.insertCommandAt(-1, "&Open", 100, 0, eModifierCommand | 'O');
    file.insertCommandAt(-1, "&Quit", eCommandQuit, 0, eModifierCommand | 'Q');
    bar.insertSubMenuAt(-1, "&File", file);

    m_app->setMenu(bar);
    EXPECT_EQ(msgSend<id>(m_nsApp, objc::sel("mainMenu")), bar.getMenu());
    EXPECT_EQ(m_app->getAccelerators().getCommand(eModifierCommand | 'O'), 100);
    EXPECT_EQ(m_app->getAccelerators().getCommand(eModifierCommand | 'Q'), eCommandQuit);
    EXPECT_EQ(m_app->getAccelerators().getCommand(eModifierCommand | 'P'), 0);

    // The bar's commands reach the application; the application menu's climb to it too.
    id quitItem =
        msgSend<id, NSInteger>(HMenuBar::getApplicationMenu().getMenu(), objc::sel("itemWithTag:"), eCommandQuit);
    m_app->allowQuit = false;
    msgSend<void, id>(quitItem, objc::sel("onItemClicked:"), quitItem);
    EXPECT_EQ(m_app->seen, (std::vector<unsigned>{eEventCommandExecute, eEventAppQueryQuit}));
    HMenu::s_mapCommandShortcuts.clear();
}

}  // namespace
