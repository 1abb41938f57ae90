#include "Carbon/VirtualKeyCodes.h"

#include <array>

namespace qvcompat::carbon {

namespace {

struct tKeyPair {
    uint8_t xKeyCode;
    uint8_t virtualKey;
};

// X key code (evdev + 8) -> virtual key code, in X order.
constexpr tKeyPair kKeys[] = {
    {9, 53},     // Escape
    {10, 18},    // 1
    {11, 19},    // 2
    {12, 20},    // 3
    {13, 21},    // 4
    {14, 23},    // 5
    {15, 22},    // 6
    {16, 26},    // 7
    {17, 28},    // 8
    {18, 25},    // 9
    {19, 29},    // 0
    {20, 27},    // minus
    {21, 24},    // equal
    {22, 51},    // BackSpace (the platform's Delete)
    {23, 48},    // Tab
    {24, 12},    // Q
    {25, 13},    // W
    {26, 14},    // E
    {27, 15},    // R
    {28, 17},    // T
    {29, 16},    // Y
    {30, 32},    // U
    {31, 34},    // I
    {32, 31},    // O
    {33, 35},    // P
    {34, 33},    // bracketleft
    {35, 30},    // bracketright
    {36, 36},    // Return
    {37, 55},    // Control_L: Command
    {38, 0},     // A
    {39, 1},     // S
    {40, 2},     // D
    {41, 3},     // F
    {42, 5},     // G
    {43, 4},     // H
    {44, 38},    // J
    {45, 40},    // K
    {46, 37},    // L
    {47, 41},    // semicolon
    {48, 39},    // apostrophe
    {49, 10},    // grave, left of 1: first key of the ISO pair
    {50, 56},    // Shift_L
    {51, 42},    // backslash
    {52, 6},     // Z
    {53, 7},     // X
    {54, 8},     // C
    {55, 9},     // V
    {56, 11},    // B
    {57, 45},    // N
    {58, 46},    // M
    {59, 43},    // comma
    {60, 47},    // period
    {61, 44},    // slash
    {62, 60},    // Shift_R
    {63, 67},    // KP_Multiply
    {64, 58},    // Alt_L: Option
    {65, 49},    // space
    {66, 57},    // Caps_Lock
    {67, 122},   // F1
    {68, 120},   // F2
    {69, 99},    // F3
    {70, 118},   // F4
    {71, 96},    // F5
    {72, 97},    // F6
    {73, 98},    // F7
    {74, 100},   // F8
    {75, 101},   // F9
    {76, 109},   // F10
    {77, 71},    // Num_Lock: keypad Clear
    {78, 107},   // Scroll_Lock: F14
    {79, 89},    // KP_7
    {80, 91},    // KP_8
    {81, 92},    // KP_9
    {82, 78},    // KP_Subtract
    {83, 86},    // KP_4
    {84, 87},    // KP_5
    {85, 88},    // KP_6
    {86, 69},    // KP_Add
    {87, 83},    // KP_1
    {88, 84},    // KP_2
    {89, 85},    // KP_3
    {90, 82},    // KP_0
    {91, 65},    // KP_Decimal
    {94, 50},    // less/greater beside Shift_L: second key of the ISO pair
    {95, 103},   // F11
    {96, 111},   // F12
    {97, 94},    // JIS Ro
    {100, 104},  // Henkan: JIS Kana
    {102, 102},  // Muhenkan: JIS Eisu
    {104, 76},   // KP_Enter
    {105, 54},   // Control_R: right Command
    {106, 75},   // KP_Divide
    {107, 105},  // Print: F13
    {108, 61},   // Alt_R / AltGr: right Option
    {110, 115},  // Home
    {111, 126},  // Up
    {112, 116},  // Prior (Page Up)
    {113, 123},  // Left
    {114, 124},  // Right
    {115, 119},  // End
    {116, 125},  // Down
    {117, 121},  // Next (Page Down)
    {118, 114},  // Insert: Help
    {119, 117},  // Delete (forward)
    {121, 74},   // mute
    {122, 73},   // volume down
    {123, 72},   // volume up
    {125, 81},   // KP_Equal
    {127, 113},  // Pause: F15
    {129, 95},   // KP_Separator: JIS keypad comma
    {132, 93},   // JIS Yen
    {133, 59},   // Super_L: Control
    {134, 62},   // Super_R: right Control
    {135, 110},  // Menu: context menu key
    {191, 105},  // F13
    {192, 107},  // F14
    {193, 113},  // F15
    {194, 106},  // F16
    {195, 64},   // F17
    {196, 79},   // F18
    {197, 80},   // F19
    {198, 90},   // F20
};

struct tTables {
    std::array<uint16_t, 256> fromX;
    std::array<uint8_t, 128> toX;
};

const tTables& tables()
{
    static const tTables s_tables = [] {
        tTables made{};
        made.fromX.fill(kNoVirtualKey);
        for (const tKeyPair& pair : kKeys) {
            made.fromX[pair.xKeyCode] = pair.virtualKey;
            // The first X key of a virtual key is its home (Print and F13 share 105).
            if (made.toX[pair.virtualKey] == 0)
                made.toX[pair.virtualKey] = pair.xKeyCode;
        }
        return made;
    }();
    return s_tables;
}

}  // namespace

uint16_t virtualKeyFromXKeyCode(unsigned xKeyCode) { return xKeyCode < 256 ? tables().fromX[xKeyCode] : kNoVirtualKey; }

unsigned xKeyCodeFromVirtualKey(unsigned virtualKey) { return virtualKey < 128 ? tables().toX[virtualKey] : 0; }

}  // namespace qvcompat::carbon
