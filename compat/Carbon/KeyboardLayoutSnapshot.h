// The X server's keyboard mapping, read through GDK's keymap, in the layout form of UCKeyTranslate.
#pragma once

#include "Carbon/UnicodeUtilities.h"

namespace qvcompat::carbon {

// Fills `layout` from the default display's keymap in its active group (stored in `group`). False
// without a display. Main thread only (GDK).
bool snapshotKeyboardLayout(UCKeyboardLayout& layout, unsigned& group);

// The spacing character of a dead key's keysym (dead_circumflex -> '^'), 0 for other keysyms.
char32_t deadKeyCharacter(unsigned keyval);

}  // namespace qvcompat::carbon
