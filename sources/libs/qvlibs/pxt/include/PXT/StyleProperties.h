// The style properties the toolkit reads, each registered once: its name in a sheet, the kind of
// value its reader takes and who applies it. The toolkit's own readers name a property by its id,
// whose name is interned once, so a lookup compares pointers; the sheet finds a declaration's row by
// its name. A name not listed here is still stored with its rule and can be looked up by text (the
// palettes' "paletteN-colorM" are such names).
#pragma once

#include "GP/Symbol.h"

#include <array>

namespace QV::PXT {

enum eStyleProperty : int {
    // Painting: the colours in the drawing cache's list order, then their palettes in the same order.
    eStyleBackgroundColor,
    eStyleSelectionBackgroundColor,
    eStyleForegroundColor,
    eStyleSelectionForegroundColor,
    eStyleDyeColor,
    eStyleBackgroundBorderColor,
    eStyleForegroundBorderColor,
    eStyleBackgroundColorPalette,
    eStyleSelectionBackgroundColorPalette,
    eStyleForegroundColorPalette,
    eStyleSelectionForegroundColorPalette,
    eStyleDyeColorPalette,
    eStyleBackgroundBorderColorPalette,
    eStyleForegroundBorderColorPalette,
    eStyleHorizontalAlignment,
    eStyleVerticalAlignment,
    eStyleAnimationIndex,
    eStyleDyeMaskAnimationIndex,
    eStylePictureIncludesMargin,
    // The compounds: made by the sheet from the parts below, never written in a sheet.
    eStyleFont,
    eStylePicture,
    eStyleDyeMaskPicture,
    eStylePictureDisplacement,
    eStyleTextDisplacement,
    // Geometry, read at a style change.
    eStyleMargin,
    eStyleMarginLeft,
    eStyleMarginRight,
    eStyleMarginTop,
    eStyleMarginBottom,
    eStyleOuterMargin,
    eStyleOuterMarginLeft,
    eStyleOuterMarginRight,
    eStyleOuterMarginTop,
    eStyleOuterMarginBottom,
    eStyleMinWidth,
    eStyleMaxWidth,
    eStyleMinHeight,
    eStyleMaxHeight,
    eStyleWidth,
    eStyleHeight,
    eStyleDrawForeground,
    eStyleX,
    eStyleY,
    eStyleZIndex,
    eStyleSpacing,
    eStyleLineSpacing,
    // The compounds' parts, folded by the sheet when it loads.
    eStyleFontSize,
    eStyleFontHinting,
    eStyleFontStyle,
    eStyleFontResid,
    eStyleFontName,
    eStyleFontFamily,
    eStyleImage,
    eStyleDyeMask,
    eStyleAnimations,
    eStyleDyeMaskAnimations,
    eStyleFixed,
    eStyleFixedTop,
    eStyleFixedBottom,
    eStyleFixedLeft,
    eStyleFixedRight,
    eStyleRelativeLeft,
    eStyleRelativeTop,
    eStyleForegroundRelativeLeft,
    eStyleForegroundRelativeTop,
    eStylePropertyCount
};

// What a declaration's value must be for the reader to take it.
enum eStyleValueKind : int {
    eValueColor,       // a colour (rgb, rgba, #hex)
    eValueNumber,      // an integer, plain or px
    eValuePlainInt,    // an integer without unit
    eValueURL,         // url("...")
    eValuePictureURL,  // url("..."), or the word no for no picture
    eValueWord,        // one of a few words, which the reader knows
    eValueAnyWord,     // any identifier
    eValueBool,        // true/false, yes/no or a plain integer
    eValueTrueFalse,   // true or false
    eValueFont,        // the compounds' values, which only the sheet makes
    eValuePicture,
    eValuePoint,
};

// Who applies a property, as bits.
enum eStyleReader : unsigned {
    eReaderSheet = 1,     // the sheet, into a compound, when it loads
    eReaderPainting = 2,  // the drawing cache, whenever the widget paints
    eReaderGeometry = 4,  // the widget's size, margins and layout, at a style change
};

struct tStyleProperty {
    eStyleProperty id;
    const char* name;
    eStyleValueKind kind;
    unsigned readers;
};

// Every row, in id order.
const std::array<tStyleProperty, eStylePropertyCount>& styleProperties();
// The interned name of a property.
qv::symbol styleName(eStyleProperty id);
// The row of a name; null for a name the toolkit does not read.
const tStyleProperty* findKnownStyleProperty(qv::symbol name);

}  // namespace QV::PXT
