// Key events as GDK delivers them, made into the stand-in's NSEvents and then into the UI layer's
// key values, with the layouts of a private X server.
#include "COCOA/KeyEventConversion.h"
#include "Keys/Keys.h"
#include "UIA/InputState.h"
#include "UIA/KeyCodes.h"

#include "QVTest/MainLoop.h"
#include "QVTest/RunCommand.h"
#include "QVTest/XServerTest.h"

#include <AppKit/AppKit.h>
#include <AppKit/gtk/GtkMainThread.h>
#include <AppKit/gtk/EventTranslation.h>
#include <AppKit/standin/Windowing.h>

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <string>

namespace QV::UIA {
namespace {

using DETAIL::Keys;

class GdkKeyEventTest : public QV::TEST::XServerTest<> {
protected:
    static void SetUpTestSuite()
    {
        if (!server().makeDefault())
            return;
        qvcompat::appkit::load();
        s_open = qvcompat::appkit::ensureGtk();
    }

    void SetUp() override
    {
        XServerTest::SetUp();
        if (!IsSkipped() && !s_open)
            GTEST_SKIP() << "no display connection for GTK";
    }

    static GdkKeymap* keymap() { return gdk_keymap_get_for_display(gdk_display_get_default()); }

    // Switches the layout and waits until GDK has it: until X key 24 (Q on US) gives `expected`.
    static void useLayout(const char* layout, guint expected)
    {
        const auto run = QV::TEST::runCommand("setxkbmap -display " + server().display() + " -model pc105 " + layout);
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_TRUE(QV::TEST::runMainLoopUntil([&] {
            guint keyval = 0;
            gdk_keymap_translate_keyboard_state(keymap(), 24, GdkModifierType(0), 0, &keyval, nullptr, nullptr,
                                                nullptr);
            return keyval == expected;
        })) << "the layout "
            << layout << " did not arrive";
        Keys::buildTables();
    }

    // A press of the X key with the modifier state, as GDK would deliver it, through the stand-in's
    // NSEvent into a key value.
    static uint32_t press(unsigned xKeyCode, unsigned state, uint32_t& physical)
    {
        GdkEventKey event{};
        event.type = GDK_KEY_PRESS;
        event.hardware_keycode = guint16(xKeyCode);
        event.state = state;
        gdk_keymap_translate_keyboard_state(keymap(), xKeyCode, GdkModifierType(state), 0, &event.keyval, nullptr,
                                            nullptr, nullptr);
        qvcompat::appkit::KeyRepeatTracker keys;
        const auto record = qvcompat::appkit::keyEvent(event, qvcompat::appkit::unshiftedKeyvalFor(event), keys);
        // The event's texts are autoreleased, as on the platform, where the event loop drains them.
        void* pool = objc_autoreleasePoolPush();
        NSEvent* nsEvent = qvcompat::appkit::newEvent(record, nil);
        const uint32_t value = COCOA::convertKeyEventToUIA(nsEvent, &physical);
        objc_release(reinterpret_cast<id>(nsEvent));
        objc_autoreleasePoolPop(pool);
        return value;
    }

    static bool s_open;
};

bool GdkKeyEventTest::s_open = false;

TEST_F(GdkKeyEventTest, KeysOfAPCKeyboardBecomeKeyValues)
{
    struct tCase {
        const char* layout;
        guint qKeyval;  // what X key 24 types in that layout
        unsigned xKeyCode;
        unsigned state;
        uint32_t expected;
        uint32_t expectedPhysical;
    };
    const tCase cases[] = {
        {"us", GDK_KEY_q, 24, GDK_CONTROL_MASK, 'Q' | eModifierCommand, 'Q'},  // Ctrl+Q is Command-Q
        {"us", GDK_KEY_q, 38, GDK_MOD1_MASK, 'A' | eModifierOption, 'A'},      // Alt is Option
        {"us", GDK_KEY_q, 38, GDK_SUPER_MASK | GDK_MOD4_MASK, 'A' | eModifierControl, 'A'},
        {"us", GDK_KEY_q, 23, GDK_SHIFT_MASK, eKeyTab | eModifierShift, eKeyTab},
        {"us", GDK_KEY_q, 22, 0, eKeyBackspace, eKeyBackspace},
        {"us", GDK_KEY_q, 36, 0, eKeyReturn, eKeyReturn},
        {"us", GDK_KEY_q, 9, 0, eKeyEscape, eKeyEscape},
        {"us", GDK_KEY_q, 111, 0, eKeyArrowUp, eKeyArrowUp},
        {"us", GDK_KEY_q, 119, 0, eKeyDelete, eKeyDelete},
        {"us", GDK_KEY_q, 71, 0, eKeyF1 + 4, eKeyF1 + 4},
        {"us", GDK_KEY_q, 104, 0, eKeyFlagKeypad | eKeyReturn, eKeyFlagKeypad | eKeyReturn},
        {"us", GDK_KEY_q, 10, GDK_SHIFT_MASK, '1' | eModifierShift, '1'},
        // The keypad types its digits with Num Lock (Mod2) on and off, as the platform's does.
        {"us", GDK_KEY_q, 84, 0, eKeyFlagKeypad | '5', eKeyFlagKeypad | '5'},
        {"us", GDK_KEY_q, 84, GDK_MOD2_MASK, eKeyFlagKeypad | '5', eKeyFlagKeypad | '5'},
        {"us", GDK_KEY_q, 80, 0, eKeyFlagKeypad | '8', eKeyFlagKeypad | '8'},
        {"us", GDK_KEY_q, 91, GDK_MOD2_MASK, eKeyFlagKeypad | ',', eKeyFlagKeypad | ','},
        {"fr", GDK_KEY_a, 38, GDK_CONTROL_MASK, 'Q' | eModifierCommand, 'A'},  // AZERTY's Q key
        {"fr", GDK_KEY_a, 24, GDK_CONTROL_MASK, 'A' | eModifierCommand, 'Q'},
        {"fr", GDK_KEY_a, 10, 0, '1', '1'},  // '&' there
    };
    for (const tCase& c : cases) {
        useLayout(c.layout, c.qKeyval);
        uint32_t physical = 0;
        EXPECT_EQ(press(c.xKeyCode, c.state, physical), c.expected) << c.layout << " X key " << c.xKeyCode;
        EXPECT_EQ(physical, c.expectedPhysical) << c.layout << " X key " << c.xKeyCode;
    }
}

// The modifier keys held now, as the X server has them: Ctrl is Command, Alt Option, Super Control.
TEST_F(GdkKeyEventTest, TheModifierKeysHeldNowComeFromTheXServer)
{
    useLayout("us", GDK_KEY_q);
    const struct {
        const char* keys;  // xdotool's names
        uint32_t bits;
    } cases[] = {
        {"Control_L", eModifierCommand},
        {"Alt_L", eModifierOption},
        {"Shift_L", eModifierShift},
        {"Super_L", eModifierControl},
        {"Control_L+Shift_L", eModifierCommand | eModifierShift},
    };
    const std::string xdotool = "DISPLAY=" + server().display() + " xdotool ";
    for (const auto& c : cases) {
        const auto down = QV::TEST::runCommand(xdotool + "keydown " + c.keys);
        ASSERT_EQ(down.status, 0) << down.output;
        EXPECT_TRUE(QV::TEST::runMainLoopUntil([&] { return InputState::getSyncModifierKeys() == c.bits; }))
            << c.keys << ": 0x" << std::hex << InputState::getSyncModifierKeys();
        const auto up = QV::TEST::runCommand(xdotool + "keyup " + c.keys);
        ASSERT_EQ(up.status, 0) << up.output;
        EXPECT_TRUE(QV::TEST::runMainLoopUntil([&] { return InputState::getSyncModifierKeys() == 0; })) << c.keys;
    }
}

}  // namespace
}  // namespace QV::UIA
