// The key tables and the platform's key translation with real keyboard layouts of an X server
// (a private Xvfb whose layout setxkbmap changes): US and French.
#include "Keys/Keys.h"
#include "UIA/KeyCodes.h"

#include "QVTest/MainLoop.h"
#include "QVTest/RunCommand.h"
#include "QVTest/XServerTest.h"

#include <AppKit/gtk/GtkMainThread.h>
#include <Carbon/Carbon.h>

#include <gtest/gtest.h>

#include <string>

namespace QV::UIA {
namespace {

using DETAIL::Keys;

class KeyboardLayoutTest : public QV::TEST::XServerTest<> {
protected:
    static void SetUpTestSuite()
    {
        if (!server().makeDefault())
            return;
        s_open = qvcompat::appkit::ensureGtk();
    }

    void SetUp() override
    {
        XServerTest::SetUp();
        if (!IsSkipped() && !s_open)
            GTEST_SKIP() << "no display connection for GTK";
    }

    // Switches the server's layout and waits until GDK has read the new keymap, which it does while
    // the main loop runs: until the key of `virtualKey` types `expected`.
    static void useLayout(const char* layout, unsigned virtualKey, char16_t expected)
    {
        const auto run = QV::TEST::runCommand("setxkbmap -display " + server().display() + " -model pc105 " + layout);
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] {
            return plainCharacters(virtualKey) == std::u16string(1, expected);
        })) << "the layout "
            << layout << " did not arrive";
        Keys::buildTables();
    }

    // What the key types with the modifiers (UCKeyTranslate's bits), dead keys giving their own character.
    static std::u16string plainCharacters(unsigned virtualKey, UInt32 modifiers = 0,
                                          UInt16 action = kUCKeyActionDisplay,
                                          OptionBits options = kUCKeyTranslateNoDeadKeysMask,
                                          UInt32* deadState = nullptr)
    {
        TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
        if (!source)
            return u"<no source>";
        auto data = static_cast<CFDataRef>(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData));
        UInt32 dead = 0;
        UniChar characters[10];
        UniCharCount length = 0;
        const OSStatus status =
            UCKeyTranslate(reinterpret_cast<const UCKeyboardLayout*>(CFDataGetBytePtr(data)), UInt16(virtualKey),
                           action, modifiers, LMGetKbdType(), options, &dead, 10, &length, characters);
        CFRelease(source);
        if (deadState)
            *deadState = dead;
        return status == noErr ? std::u16string(reinterpret_cast<const char16_t*>(characters), length) : u"<error>";
    }

    static uint32_t layoutValue(unsigned virtualKey)
    {
        uint32_t physical = 0;
        return Keys::macOSToUIA(virtualKey, physical);
    }
    static uint32_t physicalValue(unsigned virtualKey)
    {
        uint32_t physical = 0;
        Keys::macOSToUIA(virtualKey, physical);
        return physical;
    }

    static bool s_open;
};

bool KeyboardLayoutTest::s_open = false;

struct tKeyCase {
    unsigned virtualKey;
    uint32_t layoutValue;
    uint32_t physicalValue;
};

TEST_F(KeyboardLayoutTest, LettersFollowTheLayoutAndDigitsDoNot)
{
    const struct {
        const char* layout;
        tKeyCase keys[10];
    } layouts[] = {
        {"us",
         {{12, 'Q', 'Q'},
          {0, 'A', 'A'},
          {13, 'W', 'W'},
          {46, 'M', 'M'},
          {41, ';', ';'},
          {39, '\'', '"'},
          {10, '`', '~'},  // the key left of 1
          {50, '<', 0},    // the key beside the left Shift
          {18, '1', '1'},
          {87, 0x800035, 0x800035}}},
        {"fr",
         {{12, 'A', 'Q'},  // AZERTY: the Q position types a
          {0, 'Q', 'A'},
          {13, 'Z', 'W'},
          {46, ',', 'M'},
          {41, 'M', ';'},
          {33, '^', '['},   // a dead key types its own character
          {10, 0xB2, '~'},  // superscript two has no upper case
          {50, '<', 0},
          {18, '1', '1'},  // '&' on this key, but the top-row digits are fixed
          {87, 0x800035, 0x800035}}},
    };
    for (const auto& layout : layouts) {
        useLayout(layout.layout, 12, std::string(layout.layout) == "fr" ? u'a' : u'q');
        for (const tKeyCase& key : layout.keys) {
            EXPECT_EQ(layoutValue(key.virtualKey), key.layoutValue) << layout.layout << " key " << key.virtualKey;
            EXPECT_EQ(physicalValue(key.virtualKey), key.physicalValue) << layout.layout << " key " << key.virtualKey;
        }
    }
}

TEST_F(KeyboardLayoutTest, KeysTranslateWithShiftOptionAndDeadKeys)
{
    useLayout("fr", 12, u'a');
    constexpr UInt32 kShift = kUCModifierShift, kOption = kUCModifierOption, kCaps = kUCModifierAlphaLock;
    const struct {
        unsigned virtualKey;
        UInt32 modifiers;
        std::u16string expected;
    } cases[] = {
        {18, 0, u"&"},      {18, kShift, u"1"}, {12, 0, u"a"},
        {12, kShift, u"A"}, {12, kCaps, u"A"},  {14, kOption, u"\u20AC"},  // AltGr-E: the euro sign
        {49, 0, u" "},      {33, 0, u"^"},      {33, kShift, u"\u00A8"},   // dead diaeresis
        {36, 0, u"\r"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plainCharacters(c.virtualKey, c.modifiers), c.expected) << "key " << c.virtualKey;

    UInt32 dead = 0;
    EXPECT_EQ(plainCharacters(33, 0, kUCKeyActionDown, 0, &dead), u"") << "a dead key types nothing by itself";
    EXPECT_NE(dead, 0u);
    EXPECT_EQ(plainCharacters(33, 0, kUCKeyActionDown, kUCKeyTranslateNoDeadKeysMask, &dead), u"^");
    EXPECT_EQ(dead, 0u);
}

TEST_F(KeyboardLayoutTest, KeyTranslationRefusesWhatIsNoKey)
{
    useLayout("us", 12, u'q');
    TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
    ASSERT_NE(source, nullptr);
    auto layout = reinterpret_cast<const UCKeyboardLayout*>(
        CFDataGetBytePtr(static_cast<CFDataRef>(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData))));
    UInt32 dead = 0;
    UniChar characters[2];
    UniCharCount length = 99;
    EXPECT_EQ(UCKeyTranslate(layout, 128, kUCKeyActionDown, 0, 40, 0, &dead, 2, &length, characters), paramErr);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(UCKeyTranslate(nullptr, 12, kUCKeyActionDown, 0, 40, 0, &dead, 2, &length, characters), paramErr);
    EXPECT_EQ(UCKeyTranslate(layout, 12, kUCKeyActionDown, 0, 40, 0, &dead, 0, &length, characters),
              kUCOutputBufferTooSmall);
    EXPECT_EQ(UCKeyTranslate(layout, 12, kUCKeyActionUp, 0, 40, 0, &dead, 2, &length, characters), noErr);
    EXPECT_EQ(length, 0u) << "a key going up types nothing";
    CFStringRef unknown = CFStringCreateWithCString(nullptr, "TISPropertyLocalizedName", kCFStringEncodingUTF8);
    EXPECT_EQ(TISGetInputSourceProperty(source, unknown), nullptr);
    CFRelease(unknown);
    CFRelease(source);
}

}  // namespace
}  // namespace QV::UIA
