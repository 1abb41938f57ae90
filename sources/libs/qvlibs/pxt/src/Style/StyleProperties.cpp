#include "PXT/StyleProperties.h"

#include <cstring>
#include <unordered_map>

namespace QV::PXT {

namespace {

constexpr unsigned kPainting = eReaderPainting;
constexpr unsigned kGeometry = eReaderGeometry;
constexpr unsigned kSheet = eReaderSheet;

constexpr std::array<tStyleProperty, eStylePropertyCount> kRows = {{
    {eStyleBackgroundColor, "background-color", eValueColor, kPainting},
    {eStyleSelectionBackgroundColor, "selection-background-color", eValueColor, kPainting},
    {eStyleForegroundColor, "foreground-color", eValueColor, kPainting},
    {eStyleSelectionForegroundColor, "selection-foreground-color", eValueColor, kPainting},
    {eStyleDyeColor, "dye-color", eValueColor, kPainting},
    {eStyleBackgroundBorderColor, "background-border-color", eValueColor, kPainting},
    {eStyleForegroundBorderColor, "foreground-border-color", eValueColor, kPainting},
    {eStyleBackgroundColorPalette, "background-color-palette", eValuePlainInt, kPainting},
    {eStyleSelectionBackgroundColorPalette, "selection-background-color-palette", eValuePlainInt, kPainting},
    {eStyleForegroundColorPalette, "foreground-color-palette", eValuePlainInt, kPainting},
    {eStyleSelectionForegroundColorPalette, "selection-foreground-color-palette", eValuePlainInt, kPainting},
    {eStyleDyeColorPalette, "dye-color-palette", eValuePlainInt, kPainting},
    {eStyleBackgroundBorderColorPalette, "background-border-color-palette", eValuePlainInt, kPainting},
    {eStyleForegroundBorderColorPalette, "foreground-border-color-palette", eValuePlainInt, kPainting},
    {eStyleHorizontalAlignment, "horizontal-alignment", eValueWord, kPainting},
    {eStyleVerticalAlignment, "vertical-alignment", eValueWord, kPainting},
    {eStyleAnimationIndex, "animation-index", eValuePlainInt, kPainting},
    {eStyleDyeMaskAnimationIndex, "dye-mask-animation-index", eValuePlainInt, kPainting},
    {eStylePictureIncludesMargin, "picture-includes-margin", eValueBool, kPainting | kGeometry},
    {eStyleFont, "font", eValueFont, kPainting | kGeometry},
    {eStylePicture, "picture", eValuePicture, kPainting | kGeometry},
    {eStyleDyeMaskPicture, "dye-mask-picture", eValuePicture, kPainting},
    {eStylePictureDisplacement, "picture-displacement", eValuePoint, kPainting},
    {eStyleTextDisplacement, "text-displacement", eValuePoint, kPainting},
    {eStyleMargin, "margin", eValueNumber, kGeometry},
    {eStyleMarginLeft, "margin-left", eValueNumber, kGeometry},
    {eStyleMarginRight, "margin-right", eValueNumber, kGeometry},
    {eStyleMarginTop, "margin-top", eValueNumber, kGeometry},
    {eStyleMarginBottom, "margin-bottom", eValueNumber, kGeometry},
    {eStyleOuterMargin, "outer-margin", eValueNumber, kGeometry},
    {eStyleOuterMarginLeft, "outer-margin-left", eValueNumber, kGeometry},
    {eStyleOuterMarginRight, "outer-margin-right", eValueNumber, kGeometry},
    {eStyleOuterMarginTop, "outer-margin-top", eValueNumber, kGeometry},
    {eStyleOuterMarginBottom, "outer-margin-bottom", eValueNumber, kGeometry},
    {eStyleMinWidth, "min-width", eValueNumber, kGeometry},
    {eStyleMaxWidth, "max-width", eValueNumber, kGeometry},
    {eStyleMinHeight, "min-height", eValueNumber, kGeometry},
    {eStyleMaxHeight, "max-height", eValueNumber, kGeometry},
    {eStyleWidth, "width", eValueNumber, kGeometry},
    {eStyleHeight, "height", eValueNumber, kGeometry},
    {eStyleDrawForeground, "draw_foreground", eValueBool, kGeometry},
    {eStyleX, "x", eValueNumber, kGeometry},
    {eStyleY, "y", eValueNumber, kGeometry},
    {eStyleZIndex, "z-index", eValueNumber, kGeometry},
    {eStyleSpacing, "spacing", eValueNumber, kGeometry},
    {eStyleLineSpacing, "line-spacing", eValueNumber, kGeometry},
    {eStyleFontSize, "font-size", eValueNumber, kSheet},
    {eStyleFontHinting, "font-hinting", eValueTrueFalse, kSheet},
    {eStyleFontStyle, "font-style", eValueWord, kSheet},
    {eStyleFontResid, "font-resid", eValuePlainInt, kSheet},
    {eStyleFontName, "font-name", eValueURL, kSheet},
    {eStyleFontFamily, "font-family", eValueAnyWord, kSheet},
    {eStyleImage, "image", eValuePictureURL, kSheet},
    {eStyleDyeMask, "dye-mask", eValuePictureURL, kSheet},
    {eStyleAnimations, "animations", eValuePlainInt, kSheet},
    {eStyleDyeMaskAnimations, "dye-mask-animations", eValuePlainInt, kSheet},
    {eStyleFixed, "fixed", eValueNumber, kSheet},
    {eStyleFixedTop, "fixed-top", eValueNumber, kSheet},
    {eStyleFixedBottom, "fixed-bottom", eValueNumber, kSheet},
    {eStyleFixedLeft, "fixed-left", eValueNumber, kSheet},
    {eStyleFixedRight, "fixed-right", eValueNumber, kSheet},
    {eStyleRelativeLeft, "relative-left", eValueNumber, kSheet},
    {eStyleRelativeTop, "relative-top", eValueNumber, kSheet},
    {eStyleForegroundRelativeLeft, "foreground-relative-left", eValueNumber, kSheet},
    {eStyleForegroundRelativeTop, "foreground-relative-top", eValueNumber, kSheet},
}};

constexpr bool inIdOrder()
{
    for (std::size_t i = 0; i < kRows.size(); ++i)
        if (kRows[i].id != static_cast<eStyleProperty>(i) || !kRows[i].name)
            return false;
    return true;
}
static_assert(inIdOrder(), "every property has its row, at the index of its id");

struct tInterned {
    std::array<qv::symbol, eStylePropertyCount> names;
    std::unordered_map<qv::symbol, const tStyleProperty*> rows;

    tInterned()
    {
        for (const tStyleProperty& row : kRows) {
            names[row.id] = qv::symbol(row.name, std::strlen(row.name));
            rows.emplace(names[row.id], &row);
        }
    }
};

const tInterned& interned()
{
    static const tInterned instance;
    return instance;
}

}  // namespace

const std::array<tStyleProperty, eStylePropertyCount>& styleProperties() { return kRows; }

qv::symbol styleName(eStyleProperty id) { return interned().names[id]; }

const tStyleProperty* findKnownStyleProperty(qv::symbol name)
{
    const auto& rows = interned().rows;
    const auto it = rows.find(name);
    return it != rows.end() ? it->second : nullptr;
}

}  // namespace QV::PXT
