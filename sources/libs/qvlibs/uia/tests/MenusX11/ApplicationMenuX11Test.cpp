// The application with its menus on a real X server (an Xvfb of the test's own): the window's menu
// bar above its content, a click on a menu item and its accelerator each deliver the command once, a
// disabled item nothing, Ctrl+Q asks the application whether to quit and, when allowed, the platform
// through its delegate; the cursor set on a view is the theme's cursor of that name; all windows
// destroyed in their order.
#include "../App/RefusingDelegate.h"
#include "../App/TestApplication.h"
#include "GP/ClassFactory.h"
#include "QVTest/MainLoop.h"
#include "QVTest/XInput.h"
#include "QVTest/XServerTest.h"
#include "UIA/CommandIds.h"
#include "UIA/CursorManager.h"
#include "UIA/KeyCodes.h"
#include "UIA/Window.h"

#include <AppKit/AppKit.h>
#include <AppKit/standin/MenuState.h>
#include <AppKit/standin/WindowState.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using namespace QV::UIA;
using objc::msgSend;
using QV::GP::Rect;
using QV::TEST::centreOf;
using QV::TEST::clickAt;
using QV::TEST::runMainLoopUntil;
using QV::TEST::xdotool;
using QV::UIA::TEST::TestApplication;
using QV::UIA::TEST::TestModule;

constexpr int kFire = 40000;
constexpr int kDisabled = 40002;

using QV::UIA::TEST::g_terminateQuestions;
using QV::UIA::TEST::refusingDelegate;

// The application of these tests: it counts the commands it gets and disables kDisabled.
class MenuApplication : public TestApplication {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eEventCommandValidate) {
            auto* validation = static_cast<MenuEventData*>(data);
            if (validation->commandId != kDisabled)
                return false;
            validation->menu->enableItemId(kDisabled, false);
            return true;
        }
        if (code == eEventCommandExecute)
            commands.push_back(static_cast<CommandExecuteEventData*>(data)->commandId);
        return TestApplication::onEvent(code, data);
    }

    size_t count(int command) const { return std::count(commands.begin(), commands.end(), command); }
    size_t queries() const { return std::count(seen.begin(), seen.end(), eEventAppQueryQuit); }

    std::vector<int> commands;
};

class ApplicationMenuX11 : public QV::TEST::XServerTest<> {
protected:
    void SetUp() override
    {
        XServerTest::SetUp();
        if (IsSkipped())
            return;
        if (!gtk_init_check(nullptr, nullptr) || std::system("command -v xdotool > /dev/null") != 0)
            GTEST_SKIP() << "no display for GTK or no xdotool";
        m_pool = objc_autoreleasePoolPush();
        m_app = new MenuApplication();
        ASSERT_TRUE(m_module.attachApplication(m_app));
        m_nsApp = msgSend<id>(objc_getClass("NSApplication"), objc::sel("sharedApplication"));
        msgSend<void, id>(m_nsApp, objc::sel("setDelegate:"), refusingDelegate());
        g_terminateQuestions = 0;
        CursorManager::registerDefaultCursors();

        HMenu::s_mapCommandShortcuts.clear();
        m_bar.create();
        m_file.create();
        m_file.insertCommandAt(-1, "&Fire", kFire, 0, eModifierCommand | 'K');
        m_file.insertCommandAt(-1, "&Disabled", kDisabled, 0, eModifierCommand | 'J');
        m_file.insertCommandAt(-1, "&Quit", eCommandQuit, 0, eModifierCommand | 'Q');
        ASSERT_EQ(m_bar.insertSubMenuAt(-1, "&File", m_file), 1);
        m_app->setMenu(m_bar);

        m_window = open(Rect(200, 300, 440, 420));
        QV::TEST::settleX();
        m_app->commands.clear();
        m_app->seen.clear();
    }

    void TearDown() override
    {
        if (m_pool)
            tearDownApplication();
        XServerTest::TearDown();
    }

    void tearDownApplication()
    {
        xdotool("key Escape");
        // The main window's end quits the application: the delegate refuses while the loop runs.
        Application::destroyAllWindows();
        for (StandaloneWindow* window : m_windows)
            delete window;
        msgSend<void, id>(m_nsApp, objc::sel("setMainMenu:"), nil);
        // Menus live as long as the process; the test's go with the test.
        msgSend<void>(m_bar.getMenu(), objc::sel("release"));
        msgSend<void>(m_file.getMenu(), objc::sel("release"));
        QV::TEST::settleX();
        msgSend<void, id>(m_nsApp, objc::sel("setDelegate:"), nil);
        m_module.destroyApplication();
        CursorManager::destroyDefaultCursors();
        HMenu::s_mapCommandShortcuts.clear();
        objc_autoreleasePoolPop(m_pool);
    }

    StandaloneWindow* open(Rect rect)
    {
        auto* window = new StandaloneWindow();
        m_windows.push_back(window);
        Window::CreateData data;
        data.flags = WindowBase::eCreateFlagSize | WindowBase::eCreateFlagPosition;
        data.style = WindowBase::eStyleFixedSize;
        data.rect = rect;
        data.setTitle("Vardolin");
        EXPECT_TRUE(window->create(data));
        window->show(true);
        window->setKeyFocus();
        EXPECT_TRUE(runMainLoopUntil([&] { return msgSend<BOOL>(nsWindowOf(window), objc::sel("isKeyWindow")); }));
        return window;
    }

    static id nsWindowOf(StandaloneWindow* window) { return msgSend<id>(window->getNSView(), objc::sel("window")); }
    qvcompat::appkit::tWindow& state() { return qvcompat::appkit::WindowState::of(nsWindowOf(m_window)); }

    // The GtkMenuItem that shows the menu's item at `index` in the test's window.
    GtkWidget* widgetOf(id menu, NSInteger index)
    {
        id item = msgSend<id, NSInteger>(menu, objc::sel("itemAtIndex:"), index);
        for (GtkWidget* widget : qvcompat::appkit::MenuItemState::of(item).widgets)
            if (gtk_widget_get_toplevel(widget) == state().gtk || gtk_widget_get_mapped(widget))
                return widget;
        return nullptr;
    }

    void* m_pool = nullptr;
    TestModule m_module;
    MenuApplication* m_app = nullptr;
    id m_nsApp = nil;
    HMenuBar m_bar;
    HPopupMenu m_file;
    StandaloneWindow* m_window = nullptr;
    std::vector<StandaloneWindow*> m_windows;
};

TEST_F(ApplicationMenuX11, TheWindowShowsTheMenuBarAboveItsContent)
{
    ASSERT_NE(state().menuBar, nullptr);
    EXPECT_TRUE(gtk_widget_get_mapped(state().menuBar));
    GtkAllocation bar;
    GtkAllocation area;
    gtk_widget_get_allocation(state().menuBar, &bar);
    gtk_widget_get_allocation(state().area, &area);
    EXPECT_GT(bar.height, 0);
    EXPECT_EQ(area.y, bar.y + bar.height);
    EXPECT_EQ(area.width, 240);
    EXPECT_EQ(area.height, 120);
    EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(widgetOf(m_bar.getMenu(), 1))), "File");
    EXPECT_EQ(m_app->getMainWindow(), m_window);
}

TEST_F(ApplicationMenuX11, AClickOnAnItemDeliversItsCommandOnce)
{
    clickAt(centreOf(widgetOf(m_bar.getMenu(), 1)));
    GtkWidget* fire = nullptr;
    ASSERT_TRUE(runMainLoopUntil([&] {
        fire = widgetOf(m_file.getMenu(), 0);
        return fire && gtk_widget_get_mapped(fire);
    }));
    QV::TEST::settleX();
    EXPECT_TRUE(std::count(m_app->seen.begin(), m_app->seen.end(), eEventMenuOpen) >= 1) << "the opening menu";
    EXPECT_FALSE(gtk_widget_get_sensitive(widgetOf(m_file.getMenu(), 1))) << "validated as disabled";
    clickAt(centreOf(fire));
    ASSERT_TRUE(runMainLoopUntil([&] { return m_app->count(kFire) > 0; }));
    QV::TEST::settleX();
    EXPECT_EQ(m_app->count(kFire), 1u);
}

TEST_F(ApplicationMenuX11, TheAcceleratorDeliversTheCommandOnceAndADisabledOneNothing)
{
    xdotool("key ctrl+k");
    ASSERT_TRUE(runMainLoopUntil([&] { return m_app->count(kFire) > 0; }));
    xdotool("key ctrl+j");
    xdotool("key ctrl+k");
    ASSERT_TRUE(runMainLoopUntil([&] { return m_app->count(kFire) > 1; }));
    QV::TEST::settleX();
    EXPECT_EQ(m_app->count(kFire), 2u);
    EXPECT_EQ(m_app->count(kDisabled), 0u);
}

TEST_F(ApplicationMenuX11, CtrlQAsksTheApplicationAndWhenAllowedThePlatform)
{
    m_app->allowQuit = false;
    xdotool("key ctrl+q");
    ASSERT_TRUE(runMainLoopUntil([&] { return m_app->queries() > 0; }));
    QV::TEST::settleX();
    EXPECT_EQ(m_app->queries(), 1u);
    EXPECT_EQ(g_terminateQuestions, 0);
    EXPECT_FALSE(m_app->isQuitRequested());

    m_app->allowQuit = true;
    xdotool("key ctrl+q");
    ASSERT_TRUE(runMainLoopUntil([] { return g_terminateQuestions > 0; }));
    QV::TEST::settleX();
    EXPECT_EQ(m_app->queries(), 2u);
    EXPECT_EQ(g_terminateQuestions, 1) << "the delegate refused: the test goes on";
}

TEST_F(ApplicationMenuX11, TheCursorSetOnAViewIsTheThemesCursorOfThatName)
{
    GdkDisplay* display = gdk_display_get_default();
    GdkWindow* content = gtk_widget_get_window(state().area);
    struct tCase {
        int standard;
        const char* name;
    } const cases[] = {{13, "pointer"}, {3, "text"}, {0, "default"}};
    for (const tCase& c : cases) {
        m_window->setCursor(CursorManager::s_hStdCursors[c.standard]);
        GdkCursor* expected = gdk_cursor_new_from_name(display, c.name);
        ASSERT_NE(expected, nullptr) << c.name;
        EXPECT_EQ(gdk_window_get_cursor(content), expected) << c.name;
        g_object_unref(expected);
    }
}

TEST_F(ApplicationMenuX11, ThePointerMovesToTheScreenPositionGiven)
{
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
    for (const QV::GP::Point& target : {QV::GP::Point(50, 60), QV::GP::Point(300, 20)}) {
        CursorManager::setCursorPos(target);
        int x = -1;
        int y = -1;
        ASSERT_TRUE(runMainLoopUntil([&] {
            gdk_device_get_position(pointer, nullptr, &x, &y);
            return x == target.x && y == target.y;
        })) << x
            << "," << y;
    }
}

TEST_F(ApplicationMenuX11, DestroyAllWindowsDestroysEachInItsOrder)
{
    StandaloneWindow* second = open(Rect(100, 100, 200, 160));
    EXPECT_EQ(Application::getWindows(), (std::vector<WindowBase*>{m_window, second}));
    m_app->seen.clear();
    Application::destroyAllWindows();
    EXPECT_TRUE(Application::getWindows().empty());
    EXPECT_EQ(m_window->getImpl(), nullptr);
    EXPECT_EQ(second->getImpl(), nullptr);
    EXPECT_EQ(m_app->getMainWindow(), nullptr);
}

}  // namespace
