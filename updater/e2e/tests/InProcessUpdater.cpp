#include "InProcessUpdater.h"

#include "DVK2/Sleep.h"
#include "FW/VardolinStudioImages.h"
#include "PXT/MultilineLabel.h"
#include "PXT/TextPanel.h"
#include "PXT/WindowingPane.h"
#include "UIA/AppModule.h"
#include "UIA/Application.h"
#include "UIA/WindowBase.h"
#include "Updater/CocoaStartup.h"
#include "Updater/UpdateWizardMainWidget.h"
#include "Updater/WizardWidgetNames.h"
#include "qvsim/bus/UsbBus.h"

#include <glib.h>
#include <objc/message.h>
#include <objc/runtime.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace QV::E2E {

namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "VDX Updater";

// Every wait of the logic and the USB library at a quarter of its length: short, and still long
// enough for a re-enumeration on a loaded machine (the reset waits 2.5 s for it, here 625 ms).
void shortSleep(std::chrono::nanoseconds duration) { std::this_thread::sleep_for(duration / 4); }

const char* textOf(const PXT::Widget* widget, std::string& storage)
{
    storage.clear();
    if (const auto* panel = dynamic_cast<const PXT::TextPanel*>(widget))
        storage = panel->getText();
    else if (const auto* lines = dynamic_cast<const PXT::MultilineLabel*>(widget))
        storage = lines->getText();
    return storage.c_str();
}

std::string textOf(const PXT::Widget* widget)
{
    std::string text;
    textOf(widget, text);
    return text;
}

void collect(PXT::Widget* widget, const std::string& id, std::vector<PXT::Widget*>& found)
{
    if (widget->getId() == id)
        found.push_back(widget);
    for (const auto& child : widget->getChildren())
        collect(child.get(), id, found);
}

}  // namespace

tPageLook expectedLook(int state)
{
    using K = ePanelKind;
    //                       panel     buttons
    static const tPageLook looks[] = {
        {K::eInfo, 2},   // 0 no device connected: RESCAN, QUIT
        {K::eOk, 1},     // 1 no update available: QUIT
        {K::eInfo, 2},   // 2 update available: UPDATE, QUIT
        {K::eInfo, 0},   // 3 updating: the wheel
        {K::eError, 2},  // 4 no update mode: RETRY, QUIT
        {K::eOk, 1},     // 5 successful: FINISH
        {K::eError, 1},  // 6 failed: QUIT
    };
    return state >= 0 && state < 7 ? looks[state] : tPageLook{};
}

SIM::ControllerConfig InProcessUpdater::controllerConfig()
{
    SIM::ControllerConfig config;
    config.reenumerationDelay = 20ms;
    config.manifestationTime = 20ms;
    config.detachTimeOutMs = 100;
    config.pollTimeoutMs = 1;
    config.expectedMainImage.assign(FW::VardolinStudio, FW::VardolinStudio + FW::kVardolinStudioSize);
    config.expectedAuxImage.assign(FW::VardolinStudioPIC, FW::VardolinStudioPIC + FW::kVardolinStudioPICSize);
    return config;
}

namespace {

// The program may end the process itself (a quit that is allowed): that must fail the test, not
// pass it with the process's status 0.
bool s_testRunning = false;

void failWhenEndedByTheProgram()
{
    if (s_testRunning) {
        std::fputs("the program ended the test process during the test\n", stderr);
        std::fflush(stderr);
        _exit(1);
    }
}

}  // namespace

void InProcessUpdater::SetUp()
{
    m_pool = objc_autoreleasePoolPush();  // as main has one around the program's whole life
    static const bool s_guard = std::atexit(failWhenEndedByTheProgram) == 0;
    ASSERT_TRUE(s_guard);
    s_testRunning = true;
    ASSERT_TRUE(m_x.connected()) << "no X server in DISPLAY";
    // A runtime folder of the test's own: the single-instance lock of another test is not seen.
    char runtime[] = "/tmp/qv-e2e-runtime-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);
    m_runtimeDir = runtime;
    setenv("XDG_RUNTIME_DIR", runtime, 1);

    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_shotFolder = std::string(QV_E2E_SHOTS_DIR) + "/" + info->test_suite_name() + "." + info->name();
    std::filesystem::remove_all(m_shotFolder);
    std::filesystem::create_directories(m_shotFolder);

    std::string error;
    ASSERT_TRUE(m_colours.load(QV_SKIN_DIR "/pictures", error)) << error;
    const auto layout = WizardLayout::fromRenderTool(QV_PAGE_RENDER, QV_SKIN_DIR, error);
    ASSERT_TRUE(layout) << error;
    m_layout = *layout;

    // The bus and its own libusb context come before the program's first context.
    ASSERT_TRUE(SIM::UsbBus::instance().waitSettled());
    m_clock = std::make_unique<SIM::RealClock>();
    DVK2::setSleepFunction(shortSleep);
}

void InProcessUpdater::TearDown()
{
    if (m_started) {
        // As the platform ends the program, without ending the process: the delegate destroys the
        // windows and stops the module.
        objc::msgSend<void, id>(m_delegate, objc::sel("applicationWillTerminate:"), nil);
        m_started = false;
    }
    s_testRunning = false;
    if (m_pool)
        objc_autoreleasePoolPop(m_pool);
    SIM::UsbBus::instance().unplugAll();
    m_controllers.clear();
    DVK2::setSleepFunction(nullptr);
    m_clock.reset();
    std::filesystem::remove_all(m_runtimeDir);
    std::printf("pages of this test: %s\n", m_shotFolder.c_str());
}

std::shared_ptr<SIM::ControllerModel> InProcessUpdater::plug(const SIM::ControllerConfig& config)
{
    auto controller = SIM::ControllerModel::create(config, *m_clock);
    SIM::UsbBus::instance().plug(controller);
    EXPECT_TRUE(SIM::UsbBus::instance().waitSettled());
    m_controllers.push_back(controller);
    return controller;
}

void InProcessUpdater::unplug(const std::shared_ptr<SIM::ControllerModel>& controller)
{
    SIM::UsbBus::instance().unplug(controller);
    EXPECT_TRUE(SIM::UsbBus::instance().waitSettled());
}

bool InProcessUpdater::startProgram()
{
    // As main does: the delegate, which makes the shared application, then the platform's loop,
    // whose launch starts the module. The loop is stopped again as soon as it runs: from then on
    // the test runs it, between its looks at the screen.
    m_delegate = objc::msgSend<id>(objc::msgSend<id>(COCOA::appDelegateClass(), objc::sel("alloc")), objc::sel("init"));
    id application = objc::msgSend<id>(COCOA::standaloneApplicationClass(), objc::sel("sharedApplication"));
    if (!m_delegate || !application)
        return false;
    g_idle_add(
        [](gpointer app) -> gboolean {
            objc::msgSend<void, id>(static_cast<id>(app), objc::sel("stop:"), nil);
            return G_SOURCE_REMOVE;
        },
        application);
    objc::msgSend<void>(application, objc::sel("run"));
    m_started = COCOA::isDelegateInitialized(m_delegate);
    if (!m_started)
        return false;
    if (!runUntil([this] { return !m_x.windowsTitled(kTitle).empty(); }))
        return false;
    m_window = m_x.windowsTitled(kTitle).front();
    return root() != nullptr;
}

bool InProcessUpdater::runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // The program's main loop for a while, then a look.
        const auto slice = std::chrono::steady_clock::now() + 10ms;
        do {
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            g_usleep(1000);
        } while (std::chrono::steady_clock::now() < slice);
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    }
}

::testing::AssertionResult InProcessUpdater::reachPage(int wanted, const std::string& step)
{
    tPageLook look;
    const bool reached = runUntil([&] {
        look = lookOf(content(), m_colours, m_layout);
        return state() == wanted && look == expectedLook(wanted);
    });
    saveShot(step);
    if (reached)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "page " << wanted << " (" << toString(expectedLook(wanted))
                                         << ") not reached: the wizard is in state " << state() << ", the screen shows "
                                         << toString(look);
}

PXT::Widget* InProcessUpdater::root() const
{
    for (UIA::WindowBase* window : UIA::Application::getWindows()) {
        if (auto* pane = dynamic_cast<PXT::WindowingPane*>(window)) {
            if (pane->getRoot())
                return pane->getRoot().get();
        }
    }
    return nullptr;
}

PXT::Widget* InProcessUpdater::widget(const std::string& id, int nth) const
{
    std::vector<PXT::Widget*> found;
    if (PXT::Widget* top = root())
        collect(top, id, found);
    return nth < static_cast<int>(found.size()) ? found[static_cast<std::size_t>(nth)] : nullptr;
}

int InProcessUpdater::state() const
{
    const auto* wizard = dynamic_cast<const UpdateWizardMainWidget*>(root());
    return wizard ? wizard->getState() : -1;
}

tShownPage InProcessUpdater::shownPage() const
{
    tShownPage page;
    page.state = state();
    page.infoText = textOf(widget(WizardNames::kInfoPanelLabel));
    const auto shownText = [this](const char* id) {
        const PXT::Widget* button = widget(id);
        return button && button->isShown() ? textOf(button) : std::string();
    };
    page.action = shownText(WizardNames::kActionButton);
    page.quit = shownText(WizardNames::kQuitButton);
    page.newest = textOf(widget(WizardNames::kRowValue, 0));
    page.installed = textOf(widget(WizardNames::kRowValue, 1));
    page.serial = textOf(widget(WizardNames::kRowValue, 2));
    if (const PXT::Widget* installed = widget(WizardNames::kRowValue, 1)) {
        const auto state = installed->getAttributes().find("state");
        if (state != installed->getAttributes().end())
            page.installedState = state->second;
    }
    const PXT::Widget* wheel = widget(WizardNames::kSpinningWheel);
    page.wheelShown = wheel && wheel->isShown();
    return page;
}

Image InProcessUpdater::content()
{
    const Image window = m_x.grab(m_window);
    return window.crop(WizardLayout::contentIn(window));
}

void InProcessUpdater::clickContent(int x, int y, int count)
{
    const auto frame = m_x.geometry(m_window);
    ASSERT_TRUE(frame);
    m_x.click(m_window, x, frame->height - WizardLayout::kContentHeight + y, count);
}

void InProcessUpdater::clickWidget(const std::string& id, int count)
{
    const PXT::Widget* target = widget(id);
    ASSERT_NE(target, nullptr) << id;
    ASSERT_TRUE(target->isShown()) << id;
    int x = target->getAbsolutePos().x + target->getSize().x / 2;
    const int y = target->getAbsolutePos().y + target->getSize().y / 2;
    // Two single clicks at one spot within the double-click time are a double-click, which the
    // wizard ignores: a test clicks faster than a person, so a second click moves a little.
    if (std::abs(x - m_lastClick.first) < 10 && std::abs(y - m_lastClick.second) < 10)
        x += target->getSize().x / 4;
    m_lastClick = {x, y};
    clickContent(x, y, count);
}

void InProcessUpdater::saveShot(const std::string& step)
{
    char number[16];  // room for any int
    std::snprintf(number, sizeof(number), "%02d-", ++m_shots);
    const std::string path = m_shotFolder + "/" + number + step + ".png";
    EXPECT_TRUE(m_x.grab(m_window).writePng(path)) << path;
}

}  // namespace QV::E2E
