// Carbon stand-in: the keyboard part of the platform's Carbon (HIToolbox text input sources and the
// Unicode key translation), over GDK's view of the X server's keymap, and the Pasteboard Manager over
// GTK's clipboard; see each header.
#pragma once

#include "Carbon/Pasteboard.h"
#include "Carbon/TextInputSources.h"
#include "Carbon/UnicodeUtilities.h"
