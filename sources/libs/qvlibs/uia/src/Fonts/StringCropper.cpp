#include "UIA/StringCropper.h"

#include "UIA/Font.h"

namespace QV::UIA {

std::string StringCropper::cropString(GP::CharSequence<char> const& text, Font const& font, int maxWidth) const
{
    return m_cropper.cropString(
        text, maxWidth, [&font](char const* s) { return font.getStringWidth(s, -1); },
        [&font](char const* s, int width) { return font.getCharPos(s, width, Font::eRoundBefore); });
}

}  // namespace QV::UIA
