// The wizard driven through its steps (ACTION clicks and the 40 ms poll) with a scripted
// controller: every transition, and on every page the texts, the info panel's kind, the buttons,
// the installed version's state, the icon or wheel, the focus marks, the version fields and the
// callbacks called on the way.
#include "WizardHarness.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::TEST;
using Calls = std::vector<std::string>;

// What one page shows.
struct tPageView {
    int state;
    std::string text;
    std::string background, icon;
    std::string actionText;
    bool actionShown;
    std::string quitText;
    bool quitShown;
    std::string installedState;
    bool iconShown, wheelShown, wheelSpinning, deviceOverlayShown;
    std::string actionFocus, quitFocus;
    std::string newest, installed, serial;

    bool operator==(const tPageView& o) const
    {
        return state == o.state && text == o.text && background == o.background && icon == o.icon &&
               actionText == o.actionText && actionShown == o.actionShown && quitText == o.quitText &&
               quitShown == o.quitShown && installedState == o.installedState && iconShown == o.iconShown &&
               wheelShown == o.wheelShown && wheelSpinning == o.wheelSpinning &&
               deviceOverlayShown == o.deviceOverlayShown && actionFocus == o.actionFocus && quitFocus == o.quitFocus &&
               newest == o.newest && installed == o.installed && serial == o.serial;
    }
};

void PrintTo(const tPageView& v, std::ostream* os)
{
    *os << "state " << v.state << " \"" << v.text << "\" background " << v.background << " icon " << v.icon
        << " ACTION \"" << v.actionText << "\"" << (v.actionShown ? " shown" : " hidden") << " QUIT \"" << v.quitText
        << "\"" << (v.quitShown ? " shown" : " hidden") << " installed state " << v.installedState
        << (v.iconShown ? " icon" : "") << (v.wheelShown ? " wheel" : "") << (v.wheelSpinning ? " spinning" : "")
        << (v.deviceOverlayShown ? " device-overlay" : "") << " focus " << v.actionFocus << "/" << v.quitFocus
        << " versions " << v.newest << " | " << v.installed << " | " << v.serial;
}

tPageView viewOf(const UpdateWizardMainWidget& wizard)
{
    WizardView view(wizard);
    return {wizard.getState(),
            view.infoText().getText(),
            attribute(view.infoPanel(), "background"),
            attribute(view.infoIcon(), "icon"),
            view.action().getText(),
            view.action().isActive(),
            view.quit().getText(),
            view.quit().isActive(),
            attribute(view.value(1), "state"),
            view.infoIcon().isActive(),
            view.wheel().isActive(),
            view.wheel().isSpinning(),
            view.deviceOverlay().isActive(),
            attribute(view.action(), "hasFocus"),
            attribute(view.quit(), "hasFocus"),
            view.value(0).getText(),
            view.value(1).getText(),
            view.value(2).getText()};
}

class WizardSteps : public testing::Test {
public:
    void run() { m_device.runWizard(*m_wizard); }
    void action() { m_wizard->onAction(); }
    // One poll of a running update, as the pane's tick calls it.
    void tick() { m_wizard->onTimer(); }
    void toUpdateAvailable()
    {
        m_device.connected = true;
        run();
    }
    void toUpdating()
    {
        toUpdateAvailable();
        action();
    }
    void toNoUpdateMode()
    {
        m_device.resetWorks = false;
        toUpdateAvailable();
        action();
    }
    void finishWorker(int result)
    {
        ASSERT_NE(m_device.result, nullptr);
        *m_device.result = result;
        tick();
    }

    ScriptedDevice m_device;
    std::shared_ptr<UpdateWizardMainWidget> m_wizard = makeWizard();
};

const std::string kNoDevice = "Please connect your Vardolin Studio and click RESCAN.";
const std::string kUpToDate = "Currently there is no newer firmware for your Vardolin Studio.";
const std::string kAvailable = "A firmware update is available for your Vardolin Studio. To update the firmware now, "
                               "click UPDATE. To update the firmware later, click QUIT.";
const std::string kUpdating =
    "Please stand by while your Vardolin Studio is being updated and do not disconnect it from USB.";
const std::string kNoUpdateMode =
    "Your Vardolin Studio failed to boot into firmware update mode and could not be properly updated. To boot your "
    "Vardolin Studio into firmware update mode, please power-cycle it and click RETRY.";
const std::string kSuccess = "The firmware of your Vardolin Studio was successfully updated.";
std::string failed(int error)
{
    return "An error occurred while updating your Vardolin Studio (error " + std::to_string(error) +
           "). Please disconnect the Vardolin Studio, unpower it and quit the VDX Updater. Then reconnect the Vardolin "
           "Studio, restart VDX Updater and try performing the update again. Alternatively contact the QV Technical "
           "Support.";
}

const std::string kNewest = "33 / 0x67", kOld = "32 / 0x66", kSerial = "VDX-000123";

struct tStepCase {
    const char* name;
    std::function<void(WizardSteps&)> drive;
    tPageView page;
    Calls calls;  // every callback called, in order, from run on
};

void PrintTo(const tStepCase& c, std::ostream* os) { *os << c.name; }

class WizardPages : public WizardSteps, public testing::WithParamInterface<tStepCase> {
public:
    static std::vector<tStepCase> cases();
};

// clang-format off
std::vector<tStepCase> WizardPages::cases()
{
    using S = WizardSteps;
    return {
        // Page 0 at start: "-" for what only a controller can tell, the newest version of the logic.
        {"NoControllerAtStart", [](S& s) { s.run(); },
         {0, kNoDevice, "info", "error", "RESCAN", true, "QUIT", true, "(unset)", true, false, false, true, "true", "false", kNewest, "-", "-"},
         {"info", "normal"}},
        {"RescanWithoutController", [](S& s) { s.run(); s.action(); },
         {0, kNoDevice, "info", "error", "RESCAN", true, "QUIT", true, "(unset)", true, false, false, true, "true", "false", kNewest, "-", "-"},
         {"info", "normal", "normal"}},
        {"UpToDate", [](S& s) { s.m_device.connected = true; s.m_device.updateNeeded = false; s.m_device.installed = kNewest; s.run(); },
         {1, kUpToDate, "ok", "ok", "<disabled>", false, "QUIT", true, "success", true, false, false, false, "false", "true", kNewest, kNewest, kSerial},
         {"info", "normal", "info"}},
        {"UpdateAvailable", [](S& s) { s.toUpdateAvailable(); },
         {2, kAvailable, "info", "error", "UPDATE", true, "QUIT", true, "fail", true, false, false, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info"}},
        {"RescanFindsController", [](S& s) { s.run(); s.m_device.connected = true; s.action(); },
         {2, kAvailable, "info", "error", "UPDATE", true, "QUIT", true, "fail", true, false, false, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "normal", "info"}},
        {"ResetIntoUpdateModeFails", [](S& s) { s.toNoUpdateMode(); },
         {4, kNoUpdateMode, "error", "error", "RETRY", true, "QUIT", true, "neutral", true, false, false, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset"}},
        // The update starts in the same click; the focus stays where page 2 put it.
        {"UpdateStarts", [](S& s) { s.toUpdating(); },
         {3, kUpdating, "info", "error", "<disabled>", false, "QUIT", false, "neutral", false, true, true, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "perform"}},
        {"WorkerDoesNotStart", [](S& s) { s.m_device.workerStarts = false; s.toUpdating(); },
         {6, failed(-1), "error", "error", "<disabled>", false, "QUIT", true, "neutral", true, false, false, false, "false", "true", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "perform"}},
        {"RetryFindsControllerInUpdateMode", [](S& s) { s.toNoUpdateMode(); s.m_device.inUpdateMode = true; s.action(); },
         {3, kUpdating, "info", "error", "<disabled>", false, "QUIT", false, "neutral", false, true, true, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "update-mode", "perform"}},
        {"RetryResetsAgain", [](S& s) { s.toNoUpdateMode(); s.m_device.resetWorks = true; s.action(); },
         {3, kUpdating, "info", "error", "<disabled>", false, "QUIT", false, "neutral", false, true, true, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "update-mode", "normal", "reset", "perform"}},
        {"RetryWithoutController", [](S& s) { s.toNoUpdateMode(); s.m_device.connected = false; s.action(); },
         {4, kNoUpdateMode, "error", "error", "RETRY", true, "QUIT", true, "neutral", true, false, false, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "update-mode", "normal"}},
        {"RetryWhoseResetFailsAgain", [](S& s) { s.toNoUpdateMode(); s.action(); },
         {4, kNoUpdateMode, "error", "error", "RETRY", true, "QUIT", true, "neutral", true, false, false, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "update-mode", "normal", "reset"}},
        {"StillRunning", [](S& s) { s.toUpdating(); s.tick(); s.tick(); },
         {3, kUpdating, "info", "error", "<disabled>", false, "QUIT", false, "neutral", false, true, true, false, "true", "false", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "perform"}},
        {"WriteFailed", [](S& s) { s.toUpdating(); s.tick(); s.finishWorker(-2); },
         {6, failed(-2), "error", "error", "<disabled>", false, "QUIT", true, "neutral", true, false, false, false, "false", "true", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "perform"}},
        {"NotInUpdateModeReportedByTheWorker", [](S& s) { s.toUpdating(); s.finishWorker(-1); },
         {6, failed(-1), "error", "error", "<disabled>", false, "QUIT", true, "neutral", true, false, false, false, "false", "true", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "perform"}},
        {"WrittenAndVerified", [](S& s) { s.toUpdating(); s.m_device.installed = kNewest; s.m_device.updateNeeded = false; s.finishWorker(1); },
         {5, kSuccess, "ok", "ok", "<disabled>", false, "FINISH", true, "success", true, false, false, false, "false", "true", kNewest, kNewest, kSerial},
         {"info", "normal", "info", "reset", "perform", "normal", "info"}},
        // The verification compares the texts; the update-needed flag is not consulted.
        {"WrittenButAnOlderVersionStays", [](S& s) { s.toUpdating(); s.m_device.updateNeeded = false; s.finishWorker(1); },
         {6, failed(1), "error", "error", "<disabled>", false, "QUIT", true, "neutral", true, false, false, false, "false", "true", kNewest, kOld, kSerial},
         {"info", "normal", "info", "reset", "perform", "normal", "info"}},
        {"VersionsEqualWhileTheFlagStillAsks", [](S& s) { s.toUpdating(); s.m_device.installed = kNewest; s.finishWorker(1); },
         {5, kSuccess, "ok", "ok", "<disabled>", false, "FINISH", true, "success", true, false, false, false, "false", "true", kNewest, kNewest, kSerial},
         {"info", "normal", "info", "reset", "perform", "normal", "info"}},
    };
}
// clang-format on

TEST_P(WizardPages, ShowsThePageOfTheState)
{
    GetParam().drive(*this);
    EXPECT_EQ(viewOf(*m_wizard), GetParam().page);
    EXPECT_EQ(m_device.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Steps, WizardPages, testing::ValuesIn(WizardPages::cases()),
                         [](const testing::TestParamInfo<tStepCase>& info) { return std::string(info.param.name); });

TEST_F(WizardSteps, FinalPagesIgnoreActionAndThePoll)
{
    struct {
        const char* name;
        std::function<void(WizardSteps&)> drive;
        int state;
    } const cases[] = {
        {"up to date",
         [](WizardSteps& s) {
             s.m_device.updateNeeded = false;
             s.toUpdateAvailable();
         },
         1},
        {"successful",
         [](WizardSteps& s) {
             s.toUpdating();
             s.m_device.installed = kNewest;
             s.finishWorker(1);
         },
         5},
        {"failed",
         [](WizardSteps& s) {
             s.toUpdating();
             s.finishWorker(-2);
         },
         6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_device = ScriptedDevice();
        m_wizard = makeWizard();
        c.drive(*this);
        ASSERT_EQ(m_wizard->getState(), c.state);
        const tPageView before = viewOf(*m_wizard);
        m_device.calls.clear();
        action();
        if (m_device.result)
            *m_device.result = -2;  // a stale worker result must not reopen anything
        tick();
        EXPECT_EQ(m_device.calls, Calls{});
        EXPECT_EQ(viewOf(*m_wizard), before);
    }
}

TEST_F(WizardSteps, EachUpdateStartsFromAFreshResult)
{
    toUpdating();
    ASSERT_NE(m_device.result, nullptr);
    EXPECT_EQ(m_device.result, &m_wizard->getResult()) << "the worker writes the wizard's own integer";
    EXPECT_EQ(*m_device.result, 0);
}

TEST_F(WizardSteps, TheWheelStepsEveryOtherPollAndComesRoundAfterTwelveSteps)
{
    toUpdating();
    SpinningProgressWheel& wheel = WizardView(*m_wizard).wheel();
    EXPECT_EQ(attribute(wheel, "step"), "S0");
    tick();
    EXPECT_EQ(attribute(wheel, "step"), "S0");
    tick();
    EXPECT_EQ(attribute(wheel, "step"), "S1");
    std::vector<std::string> steps;
    for (int i = 0; i < 22; ++i) {
        tick();
        if (i % 2 == 1)
            steps.push_back(attribute(wheel, "step"));
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"S2", "S3", "S4", "S5", "S6", "S7", "S8", "S9", "S10", "S11", "S0"}));

    // Leaving the page stops it; a stopped wheel does not move.
    finishWorker(-2);
    EXPECT_FALSE(wheel.isSpinning());
    EXPECT_FALSE(wheel.isActive());
    const std::string shown = attribute(wheel, "step");
    wheel.onTimer();
    wheel.onTimer();
    EXPECT_EQ(attribute(wheel, "step"), shown);
}

TEST_F(WizardSteps, AWheelShownAgainStartsFromItsFirstFrame)
{
    // 2 -> 4 -> 3 after some polls of an earlier wheel: the wheel's own state restarts.
    SpinningProgressWheel& wheel = WizardView(*m_wizard).wheel();
    wheel.setSpinning(true);
    for (int i = 0; i < 7; ++i)
        wheel.onTimer();
    ASSERT_EQ(wheel.getStep(), 3u);
    toNoUpdateMode();
    m_device.inUpdateMode = true;
    action();
    ASSERT_EQ(m_wizard->getState(), UpdateWizardMainWidget::eStateUpdating);
    EXPECT_EQ(wheel.getStep(), 0u);
    tick();
    EXPECT_EQ(attribute(wheel, "step"), "S0") << "the tick counter restarted too";
    tick();
    EXPECT_EQ(attribute(wheel, "step"), "S1");
}

}  // namespace
