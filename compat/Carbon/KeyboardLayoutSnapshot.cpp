#include "Carbon/KeyboardLayoutSnapshot.h"

#include "Carbon/VirtualKeyCodes.h"

#include <X11/XKBlib.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <cstring>

namespace qvcompat::carbon {

namespace {

struct tDeadKey {
    unsigned keyval;
    char32_t character;
};

// The dead keys of the common European layouts and the character each types on its own.
constexpr tDeadKey kDeadKeys[] = {
    {GDK_KEY_dead_grave, U'`'},          {GDK_KEY_dead_acute, U'\u00B4'},
    {GDK_KEY_dead_circumflex, U'^'},     {GDK_KEY_dead_tilde, U'~'},
    {GDK_KEY_dead_macron, U'\u00AF'},    {GDK_KEY_dead_breve, U'\u02D8'},
    {GDK_KEY_dead_abovedot, U'\u02D9'},  {GDK_KEY_dead_diaeresis, U'\u00A8'},
    {GDK_KEY_dead_abovering, U'\u02DA'}, {GDK_KEY_dead_doubleacute, U'\u02DD'},
    {GDK_KEY_dead_caron, U'\u02C7'},     {GDK_KEY_dead_cedilla, U'\u00B8'},
    {GDK_KEY_dead_ogonek, U'\u02DB'},
};

// The XKB group the keyboard is in now; 0 when the server does not say.
unsigned activeGroup(GdkDisplay* display)
{
    if (!GDK_IS_X11_DISPLAY(display))
        return 0;
    XkbStateRec state;
    if (XkbGetState(gdk_x11_display_get_xdisplay(display), XkbUseCoreKbd, &state) != Success)
        return 0;
    return state.group;
}

}  // namespace

char32_t deadKeyCharacter(unsigned keyval)
{
    for (const tDeadKey& dead : kDeadKeys)
        if (dead.keyval == keyval)
            return dead.character;
    return 0;
}

bool snapshotKeyboardLayout(UCKeyboardLayout& layout, unsigned& group)
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return false;
    GdkKeymap* keymap = gdk_keymap_get_for_display(display);
    group = activeGroup(display);
    std::memset(&layout, 0, sizeof layout);
    layout.magic = UCKeyboardLayout::kMagic;
    layout.keyCount = UCKeyboardLayout::kKeyCount;
    for (unsigned virtualKey = 0; virtualKey < UCKeyboardLayout::kKeyCount; ++virtualKey) {
        const unsigned xKeyCode = xKeyCodeFromVirtualKey(virtualKey);
        GdkKeymapKey* keys = nullptr;
        guint* keyvals = nullptr;
        gint count = 0;
        if (xKeyCode == 0 || !gdk_keymap_get_entries_for_keycode(keymap, xKeyCode, &keys, &keyvals, &count))
            continue;
        UCKeyboardLayout::tKey& key = layout.keys[virtualKey];
        for (gint i = 0; i < count; ++i) {
            if (keys[i].group != static_cast<gint>(group) || keys[i].level < 0 || keys[i].level > 3)
                continue;
            const char32_t dead = deadKeyCharacter(keyvals[i]);
            key.character[keys[i].level] = dead ? dead : gdk_keyval_to_unicode(keyvals[i]);
            key.dead[keys[i].level] = dead != 0;
        }
        g_free(keys);
        g_free(keyvals);
    }
    return true;
}

}  // namespace qvcompat::carbon
