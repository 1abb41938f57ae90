#include "Updater/ApplicationMain.h"

#include "DisplayCheck.h"
#include "GP/DSOHandle.h"
#include "UIA/CLI.h"
#include "Updater/CocoaStartup.h"
#include "Updater/VDXUpdaterAppModule.h"

#include <AppKit/AppKit.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// Named by the library's link option, so that every program and test that links the library gets
// the module below.
extern "C" const char qv_updater_module_linked = 1;

namespace QV {

VDXUpdaterAppModule theModule;

namespace {

// How long the display may take to answer: opening a working one takes well under a second, also
// on a loaded machine.
constexpr std::chrono::seconds kDisplayPatience{10};

// The command line as the UI layer keeps it, for the process's life.
std::vector<char> s_commandLine;
std::vector<char*> s_arguments;

void keepCommandLine(int argc, char** argv)
{
    UIA::CLI::setCommandLineArguments(argc, argv);
    s_commandLine.clear();
    for (int i = 0; i < argc; ++i)
        s_commandLine.insert(s_commandLine.end(), argv[i], argv[i] + std::strlen(argv[i]) + 1);
    s_arguments.clear();
    for (size_t at = 0; s_arguments.size() < static_cast<size_t>(argc); at += std::strlen(&s_commandLine[at]) + 1)
        s_arguments.push_back(&s_commandLine[at]);
    UIA::CLI::setCommandLineArguments(argc, s_arguments.data());
}

}  // namespace

int applicationMain(int argc, char** argv)
{
    void* pool = objc_autoreleasePoolPush();
    // Before the delegate: without a screen nothing starts, and no lock is taken.
    const std::string path = argc > 0 && argv[0] ? argv[0] : "VDXUpdater";
    const std::string program = path.substr(path.rfind('/') + 1);
    if (!COCOA::hasScreen(kDisplayPatience, COCOA::noAnswerMessage(program, kDisplayPatience))) {
        std::fprintf(stderr, "%s\n", COCOA::noScreenMessage(program).c_str());
        objc_autoreleasePoolPop(pool);
        return 1;
    }
    objc::msgSend<id>(objc::msgSend<id>(COCOA::appDelegateClass(), objc::sel("alloc")), objc::sel("init"));
    keepCommandLine(argc, argv);

    int result = -1;
    id application = objc::msgSend<id>(COCOA::standaloneApplicationClass(), objc::sel("sharedApplication"));
    if (application && objc::respondsToSelector(application, objc::sel("run"))) {
        objc::msgSend<void, SEL, id, BOOL>(application,
                                           objc::sel("performSelectorOnMainThread:withObject:waitUntilDone:"),
                                           objc::sel("run"), nil, YES);
        result = 0;
    }
    GP::releaseCurrentDSOHandle();
    objc_autoreleasePoolPop(pool);
    return result;
}

}  // namespace QV
