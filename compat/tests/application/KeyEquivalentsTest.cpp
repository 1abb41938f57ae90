// Menu key equivalents as plain tables: GDK's accelerators for them, and which key-down events they
// match.
#include "AppKit/standin/Application.h"
#include "AppKit/gtk/EventTranslation.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

namespace qvcompat::appkit {
namespace {

constexpr NSEventModifierFlags kCmd = NSEventModifierFlagCommand;
constexpr NSEventModifierFlags kShift = NSEventModifierFlagShift;
constexpr NSEventModifierFlags kOpt = NSEventModifierFlagOption;
constexpr NSEventModifierFlags kCtrl = NSEventModifierFlagControl;

TEST(KeyEquivalentsTest, AcceleratorsUseCtrlForCommandAndGdkKeysForFunctionKeys)
{
    struct tCase {
        std::u16string key;
        NSEventModifierFlags mask;
        unsigned keyval;
        unsigned modifiers;
    };
    const tCase cases[] = {
        // key               mask               keyval              GDK modifiers
        {u"q", kCmd, GDK_KEY_q, GDK_CONTROL_MASK},
        {u"S", kCmd, GDK_KEY_s, GDK_CONTROL_MASK | GDK_SHIFT_MASK},  // upper case implies Shift
        {u"s", kCmd | kShift, GDK_KEY_s, GDK_CONTROL_MASK | GDK_SHIFT_MASK},
        {u"h", kCmd | kOpt, GDK_KEY_h, GDK_CONTROL_MASK | GDK_MOD1_MASK},
        {u"k", kCtrl, GDK_KEY_k, GDK_SUPER_MASK},  // Control is the Super key
        {u",", kCmd, GDK_KEY_comma, GDK_CONTROL_MASK},
        {std::u16string(1, char16_t(0xF704)), kCmd, GDK_KEY_F1, GDK_CONTROL_MASK},
        {std::u16string(1, char16_t(0xF708)), kCmd, GDK_KEY_F5, GDK_CONTROL_MASK},
        {std::u16string(1, char16_t(0xF70F)), 0, GDK_KEY_F12, 0},
        {std::u16string(1, char16_t(0xF700)), kCmd, GDK_KEY_Up, GDK_CONTROL_MASK},
        {std::u16string(1, char16_t(0xF728)), 0, GDK_KEY_Delete, 0},
        {std::u16string(1, char16_t(0xF72C)), 0, GDK_KEY_Page_Up, 0},
        {std::u16string(1, char16_t(0xF739)), 0, GDK_KEY_Clear, 0},
        {u"\x1b", 0, GDK_KEY_Escape, 0},
        {u"\r", kCmd, GDK_KEY_Return, GDK_CONTROL_MASK},
        {u"\t", 0, GDK_KEY_Tab, 0},
        {u"\b", 0, GDK_KEY_BackSpace, 0},
        {u"", kCmd, 0, GDK_CONTROL_MASK},  // no key equivalent: no accelerator
    };
    for (const tCase& c : cases) {
        const tAccelerator accelerator = acceleratorFor(c.key, c.mask);
        EXPECT_EQ(accelerator.keyval, c.keyval) << "key U+" << std::hex << (c.key.empty() ? 0 : int(c.key[0]));
        if (c.keyval) {
            EXPECT_EQ(unsigned(accelerator.modifiers), c.modifiers) << "key U+" << std::hex << int(c.key[0]);
        }
    }
}

TEST(KeyEquivalentsTest, TheAcceleratorsKeyTypesTheKeyEquivalentsCharacter)
{
    // The events' side of the same keys: what the window's key event answers for the keyval the
    // menu shows is the item's key equivalent again.
    for (char16_t c : {char16_t(0xF704), char16_t(0xF70B), char16_t(0xF726), char16_t(0xF700), char16_t(0xF703),
                       char16_t(0xF746), char16_t(0xF729), char16_t(0xF72B), char16_t(0xF72D), char16_t(0x1B),
                       char16_t(0x09), char16_t(0x0D), char16_t('q'), char16_t(',')})
        EXPECT_EQ(characterForKeyval(acceleratorFor(std::u16string(1, c), 0).keyval), c) << "U+" << std::hex << int(c);
}

TEST(KeyEquivalentsTest, KeyDownEventsMatchByCharacterAndModifiers)
{
    struct tCase {
        std::u16string key;
        NSEventModifierFlags mask;
        std::u16string typed;
        NSEventModifierFlags flags;
        bool matches;
    };
    const tCase cases[] = {
        // item key   item mask        typed  event flags                                 matches
        {u"q", kCmd, u"q", kCmd, true},
        {u"q", kCmd, u"q", kCmd | NSEventModifierFlagCapsLock, true},  // Caps Lock does not count
        {u"q", kCmd, u"Q", kCmd, true},                                // letters without regard to case
        {u"q", kCmd, u"q", 0, false},                                  // Command missing
        {u"q", kCmd, u"q", kCmd | kOpt, false},                        // Option too many
        {u"q", kCmd, u"Q", kCmd | kShift, false},                      // Shift not asked for
        {u"S", kCmd, u"S", kCmd | kShift, true},                       // upper case implies Shift
        {u"S", kCmd, u"s", kCmd, false},
        {u"s", kCmd | kShift, u"S", kCmd | kShift, true},
        {u"h", kCmd | kOpt, u"h", kCmd | kOpt, true},
        {u"h", kCmd | kOpt, u"h", kCmd, false},
        {u"?", kCmd, u"?", kCmd | kShift, true},  // the Shift is in the character
        {u",", kCmd | kShift, u",", kCmd, false},
        {u"k", kCtrl, u"k", kCtrl, true},
        {u"k", kCtrl, u"k", kCmd, false},
        {std::u16string(1, char16_t(0xF708)), kCmd, std::u16string(1, char16_t(0xF708)),
         kCmd | NSEventModifierFlagFunction, true},
        {u"", kCmd, u"q", kCmd, false},  // no key equivalent matches nothing
        {u"q", kCmd, u"", kCmd, false},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(keyEquivalentMatches(c.key, c.mask, c.typed, c.flags), c.matches)
            << "item " << std::string(c.key.begin(), c.key.end()) << " mask " << std::hex << c.mask << ", typed "
            << std::string(c.typed.begin(), c.typed.end()) << " flags " << c.flags;
}

}  // namespace
}  // namespace qvcompat::appkit
