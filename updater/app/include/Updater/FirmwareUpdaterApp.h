// The updater's application: it refuses to run beside another copy, loads the skin's stylesheet,
// installs the Help menu, creates the wizard, runs its first step and opens the one window. While
// it runs it puts the quit question while an update is in progress, and answers the About and Help
// commands.
//
// Main thread only.
#pragma once

#include "PXT/App.h"
#include "Updater/FirmwareUpdaterConfig.h"

#include <boost/function.hpp>

#include <string>

namespace QV {

class FirmwareUpdaterApp : public PXT::App {
public:
    // The Help menu's commands.
    enum eHelpCommand : int {
        eCommandKnowledgeBase = 40000,
        eCommandHomePage = 40001,
    };

    // The Help menu's web addresses; an empty one shows its item disabled.
    struct tHelpLinks {
        std::string knowledgeBase;
        std::string homePage;
        // The addresses the program was built with.
        static tHelpLinks fromBuildSettings();
    };

    // The window's content size and the frame's top-left corner.
    static constexpr int kWindowWidth = 627;
    static constexpr int kWindowHeight = 335;

    // Keeps the configuration by reference (the module owns it).
    explicit FirmwareUpdaterApp(const FirmwareUpdaterConfig& config,
                                tHelpLinks links = tHelpLinks::fromBuildSettings());
    // Drops the About command's reference to the wizard first.
    ~FirmwareUpdaterApp() override;

    // False when another copy runs, or when the window cannot be made.
    bool init() override;
    // The application's deInit, once, however often it is called (it comes a second time after a
    // failed init).
    void deInit(bool initResult) override;
    // eEventAppQueryQuit: while an update runs, asks the user; Yes asks the update to stop.
    // eEventCommandExecute: the Help commands and About. eEventCommandValidate: a Help item without
    // an address is disabled.
    bool onEvent(unsigned code, UIA::EventData* data) override;

    // The quit question put while an update runs.
    static constexpr const char* kQuitQuestion =
        "An update is currently in progress. Interrupting the update process may damage the device.\n"
        "Do you really want to quit ?";

private:
    bool onQueryQuit(UIA::EventData* data);
    void installMenu();
    bool openWindow();

    const FirmwareUpdaterConfig& m_config;
    tHelpLinks m_links;
    boost::function<void()> m_about;
    bool m_bBaseInitialized = false;
};

}  // namespace QV
