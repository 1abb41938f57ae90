// The real program started inside the test process: the application module's start-up (the
// libraries, the update logic, the configuration, the application, its menus, the wizard and its
// window), with the emulated USB bus of the process and an X server of the test's own. The test
// then acts as a person would: it clicks and types through XTest on the X server and reads what the
// server shows, while it runs the program's main loop; it also reads the wizard's widget tree (the
// texts and the flags the pages set), which the pixels cannot tell.
//
// Every wait of the update logic and the USB library runs at a quarter of its length, and the
// simulated controllers keep their delays short to match, so a whole update takes a few seconds.
#pragma once

#include "Image.h"
#include "PageLook.h"
#include "WizardLayout.h"
#include "XSession.h"

#include "qvsim/model/ControllerModel.h"
#include "qvsim/model/RealClock.h"

#include <gtest/gtest.h>
#include <objc/runtime.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace QV::PXT {
class Widget;
}

namespace QV::E2E {

// The page the tree and the screen show.
struct tShownPage {
    int state = -1;        // the wizard's state
    std::string infoText;  // the info panel's text
    std::string action;    // ACTION's text, empty while it is hidden
    std::string quit;      // QUIT's text, empty while it is hidden
    std::string newest;    // the three value labels
    std::string installed;
    std::string serial;
    std::string installedState;  // the installed value's "state" attribute
    bool wheelShown = false;
};

class InProcessUpdater : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A controller's settings with short delays (see above); it needs an update by default.
    static SIM::ControllerConfig controllerConfig();
    // Plugs a controller in; it stays until unplugged or the test ends.
    std::shared_ptr<SIM::ControllerModel> plug(const SIM::ControllerConfig& config);
    void unplug(const std::shared_ptr<SIM::ControllerModel>& controller);

    // Runs the program's start-up; false when it failed.
    bool startProgram();

    // Runs the main loop until `condition` holds; false when the timeout passes first.
    bool runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Runs the main loop until the wizard is in `state` and the screen shows the page; then saves
    // a PNG of the window named after the step.
    ::testing::AssertionResult reachPage(int state, const std::string& step);

    // The wizard's root and a widget found by its id (the n-th in tree order).
    PXT::Widget* root() const;
    PXT::Widget* widget(const std::string& id, int nth = 0) const;
    tShownPage shownPage() const;
    int state() const;

    // The window's content as the X server shows it, and a click at a point of the content.
    Image content();
    void clickContent(int x, int y, int count = 1);
    void clickWidget(const std::string& id, int count = 1);
    void saveShot(const std::string& step);

    XSession m_x;
    XWindowId m_window = 0;
    SkinColours m_colours;
    WizardLayout m_layout;
    std::string m_shotFolder;
    int m_shots = 0;

private:
    std::unique_ptr<SIM::RealClock> m_clock;
    std::vector<std::shared_ptr<SIM::ControllerModel>> m_controllers;
    bool m_started = false;
    id m_delegate = nullptr;
    void* m_pool = nullptr;
    std::pair<int, int> m_lastClick{-100, -100};
    std::string m_runtimeDir;
};

// The look each page has on the screen (index: the wizard's state).
tPageLook expectedLook(int state);

}  // namespace QV::E2E
