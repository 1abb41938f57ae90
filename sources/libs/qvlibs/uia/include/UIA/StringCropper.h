// Fits a text into a width with a font's measures: the platform core's cropper, measuring with the
// font's string width and its character position (rounded to before the crossing glyph).
#pragma once

#include "GP/CharSequence.h"
#include "GP/StringCropper.h"

#include <string>

namespace QV::UIA {

class Font;

class StringCropper {
public:
    // Crop type 0 (the text unchanged) until the owner sets another on cropper().
    StringCropper() = default;

    std::string cropString(const GP::CharSequence<char>& text, const Font& font, int maxWidth) const;

    GP::StringCropper& cropper() { return m_cropper; }
    const GP::StringCropper& cropper() const { return m_cropper; }

private:
    GP::StringCropper m_cropper;
};

}  // namespace QV::UIA
