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

// Both tables as the keyboard describes them, written out independently of the code's own lists:
// every one of the 256 entries is compared, so a swapped or missing entry shows by its key.
struct tExpectedTables {
    uint32_t layout[256] = {};    // without a keyboard layout only the fixed keys have a value
    uint32_t physical[256] = {};  // the fixed keys and the ANSI positions
};

tExpectedTables expectedTables()
{
    tExpectedTables t;
    const auto fixed = [&t](unsigned virtualKey, uint32_t value) {
        t.layout[virtualKey] = value;
        t.physical[virtualKey] = value;
    };
    const struct {
        unsigned virtualKey;
        uint32_t value;
    } named
        [] =
            {
                {53, eKeyEscape},      {51, eKeyBackspace}, {48, eKeyTab},        {36, eKeyReturn},
                {117, eKeyDelete},     {115, eKeyHome},     {119, eKeyEnd},       {116, eKeyPageUp},
                {121, eKeyPageDown},   {126, eKeyArrowUp},  {125, eKeyArrowDown}, {123, eKeyArrowLeft},
                {124, eKeyArrowRight}, {71, eKeyClear},  // keypad Clear has no keypad flag
            };
    for (const auto& n : named)
        fixed(n.virtualKey, n.value);
    // F1 to F12, in the order of their values.
    const unsigned functionKeys[12] = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111};
    for (unsigned i = 0; i < 12; ++i)
        fixed(functionKeys[i], 0x10001 + i);
    // '0' to '9' of the top row whatever the layout, and of the keypad with its flag.
    const unsigned topRowDigits[10] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
    const unsigned keypadDigits[10] = {82, 83, 84, 85, 86, 87, 88, 89, 91, 92};
    for (unsigned i = 0; i < 10; ++i) {
        fixed(topRowDigits[i], '0' + i);
        fixed(keypadDigits[i], 0x800000 + '0' + i);
    }
    fixed(65, 0x80002C);  // keypad Decimal is ',' on the keypad, not '.'
    fixed(67, 0x800000 + '*');
    fixed(69, 0x800000 + '+');
    fixed(75, 0x800000 + '/');
    fixed(76, 0x800005);  // keypad Enter: keypad + Return
    fixed(78, 0x800000 + '-');
    fixed(81, 0x800000 + '=');
    // The character keys by ANSI position, virtual keys 0 to 49; '#' where the key has none here
    // (a fixed key, or key 50, the second key of the ISO pair, which lies beyond).
    constexpr char kAnsi[] = "ASDFHGZXCV~BQWERYT######=##-##]OU[IP#LJ\"K;\\,/NM.# ";
    static_assert(sizeof kAnsi == 51, "one character per virtual key 0 to 49");
    for (unsigned key = 0; key < 50; ++key) {
        if (kAnsi[key] != '#')
            t.physical[key] = static_cast<unsigned char>(kAnsi[key]);
    }
    return t;
}

TEST_F(KeysTest, BothTablesHoldExactlyTheFixedKeysAndThePhysicalPositions)
{
    const tExpectedTables expected = expectedTables();
    for (unsigned key = 0; key < 256; ++key) {
        uint32_t physical = 0xDEAD;
        EXPECT_EQ(Keys::macOSToUIA(key, physical), expected.layout[key]) << "virtual key " << key;
        EXPECT_EQ(physical, expected.physical[key]) << "virtual key " << key;
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
