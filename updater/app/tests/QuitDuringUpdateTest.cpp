// Quitting confirmed while a real update runs, on each road (SIGTERM, the Quit command, the
// window's close button): the question is asked, Yes asks the worker to stop at its final wait, and
// the process ends only after the worker has, with nothing used after it was freed (the test runs
// under AddressSanitizer, which makes the process fail on such a use or a leak).
#include "UpdaterStartup.h"

#include "FW/VardolinStudioImages.h"
#include "GP/Message.h"
#include "UIA/CommandIds.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "Updater/CocoaStartup.h"

#include <AppKit/AppKit.h>
#include <boost/thread/thread.hpp>
#include <glib.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace QV::TEST {
namespace {

using namespace std::chrono_literals;

enum class eRoad {
    Signal,
    QuitCommand,
    CloseButton
};

std::atomic<bool> g_workerWaiting{false};
eRoad g_road = eRoad::Signal;

class QuitDuringUpdate : public UpdaterStartup {
protected:
    void SetUp() override
    {
        UpdaterStartup::SetUp();
        const auto mainThread = std::this_thread::get_id();
        // The worker's final wait lasts until it is interrupted; everything else moves the clock.
        DVK2::setSleepFunction([this, mainThread](std::chrono::nanoseconds d) {
            if (std::this_thread::get_id() == mainThread || d < 5s) {
                advance(std::chrono::duration_cast<SIM::Clock::Duration>(d));
                return;
            }
            g_workerWaiting = true;
            try {
                boost::this_thread::sleep_for(boost::chrono::seconds(60));
            } catch (const boost::thread_interrupted&) {
                // Some work after the interruption: a process that did not wait would end first.
                std::this_thread::sleep_for(300ms);
                std::fprintf(stderr, "worker interrupted at its final wait\n");
                throw;
            }
        });
        SIM::ControllerConfig controller;
        controller.expectedMainImage.assign(FW::VardolinStudio, FW::VardolinStudio + FW::kVardolinStudioSize);
        controller.expectedAuxImage.assign(FW::VardolinStudioPIC, FW::VardolinStudioPIC + FW::kVardolinStudioPICSize);
        plugController(controller);
    }
};

// On the running loop: UPDATE, then, once the worker waits, the road to quitting.
gboolean updateThenQuit(gpointer)
{
    UpdateWizardMainWidget* wizard = UpdaterStartup::wizard();
    if (!wizard || wizard->getState() != UpdateWizardMainWidget::eStateUpdateAvailable)
        std::exit(10);
    wizard->onAction();  // into update mode, and the worker starts
    if (wizard->getState() != UpdateWizardMainWidget::eStateUpdating)
        std::exit(11);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!g_workerWaiting)
        if (std::chrono::steady_clock::now() > deadline)
            std::exit(12);
    switch (g_road) {
    case eRoad::Signal: std::raise(SIGTERM); break;
    case eRoad::QuitCommand: {
        UIA::CommandExecuteEventData quit;
        quit.commandId = UIA::eCommandQuit;
        UIA::Application::getApplication()->sendEvent(UIA::eEventCommandExecute, &quit);
        break;
    }
    case eRoad::CloseButton: {
        id window = objc::msgSend<id>(UIA::Application::getWindows().front()->getNSView(), objc::sel("window"));
        objc::msgSend<void, id>(window, objc::sel("performClose:"), nil);
        break;
    }
    }
    return G_SOURCE_REMOVE;
}

// The program as main runs it; the process ends inside the loop.
[[noreturn]] void runProgram(eRoad road)
{
    g_road = road;
    GP::Message::s_showMessageFunctor = [](const GP::CharSequence<char>& text, GP::Message::eType, GP::Message::eButton,
                                           GP::Message::eIcon, const char*) {
        std::fprintf(stderr, "question: %.*s\n", static_cast<int>(text.size()), text.data());
        return GP::Message::eButtonYes;
    };
    objc::msgSend<id>(objc::msgSend<id>(COCOA::appDelegateClass(), objc::sel("alloc")), objc::sel("init"));
    g_timeout_add(0, &updateThenQuit, nullptr);
    objc::msgSend<void>(NSApp, objc::sel("run"));
    std::exit(13);  // the loop returned: the program did not end
}

TEST_F(QuitDuringUpdate, YesEndsTheProcessOnlyAfterTheWorkerOnEveryRoad)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process for each road
    for (eRoad road : {eRoad::Signal, eRoad::QuitCommand, eRoad::CloseButton})
        EXPECT_EXIT(runProgram(road), ::testing::ExitedWithCode(0),
                    "question: An update is currently in progress\\. Interrupting the update process may damage the "
                    "device\\.\nDo you really want to quit \\?\n(.|\n)*worker interrupted at its final wait\n")
            << static_cast<int>(road);
}

}  // namespace
}  // namespace QV::TEST
