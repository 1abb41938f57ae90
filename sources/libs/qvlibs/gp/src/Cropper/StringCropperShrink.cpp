// The abbreviating crops: dropping characters (type 7), word by word (8) and by the abbreviation
// map (9). They keep only ASCII letters and digits once they get to work, so whatever they cut
// before the final cut is whole characters.
#include "GP/StringCropper.h"

#include "Cropper/CropText.h"
#include "GP/StringUtil.h"

#include <algorithm>
#include <vector>

namespace QV::GP {

using DETAIL::CropMeasure;

namespace {

bool isAsciiAlphanumeric(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void keepAlphanumeric(std::string& text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return !isAsciiAlphanumeric(c); }), text.end());
}

// Collapses each run of equal adjacent characters to one.
void collapseRuns(std::string& text)
{
    std::string result;
    std::size_t previousStart = std::string::npos, previousLength = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = DETAIL::charLength(text, at);
        const bool repeated = previousStart != std::string::npos && length == previousLength &&
                              text.compare(previousStart, previousLength, text, at, length) == 0;
        if (!repeated)
            result.append(text, at, length);
        previousStart = at;
        previousLength = length;
        at += length;
    }
    text = result;
}

// Removes every occurrence of `c` after the first character.
void removeAfterFirst(std::string& text, char c)
{
    if (text.size() > 1)
        text.erase(std::remove(text.begin() + 1, text.end(), c), text.end());
}

void removeVowelsAfterFirst(std::string& text)
{
    for (const char vowel : std::string("eaiou"))
        removeAfterFirst(text, vowel);
}

// The text cut after the caller's fitting length, at a character boundary.
std::string cutToFit(const std::string& text, const CropMeasure& measure)
{
    return text.substr(0, measure.fittingLength(text, measure.maxWidth()));
}

std::string joined(const std::vector<std::string>& words)
{
    std::string result;
    for (const std::string& word : words)
        result += word;
    return result;
}

}  // namespace

std::string StringCropper::cropStringShrink(const CharSequence<char>& textIn, const TextWidth& textWidth,
                                            const FittingLength& fittingLength, int maxWidth) const
{
    if (maxWidth < 1)
        return std::string();
    const CropMeasure measure(textWidth, fittingLength, maxWidth);
    std::string text = textIn.str();
    if (measure.fits(text))
        return text;

    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    if (measure.fits(text))
        return text;
    keepAlphanumeric(text);
    if (measure.fits(text))
        return text;
    collapseRuns(text);
    if (measure.fits(text))
        return text;
    for (const char* digraph : {"ei", "ie", "ou", "ue"}) {
        for (std::size_t at = text.find(digraph, 1); at != std::string::npos; at = text.find(digraph, 1))
            text.erase(at, 2);
        if (measure.fits(text))
            return text;
    }
    for (const char vowel : std::string("eaiou")) {
        removeAfterFirst(text, vowel);
        if (measure.fits(text))
            return text;
    }
    return cutToFit(text, measure);
}

std::string StringCropper::cropStringShrink2(const CharSequence<char>& textIn, const TextWidth& textWidth,
                                             const FittingLength& fittingLength, int maxWidth) const
{
    const CropMeasure measure(textWidth, fittingLength, std::max(0, maxWidth));
    const std::string text = textIn.str();
    if (measure.fits(text))
        return text;

    std::vector<std::string> words;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        std::string word = text.substr(at, end - at);
        keepAlphanumeric(word);
        if (!word.empty()) {
            if (word[0] >= 'a' && word[0] <= 'z')
                word[0] = static_cast<char>(word[0] - 'a' + 'A');
            words.push_back(word);
        }
        at = end + 1;
    }
    std::string result = joined(words);
    if (measure.fits(result))
        return result;

    for (std::string& word : words)
        collapseRuns(word);
    result = joined(words);
    if (measure.fits(result))
        return result;

    for (std::string& word : words)
        removeVowelsAfterFirst(word);
    result = joined(words);
    if (measure.fits(result))
        return result;

    for (const std::size_t limit : {5u, 4u, 3u, 2u}) {
        for (std::string& word : words) {
            if (std::none_of(word.begin(), word.end(), isDigit) && word.size() > limit)
                word.resize(limit);
        }
        result = joined(words);
        if (measure.fits(result))
            return result;
    }
    return cutToFit(result, measure);
}

std::string StringCropper::cropStringShrink3(const CharSequence<char>& textIn, const TextWidth& textWidth,
                                             const FittingLength& fittingLength, int maxWidth) const
{
    maxWidth = std::max(0, maxWidth);
    const CropMeasure measure(textWidth, fittingLength, maxWidth);
    std::string text = textIn.str();
    if (measure.fits(text))
        return text;

    for (const auto& [full, abbreviation] : m_abbreviations) {
        if (full.empty())
            continue;  // it would match everywhere and never end
        std::size_t at = 0;
        while ((at = StringUtil::findPosOfSubStringNoCase(text, full, at)) != std::string::npos) {
            // Matched ignoring case, the text's bytes may differ in number from the entry's.
            const std::size_t matched = StringUtil::countMatchingCharacters(text, full, at, false);
            text.replace(at, matched, abbreviation);
            if (measure.fits(text))
                return text;
            at += abbreviation.size();
        }
    }
    return cropStringShrink2(text, textWidth, fittingLength, maxWidth);
}

}  // namespace QV::GP
