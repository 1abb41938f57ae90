// Menus through the runtime, without a display: actions reach their targets, validation and
// -menuWillOpen: in the platform's order, key equivalents, and a key on its way through a window.
#include "RuntimeTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qvcompat::appkit::test {
namespace {

using Log = std::vector<std::string>;

class MenuRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pool = objc_autoreleasePoolPush();
        g_log.clear();
        g_disabledTags.clear();
        m_target = objc::msgSend<id>(recorderClass(), objc::sel("new"));
        // Main > File > Save (Cmd-S), Export (Cmd-Shift-E), separator, Disabled (Cmd-D), Recent > Again (Cmd-R)
        m_main = newMenu("Main");
        id file = newMenu("File");
        m_file = file;
        addItem(file, "Save", "fire:", "s", 1, m_target);
        addItem(file, "Export", "fire:", "E", 2, m_target);
        objc::msgSend<void, id>(file, objc::sel("addItem:"),
                                objc::msgSend<id>(objc_getClass("NSMenuItem"), objc::sel("separatorItem")));
        addItem(file, "Disabled", "fire:", "d", 3, m_target);
        id recent = newMenu("Recent");
        addItem(recent, "Again", "other:", "r", 4, m_target);
        addSubmenu(file, recent);
        addSubmenu(m_main, file);
    }

    void TearDown() override
    {
        objc_release(m_main);
        objc_release(m_target);
        objc_autoreleasePoolPop(m_pool);
    }

    bool keyEquivalent(char16_t character, NSEventModifierFlags flags)
    {
        NSEvent* event = keyDown(character, flags);
        const BOOL done = objc::msgSend<BOOL, id>(m_main, objc::sel("performKeyEquivalent:"), event);
        objc_release(event);
        return done;
    }

    void* m_pool = nullptr;
    id m_target = nil;
    id m_main = nil;
    id m_file = nil;  // held by the main menu
};

TEST_F(MenuRuntimeTest, AKeyEquivalentValidatesItsMenuAndSendsTheActionOnce)
{
    EXPECT_TRUE(keyEquivalent(u's', NSEventModifierFlagCommand));
    // The item's menu is validated (every action item of it), then the action goes to the target.
    EXPECT_EQ(g_log, (Log{"validate 1", "validate 2", "validate 3", "fire: 1"}));

    g_log.clear();
    EXPECT_TRUE(keyEquivalent(u'r', NSEventModifierFlagCommand));  // in a submenu of a submenu
    EXPECT_EQ(g_log, (Log{"validate 4", "other: 4"}));

    g_log.clear();
    EXPECT_TRUE(keyEquivalent(u'E', NSEventModifierFlagCommand | NSEventModifierFlagShift));
    EXPECT_EQ(g_log.back(), "fire: 2");
}

TEST_F(MenuRuntimeTest, KeysThatAreNoItemsKeyEquivalentAreLeftAlone)
{
    EXPECT_FALSE(keyEquivalent(u's', 0));                           // Command missing
    EXPECT_FALSE(keyEquivalent(u'e', NSEventModifierFlagCommand));  // Shift missing
    EXPECT_FALSE(keyEquivalent(u'x', NSEventModifierFlagCommand));
    EXPECT_TRUE(g_log.empty());
}

TEST_F(MenuRuntimeTest, ADisabledItemSendsNothing)
{
    g_disabledTags = {3};
    EXPECT_FALSE(keyEquivalent(u'd', NSEventModifierFlagCommand));
    EXPECT_EQ(g_log, (Log{"validate 1", "validate 2", "validate 3"}));
    id disabled = objc::msgSend<id, NSInteger>(m_file, objc::sel("itemWithTag:"), 3);
    EXPECT_FALSE(objc::msgSend<BOOL>(disabled, objc::sel("isEnabled")));

    // Enabled again by its validator the next time it is asked.
    g_disabledTags.clear();
    EXPECT_TRUE(keyEquivalent(u'd', NSEventModifierFlagCommand));
    EXPECT_EQ(g_log.back(), "fire: 3");
}

TEST_F(MenuRuntimeTest, AnOpeningMenuAsksItsDelegateThenValidatesItsItems)
{
    objc::msgSend<void, id>(m_file, objc::sel("setDelegate:"), m_target);
    g_disabledTags = {2};
    menuWillOpen(m_file);
    EXPECT_EQ(g_log, (Log{"menuWillOpen: File", "validate 1", "validate 2", "validate 3"}));
    const auto enabled = [&](NSInteger index) {
        return objc::msgSend<BOOL>(objc::msgSend<id, NSInteger>(m_file, objc::sel("itemAtIndex:"), index),
                                   objc::sel("isEnabled"));
    };
    EXPECT_TRUE(enabled(0));
    EXPECT_FALSE(enabled(1));
    EXPECT_FALSE(enabled(2));  // the separator
    EXPECT_TRUE(enabled(4));   // an item with a submenu

    // Without autoenabling the items keep what the program set.
    g_log.clear();
    objc::msgSend<void, BOOL>(m_file, objc::sel("setAutoenablesItems:"), NO);
    menuWillOpen(m_file);
    EXPECT_EQ(g_log, (Log{"menuWillOpen: File"}));
}

TEST_F(MenuRuntimeTest, EnablingFollowsWhoReceivesTheAction)
{
    id menu = newMenu("Rules");
    id noAction = addItem(menu, "No action", nullptr, "", 10, m_target);
    id notAnswered = addItem(menu, "Not answered", "missing:", "", 11, m_target);
    id plainTarget = objc::msgSend<id>(objc_getClass("NSObject"), objc::sel("new"));
    id noValidator = addItem(menu, "No validator", "description", "", 12, plainTarget);
    objc::msgSend<void>(menu, objc::sel("update"));
    EXPECT_FALSE(objc::msgSend<BOOL>(noAction, objc::sel("isEnabled")));
    EXPECT_FALSE(objc::msgSend<BOOL>(notAnswered, objc::sel("isEnabled")));
    EXPECT_TRUE(objc::msgSend<BOOL>(noValidator, objc::sel("isEnabled")));
    EXPECT_TRUE(g_log.empty());
    objc_release(plainTarget);
    objc_release(menu);
}

TEST_F(MenuRuntimeTest, ItemsAndTheirMenuStayLinked)
{
    id file = m_file;
    EXPECT_EQ(objc::msgSend<id>(file, objc::sel("supermenu")), m_main);
    id save = objc::msgSend<id, NSInteger>(file, objc::sel("itemWithTag:"), 1);
    EXPECT_EQ(objc::msgSend<id>(save, objc::sel("menu")), file);
    const NSInteger index = objc::msgSend<NSInteger, id>(file, objc::sel("indexOfItem:"), save);
    EXPECT_EQ(index, 0);

    // An item belongs to one menu at a time.
    id other = newMenu("Other");
    objc::msgSend<void, id>(other, objc::sel("addItem:"), save);
    EXPECT_EQ(objc::msgSend<NSInteger>(other, objc::sel("numberOfItems")), 0);

    objc_retain(save);
    objc::msgSend<void, id>(file, objc::sel("removeItem:"), save);
    EXPECT_EQ(objc::msgSend<id>(save, objc::sel("menu")), nil);
    EXPECT_EQ(objc::msgSend<NSInteger>(file, objc::sel("numberOfItems")), 4);
    objc::msgSend<void, id, NSInteger>(other, objc::sel("insertItem:atIndex:"), save, 0);
    EXPECT_EQ(objc::msgSend<id>(save, objc::sel("menu")), other);
    objc_release(save);
    objc_release(other);
}

TEST_F(MenuRuntimeTest, TheApplicationMenusPlatformItemsGoToTheApplication)
{
    // Items with a nil target: the application receives them; the two that have no counterpart
    // under X are disabled by its validation.
    id app = application();
    id appMenu = newMenu("Apple");
    id hide = addItem(appMenu, "Hide", "hide:", "h", 0, nil);
    id hideOthers = addItem(appMenu, "Hide Others", "hideOtherApplications:", "h", 0, nil,
                            NSEventModifierFlagCommand | NSEventModifierFlagOption);
    id showAll = addItem(appMenu, "Show All", "unhideAllApplications:", "", 0, nil);
    objc::msgSend<void>(appMenu, objc::sel("update"));
    EXPECT_EQ(actionReceiver(hide), app);
    EXPECT_TRUE(objc::msgSend<BOOL>(hide, objc::sel("isEnabled")));
    EXPECT_FALSE(objc::msgSend<BOOL>(hideOthers, objc::sel("isEnabled")));
    EXPECT_FALSE(objc::msgSend<BOOL>(showAll, objc::sel("isEnabled")));
    objc_release(appMenu);
}

TEST_F(MenuRuntimeTest, TheMenuBarNamesTheApplicationMenuAfterTheExecutableWithoutABundleName)
{
    // This program has no Info.plist: the application menu shows the executable's name, as the
    // platform names the process, and the other menus their own titles.
    id bar = newMenu("Bar");
    addSubmenu(bar, newMenu("Apple"));
    addSubmenu(bar, newMenu("Edit"));
    const std::string executable = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_EQ(itemLabel(itemAt(bar, 0), true), executable);
    EXPECT_EQ(itemLabel(itemAt(bar, 1), true), "Edit");
    objc_release(bar);
}

}  // namespace
}  // namespace qvcompat::appkit::test
