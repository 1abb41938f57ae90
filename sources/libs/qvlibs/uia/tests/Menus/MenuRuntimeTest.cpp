// Menus through the run-time classes, without a display: the items that insertCommandAt makes and
// the shortcuts it records, the application menu, and the events that items and menus send to the
// recording target: commands, validation, opening, climbing from a submenu to the bar.
#include "Menus/CocoaMenu.h"
#include "RecordingTarget.h"
#include "UIA/CommandIds.h"
#include "UIA/HMenu.h"
#include "UIA/KeyCodes.h"

#include <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace QV::UIA;
using objc::msgSend;
using QV::UIA::TEST::RecordingTarget;

std::string utf8(id string)
{
    const char* text = string ? msgSend<const char*>(string, objc::sel("UTF8String")) : nullptr;
    return text ? text : "";
}

id itemAt(id menu, int index) { return msgSend<id, NSInteger>(menu, objc::sel("itemAtIndex:"), index); }
std::string titleOf(id object) { return utf8(msgSend<id>(object, objc::sel("title"))); }
std::string keyOf(id item) { return utf8(msgSend<id>(item, objc::sel("keyEquivalent"))); }
NSUInteger maskOf(id item) { return msgSend<NSUInteger>(item, objc::sel("keyEquivalentModifierMask")); }
NSInteger tagOf(id item) { return msgSend<NSInteger>(item, objc::sel("tag")); }
bool isEnabled(id item) { return msgSend<BOOL>(item, objc::sel("isEnabled")); }
bool isSeparator(id item) { return msgSend<BOOL>(item, objc::sel("isSeparatorItem")); }

// The item's action sent to its target, as the platform does when the item is chosen.
void choose(id item)
{
    id target = msgSend<id>(item, objc::sel("target"));
    SEL action = msgSend<SEL>(item, objc::sel("action"));
    ASSERT_TRUE(target && action);
    msgSend<id, SEL, id>(target, objc::sel("performSelector:withObject:"), action, item);
}

BOOL validate(id item) { return msgSend<BOOL, id>(item, objc::sel("validateMenuItem:"), item); }

class MenuRuntimeTest : public ::testing::Test {
protected:
    MenuRuntimeTest() { HMenu::s_mapCommandShortcuts.clear(); }
    ~MenuRuntimeTest() override
    {
        for (id menu : m_made)
            msgSend<void>(menu, objc::sel("release"));
        msgSend<void>(m_pool, objc::sel("drain"));
        HMenu::s_mapCommandShortcuts.clear();
    }

    // A menu of the run-time class with the target (null for none), released by the fixture.
    HMenu makeMenu(EventTarget* target)
    {
        id menu = COCOA::Menu::create(target);
        m_made.push_back(menu);
        return HMenu(menu);
    }
    HPopupMenu makePopup()
    {
        HPopupMenu popup;
        popup.create(0);
        m_made.push_back(popup.getMenu());
        return popup;
    }

    // What the platform hands out autoreleased goes with the test, as with an event of the main loop.
    id m_pool = msgSend<id>(msgSend<id>(objc_getClass("NSAutoreleasePool"), objc::sel("alloc")), objc::sel("init"));
    RecordingTarget m_target;
    std::vector<id> m_made;
};

TEST_F(MenuRuntimeTest, ClassesAreMadeFromAppKitsWithTheirNames)
{
    ASSERT_NE(COCOA::Menu::s_pClass, nullptr);
    ASSERT_NE(COCOA::MenuItem::s_pClass, nullptr);
    EXPECT_STREQ(class_getName(COCOA::Menu::s_pClass), "ComOrvendalCocoaMenu");
    EXPECT_STREQ(class_getName(COCOA::MenuItem::s_pClass), "ComOrvendalCocoaMenuItem");
    EXPECT_EQ(class_getSuperclass(COCOA::Menu::s_pClass), objc_getClass("NSMenu"));
    EXPECT_EQ(class_getSuperclass(COCOA::MenuItem::s_pClass), objc_getClass("NSMenuItem"));
}

TEST_F(MenuRuntimeTest, CommandItemsTakeTitleTagStateAndKeyEquivalent)
{
    HMenu menu = makeMenu(&m_target);
    EXPECT_EQ(menu.insertCommandAt(-1, "&Open", 100, 0, eModifierCommand | 'O'), 0);
    EXPECT_EQ(menu.insertCommandAt(-1, "Save &As", 101, eMenuItemDisabled, eModifierCommand | eModifierShift | 'S'), 1);
    EXPECT_EQ(menu.insertCommandAt(-1, "Ruler", 102, eMenuItemChecked, 0), 2);
    EXPECT_EQ(menu.insertCommandAt(0, "First", 103, 0, eModifierCommand | (eKeyF1 + 4)), 0);
    // An index past the end appends instead of reaching outside the menu.
    EXPECT_EQ(menu.insertCommandAt(99, "Last", 104, 0, 0), 4);
    ASSERT_EQ(menu.getItemCount(), 5);

    struct tExpected {
        const char* title;
        NSInteger tag;
        bool enabled;
        NSControlStateValue state;
        std::u16string key;
        NSUInteger mask;
    } const expected[] = {
        {"First", 103, true, NSOffState, u"\xF708", NSEventModifierFlagCommand | NSEventModifierFlagFunction},
        {"Open", 100, true, NSOffState, u"o", NSEventModifierFlagCommand},
        {"Save As", 101, false, NSOffState, u"S", NSEventModifierFlagCommand | NSEventModifierFlagShift},
        {"Ruler", 102, true, NSOnState, u"", NSEventModifierFlagCommand},
        {"Last", 104, true, NSOffState, u"", NSEventModifierFlagCommand},
    };
    for (int i = 0; i < 5; ++i) {
        id item = itemAt(menu.getMenu(), i);
        EXPECT_EQ(object_getClass(item), COCOA::MenuItem::s_pClass) << i;
        EXPECT_EQ(titleOf(item), expected[i].title) << i;
        EXPECT_EQ(tagOf(item), expected[i].tag) << i;
        EXPECT_EQ(isEnabled(item), expected[i].enabled) << i;
        EXPECT_EQ(msgSend<NSControlStateValue>(item, objc::sel("state")), expected[i].state) << i;
        id key = msgSend<id>(item, objc::sel("keyEquivalent"));
        const NSUInteger length = key ? msgSend<NSUInteger>(key, objc::sel("length")) : 0;
        ASSERT_EQ(length, expected[i].key.size()) << i;
        if (length == 1) {
            const unichar shown = msgSend<unichar, NSUInteger>(key, objc::sel("characterAtIndex:"), 0);
            EXPECT_EQ(shown, expected[i].key[0]) << i;
            EXPECT_EQ(maskOf(item), expected[i].mask) << i;
        }
    }

    const std::map<uint32_t, int> shortcuts = {
        {eModifierCommand | 'O', 100},
        {eModifierCommand | eModifierShift | 'S', 101},
        {eModifierCommand | (eKeyF1 + 4), 103},
    };
    EXPECT_EQ(HMenu::s_mapCommandShortcuts, shortcuts);
}

TEST_F(MenuRuntimeTest, AboutAndQuitInsertNothingAndQuitGetsCommandQ)
{
    HMenu menu = makeMenu(&m_target);
    menu.insertCommandAt(-1, "One", 1, 0, 0);
    menu.insertCommandAt(-1, "Two", 2, 0, 0);
    struct tCase {
        int pos;
        int command;
        int answer;
    } const cases[] = {{-1, eCommandQuit, 2}, {1, eCommandQuit, 1}, {0, eCommandAbout, 0}, {-5, eCommandAbout, 2}};
    for (const tCase& c : cases) {
        EXPECT_EQ(menu.insertCommandAt(c.pos, "&Quit", c.command, 0, eModifierCommand | 'X'), c.answer) << c.pos;
        EXPECT_EQ(menu.getItemCount(), 2);
    }
    const std::map<uint32_t, int> shortcuts = {{0x20000051u, eCommandQuit}};
    EXPECT_EQ(HMenu::s_mapCommandShortcuts, shortcuts);
}

TEST_F(MenuRuntimeTest, ApplicationMenuHasItsItemsOnce)
{
    HMenu appMenu = HMenuBar::getApplicationMenu();
    ASSERT_FALSE(appMenu.isNull());
    EXPECT_EQ(HMenuBar::getApplicationMenu().getMenu(), appMenu.getMenu()) << "made once";
    EXPECT_EQ(titleOf(appMenu.getMenu()), "Apple");

    struct tItem {
        const char* titleStart;
        const char* action;  // null: a separator; "event": an item of the run-time class
        NSInteger tag;
        const char* key;
        NSUInteger mask;
    } const expected[] = {
        {"About", "event", eCommandAbout, "", 0},
        {nullptr, nullptr, 0, "", 0},
        {"Services", nullptr, 0, "", 0},
        {nullptr, nullptr, 0, "", 0},
        {"Hide", "hide:", 0, "h", NSEventModifierFlagCommand},
        {"Hide Others", "hideOtherApplications:", 0, "h", NSEventModifierFlagCommand | NSEventModifierFlagOption},
        {"Show All", "unhideAllApplications:", 0, "", 0},
        {nullptr, nullptr, 0, "", 0},
        {"Quit", "event", eCommandQuit, "q", NSEventModifierFlagCommand},
    };
    ASSERT_EQ(appMenu.getItemCount(), 9);
    id application = msgSend<id>(objc_getClass("NSApplication"), objc::sel("sharedApplication"));
    for (int i = 0; i < 9; ++i) {
        const tItem& e = expected[i];
        id item = itemAt(appMenu.getMenu(), i);
        if (!e.titleStart) {
            EXPECT_TRUE(isSeparator(item)) << i;
            continue;
        }
        EXPECT_EQ(titleOf(item).rfind(e.titleStart, 0), 0u) << i << ": " << titleOf(item);
        EXPECT_EQ(keyOf(item), e.key) << i;
        if (*e.key) {
            EXPECT_EQ(maskOf(item), e.mask) << i;
        }
        if (!e.action) {
            id submenu = msgSend<id>(item, objc::sel("submenu"));
            ASSERT_NE(submenu, nullptr) << i;
            EXPECT_EQ(msgSend<id>(application, objc::sel("servicesMenu")), submenu);
        } else if (std::string(e.action) == "event") {
            EXPECT_EQ(object_getClass(item), COCOA::MenuItem::s_pClass) << i;
            EXPECT_EQ(tagOf(item), e.tag) << i;
        } else {
            EXPECT_EQ(msgSend<SEL>(item, objc::sel("action")), objc::sel(e.action)) << i;
            EXPECT_EQ(msgSend<id>(item, objc::sel("target")), application) << i;
        }
    }
    EXPECT_TRUE(HMenu::s_mapCommandShortcuts.empty()) << "the Quit item's Command-Q is the menu's own";
}

TEST_F(MenuRuntimeTest, PreferencesGoIntoTheApplicationMenuAboveASeparator)
{
    HMenu menu = makeMenu(&m_target);
    id appMenu = HMenuBar::getApplicationMenu().getMenu();
    const NSInteger before = msgSend<NSInteger>(appMenu, objc::sel("numberOfItems"));
    EXPECT_EQ(menu.insertCommandAt(-1, "&Preferences...", eCommandPreferences, 0, 0), 0);
    EXPECT_EQ(menu.getItemCount(), 0);
    ASSERT_EQ(msgSend<NSInteger>(appMenu, objc::sel("numberOfItems")), before + 2);
    id item = itemAt(appMenu, 2);
    EXPECT_EQ(titleOf(item), "Preferences...");
    EXPECT_EQ(tagOf(item), eCommandPreferences);
    EXPECT_EQ(keyOf(item), ",");
    EXPECT_TRUE(isSeparator(itemAt(appMenu, 3)));
    EXPECT_EQ((HMenu::s_mapCommandShortcuts.at(0x2000002Cu)), eCommandPreferences);

    // Taken out again: the application menu is the process's, other tests read it.
    msgSend<void, NSInteger>(appMenu, objc::sel("removeItemAtIndex:"), 2);
    msgSend<void, NSInteger>(appMenu, objc::sel("removeItemAtIndex:"), 2);
}

TEST_F(MenuRuntimeTest, ChosenItemSendsItsCommandOnceThroughItsMenu)
{
    HMenu menu = makeMenu(&m_target);
    menu.insertCommandAt(-1, "Go", 40000, 0, 0);
    choose(itemAt(menu.getMenu(), 0));
    ASSERT_EQ(m_target.events.size(), 1u);
    EXPECT_EQ(m_target.events[0].code, eEventCommandExecute);
    EXPECT_EQ(m_target.events[0].commandId, 40000);
}

TEST_F(MenuRuntimeTest, SubmenuCommandsClimbToTheBarAndItsParentItemSendsNothing)
{
    HMenu bar = makeMenu(&m_target);
    HPopupMenu help = makePopup();
    EXPECT_EQ(bar.insertSubMenuAt(-1, "&Help", help), -1) << "an empty submenu is not inserted";
    help.insertCommandAt(-1, "Visit the Knowledge Base", 40000, 0, 0);
    help.insertCommandAt(-1, "Visit Orvendal on the web", 40001, 0, 0);
    ASSERT_EQ(bar.insertSubMenuAt(-1, "&Help", help), 0);

    id parent = itemAt(bar.getMenu(), 0);
    EXPECT_EQ(titleOf(parent), "Help");
    EXPECT_EQ(titleOf(help.getMenu()), "Help");
    EXPECT_EQ(msgSend<id>(parent, objc::sel("submenu")), help.getMenu());
    EXPECT_EQ(tagOf(parent), 0);

    // The parent item's own action (tag 0) sends nothing.
    msgSend<void, id>(parent, objc::sel("onItemClicked:"), parent);
    EXPECT_TRUE(m_target.events.empty());

    choose(itemAt(help.getMenu(), 1));
    ASSERT_EQ(m_target.events.size(), 1u);
    EXPECT_EQ(m_target.events[0].commandId, 40001);
}

TEST_F(MenuRuntimeTest, MenuWithoutTargetOrSupermenuAnswersFalse)
{
    HPopupMenu lonely = makePopup();
    lonely.insertCommandAt(-1, "Orphan", 7, 0, 0);
    CommandExecuteEventData data;
    data.commandId = 7;
    EXPECT_FALSE(COCOA::Menu::processEvent(lonely.getMenu(), eEventCommandExecute, &data));
    // Validation nobody answers leaves the item enabled.
    EXPECT_EQ(validate(itemAt(lonely.getMenu(), 0)), YES);
}

TEST_F(MenuRuntimeTest, ValidationAsksTheTargetAndReadsTheStateItSet)
{
    HMenu menu = makeMenu(&m_target);
    menu.insertCommandAt(-1, "Enabled", 1, 0, 0);
    menu.insertCommandAt(-1, "Refused", 2, 0, 0);
    menu.insertCommandAt(-1, "Unhandled", 3, eMenuItemDisabled, 0);
    m_target.answer = [](unsigned code, EventData* data) {
        if (code != eEventCommandValidate)
            return false;
        auto* validation = static_cast<MenuEventData*>(data);
        if (validation->commandId == 3)
            return false;
        validation->menu->enableItemId(validation->commandId, validation->commandId == 1);
        return true;
    };

    const BOOL expected[] = {YES, NO, YES};
    for (int i = 0; i < 3; ++i) {
        m_target.events.clear();
        EXPECT_EQ(validate(itemAt(menu.getMenu(), i)), expected[i]) << i;
        ASSERT_EQ(m_target.events.size(), 1u);
        EXPECT_EQ(m_target.events[0].code, eEventCommandValidate);
        EXPECT_EQ(m_target.events[0].commandId, i + 1);
        EXPECT_EQ(m_target.events[0].menu, menu.getMenu());
    }

    // The platform's own enabling asks the same question and sets the items from the answers.
    msgSend<void>(menu.getMenu(), objc::sel("update"));
    EXPECT_TRUE(menu.getItemEnabledId(1));
    EXPECT_FALSE(menu.getItemEnabledId(2));
    EXPECT_TRUE(menu.getItemEnabledId(3));
    EXPECT_FALSE(menu.getItemEnabledId(99)) << "no such item";
}

TEST_F(MenuRuntimeTest, OpeningMenuSendsMenuOpenWithItsMenu)
{
    HMenu bar = makeMenu(&m_target);
    HPopupMenu file = makePopup();
    file.insertCommandAt(-1, "New", 1, 0, 0);
    bar.insertSubMenuAt(-1, "File", file);

    // The menu is its own delegate: the platform sends it menuWillOpen: as it opens.
    id delegate = msgSend<id>(file.getMenu(), objc::sel("delegate"));
    ASSERT_EQ(delegate, file.getMenu());
    msgSend<void, id>(delegate, objc::sel("menuWillOpen:"), file.getMenu());
    ASSERT_EQ(m_target.events.size(), 1u);
    EXPECT_EQ(m_target.events[0].code, eEventMenuOpen);
    EXPECT_EQ(m_target.events[0].commandId, -1);
    EXPECT_EQ(m_target.events[0].menu, file.getMenu());
}

}  // namespace
