#include "UIA/StringCropper.h"

#include "UIA/Font.h"

namespace QV::UIA {

std::string StringCropper::cropString(const GP::CharSequence<char>& text, const Font& font, int maxWidth) const
{
    return m_cropper.cropString(
        text, maxWidth, [&font](const char* s) { return font.getStringWidth(s, -1); },
        [&font](const char* s, int width) { return font.getCharPos(s, width, Font::eRoundBefore); });
}

}  // namespace QV::UIA
