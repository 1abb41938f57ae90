// The string cropper's tools: character boundaries in UTF-8 text and the caller's measures, held
// to sane answers.
#pragma once

#include "GP/StringCropper.h"

#include <cstddef>
#include <string>

namespace QV::GP::DETAIL {

// The byte length of the character at `pos` (pos < text.size()): its sequence's length, or 1 for a
// byte that does not begin a valid sequence.
std::size_t charLength(const std::string& text, std::size_t pos);

// The start of the character that holds byte `pos`; text.size() for a position at or past the end.
std::size_t floorToChar(const std::string& text, std::size_t pos);

// The start of the last character before `pos` (pos > 0 and at a character boundary).
std::size_t previousChar(const std::string& text, std::size_t pos);

std::size_t countChars(const std::string& text);

// The byte position after the first `n` characters of the text (its size when it has fewer).
std::size_t bytesOfChars(const std::string& text, std::size_t n);

// The caller's two measures and the width to reach, for one crop.
class CropMeasure {
public:
    CropMeasure(const StringCropper::TextWidth& textWidth, const StringCropper::FittingLength& fittingLength,
                int maxWidth)
        : m_textWidth(textWidth), m_fittingLength(fittingLength), m_maxWidth(maxWidth)
    {}

    int maxWidth() const { return m_maxWidth; }
    int width(const std::string& text) const { return m_textWidth(text.c_str()); }
    bool fits(const std::string& text) const { return width(text) <= m_maxWidth; }
    // The caller's fitting length for `width`, within the text and at a character boundary.
    std::size_t fittingLength(const std::string& text, int width) const;

private:
    const StringCropper::TextWidth& m_textWidth;
    const StringCropper::FittingLength& m_fittingLength;
    int m_maxWidth;
};

}  // namespace QV::GP::DETAIL
