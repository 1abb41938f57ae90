// Measures for the string cropper's tests: every character one pixel wide (fitting lengths always
// at a character boundary), or every byte one pixel wide (fitting lengths that land inside
// multi-byte characters).
#pragma once

#include "GP/StringCropper.h"

#include <cstring>
#include <string>

namespace QV::TEST {

// Characters as the cropper counts them: a lead byte and its continuation bytes (valid input).
inline int charCount(const char* text)
{
    int count = 0;
    for (const char* p = text; *p; ++p) {
        if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

struct tMeasure {
    const char* name;
    GP::StringCropper::TextWidth width;
    GP::StringCropper::FittingLength fitting;
};

inline tMeasure perCharacter()
{
    return {"per character", [](const char* text) { return charCount(text); },
            [](const char* text, int width) {
                // The bytes of the first `width` characters.
                int bytes = 0, chars = 0;
                for (; text[bytes]; ++bytes) {
                    if ((static_cast<unsigned char>(text[bytes]) & 0xC0) != 0x80 && chars++ >= width)
                        break;
                }
                return bytes;
            }};
}

inline tMeasure perByte()
{
    return {"per byte", [](const char* text) { return static_cast<int>(std::strlen(text)); },
            [](const char* text, int width) {
                const int length = static_cast<int>(std::strlen(text));
                return width < 0 ? 0 : (width < length ? width : length);
            }};
}

}  // namespace QV::TEST
