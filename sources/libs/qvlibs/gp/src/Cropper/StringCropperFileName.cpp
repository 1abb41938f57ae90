// File-path crops (types 3 to 6): colon-style paths keep their first and last elements and lose
// folders in the middle to the pad ("Disk:…:Projects:plan.txt").
#include "GP/StringCropper.h"

#include "Cropper/CropText.h"
#include "Cropper/SymbolicFolders.h"

namespace QV::GP {

namespace {

constexpr char kSeparator = ':';
// Widening stops once the candidate is this close to the width.
constexpr int kWideEnough = 10;

}  // namespace

std::string StringCropper::cropStringFileName(const CharSequence<char>& text, const TextWidth& textWidth,
                                              const FittingLength& fittingLength, int maxWidth) const
{
    const DETAIL::CropMeasure measure(textWidth, fittingLength, maxWidth);
    std::string name = text.str();
    if (m_cropType == eCropFileNameSymbolic || m_cropType == eCropFolderNameSymbolic) {
        initFileNameAliasMap();
        name = DETAIL::withSymbolicFolder(name, s_mapSymbolicFolders);
    }
    if ((m_cropType == eCropFolderName || m_cropType == eCropFolderNameSymbolic) && !name.empty() &&
        name.back() == kSeparator)
        name.pop_back();

    if (measure.fits(name))
        return name;
    auto fromStart = [&](const std::string& part) {
        return cropStringPrepend(part, textWidth, fittingLength, maxWidth);
    };
    if (!m_pad.empty() && measure.width(m_pad) > maxWidth)
        return fromStart(name);

    std::size_t first = name.find(kSeparator), last = name.rfind(kSeparator);
    if (first == last)
        return fromStart(name);  // at most one separator: nothing in the middle to leave out
    if (last == name.size() - 1) {
        last = name.rfind(kSeparator, last - 1);
        if (first == last)
            return fromStart(name);
    }
    auto build = [&] { return name.substr(0, first + 1) + m_pad + name.substr(last); };
    std::string candidate = build();
    if (!measure.fits(candidate))
        return fromStart(name.substr(last));

    // Widen while there is room: the tail takes one more folder, then the head, alternately.
    bool moveTail = true;
    while (measure.width(candidate) < maxWidth - kWideEnough) {
        const std::string remembered = candidate;
        if (moveTail)
            last = name.rfind(kSeparator, last - 1);
        else
            first = name.find(kSeparator, first + 1);
        moveTail = !moveTail;
        if (last == std::string::npos || first == std::string::npos || first >= last)
            return remembered;
        candidate = build();
        if (!measure.fits(candidate))
            return remembered;
    }
    return candidate;
}

}  // namespace QV::GP
