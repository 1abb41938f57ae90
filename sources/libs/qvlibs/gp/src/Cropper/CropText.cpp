#include "Cropper/CropText.h"

#include "GP/CodePointWalk.h"

namespace QV::GP::DETAIL {

std::size_t charLength(const std::string& text, std::size_t pos)
{
    const char* p = text.data() + pos;
    const char* const start = p;
    nextCodePoint(p, text.data() + text.size());
    return static_cast<std::size_t>(p - start);
}

std::size_t floorToChar(const std::string& text, std::size_t pos)
{
    if (pos >= text.size())
        return text.size();
    // The character holding `pos` starts at most three bytes before it. A walk begun there meets
    // the walk from the text's start at that character: the bytes before it are continuation bytes
    // (single characters to the walk) or the same starts the walk from the beginning sees.
    std::size_t walk = pos >= 3 ? pos - 3 : 0;
    while (walk + charLength(text, walk) <= pos)
        walk += charLength(text, walk);
    return walk;
}

std::size_t previousChar(const std::string& text, std::size_t pos) { return floorToChar(text, pos - 1); }

std::size_t countChars(const std::string& text)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += charLength(text, at))
        ++count;
    return count;
}

std::size_t bytesOfChars(const std::string& text, std::size_t n)
{
    std::size_t at = 0;
    for (; n > 0 && at < text.size(); --n)
        at += charLength(text, at);
    return at;
}

std::size_t CropMeasure::fittingLength(const std::string& text, int width) const
{
    const int length = m_fittingLength(text.c_str(), width);
    if (length <= 0)
        return 0;
    return floorToChar(text, static_cast<std::size_t>(length));
}

}  // namespace QV::GP::DETAIL
