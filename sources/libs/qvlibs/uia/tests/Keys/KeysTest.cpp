// The key tables without a keyboard layout (no display is opened here): the fixed entries, the
// physical positions, the translation of key events and the accelerator table.
#include "COCOA/KeyEventConversion.h"
#include "KeyEventFake.h"
#include "Keys/Keys.h"
#include "UIA/AcceleratorManager.h"
#include "UIA/KeyCodes.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace QV::UIA {
namespace {

using DETAIL::Keys;
using TEST::FakeKeyEvent;

constexpr int kCommandQuit = 0x71756974;  // 'quit'

constexpr unsigned long kCapsLock = 1ul << 16, kShift = 1ul << 17, kControl = 1ul << 18, kOption = 1ul << 19,
                        kCommand = 1ul << 20, kNumericPad = 1ul << 21;

class KeysTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Keys::init(); }
};

TEST_F(KeysTest, TablesHoldTheFixedKeysAndThePhysicalPositions)
{
    struct tCase {
        unsigned virtualKey;
        uint32_t layoutValue;  // without a keyboard layout only the fixed keys have one
        uint32_t physicalValue;
    };
    const tCase cases[] = {
        {87, 0x800035, 0x800035},  // keypad 5
        {65, 0x80002C, 0x80002C},  // keypad decimal is ',' on the keypad, not '.'
        {76, eKeyFlagKeypad | eKeyReturn, eKeyFlagKeypad | eKeyReturn},
        {71, eKeyClear, eKeyClear},  // keypad Clear has no keypad flag
        {81, eKeyFlagKeypad | '=', eKeyFlagKeypad | '='},
        {18, '1', '1'},  // top-row digits whatever the layout
        {25, '9', '9'},
        {29, '0', '0'},
        {53, eKeyEscape, eKeyEscape},
        {51, eKeyBackspace, eKeyBackspace},
        {117, eKeyDelete, eKeyDelete},
        {122, eKeyF1, eKeyF1},
        {111, eKeyF12, eKeyF12},
        {126, eKeyArrowUp, eKeyArrowUp},
        {0, 0, 'A'},  // letters follow the layout; by position only here
        {12, 0, 'Q'},
        {39, 0, '"'},
        {42, 0, '\\'},
        {10, 0, '~'},  // first key of the ISO pair
        {50, 0, 0},    // second key of the ISO pair: no position
        {49, 0, ' '},
        {127, 0, 0},
        {255, 0, 0},
    };
    for (const tCase& c : cases) {
        uint32_t physical = 0xDEAD;
        EXPECT_EQ(Keys::macOSToUIA(c.virtualKey, physical), c.layoutValue) << "virtual key " << c.virtualKey;
        EXPECT_EQ(physical, c.physicalValue) << "virtual key " << c.virtualKey;
    }
}

TEST_F(KeysTest, KeyEventsBecomeKeyValuesWithModifiers)
{
    struct tCase {
        const char* name;
        std::u16string characters;
        unsigned short keyCode;
        unsigned long flags;
        uint32_t expected;
        uint32_t expectedPhysical;
    };
    const tCase cases[] = {
        {"letter with Command", u"a", 0, kCommand, 'A' | eModifierCommand, 'A'},
        {"Shift-Tab's back-tab", u"\u0019", 48, kShift, eKeyTab | eModifierShift, eKeyTab},
        {"Tab", u"\t", 48, 0, eKeyTab, eKeyTab},
        {"Delete key (backspace)", u"\u007F", 51, 0, eKeyBackspace, eKeyBackspace},
        {"backspace character", u"\b", 51, 0, eKeyBackspace, eKeyBackspace},
        {"Return", u"\r", 36, 0, eKeyReturn, eKeyReturn},
        {"Escape", u"\u001B", 53, kControl, eKeyEscape | eModifierControl, eKeyEscape},
        {"up arrow", u"\uF700", 126, 0, eKeyArrowUp, eKeyArrowUp},
        {"right arrow", u"\uF703", 124, kOption, eKeyArrowRight | eModifierOption, eKeyArrowRight},
        {"F1", u"\uF704", 122, 0, eKeyF1, eKeyF1},
        {"F12", u"\uF70F", 111, 0, eKeyF12, eKeyF12},
        {"Insert", u"\uF727", 114, 0, eKeyInsert, eKeyInsert},
        {"forward delete", u"\uF728", 117, 0, eKeyDelete, eKeyDelete},
        {"Home", u"\uF729", 115, 0, eKeyHome, eKeyHome},
        {"End", u"\uF72B", 119, 0, eKeyEnd, eKeyEnd},
        {"Page Down", u"\uF72D", 121, 0, eKeyPageDown, eKeyPageDown},
        {"Clear line", u"\uF739", 71, 0, eKeyClear, eKeyClear},
        {"keypad 5", u"5", 87, kNumericPad, 0x800035, 0x800035},
        {"keypad decimal", u".", 65, kNumericPad, 0x80002C, 0x80002C},
        {"top-row digit with Shift", u"!", 18, kShift, '1' | eModifierShift, '1'},
        {"F13 is no named key: its character is beyond ASCII", u"\uF710", 105, 0, 0, 0},
        {"non-ASCII letter without table entry", u"\u00E9", 50, 0, 0, 0},
        {"virtual key beyond the table", u"z", 300, 0, 'Z', 0},
        {"Caps Lock", u"q", 12, kCapsLock, 'Q' | eModifierCapsLock, 'Q'},
        {"two characters", u"ab", 0, kCommand | kShift, eModifierCommand | eModifierShift, 0},
        {"no characters", u"", 0, kOption, eModifierOption, 0},
        {"every modifier", u"m", 46, kCapsLock | kShift | kControl | kOption | kCommand,
         'M' | eModifierCapsLock | eModifierShift | eModifierControl | eModifierOption | eModifierCommand, 'M'},
    };
    for (const tCase& c : cases) {
        FakeKeyEvent event({c.characters, c.keyCode, c.flags});
        uint32_t physical = 0xDEAD;
        EXPECT_EQ(COCOA::convertKeyEventToUIA(event.get(), &physical), c.expected) << c.name;
        EXPECT_EQ(physical, c.expectedPhysical) << c.name;
    }
    FakeKeyEvent event({u"a", 0, 0});
    EXPECT_EQ(COCOA::convertKeyEventToUIA(event.get(), nullptr), uint32_t('A')) << "the physical key is optional";
}

TEST(AcceleratorManagerTest, FindsExactKeysThenTheKeyOffTheKeypad)
{
    AcceleratorManager accelerators;
    accelerators.add('5' | eModifierCommand, 7);
    accelerators.add('Q' | eModifierCommand, kCommandQuit);
    accelerators.add(eKeyFlagKeypad | '+', 9);

    struct tCase {
        uint32_t key;
        int command;
    };
    const tCase cases[] = {
        {'5' | eModifierCommand, 7},
        {eKeyFlagKeypad | '5' | eModifierCommand, 7},  // keypad 5 finds the shortcut of '5'
        {'5', 0},                                      // modifiers must match
        {eKeyFlagKeypad | '5', 0},
        {'Q' | eModifierCommand, kCommandQuit},
        {'Q' | eModifierCommand | eModifierShift, 0},
        {eKeyFlagKeypad | '+', 9},
        {'+', 0},  // a keypad shortcut is not one for the main key
        {0, 0},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(accelerators.getCommand(c.key), c.command) << std::hex << c.key;

    accelerators.add(eKeyFlagKeypad | '5' | eModifierCommand, 11);
    EXPECT_EQ(accelerators.getCommand(eKeyFlagKeypad | '5' | eModifierCommand), 11) << "the exact entry wins";
    accelerators.add('5' | eModifierCommand, 12);
    EXPECT_EQ(accelerators.getCommand('5' | eModifierCommand), 12) << "adding again replaces";

    accelerators.removeAll();
    EXPECT_EQ(accelerators.getCommand('Q' | eModifierCommand), 0);
    EXPECT_EQ(accelerators.getCommand(eKeyFlagKeypad | '5' | eModifierCommand), 0);
}

}  // namespace
}  // namespace QV::UIA
