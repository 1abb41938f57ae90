// The program's pages end to end: the real start-up in this process, the simulated controller on
// the emulated bus, real clicks on the X server. Each step checks the page twice: the texts and
// flags of the wizard's tree, and what the X server shows (the info panel's colour, the buttons).
// Every page reached is saved as a PNG under the build tree (the folder is printed).
#include "InProcessUpdater.h"

#include "PXT/TextPanel.h"
#include "PXT/Widget.h"
#include "ProgramRun.h"
#include "Updater/WizardWidgetNames.h"
#include "qvsim/bus/FileAccess.h"
#include "qvsim/bus/UsbBus.h"
#include "qvsim/model/RequestLog.h"

#include <atomic>
#include <cstdio>
#include <unistd.h>
#include <thread>

namespace QV::E2E {
namespace {

using namespace std::chrono_literals;

const std::string kNewest = "33";
const std::string kOld = "32";
const std::string kSerial = "VDX2024000001";

std::string errorText(int error)
{
    const std::string number = std::to_string(error);
    return "An error occurred while updating your Vardolin Studio (error " + number +
           "). Please disconnect the Vardolin Studio, unpower it and quit the VDX Updater. Then reconnect the "
           "Vardolin Studio, restart VDX Updater and try performing the update again. Alternatively contact the "
           "QV Technical Support.";
}

// The tree's view of a page: the info text, ACTION, QUIT and the values (state, texts).
void expectPage(const tShownPage& page, int state, const std::string& infoText, const std::string& action,
                const std::string& quit, const std::string& installed, const std::string& serial)
{
    EXPECT_EQ(page.state, state);
    EXPECT_EQ(page.infoText, infoText);
    EXPECT_EQ(page.action, action);
    EXPECT_EQ(page.quit, quit);
    EXPECT_EQ(page.newest, kNewest);
    EXPECT_EQ(page.installed, installed);
    EXPECT_EQ(page.serial, serial);
    EXPECT_EQ(page.wheelShown, state == 3);
}

const char* const kUpdateAvailable = "A firmware update is available for your Vardolin Studio. To update the firmware "
                                     "now, click UPDATE. To update the firmware later, click QUIT.";
const char* const kUpdating =
    "Please stand by while your Vardolin Studio is being updated and do not disconnect it from USB.";
const char* const kSuccessful = "The firmware of your Vardolin Studio was successfully updated.";

class WizardOnScreen : public InProcessUpdater {
protected:
    // Page 2 → UPDATE → page 3 with the wheel turning → page 5.
    void updateToSuccess()
    {
        clickWidget(WizardNames::kActionButton);
        ASSERT_TRUE(reachPage(3, "updating"));
        expectPage(shownPage(), 3, kUpdating, "", "", kOld, kSerial);
        EXPECT_EQ(shownPage().installedState, "neutral");
        ASSERT_TRUE(reachPage(5, "successful"));
        expectPage(shownPage(), 5, kSuccessful, "", "FINISH", kNewest, kSerial);
        EXPECT_EQ(shownPage().installedState, "success");
    }
};

TEST_F(WizardOnScreen, NoControllerThenPluggedInAndRescan)
{
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(0, "no-controller"));
    expectPage(shownPage(), 0, "Please connect your Vardolin Studio and click RESCAN.", "RESCAN", "QUIT", "-", "-");

    // RESCAN without a controller keeps the page.
    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(0, "rescan-without-controller"));

    plug(controllerConfig());
    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(2, "update-available"));
    expectPage(shownPage(), 2, kUpdateAvailable, "UPDATE", "QUIT", kOld, kSerial);
    EXPECT_EQ(shownPage().installedState, "fail");
}

TEST_F(WizardOnScreen, UpToDateControllerNeedsNothing)
{
    SIM::ControllerConfig config = controllerConfig();
    config.mainVersion = 0x21;
    config.auxVersion = 0x67;
    plug(config);
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(1, "up-to-date"));
    expectPage(shownPage(), 1, "Currently there is no newer firmware for your Vardolin Studio.", "", "QUIT", kNewest,
               kSerial);
    EXPECT_EQ(shownPage().installedState, "success");
}

TEST_F(WizardOnScreen, UpdateTurnsTheWheelAndSucceeds)
{
    const auto controller = plug(controllerConfig());
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(2, "update-available"));

    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(3, "updating"));
    expectPage(shownPage(), 3, kUpdating, "", "", kOld, kSerial);
    // The wheel turns on the screen, and nothing else of the lower half is repainted meanwhile.
    // The transfers and the settling wait keep the update running for a while at any speed.
    const Image before = content();
    Image after;
    EXPECT_TRUE(runUntil(
        [&] {
            after = content();
            return state() != 3 || onlyTheWheelMoved(before, after, m_layout);
        },
        10s));
    EXPECT_TRUE(onlyTheWheelMoved(before, after, m_layout)) << "the update ended before the wheel moved on the screen";
    saveShot("wheel-turned");

    ASSERT_TRUE(reachPage(5, "successful"));
    expectPage(shownPage(), 5, kSuccessful, "", "FINISH", kNewest, kSerial);
    EXPECT_EQ(shownPage().installedState, "success");
    EXPECT_EQ(controller->mainVersion(), 0x21);
}

TEST_F(WizardOnScreen, ControllerLostInTheResetThenRetryAfterPowerCycle)
{
    SIM::ControllerConfig config = controllerConfig();
    config.faults.lostReenumeration = 1;
    const auto lost = plug(config);
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(2, "update-available"));

    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(4, "no-update-mode"));
    expectPage(shownPage(), 4,
               "Your Vardolin Studio failed to boot into firmware update mode and could not be properly updated. To "
               "boot your Vardolin Studio into firmware update mode, please power-cycle it and click RETRY.",
               "RETRY", "QUIT", kOld, kSerial);
    EXPECT_EQ(shownPage().installedState, "neutral");

    // RETRY while it is still gone: the page stays.
    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(4, "retry-while-gone"));

    // Power-cycled, it comes back in firmware-update mode: RETRY starts the update at once.
    unplug(lost);
    SIM::ControllerConfig again = controllerConfig();
    again.initialMode = SIM::eMode::Update;
    plug(again);
    updateToSuccess();
}

// A controller that an interrupted update left in firmware-update mode: RESCAN finds it, the page
// offers the update with the installed firmware unknown, and UPDATE finishes it without a reset.
TEST_F(WizardOnScreen, ControllerLeftInUpdateModeIsFoundAndItsUpdateFinished)
{
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(0, "no-controller"));
    SIM::ControllerConfig config = controllerConfig();
    config.initialMode = SIM::eMode::Update;
    const auto controller = plug(config);

    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(2, "update-available-in-update-mode"));
    expectPage(shownPage(), 2, kUpdateAvailable, "UPDATE", "QUIT", "-", kSerial);
    EXPECT_EQ(shownPage().installedState, "fail");

    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(5, "successful"));
    expectPage(shownPage(), 5, kSuccessful, "", "FINISH", kNewest, kSerial);
    EXPECT_EQ(controller->mode(), SIM::eMode::Application);
    EXPECT_EQ(controller->mainVersion(), 0x21);
    EXPECT_EQ(controller->auxVersion(), 0x67);
    EXPECT_EQ(controller->reenumerations(), 1u) << "only the return to application mode";
}

// Standard error goes to a file for the life of the object.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        std::FILE* file = std::tmpfile();
        m_file = file;
        dup2(fileno(file), STDERR_FILENO);
    }
    ~StandardErrorCapture()
    {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        std::fclose(m_file);
    }
    std::string text()
    {
        std::fflush(stderr);
        std::string all;
        char buffer[4096];
        std::rewind(m_file);
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
            all.append(buffer, got);
        return all;
    }

private:
    int m_saved = -1;
    std::FILE* m_file = nullptr;
};

// Root opens every node: the test gives that up, as an ordinary user has nothing to give up.
class WithoutRootFileAccess {
public:
    WithoutRootFileAccess() { EXPECT_TRUE(SIM::setFileAccessOverride(false)); }
    ~WithoutRootFileAccess() { SIM::setFileAccessOverride(true); }
};

// A controller this user may not open: the first page says it is connected and what gives access;
// once access is there (the rule installed and the controller replugged), RESCAN finds it.
TEST_F(WizardOnScreen, ControllerThisUserMayNotOpenIsNamedAndRescanFindsItOnceAllowed)
{
    const auto controller = plug(controllerConfig());
    SIM::UsbBus::instance().setOpenRefused(*controller, true);
    const WithoutRootFileAccess user;
    StandardErrorCapture standardError;

    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(0, "no-access"));
    expectPage(shownPage(), 0,
               "Your Vardolin Studio is connected, but this user may not open it. Install the udev rule "
               "60-vardolin-studio.rules from the updater's Contents/Resources folder (README, \"Access to the "
               "controller\"), reconnect the Vardolin Studio and click RESCAN.",
               "RESCAN", "QUIT", "-", "-");
    const auto address = SIM::UsbBus::instance().address(*controller);
    ASSERT_TRUE(address);
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", address->bus, address->device);
    const std::string line = std::string("cannot open the USB device ") + node + ": Permission denied\n";
    const std::string errors = standardError.text();
    EXPECT_NE(errors.find(line), std::string::npos) << errors;
    EXPECT_EQ(errors.find(line), errors.rfind(line)) << "one line per scan\n" << errors;

    SIM::UsbBus::instance().setOpenRefused(*controller, false);
    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(2, "update-available"));
    expectPage(shownPage(), 2, kUpdateAvailable, "UPDATE", "QUIT", kOld, kSerial);
}

TEST_F(WizardOnScreen, DoubleClickOnRescanDoesNotStartTheUpdate)
{
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(0, "no-controller"));
    const auto controller = plug(controllerConfig());

    // The first click finds the controller and shows UPDATE under the pointer; the second press of
    // the double-click lands on it and must not start the update.
    clickWidget(WizardNames::kActionButton, 2);
    ASSERT_TRUE(reachPage(2, "after-double-click"));
    // A later click is handled after the double-click's second press: once its effect shows, the
    // double-click has been handled completely.
    clickWidget(WizardNames::kAboutButton);
    ASSERT_TRUE(runUntil([this] { return widget(WizardNames::kOverlay)->isShown(); }));
    EXPECT_EQ(state(), 2);
    EXPECT_EQ(controller->reenumerations(), 0u) << "the controller was reset into its update mode";
    EXPECT_EQ(controller->mode(), SIM::eMode::Application);
}

TEST_F(WizardOnScreen, AboutFromTheMenuAndTheTitleButtonAClickHidesIt)
{
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(0, "no-controller"));
    const Image page = content();

    const auto expectAboutThenHidden = [&](const std::string& road) {
        SCOPED_TRACE(road);
        // The backdrop dims the page around the card (a corner far from the About button, whose
        // hover look changes too); the card shows the program's title and version.
        const tRect corner{0, 0, 40, 40};
        ASSERT_TRUE(runUntil([&] {
            return widget(WizardNames::kOverlay)->isShown() &&
                   content().crop(corner).dominantColour() != page.crop(corner).dominantColour();
        }));
        saveShot("about-from-" + road);
        const auto text = [this](const char* id) {
            const auto* label = dynamic_cast<const PXT::TextPanel*>(widget(id));
            return label && label->isShown() ? label->getText() : std::string("(not shown)");
        };
        EXPECT_EQ(text(WizardNames::kAboutTitle), "VARDOLIN STUDIO UPDATER");
        EXPECT_EQ(text(WizardNames::kAboutVersion).rfind("VDX Updater ", 0), 0u) << text(WizardNames::kAboutVersion);

        // A click anywhere on it hides it, and the page is back as it was.
        clickContent(20, 20);
        ASSERT_TRUE(runUntil([&] { return content().differingPixels(page) == 0; }))
            << "differing pixels: " << content().differingPixels(page);
        EXPECT_FALSE(widget(WizardNames::kOverlay)->isShown());
    };

    // The application menu (the menu bar's first title, above the content): About is its first item.
    m_x.click(m_window, 40, 12);
    m_x.key("Down");
    m_x.key("Return");
    expectAboutThenHidden("menu");

    clickWidget(WizardNames::kAboutButton);
    expectAboutThenHidden("title-button");
}

TEST_F(WizardOnScreen, QuitQuestionAnsweredNoLetsTheUpdateFinish)
{
    SIM::ControllerConfig config = controllerConfig();
    config.manifestationTime = 3s;  // an update that runs long enough to be asked about
    plug(config);
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(2, "update-available"));
    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(3, "updating"));

    // The question is a modal dialog that runs inside the program's main loop: a person of its own
    // answers it from another thread.
    std::atomic<bool> asked{false};
    const XWindowId main = m_window;
    const std::string shot = m_shotFolder + "/quit-question.png";
    std::thread person([&] {
        XSession x;
        XWindowId dialog = 0;
        waitUntil(
            [&] {
                for (const XWindowId window : x.viewableWindows()) {
                    if (window != main && x.geometry(window) && x.geometry(window)->width > 100)
                        dialog = window;
                }
                return dialog != 0;
            },
            30s);
        if (!dialog)
            return;
        asked = true;
        waitUntil([&] { return x.grab(dialog).dominantColour() != tRgb{0, 0, 0}; }, 5s);
        x.grab(dialog).writePng(shot);
        const auto frame = x.geometry(dialog);
        x.movePointer(dialog, frame->width / 2, frame->height / 2);
        x.key("Escape");  // No, the default answer
    });
    m_x.key("q", {"Control_L"});
    EXPECT_TRUE(runUntil([&] { return asked.load(); }));
    person.join();
    ASSERT_TRUE(asked) << "no quit question while the update runs";

    ASSERT_TRUE(reachPage(5, "finished-after-no"));
    expectPage(shownPage(), 5, kSuccessful, "", "FINISH", kNewest, kSerial);
}

// Only the standard requests of a scan reached the controller: no reset, no write, no version read.
bool onlyScanned(const SIM::ControllerModel& controller)
{
    for (const SIM::tLoggedRequest& request : controller.requestLog())
        if ((request.setup[0] & 0x60) != 0)
            return false;
    return controller.reenumerations() == 0;
}

TEST_F(WizardOnScreen, WithTwoControllersThePickedOneIsUpdatedTheOtherUntouched)
{
    SIM::ControllerConfig second = controllerConfig();
    second.serialNumber = "VDX2024000002";
    const std::vector<std::shared_ptr<SIM::ControllerModel>> controllers{plug(controllerConfig()), plug(second)};
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(2, "update-available"));
    const std::string picked = shownPage().serial;

    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(5, "successful"));
    expectPage(shownPage(), 5, kSuccessful, "", "FINISH", kNewest, picked);
    for (const auto& controller : controllers) {
        SCOPED_TRACE(controller->config().serialNumber);
        if (controller->config().serialNumber == picked) {
            EXPECT_EQ(controller->mainVersion(), 0x21);
            EXPECT_EQ(controller->auxVersion(), 0x67);
        } else {
            EXPECT_EQ(controller->mainVersion(), 0x20);
            EXPECT_EQ(controller->auxVersion(), 0x66);
            EXPECT_TRUE(onlyScanned(*controller));
        }
    }
}

// The picked controller comes back at its old version while an up-to-date one is on the bus: the
// check reads the picked one and fails.
TEST_F(WizardOnScreen, TheCheckFailsWhenThePickedControllerComesBackOld)
{
    SIM::ControllerConfig config = controllerConfig();
    config.updatedMainVersion = config.mainVersion;
    plug(config);
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(2, "update-available"));

    SIM::ControllerConfig upToDate = controllerConfig();
    upToDate.serialNumber = "VDX2024000002";
    upToDate.mainVersion = 0x21;
    upToDate.auxVersion = 0x67;
    const auto other = plug(upToDate);

    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(6, "failed"));
    expectPage(shownPage(), 6, errorText(1), "", "QUIT", kOld, kSerial);
    EXPECT_TRUE(onlyScanned(*other));
}

// A failed update ends on page 6 with the worker's or the verification's error number.
struct tFailure {
    const char* name;
    void (*fault)(SIM::ControllerConfig&);
    int error;
    std::string installedAfter;
};

const tFailure kFailures[] = {
    // The download stalls: the worker reports a failed write.
    {"StalledDownload",
     [](SIM::ControllerConfig& c) {
         c.faults.stall.push_back({0x21, 0x01, 0});
     },
     -2, kOld},
    // Written, but the controller comes back with its old version: the verification fails.
    {"VersionsNotNew", [](SIM::ControllerConfig& c) { c.updatedMainVersion = c.mainVersion; }, 1, kOld},
};

// The case's name, not its bytes, in the test's listed parameter.
void PrintTo(const tFailure& failure, std::ostream* out) { *out << failure.name; }

class FailedUpdateTest : public InProcessUpdater, public ::testing::WithParamInterface<tFailure> {};

TEST_P(FailedUpdateTest, EndsOnTheFailurePageWithItsErrorNumber)
{
    SIM::ControllerConfig config = controllerConfig();
    GetParam().fault(config);
    plug(config);
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(reachPage(2, "update-available"));
    clickWidget(WizardNames::kActionButton);
    ASSERT_TRUE(reachPage(6, "failed"));
    expectPage(shownPage(), 6, errorText(GetParam().error), "", "QUIT", GetParam().installedAfter, kSerial);
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedUpdateTest, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<tFailure>& info) { return info.param.name; });

}  // namespace
}  // namespace QV::E2E
