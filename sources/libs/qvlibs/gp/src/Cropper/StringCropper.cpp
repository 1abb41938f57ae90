// The string cropper's dispatch and the crops that cut at the ends and in the middle.
#include "GP/StringCropper.h"

#include "Cropper/CropText.h"

#include <algorithm>

namespace QV::GP {

using DETAIL::CropMeasure;

bool StringCropper::AbbreviationCompare::operator()(const std::string& a, const std::string& b) const
{
    if (a.size() != b.size())
        return a.size() > b.size();
    return a < b;
}

std::string StringCropper::cropString(const CharSequence<char>& text, int maxWidth, const TextWidth& textWidth,
                                      const FittingLength& fittingLength) const
{
    switch (m_cropType) {
    case eCropAppend: return cropStringAppend(text, textWidth, fittingLength, maxWidth);
    case eCropPrepend: return cropStringPrepend(text, textWidth, fittingLength, maxWidth);
    case eCropFileName:
    case eCropFileNameSymbolic:
    case eCropFolderName:
    case eCropFolderNameSymbolic: return cropStringFileName(text, textWidth, fittingLength, maxWidth);
    case eCropShrink: return cropStringShrink(text, textWidth, fittingLength, maxWidth);
    case eCropShrink2: return cropStringShrink2(text, textWidth, fittingLength, maxWidth);
    case eCropShrink3: return cropStringShrink3(text, textWidth, fittingLength, maxWidth);
    case eCropMiddle: return cropStringMiddle(text, textWidth, fittingLength, maxWidth);
    case eCropMiddle2: return cropStringMiddle2(text, textWidth, fittingLength, maxWidth);
    default: return text.str();
    }
}

std::string StringCropper::cropStringAppend(const CharSequence<char>& textIn, const TextWidth& textWidth,
                                            const FittingLength& fittingLength, int maxWidth) const
{
    const std::string text = textIn.str();
    const CropMeasure measure(textWidth, fittingLength, maxWidth);
    if (measure.fits(text))
        return text;
    // A pad wider than the space is left out.
    const int padWidth = m_pad.empty() ? 0 : measure.width(m_pad);
    const bool withPad = !m_pad.empty() && padWidth <= maxWidth;
    std::size_t kept = measure.fittingLength(text, withPad ? maxWidth - padWidth : maxWidth);
    if (!withPad)
        return text.substr(0, kept);

    if (kept > 0 && !measure.fits(text.substr(0, kept) + m_pad)) {
        // The estimate was too generous: give back characters until the pad fits behind them.
        do
            kept = DETAIL::previousChar(text, kept);
        while (kept > 0 && !measure.fits(text.substr(0, kept) + m_pad));
        return text.substr(0, kept) + m_pad;
    }
    // The estimate fitted (or was nothing): take further characters while they fit with the pad.
    while (kept < text.size()) {
        const std::size_t next = kept + DETAIL::charLength(text, kept);
        if (!measure.fits(text.substr(0, next) + m_pad))
            break;
        kept = next;
    }
    return text.substr(0, kept) + m_pad;
}

std::string StringCropper::cropStringPrepend(const CharSequence<char>& textIn, const TextWidth& textWidth,
                                             const FittingLength& fittingLength, int maxWidth) const
{
    const std::string text = textIn.str();
    const CropMeasure measure(textWidth, fittingLength, maxWidth);
    const int width = measure.width(text);
    if (width <= maxWidth)
        return text;
    const int padWidth = m_pad.empty() ? 0 : measure.width(m_pad);
    const std::string pad = padWidth <= maxWidth ? m_pad : std::string();
    const int usedByPad = pad.empty() ? 0 : padWidth;
    std::size_t start = measure.fittingLength(text, std::max(0, width - maxWidth - usedByPad));
    // The estimate keeps whole characters, so it may keep one too many: drop leading characters
    // until the rest fits (with the pad in front, when there is one).
    while (start < text.size() && !measure.fits(pad + text.substr(start)))
        start += DETAIL::charLength(text, start);
    return pad + text.substr(start);
}

std::string StringCropper::cropStringMiddle(const CharSequence<char>& textIn, const TextWidth& textWidth,
                                            const FittingLength& fittingLength, int maxWidth) const
{
    const std::string text = textIn.str();
    const CropMeasure measure(textWidth, fittingLength, maxWidth);
    const int width = measure.width(text);
    if (width <= maxWidth)
        return text;
    const int padWidth = m_pad.empty() ? 0 : measure.width(m_pad);
    if (padWidth > maxWidth)
        return cropStringAppend(textIn, textWidth, fittingLength, maxWidth);

    const std::size_t headEnd = measure.fittingLength(text, (maxWidth - padWidth) / 2);
    // The tail never reaches back into the head, whatever the measures answer.
    std::size_t tailStart =
        std::max(headEnd, measure.fittingLength(text, std::max(0, width - (padWidth + maxWidth) / 2)));
    const std::string head = text.substr(0, headEnd) + m_pad;
    std::string candidate = head + text.substr(tailStart);
    while (!measure.fits(candidate) && tailStart < text.size()) {
        tailStart += DETAIL::charLength(text, tailStart);
        candidate = head + text.substr(tailStart);
    }
    return candidate;
}

std::string StringCropper::cropStringMiddle2(const CharSequence<char>& textIn, const TextWidth& textWidth,
                                             const FittingLength& fittingLength, int maxWidth) const
{
    const std::string text = textIn.str();
    maxWidth = std::max(0, maxWidth);
    const CropMeasure measure(textWidth, fittingLength, maxWidth);
    const int width = measure.width(text);
    if (width <= maxWidth)
        return text;

    // Counts in characters: k from the head, l from the tail, p from the pad.
    const std::size_t total = DETAIL::countChars(text);
    const int half = std::max(1, maxWidth / 2);
    const std::size_t headEstimate = DETAIL::countChars(text.substr(0, measure.fittingLength(text, half)));
    std::size_t tailStart = measure.fittingLength(text, width - maxWidth / 2);
    if (tailStart == 0)
        tailStart = DETAIL::charLength(text, 0);  // the tail never holds the first character
    std::size_t l = DETAIL::countChars(text.substr(tailStart));
    const std::size_t room = total > std::max<std::size_t>(l, 4) ? total - std::max<std::size_t>(l, 4) : 0;
    std::size_t k = std::min(headEstimate, room);
    std::size_t p = DETAIL::countChars(m_pad);

    auto head = [&] { return text.substr(0, DETAIL::bytesOfChars(text, k)); };
    auto tail = [&] { return text.substr(DETAIL::bytesOfChars(text, total - l)); };
    auto padPart = [&] { return m_pad.substr(0, DETAIL::bytesOfChars(m_pad, p)); };
    while (k + l + p > 0) {
        if (measure.fits(head() + padPart() + tail()))
            break;
        // Few characters of text left: the pad gives way first, so the text stays readable.
        if ((p > 2 && k + l < 8) || (p > 1 && k + l < 4) || (p > 0 && k + l <= 2))
            --p;
        else if (k >= l || (l <= 4 && k > 0))
            --k;
        else
            --l;
    }
    std::string headText = head(), tailText = tail();
    while (!headText.empty() && headText.back() == ' ')
        headText.pop_back();
    tailText.erase(0, tailText.find_first_not_of(' ') == std::string::npos ? tailText.size()
                                                                           : tailText.find_first_not_of(' '));
    return headText + padPart() + tailText;
}

}  // namespace QV::GP
