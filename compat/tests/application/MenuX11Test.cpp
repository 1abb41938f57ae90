// Menus under X: a window's real menu bar above its content, a click on an item and its accelerator
// each deliver the action once, a disabled item delivers nothing, Ctrl+Q reaches the application's
// termination question, and a cursor set is the theme's cursor of that name over the content.
#include "RuntimeTestSupport.h"

#include "AppKit/gtk/GtkMainThread.h"
#include "AppKit/standin/WindowState.h"

#include "QVTest/MainLoop.h"
#include "QVTest/XInput.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

namespace qvcompat::appkit::test {
namespace {

using Log = std::vector<std::string>;
using QV::TEST::centreOf;
using QV::TEST::clickAt;
using QV::TEST::xdotool;

size_t count(const std::string& line) { return std::count(g_log.begin(), g_log.end(), line); }

class MenuX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!ensureGtk() || std::system("command -v xdotool > /dev/null") != 0)
            GTEST_SKIP() << "no X display or no xdotool";
        m_pool = objc_autoreleasePoolPush();
        g_log.clear();
        g_disabledTags = {2};
        g_terminateReply = NSTerminateCancel;
        m_app = application();
        m_delegate = objc::msgSend<id>(appDelegateClass(), objc::sel("new"));
        objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), m_delegate);
        m_target = objc::msgSend<id>(recorderClass(), objc::sel("new"));

        // Apple > Quit (Cmd-Q, terminate: to the application); File > Fire (Cmd-K), Disabled (Cmd-J)
        id main = newMenu("Main");
        id apple = newMenu("Apple");
        addItem(apple, "Quit", "terminate:", "q", 0, nil);
        addSubmenu(main, apple);
        m_file = newMenu("File");
        addItem(m_file, "Fire", "fire:", "k", 1, m_target);
        addItem(m_file, "Disabled", "fire:", "j", 2, m_target);
        addSubmenu(main, m_file);
        objc::msgSend<void, id>(m_app, objc::sel("setMainMenu:"), main);
        objc_release(main);

        const NSRect content{{200, 300}, {240, 120}};
        m_window = objc::msgSend<id, NSRect, NSWindowStyleMask, NSBackingStoreType, BOOL>(
            objc::msgSend<id>(objc_getClass("NSWindow"), objc::sel("alloc")),
            objc::sel("initWithContentRect:styleMask:backing:defer:"), content,
            NSWindowStyleMaskTitled | NSWindowStyleMaskClosable, NSBackingStoreBuffered, NO);
        objc::msgSend<void, id>(m_window, objc::sel("makeKeyAndOrderFront:"), nil);
        ASSERT_TRUE(
            QV::TEST::runMainLoopUntil([&] { return objc::msgSend<BOOL>(m_window, objc::sel("isKeyWindow")); }));
        QV::TEST::settleX();
        g_log.clear();
    }

    void TearDown() override
    {
        if (!m_pool)
            return;
        xdotool("key Escape");
        objc::msgSend<void>(m_window, objc::sel("close"));
        objc::msgSend<void, id>(m_app, objc::sel("setMainMenu:"), nil);
        objc::msgSend<void, id>(m_app, objc::sel("setDelegate:"), nil);
        QV::TEST::settleX();
        objc_release(m_delegate);
        objc_release(m_target);
        objc_autoreleasePoolPop(m_pool);
    }

    tWindow& window() { return WindowState::of(m_window); }

    // The GtkMenuItem showing the menu's item at `index` in this window.
    GtkWidget* widgetOf(id menu, NSInteger index)
    {
        for (GtkWidget* widget : MenuItemState::of(itemAt(menu, index)).widgets)
            if (gtk_widget_get_toplevel(widget) == window().gtk || gtk_widget_get_mapped(widget))
                return widget;
        return nullptr;
    }

    void* m_pool = nullptr;
    id m_app = nil;
    id m_delegate = nil;
    id m_target = nil;
    id m_window = nil;
    id m_file = nil;  // held by the main menu
};

TEST_F(MenuX11Test, TheMenuBarIsAboveTheContentWhichKeepsItsSize)
{
    ASSERT_NE(window().menuBar, nullptr);
    EXPECT_TRUE(gtk_widget_get_mapped(window().menuBar));
    GtkAllocation bar;
    GtkAllocation area;
    gtk_widget_get_allocation(window().menuBar, &bar);
    gtk_widget_get_allocation(window().area, &area);
    EXPECT_GT(bar.height, 0);
    EXPECT_EQ(area.y, bar.y + bar.height);
    EXPECT_EQ(area.width, 240);
    EXPECT_EQ(area.height, 120);
    // Without a bundle name the application menu is named after the executable, whose name here is
    // longer than the bar is wide: the content above keeps its size all the same.
    GList* titles = gtk_container_get_children(GTK_CONTAINER(window().menuBar));
    EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(titles->data)), program_invocation_short_name);
    g_list_free(titles);
}

TEST_F(MenuX11Test, AClickOnAnItemDeliversItsActionOnce)
{
    clickAt(centreOf(widgetOf(objc::msgSend<id>(m_app, objc::sel("mainMenu")), 1)));
    GtkWidget* fire = nullptr;
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] {
        fire = widgetOf(m_file, 0);
        return fire && gtk_widget_get_mapped(fire);
    }));
    QV::TEST::settleX();
    // Opening validated the menu's items: the disabled one is insensitive.
    EXPECT_EQ(count("validate 1"), 1u);
    EXPECT_FALSE(gtk_widget_get_sensitive(widgetOf(m_file, 1)));
    clickAt(centreOf(fire));
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([] { return count("fire: 1") > 0; }));
    QV::TEST::settleX();
    EXPECT_EQ(count("fire: 1"), 1u);
}

TEST_F(MenuX11Test, TheAcceleratorDeliversTheActionOnceAndADisabledOneNothing)
{
    xdotool("key ctrl+k");
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([] { return count("fire: 1") > 0; }));
    xdotool("key ctrl+j");
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([] { return count("validate 2") > 1; }));
    QV::TEST::settleX();
    EXPECT_EQ(count("fire: 1"), 1u);
    EXPECT_EQ(count("fire: 2"), 0u);
}

TEST_F(MenuX11Test, CtrlQAsksTheApplicationWhetherToTerminate)
{
    xdotool("key ctrl+q");
    ASSERT_TRUE(QV::TEST::runMainLoopUntil([] { return count("applicationShouldTerminate:") > 0; }));
    QV::TEST::settleX();
    EXPECT_EQ(count("applicationShouldTerminate:"), 1u);  // answered Cancel: the test goes on
}

TEST_F(MenuX11Test, ACursorSetIsTheThemesCursorOfThatName)
{
    GdkDisplay* display = gdk_display_get_default();
    GdkWindow* content = gtk_widget_get_window(window().area);
    for (const auto& [method, name] : {std::pair{"pointingHandCursor", "pointer"}, std::pair{"IBeamCursor", "text"},
                                       std::pair{"arrowCursor", "default"}}) {
        id cursor = objc::msgSend<id>(objc_getClass("NSCursor"), objc::sel(method));
        objc::msgSend<void>(cursor, objc::sel("set"));
        GdkCursor* expected = gdk_cursor_new_from_name(display, name);
        ASSERT_NE(expected, nullptr) << name;
        // GDK keeps one cursor per name: the same object when it is the cursor of that name.
        EXPECT_EQ(gdk_window_get_cursor(content), expected) << name;
        EXPECT_EQ(objc::msgSend<id>(objc_getClass("NSCursor"), objc::sel("currentCursor")), cursor);
        g_object_unref(expected);
    }
}

}  // namespace
}  // namespace qvcompat::appkit::test
