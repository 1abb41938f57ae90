// The wizard application: its window, its Help menu (an item without an address disabled), its
// commands, and the quit question on the road of the Quit command and of the window's close button.
#include "ScriptedApplication.h"

#include "QVTest/DesktopUrlHandler.h"

#include "PXT/Widget.h"
#include "PXT/Window.h"
#include "UIA/CommandIds.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"
#include "Updater/WizardWidgetNames.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace QV::TEST {
namespace {

using objc::msgSend;

using FirmwareUpdaterApplication = ScriptedApplication;

// The desktop's handler of the scheme "qvtest", made before main (before GLib reads the XDG folders).
const DesktopUrlHandler g_desktop;

std::string textOf(NSString* text)
{
    const char* utf8 = text ? msgSend<const char*>(text, objc::sel("UTF8String")) : nullptr;
    return utf8 ? utf8 : "";
}

// The Help menu's item with `tag` in the main menu; nil when there is none.
id helpItem(NSInteger tag)
{
    id bar = msgSend<id>(NSApp, objc::sel("mainMenu"));
    const NSInteger count = bar ? msgSend<NSInteger>(bar, objc::sel("numberOfItems")) : 0;
    for (NSInteger i = 0; i < count; ++i) {
        id submenu = msgSend<id>(msgSend<id, NSInteger>(bar, objc::sel("itemAtIndex:"), i), objc::sel("submenu"));
        if (submenu && textOf(msgSend<NSString*>(submenu, objc::sel("title"))) == "Help")
            return msgSend<id, NSInteger>(submenu, objc::sel("itemWithTag:"), tag);
    }
    return nil;
}

bool validated(id item) { return msgSend<BOOL, id>(item, objc::sel("validateMenuItem:"), item); }

bool execute(int command)
{
    UIA::CommandExecuteEventData data;
    data.commandId = command;
    return UIA::Application::getApplication()->sendEvent(UIA::eEventCommandExecute, &data);
}

TEST_F(FirmwareUpdaterApplication, OneFixedSizeWindowTitledWithTheProgramNameShowsTheWizard)
{
    ASSERT_TRUE(attach());
    ASSERT_EQ(UIA::Application::getWindows().size(), 1u);
    auto* window = dynamic_cast<PXT::Window<UIA::StandaloneWindow>*>(UIA::Application::getWindows().front());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(static_cast<UIA::WindowBase*>(application()->getMainWindow()), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->UIA::WindowBase::getSize(true),
              GP::Point(FirmwareUpdaterApp::kWindowWidth, FirmwareUpdaterApp::kWindowHeight));
    ASSERT_NE(window->getRoot(), nullptr);
    EXPECT_EQ(window->getRoot()->getId(), WizardNames::kMainWidget);
    id nsWindow = msgSend<id>(window->getNSView(), objc::sel("window"));
    EXPECT_EQ(textOf(msgSend<NSString*>(nsWindow, objc::sel("title"))), "VDX Updater");
    const NSWindowStyleMask style = msgSend<NSWindowStyleMask>(nsWindow, objc::sel("styleMask"));
    EXPECT_EQ(style & NSWindowStyleMaskResizable, 0u);
    EXPECT_NE(style & NSWindowStyleMaskClosable, 0u);
    EXPECT_NE(style & NSWindowStyleMaskMiniaturizable, 0u);
    EXPECT_EQ(application()->getApplicationTitle(), "VARDOLIN STUDIO UPDATER");
}

TEST_F(FirmwareUpdaterApplication, AHelpItemOpensItsAddressAndOneWithoutAnAddressIsDisabled)
{
    ASSERT_TRUE(attach({"", "qvtest://orvendal/home"}));
    id knowledgeBase = helpItem(FirmwareUpdaterApp::eCommandKnowledgeBase);
    id homePage = helpItem(FirmwareUpdaterApp::eCommandHomePage);
    ASSERT_NE(knowledgeBase, nil);
    ASSERT_NE(homePage, nil);
    EXPECT_EQ(textOf(msgSend<NSString*>(knowledgeBase, objc::sel("title"))), "Visit the Knowledge Base");
    EXPECT_EQ(textOf(msgSend<NSString*>(homePage, objc::sel("title"))), "Visit Orvendal on the web");
    EXPECT_FALSE(validated(knowledgeBase));
    EXPECT_TRUE(validated(homePage));
    EXPECT_TRUE(execute(FirmwareUpdaterApp::eCommandKnowledgeBase));  // handled, nothing opened
    EXPECT_TRUE(execute(FirmwareUpdaterApp::eCommandHomePage));
    EXPECT_EQ(g_desktop.opened(), "qvtest://orvendal/home\n");
}

TEST_F(FirmwareUpdaterApplication, TheQuitCommandAsksOnlyWhileAnUpdateRunsAndNoKeepsTheProgram)
{
    ASSERT_TRUE(attach());
    execute(UIA::eCommandAbout);  // the wizard's About overlay; nothing else
    EXPECT_TRUE(questions.empty());

    script.updateRunning = true;
    answer = GP::Message::eButtonNo;
    EXPECT_TRUE(execute(UIA::eCommandQuit));
    EXPECT_EQ(questions, std::vector<std::string>{FirmwareUpdaterApp::kQuitQuestion});
    EXPECT_FALSE(application()->isQuitRequested());
    EXPECT_EQ(script.closeRequests, 0);

    // The window's close button asks the same question.
    id nsWindow = msgSend<id>(UIA::Application::getWindows().front()->getNSView(), objc::sel("window"));
    msgSend<void, id>(nsWindow, objc::sel("performClose:"), nil);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(UIA::Application::getWindows().size(), 1u);  // refused: still there
    EXPECT_FALSE(application()->isQuitRequested());

    keepTheProcessAlive();
    answer = GP::Message::eButtonYes;
    EXPECT_TRUE(execute(UIA::eCommandQuit));
    EXPECT_EQ(questions.size(), 3u);
    EXPECT_EQ(script.closeRequests, 1);
    EXPECT_TRUE(application()->isQuitRequested());

    // Every time the same question: Yes or No with No as the default, the question's icon, and no
    // title of its own (the platform core shows the application's name).
    const tQuestionForm quitQuestion{GP::Message::eTypeYesNo, GP::Message::eButtonNo, GP::Message::eIconQuestion,
                                     false};
    EXPECT_EQ(forms, std::vector<tQuestionForm>(3, quitQuestion));
}

TEST_F(FirmwareUpdaterApplication, DeInitAfterAFailedInitIsHarmless)
{
    // Another copy holds the lock named after the fixture's single-instance identifier: init fails
    // after the application's own start.
    const std::string lock = std::string(getenv("XDG_RUNTIME_DIR")) + "/com.orvendal.VDXUpdater.tests.scripted.lock";
    FILE* holder = popen(("exec flock -x '" + lock + "' -c 'echo held; read line'").c_str(), "w");
    ASSERT_NE(holder, nullptr);
    for (int i = 0; i < 200 && !std::filesystem::exists(lock); ++i)
        usleep(10000);
    usleep(100000);
    EXPECT_FALSE(attach());  // deInit(false) ran at once
    EXPECT_TRUE(UIA::Application::getWindows().empty());
    detach();  // the second deInit, then the deletion
    EXPECT_EQ(application(), nullptr);
    pclose(holder);
}

}  // namespace
}  // namespace QV::TEST
