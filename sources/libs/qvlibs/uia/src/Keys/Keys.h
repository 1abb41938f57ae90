// The tables that turn the platform's virtual key codes (0-255) into the UI layer's key values
// (KeyCodes.h): one with the value a key types with the current keyboard layout, one with the value
// of the key's physical position on an ANSI keyboard, whatever the layout. Zero where a key has no
// value. Both are built once at start-up; a later change of the layout is not followed.
//
// Main thread only.
#pragma once

#include <cstdint>

namespace QV::UIA::DETAIL {

class Keys {
public:
    // Builds the tables unless they are built already; true.
    static bool init();
    // Builds both tables again: the fixed entries, the layout-independent entries, then the keys that
    // the current keyboard layout gives a printable character. init calls it once.
    static void buildTables();
    // The layout's value of virtualKey, with the layout-independent one stored in
    // layoutIndependentKey. The caller keeps virtualKey below 256.
    static uint32_t macOSToUIA(unsigned virtualKey, uint32_t& layoutIndependentKey);

    static uint32_t s_VKeyToUIA[256];
    static uint32_t s_VKeyToUIAScan[256];
    static bool s_bInit;

private:
    static void readKeyboardLayout();
};

}  // namespace QV::UIA::DETAIL
