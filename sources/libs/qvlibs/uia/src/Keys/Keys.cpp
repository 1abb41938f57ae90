#include "Keys/Keys.h"

#include "GP/StringUtil.h"
#include "UIA/KeyCodes.h"

#include <Carbon/Carbon.h>

#include <algorithm>
#include <iterator>

namespace QV::UIA::DETAIL {

uint32_t Keys::s_VKeyToUIA[256];
uint32_t Keys::s_VKeyToUIAScan[256];
bool Keys::s_bInit = false;

namespace {

struct tKeyEntry {
    uint8_t virtualKey;
    uint32_t value;
};

// Keys whose value does not depend on the layout: named keys, function keys, the digits of the top
// row and the keypad. Keypad Decimal answers ',' as the decimal separator of the keypad, and Clear
// has no keypad flag.
constexpr tKeyEntry kFixedKeys[] = {
    {53, eKeyEscape},
    {51, eKeyBackspace},
    {48, eKeyTab},
    {36, eKeyReturn},
    {117, eKeyDelete},
    {115, eKeyHome},
    {119, eKeyEnd},
    {116, eKeyPageUp},
    {121, eKeyPageDown},
    {126, eKeyArrowUp},
    {125, eKeyArrowDown},
    {123, eKeyArrowLeft},
    {124, eKeyArrowRight},
    {71, eKeyClear},
    {122, eKeyF1},
    {120, eKeyF1 + 1},
    {99, eKeyF1 + 2},
    {118, eKeyF1 + 3},
    {96, eKeyF1 + 4},
    {97, eKeyF1 + 5},
    {98, eKeyF1 + 6},
    {100, eKeyF1 + 7},
    {101, eKeyF1 + 8},
    {109, eKeyF1 + 9},
    {103, eKeyF1 + 10},
    {111, eKeyF12},
    {18, '1'},
    {19, '2'},
    {20, '3'},
    {21, '4'},
    {23, '5'},
    {22, '6'},
    {26, '7'},
    {28, '8'},
    {25, '9'},
    {29, '0'},
    {82, eKeyFlagKeypad + '0'},
    {83, eKeyFlagKeypad + '1'},
    {84, eKeyFlagKeypad + '2'},
    {85, eKeyFlagKeypad + '3'},
    {86, eKeyFlagKeypad + '4'},
    {87, eKeyFlagKeypad + '5'},
    {88, eKeyFlagKeypad + '6'},
    {89, eKeyFlagKeypad + '7'},
    {91, eKeyFlagKeypad + '8'},
    {92, eKeyFlagKeypad + '9'},
    {65, eKeyFlagKeypad + ','},
    {67, eKeyFlagKeypad + '*'},
    {69, eKeyFlagKeypad + '+'},
    {75, eKeyFlagKeypad + '/'},
    {76, eKeyFlagKeypad + eKeyReturn},
    {78, eKeyFlagKeypad + '-'},
    {81, eKeyFlagKeypad + '='},
};

// The character keys by their position on an ANSI keyboard. Key 50, the second key of the ISO pair,
// has no ANSI position.
constexpr tKeyEntry kAnsiPositions[] = {
    {0, 'A'},  {1, 'S'},   {2, 'D'},  {3, 'F'},  {4, 'H'},  {5, 'G'},  {6, 'Z'},  {7, 'X'},  {8, 'C'},  {9, 'V'},
    {10, '~'}, {11, 'B'},  {12, 'Q'}, {13, 'W'}, {14, 'E'}, {15, 'R'}, {16, 'Y'}, {17, 'T'}, {24, '='}, {27, '-'},
    {30, ']'}, {31, 'O'},  {32, 'U'}, {33, '['}, {34, 'I'}, {35, 'P'}, {37, 'L'}, {38, 'J'}, {39, '"'}, {40, 'K'},
    {41, ';'}, {42, '\\'}, {43, ','}, {44, '/'}, {45, 'N'}, {46, 'M'}, {47, '.'}, {49, ' '},
};

}  // namespace

bool Keys::init()
{
    if (!s_bInit) {
        buildTables();
        s_bInit = true;
    }
    return true;
}

void Keys::buildTables()
{
    std::fill(std::begin(s_VKeyToUIA), std::end(s_VKeyToUIA), 0u);
    std::fill(std::begin(s_VKeyToUIAScan), std::end(s_VKeyToUIAScan), 0u);
    for (const tKeyEntry& entry : kFixedKeys) {
        s_VKeyToUIA[entry.virtualKey] = entry.value;
        s_VKeyToUIAScan[entry.virtualKey] = entry.value;
    }
    for (const tKeyEntry& entry : kAnsiPositions)
        s_VKeyToUIAScan[entry.virtualKey] = entry.value;
    readKeyboardLayout();
}

// Every key without a fixed value that types exactly one printable character, unmodified and with
// dead keys giving their own character, gets that character in upper case.
void Keys::readKeyboardLayout()
{
    TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
    if (!source)
        return;
    auto layoutData = static_cast<CFDataRef>(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData));
    if (layoutData) {
        auto layout = reinterpret_cast<const UCKeyboardLayout*>(CFDataGetBytePtr(layoutData));
        for (UInt16 virtualKey = 0; virtualKey < 128; ++virtualKey) {
            if (s_VKeyToUIA[virtualKey] != 0)
                continue;
            UInt32 deadKeyState = 0;
            UniChar characters[10];
            UniCharCount length = 0;
            const OSStatus status =
                UCKeyTranslate(layout, virtualKey, kUCKeyActionDisplay, 0, LMGetKbdType(),
                               kUCKeyTranslateNoDeadKeysMask, &deadKeyState, 10, &length, characters);
            if (status != noErr || length != 1 || characters[0] < 0x20)
                continue;
            // One UTF-16 unit: its upper-case form when that is one unit too, as a capitalised
            // one-character string keeps its length.
            const char32_t upper = GP::DETAIL::toUpperCodePoint(characters[0]);
            s_VKeyToUIA[virtualKey] = upper <= 0xFFFF ? upper : characters[0];
        }
    }
    CFRelease(source);
}

uint32_t Keys::macOSToUIA(unsigned virtualKey, uint32_t& layoutIndependentKey)
{
    layoutIndependentKey = s_VKeyToUIAScan[virtualKey];
    return s_VKeyToUIA[virtualKey];
}

}  // namespace QV::UIA::DETAIL
