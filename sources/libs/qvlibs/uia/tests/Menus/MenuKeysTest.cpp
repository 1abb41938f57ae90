// The pure parts of the menus: the key equivalent and modifier mask that show a key value on a menu
// item, and the titles made from the program's texts.
#include "Menus/MenuKeys.h"
#include "UIA/KeyCodes.h"

#include <AppKit/NSEvent.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace QV::UIA;
using QV::UIA::DETAIL::keyEquivalentOf;
using QV::UIA::DETAIL::menuTitleOf;

constexpr uint64_t kCommand = NSEventModifierFlagCommand;
constexpr uint64_t kShift = NSEventModifierFlagShift;
constexpr uint64_t kControl = NSEventModifierFlagControl;
constexpr uint64_t kOption = NSEventModifierFlagOption;
constexpr uint64_t kKeypad = NSEventModifierFlagNumericPad;
constexpr uint64_t kFunction = NSEventModifierFlagFunction;

TEST(MenuKeyEquivalent, CharacterAndModifierMaskOfEachKeyValue)
{
    struct tCase {
        const char* what;
        uint32_t key;
        char16_t character;
        uint64_t mask;
    } const cases[] = {
        // what                          key                                               character  mask
        {"Command-S", eModifierCommand | 'S', u's', kCommand},
        {"Command-Shift-S", eModifierCommand | eModifierShift | 'S', u'S', kCommand | kShift},
        {"lower-case letter with Shift", eModifierCommand | eModifierShift | 's', u'S', kCommand | kShift},
        {"Control and Option", eModifierControl | eModifierOption | 'X', u'x', kControl | kOption},
        {"Control alone", eModifierControl | 'X', u'x', kControl},
        {"Option alone", eModifierOption | 'X', u'x', kOption},
        {"Shift alone", eModifierShift | 'x', u'X', kShift},
        {"no modifier", 'X', u'x', 0},
        {"digit", eModifierCommand | '1', u'1', kCommand},
        {"Command-comma", eModifierCommand | ',', u',', kCommand},
        {"F1", eModifierCommand | eKeyF1, 0xF704, kCommand | kFunction},
        {"F5", eModifierCommand | (eKeyF1 + 4), 0xF708, kCommand | kFunction},
        {"F12", eKeyF12, 0xF70F, kFunction},
        {"Escape", eModifierCommand | eKeyEscape, 0x1B, kCommand},
        {"Backspace", eKeyBackspace, 0x08, 0},
        {"Tab", eKeyTab, 0x09, 0},
        {"Return", eKeyReturn, 0x0D, 0},
        {"Insert", eKeyInsert, NSInsertFunctionKey, 0},
        {"forward Delete", eKeyDelete, NSDeleteFunctionKey, 0},
        {"Home", eKeyHome, NSHomeFunctionKey, 0},
        {"End", eKeyEnd, NSEndFunctionKey, 0},
        {"Page Up", eKeyPageUp, NSPageUpFunctionKey, 0},
        {"Page Down", eKeyPageDown, NSPageDownFunctionKey, 0},
        {"up", eKeyArrowUp, NSUpArrowFunctionKey, 0},
        {"down", eKeyArrowDown, NSDownArrowFunctionKey, 0},
        {"left", eKeyArrowLeft, NSLeftArrowFunctionKey, 0},
        {"right", eKeyArrowRight, NSRightArrowFunctionKey, 0},
        {"Clear", eKeyClear, 0xF739, 0},
        {"4 stays", 4, 4, 0},
        {"6 stays", 6, 6, 0},
        {"7 stays", 7, 7, 0},
        // On the keypad the named keys keep their values: only the flag tells the key.
        {"keypad Return", eKeyFlagKeypad | eKeyReturn, 0x05, kKeypad},
        {"keypad digit", eModifierCommand | eKeyFlagKeypad | '5', u'5', kCommand | kKeypad},
    };
    for (const tCase& c : cases) {
        const DETAIL::tKeyEquivalent key = keyEquivalentOf(c.key);
        EXPECT_EQ(static_cast<unsigned>(key.character), static_cast<unsigned>(c.character)) << c.what;
        EXPECT_EQ(key.modifierMask, c.mask) << c.what;
    }
}

TEST(MenuTitle, AmpersandsAreRemovedAndADoubledOneStays)
{
    struct tCase {
        const char* text;
        const char* title;
    } const cases[] = {
        {"&Help", "Help"},
        {"Save &As...", "Save As..."},
        {"Fish && Chips", "Fish & Chips"},
        {"&&&Edit", "&Edit"},
        {"A&&&&B", "A&&B"},
        {"End&", "End"},
        {"&", ""},
        {"", ""},
        {"No mark", "No mark"},
        {"&\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},  // the character behind the mark is kept whole
    };
    for (const auto& c : cases)
        EXPECT_EQ(menuTitleOf(c.text), c.title) << c.text;
}

}  // namespace
