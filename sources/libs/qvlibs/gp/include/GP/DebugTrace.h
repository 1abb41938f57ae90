// Grouped diagnostic lines on standard error (or the trace file s_fErr): "<group>: <text>\n".
//
// Groups are dot-separated paths from the general to the particular ("net.usb"). Which groups are
// written depends on the mode and the set of listed groups:
//   - null, empty and '+'-prefixed groups are always written;
//   - mode eModeListed: a group is written only when listed (a leading '-' is ignored);
//   - mode eModeUnlessMarked: a group is written unless it carries a leading '-' and is not listed;
//   - mode eModeOff (the mode at start): nothing else is written.
// A listed name covers itself and its sub-groups: "dev" lists "dev" and "dev.x", not "devx".
#pragma once

#include "GP/CharSequence.h"

#include <cstdio>
#include <string>

namespace QV::GP {

// The trace file: when set, trace lines go there instead of standard error. Null at start.
extern std::FILE* s_fErr;

class DebugTrace {
public:
    enum eMode : int {
        eModeOff = 0,
        eModeListed = 1,
        eModeUnlessMarked = 2,
    };

    static bool isGroupEnabled(const char* group);
    // Writes "<group>: <text>\n" when the group is enabled, its one leading '+' or '-' dropped;
    // "<text>\n" for a null or empty group. Exactly the text's length is written.
    static void printLine(const char* group, const CharSequence<char>& text);

    static void setMode(int mode);
    static int getMode();
    // Lists a group name (empty names list nothing).
    static void addGroup(const std::string& group);
    // Empties the list.
    static void clearGroupFilter();
};

}  // namespace QV::GP
